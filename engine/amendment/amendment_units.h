#pragma once
// The units a written amendment names: the numbered paragraphs and the title
// of the 明細書, the claims, the 要約書 as a whole and each figure of the 図面,
// read from a document's paragraphs with the check's readers. Each unit
// carries the text its versions are compared by: its paragraphs without the
// blanks at their ends, without empty lines and without its own label, so
// that a renumbered or reformatted version compares equal.

#include "engine/check/check_text.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace engine::amendment {

enum class DocumentKind { Description, Claims, Abstract, Drawings };

// 明細書, 特許請求の範囲, 要約書, 図面.
QString DocumentName(DocumentKind kind);

// One line of a unit's compared text: where it stands in the document.
struct UnitLine {
    int paragraph = 0;
    qsizetype offset = 0;  // of the line's first compared character in the paragraph
    qsizetype length = 0;
};

struct Unit {
    DocumentKind document = DocumentKind::Description;
    // A paragraph's number and branch (０００５の２), a claim's or a figure's
    // number; 0 for the title and the abstract.
    int number = 0;
    int branch = 0;
    QString suffix;      // a figure's letter (図１Ａ)
    QString fixedName;   // 発明の名称, 全文: the item name when it has no number
    int first = 0;       // paragraphs [first, end) of the document
    int end = 0;
    int labelParagraph = -1;       // the paragraph holding the label 【０００５】, 【請求項３】, 【図３】
    qsizetype labelStart = 0, labelEnd = 0;
    // Headings (【実施例】…) in front of a paragraph number belong to it:
    // paragraphs [first, bodyFirst) are headings.
    int bodyFirst = 0;
    std::vector<UnitLine> lines;         // the compared text, line by line
    std::vector<UnitLine> headingLines;  // the headings in front, compared on their own
    QString headingText;                 // their lines joined by \n
    QString key;                         // the compared text, pictures' digests included
    QString text;                        // the compared text without the digests, lines joined by \n
};

// The item name as the amendment writes it: ０００５, ０００５の２, 発明の名称,
// 請求項３, 図３Ａ, 全文.
QString ItemName(const Unit& unit);

struct DocumentUnits {
    std::vector<Unit> description;  // the title and the numbered paragraphs, in order
    std::vector<Unit> claims;       // claim by claim
    Unit allClaims;                 // the claims' document as one unit (its 【書類名】 line first)
    bool hasClaims = false;
    Unit abstract;
    bool hasAbstract = false;
    std::vector<Unit> drawings;     // figure by figure
};

// The pictures of a document, as digests of their bytes, by paragraph.
using PictureDigests = std::map<int, QStringList>;

DocumentUnits ReadUnits(const check::CheckedText& text, const PictureDigests& pictures);

}  // namespace engine::amendment
