#pragma once
// Findings the drafter has looked at and accepted: one per line, the kind and
// the quoted text of the finding separated by a tab ("符号\t…の符号１２"), as
// the report shows them. An accepted finding is counted, not listed, so that a
// rerun after an edit lists only what is new or still open.

#include "engine/check/check_text.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace engine::check {

class AcceptedFindings {
public:
    AcceptedFindings() = default;
    // From lines "kind<TAB>quoted text" (blank lines and lines without a tab are skipped).
    explicit AcceptedFindings(const QStringList& lines);
    // The lines of a file in UTF-8 (with or without a byte order mark) or in
    // Shift_JIS; throws word::Error naming the file when it cannot be read.
    static QStringList ReadFile(const QString& path);

    bool empty() const { return accepted_.isEmpty(); }
    // Whether a line names the finding: its kind, and its quoted text (the
    // 「…」 at the end of its explanation) or its whole explanation.
    bool Accepts(const Finding& finding) const;

private:
    QSet<QString> accepted_;  // "kind<TAB>text"
};

// The quoted text of a finding: the excerpt 「…」 after its explanation, or
// the whole explanation when there is none.
QString QuotedText(const Finding& finding);

}  // namespace engine::check
