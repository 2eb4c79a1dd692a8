#pragma once
// Pictures of the equations (Office Math) that plain text cannot show, for
// the 【数ｎ】 items of the filing HTML: each paragraph's equations are put
// alone into a small .docx, all of them drawn by LibreOffice in one run,
// cropped to their ink and brought to the filing rules (word/picture_conversion.h).

#include "word/picture_conversion.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <functional>
#include <map>
#include <vector>

namespace word::ooxml {

// Draws the first page of each .docx into a PNG at 96 dots per inch with
// equations set at `equationFontPoints` (word::legacy::renderFirstPagesToPng).
using PageRenderer =
    std::function<std::vector<QByteArray>(const std::vector<QByteArray>& docxFiles, int equationFontPoints)>;

struct EquationSource {
    int paragraph = 0;     // 1-based paragraph number, as the HTML walk counts
    pugi::xml_node node;   // the w:p holding the equations
};

struct EquationPictures {
    std::map<int, FilingPicture> byParagraph;  // the equations drawn, by paragraph
    QString failure;  // why some or all could not be drawn; empty when all were
};

// `documentElement` is the main part's root: its namespace declarations are
// reused, so that the equations keep their meaning in the small documents.
EquationPictures drawEquations(pugi::xml_node documentElement, const std::vector<EquationSource>& equations,
                               const PageRenderer& render);

}  // namespace word::ooxml
