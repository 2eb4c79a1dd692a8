#pragma once
// What the read-only checks (before filing, and of a translation) do with
// their findings: each to the log and the host as it is found, then all of
// them in a report beside the document and a closing message that counts them.

#include "engine/check/check_text.h"
#include "engine/runner/host.h"

namespace engine::check {

// " .. kind　where　what" in the log, and the host's finding.
void ReportFinding(Host& host, const Finding& finding);

// "<prefix><file name>.txt" beside the document.
QString ReportPathBeside(const QString& documentPath, const QString& prefix);

// The report, code page 932 with CR LF, replacing an earlier one only once it
// is complete: the header lines, one line per finding (kind<TAB>where<TAB>what),
// and "指摘 n 件（counts）" or "指摘はありません。"; no more readable than the document.
void WriteFindingsReport(const QString& path, const QStringList& header, const Findings& findings, const QString& counts,
                         const QString& documentPath);

// The closing message: "<title>：「name」に指摘はありません。" or the number,
// the counts and the report's name.
QString ClosingMessage(const QString& title, const QString& documentPath, const Findings& findings,
                       const QString& counts, const QString& reportPath);

}  // namespace engine::check
