#pragma once
// Writes the main story as the plain HTML the patent office's filing software
// takes (code page 932, CR LF), with pictures saved beside the file.

#include <QString>

#include <vector>

namespace word::ooxml {

class DocumentModel;

void writeFilingHtml(DocumentModel& model, const QString& htmlPath);

// A character of the main story that the filing software does not take.
struct RefusedCharacter {
    int paragraph = 0;        // 1-based paragraph of the main story (table cells included)
    char32_t codePoint = 0;
};

// Whether the filing software takes a character: printable ASCII and the
// characters of JIS X 0208 as code page 932 writes them. Half-width katakana,
// the NEC and IBM extensions of code page 932 (circled digits, Roman numerals,
// "㈱", rare kanji such as "髙") and characters the code page lacks are refused.
bool filingSoftwareAccepts(char32_t codePoint);

// The refused characters of the text that writeFilingHtml writes, in order.
std::vector<RefusedCharacter> refusedCharacters(DocumentModel& model);

// The file names of the pictures written beside an HTML file: "spec.docx.htm"
// gives "spec.docx_1.png", "spec.docx_2.jpeg", …
QString pictureFileName(const QString& htmlPath, int number, const QString& extension);

}  // namespace word::ooxml
