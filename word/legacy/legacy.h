#pragma once
// Legacy formats (Word 97-2003 .doc, RTF) reached through LibreOffice in
// headless mode. The format is decided from the file's first bytes.

#include <QByteArray>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QTemporaryDir;

namespace word::legacy {

enum class Format { Docx, Word97, Rtf, Other };

Format detectFormat(const QString& path);

struct Converted {
    QString docxPath;                     // the converted document
    Format format = Format::Other;        // the original's format
    std::shared_ptr<QTemporaryDir> dir;   // private folder, removed with the last reference
};

// Converts a legacy file to .docx in a private temporary folder (throws word::Error
// with a user-facing reason: LibreOffice missing, conversion failed or timed out).
Converted convertToDocx(const QString& path, Format format);
// Converts a .docx back to `format` and writes the result to targetPath whole
// (through a temporary file); messages name the document as `shownName`
// (empty: the target's file name). The target gets no wider permissions than
// `madeFrom`, the document it was made from (empty: no such bound).
void convertBack(const QString& docxPath, Format format, const QString& targetPath,
                 const QString& shownName = {}, const QString& madeFrom = {});

// Removes the conversion folders of runs that were killed before they could
// remove their own (a folder's name carries the id of the process that made it).
void removeWorkDirsOfEndedProcesses();

// Called about ten times a second while LibreOffice converts, with the seconds
// elapsed; returning false ends the conversion at once (its whole process
// group), and the conversion throws Error. Lets a window repaint, show the
// time and offer to stop. It is called only on the thread that set it
// (conversions on other threads wait without it). Returns the handler it
// replaces (empty: none).
using WaitHandler = std::function<bool(int elapsedSeconds)>;
WaitHandler setWaitHandler(WaitHandler handler);

// Draws an EMF or WMF picture ("EMF"/"WMF") into a PNG of `dots` (its own
// size when empty) through LibreOffice's drawing component; throws word::Error
// with the reason (LibreOffice or its drawing component missing, failure, time limit).
QByteArray renderMetafileToPng(const QByteArray& metafile, const QString& format, QSize dots);

// Draws the first page of each .docx into a PNG at 96 dots per inch, all in
// one run of LibreOffice, with equations (Office Math) set at
// `equationFontPoints` rather than LibreOffice's 12 pt: a larger size draws
// them with more dots, as the page pictures ignore a requested size. An entry
// is empty for a document LibreOffice drew nothing for; throws word::Error with
// the reason when the run as a whole fails (LibreOffice or its equation
// component missing, failure, time limit).
std::vector<QByteArray> renderFirstPagesToPng(const std::vector<QByteArray>& docxFiles, int equationFontPoints);

// Tests only: the time limit of one conversion in seconds (0 restores 120).
void setTimeLimitForTesting(int seconds);

}  // namespace word::legacy
