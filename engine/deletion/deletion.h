#pragma once
// The pieces of the deletion task (task code 2) and of colour-coding that do
// not need the open document: paragraph classes, colour texts, the report
// files and the check of the deleted text.

#include "engine/runner/host.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace engine {

// The class of a paragraph in the deletion walk, from its text without the mark.
enum ParagraphClass : unsigned char {
    kClassNone = 0,     // a position after the last paragraph
    kClassOpening = 1,  // "--/H" or "--/D"
    kClassM = 2,        // "--/M"
    kClassE = 3,        // "--/E"
    kClassY = 6,        // "--/Y"
    kClassZ = 7,        // "--/Z"
    kClassText = 9,     // anything else, empty paragraphs included
    kClassStart = 10,   // position 0, before the first paragraph
};
// Exact, case-sensitive comparison: "--/m" or "--/M " is text.
ParagraphClass ClassifyParagraph(const QString& textWithoutMark);
// The source rule of the walk: a text paragraph right after an opening, M or
// E tag, followed by its translation, unless five or more text paragraphs
// start there. `at(k)` is the class of the paragraph k places on (k = -1 … 4).
template <typename ClassAt>
bool IsSourceText(const ClassAt& at) {
    const ParagraphClass before = at(-1);
    return at(0) == kClassText && (before == kClassOpening || before == kClassM || before == kClassE) &&
           at(1) == kClassText && !(at(2) == kClassText && at(3) == kClassText && at(4) == kClassText);
}

// A colour box's text as Word's colour value: hexadecimal digits in BBGGRR
// order ("FF" is pure red, "FF0000" pure blue), surrounding blanks ignored;
// 0 becomes wdColorAutomatic. Empty when the text is not a hexadecimal number
// of at most six digits.
std::optional<int> ParseColourText(const QString& text);
// The colour value of a box, or word::Error naming the box when its text is
// not a colour. boxIndex 0 is the source colour txtColor(0), 1 the translation colour.
int ColourValueOfBox(const TaskOptions& options, int boxIndex);
// Checks the colour texts that a run of task code 2 will use (the translation
// colour always, the source colour in colour mode). Returns the message for the
// user when one is not a hexadecimal number, or an empty string.
QString CheckColourOptions(const TaskOptions& options, bool colourFlag);

// The files of one deletion run, beside the document.
struct DeletionReportPaths {
    QString deletedText;  // "削除した原文-<file name>.txt"
    QString finding;      // 英日 "削除原文中の全角含有文-…", 日英 "削除原文中の半角５％以上含有文-…"
    QString halfWidth;    // "削除原文中の半角が多い文-…"
    QString document;     // what they are made from: they are no more readable than it
};
DeletionReportPaths MakeDeletionReportPaths(const QString& documentPath, bool englishToJapanese);

// Where one line of the deleted text goes in the check.
struct LineRoute {
    bool halfWidth = false;          // written to the half-width report
    std::optional<QString> finding;  // written (in this form) to the finding report
};
// 英日: an all-half-width line goes to the half-width report; a line that
// still has a full-width character once "°" and "’" are masked goes, masked,
// to the finding report. 日英: a line with at least one half-width character
// in ten goes to the half-width report; a non-empty line with at least one in
// twenty goes to the finding report (both, when both hold).
LineRoute RouteDeletedLine(const QString& line, bool englishToJapanese);
// The number of characters of a line (a surrogate pair counts once).
int CharacterLength(const QString& line);

// Splits text into lines; a line ends at CR or at CR LF (a final line without
// an end counts too).
QStringList SplitLines(const QString& text);

// Throws word::Error telling the user that the file at path could not be
// handled (what: "作成", "書き込み", "読み込み", "削除") and why, and that the
// document was not saved.
[[noreturn]] void ThrowFileError(const QString& what, const QString& path, const QString& reason);
// The same for the system's error number.
[[noreturn]] void ThrowFileError(const QString& what, const QString& path, int err);
// Removes a file when it exists; ThrowFileError when that fails.
void RemoveIfExists(const QString& path);

// The four messages of the check (text pieces joined by two CR LF pairs).
struct CheckMessage {
    QString text;
    QString title;
    bool exclamation = false;
};
CheckMessage DeletionCheckMessage(bool englishToJapanese, bool findingReportEmpty);

// What the check found, to be told once the result is saved.
struct DeletionCheckResult {
    CheckMessage message;
    QStringList toOpen;  // the reports to open, in order
};
// The check after the deletion walk: reads the deleted-text file back, writes
// the two check reports (the empty ones are removed again) and returns the
// message and the reports to open. Throws word::Error when a file cannot be
// read, written or removed.
DeletionCheckResult WriteDeletionCheckReports(Host& host, const DeletionReportPaths& paths, bool englishToJapanese);
// Shows the check's message and opens its reports.
void ShowDeletionCheck(Host& host, const DeletionCheckResult& result);
// Both in a row.
void CheckDeletedText(Host& host, const DeletionReportPaths& paths, bool englishToJapanese);

}  // namespace engine
