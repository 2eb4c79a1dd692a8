#pragma once
// Writes the main story as the plain HTML the patent office's filing software
// takes (code page 932, CR LF), with pictures saved beside the file.

#include "word/ooxml/equation_pictures.h"
#include "word/picture_conversion.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace word::ooxml {

class DocumentModel;

// A character of the main story that the filing software does not take.
struct RefusedCharacter {
    int paragraph = 0;        // 1-based paragraph of the main story (table cells included)
    char32_t codePoint = 0;
};

// Something of the story the filing HTML does not carry as it should (a
// picture that could not be read or converted, a chart, a shape, the text of
// a text box, a linked picture): the user adds it by hand.
struct HandWork {
    int paragraph = 0;  // 1-based paragraph of the main story (table cells included)
    QString what;       // what it is and what to do, for the log
    bool missingPicture = false;  // a picture whose file is not in the document (missing, empty, only linked)
};

struct FilingHtmlOptions {
    // Pictures brought to the filing software's rules (word/picture_conversion.h);
    // false: every picture copied as stored.
    bool convertPictures = false;
    // One HTML file per 【書類名】 section ("spec.docx-明細書.htm", …), each with
    // its own pictures; a story without such sections still gives one file.
    bool splitDocuments = false;
    // Draws EMF/WMF pictures; null: through LibreOffice (word/legacy).
    MetafileRenderer renderMetafile;
    // Draws the pages that hold the equations text cannot show, which then go
    // out as pictures in 【数ｎ】 items when pictures are converted; null:
    // through LibreOffice (word/legacy).
    PageRenderer renderPages;
};

struct FilingHtmlReport {
    QStringList htmlFiles;   // the HTML files written, in order
    QStringList pictureLog;  // one line per converted picture
    std::vector<HandWork> handWork;  // in the order of the story
    // 1-based paragraphs (table cells counted) with an equation that plain text
    // cannot show (matrices, accents, limits above and below, …) and that was
    // not drawn as a picture: written as well as text allows, to be given as a
    // picture in a 【数ｎ】 item by hand.
    std::vector<int> equationsNotAsText;
    QStringList tableLog;  // one line per table part the filing software's tables cannot hold
    // The refused characters of the text written, in order (those of
    // equations written as pictures left out).
    std::vector<RefusedCharacter> refused;
};

// Writes everything or nothing: the HTML files and their pictures take their
// names together once all are written, so that a failure leaves the earlier
// export whole; pictures of an earlier export that the new HTML does not show
// are removed afterwards. A link at any of the names is replaced, not followed;
// the files are no more readable than the document.
FilingHtmlReport writeFilingHtml(DocumentModel& model, const QString& htmlPath, const FilingHtmlOptions& options = {});

// The HTML file of one section: "spec.docx.htm" and "明細書" give
// "spec.docx-明細書.htm" (number 2: "spec.docx-明細書2.htm"). A name too long
// for the file system keeps the start of the section's name, followed by "…".
QString sectionHtmlPath(const QString& htmlPath, const QString& sectionName, int number = 1);


// Whether the filing software takes a character: printable ASCII but the
// backslash and the tilde (read as "¥" and "‾"), and the characters of JIS X
// 0208 as code page 932 writes them but ■. Half-width katakana,
// the NEC and IBM extensions of code page 932 (circled digits, Roman numerals,
// "㈱", rare kanji such as "髙") and characters the code page lacks are refused.
bool filingSoftwareAccepts(char32_t codePoint);

// The refused characters of the text that writeFilingHtml writes, in order
// (list numbers included).
std::vector<RefusedCharacter> refusedCharacters(DocumentModel& model);

// The file names of the pictures written beside an HTML file: "spec.docx.htm"
// gives "spec.docx_1.png", "spec.docx_2.jpeg", …
QString pictureFileName(const QString& htmlPath, int number, const QString& extension);

}  // namespace word::ooxml
