#pragma once
// The round trip of a written amendment: its blocks applied to the earlier
// version must give the amended version's text. Written apart from the
// engine's readers (its own simple reading of units), so that it checks them.

#include <QString>
#include <QStringList>

namespace testsupport {

// The earlier version's paragraphs with every block of the amendment (the
// paragraphs of the amendment document) applied.
QStringList ApplyAmendment(const QStringList& earlier, const QStringList& amendment);

// A text as the amendment compares it: each paragraph without the blanks at
// its ends, empty ones left out; with maskNumbers every paragraph number
// (【０００５】, 【０００５の２】) written as 【＃】, for versions renumbered
// after an insertion.
QString ComparedText(const QStringList& paragraphs, bool maskNumbers);

}  // namespace testsupport
