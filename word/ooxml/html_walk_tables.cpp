// Tables of the filing HTML: plain <TABLE> rows and cells, merged cells as
// COLSPAN and ROWSPAN; what such a table cannot hold (a table within a table,
// a merge whose cells do not line up) is written out cell by cell and reported.

#include "word/ooxml/html_walk_class.h"

namespace word::ooxml::html {

void HtmlWalk::collectRows(pugi::xml_node n, std::vector<pugi::xml_node>& rows) {
    for (pugi::xml_node c : n.children()) {
        const std::string l = wLocal(c);
        if (l == "tr") rows.push_back(c);
        else if (l == "sdt") collectRows(c.child(q("sdtContent")), rows);
        else if (l == "customXml") collectRows(c, rows);
    }
}

void HtmlWalk::collectCells(pugi::xml_node n, std::vector<pugi::xml_node>& cells) {
    for (pugi::xml_node c : n.children()) {
        const std::string l = wLocal(c);
        if (l == "tc") cells.push_back(c);
        else if (l == "sdt") collectCells(c.child(q("sdtContent")), cells);
        else if (l == "customXml") collectCells(c, cells);
    }
}

bool HtmlWalk::hasContent(pugi::xml_node n) const {
    for (pugi::xml_node c : n.children()) {
        if (c.type() != pugi::node_element) continue;
        const std::string l = wLocal(c);
        if (l == "del" || l == "moveFrom" || l == "instrText") continue;
        if ((l == "t" && *c.text().get()) || l == "drawing" || l == "pict" || l == "object" ||
            l == "tab" || l == "sym")
            return true;
        if (hasContent(c)) return true;
    }
    return false;
}

void HtmlWalk::noteTableProblem(int paragraph, const QString& what) {
    if (!quiet()) result_.tableProblems.push_back({paragraph, what});
}

void HtmlWalk::flattenedTable(pugi::xml_node tbl) {
    noteTableProblem(paragraph_ + 1, QStringLiteral("表の中の表は電子出願ソフトで表せないため、内側の表の文字をセルの中に続けて書きました"));
    std::vector<pugi::xml_node> rows;
    collectRows(tbl, rows);
    for (pugi::xml_node tr : rows) {
        std::vector<pugi::xml_node> cells;
        collectCells(tr, cells);
        for (pugi::xml_node tc : cells) blocks(tc);
    }
}

void HtmlWalk::table(pugi::xml_node tbl) {
    finishLine();
    if (tableDepth_ > 0) {
        flattenedTable(tbl);
        return;
    }
    ++tableDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{tableDepth_};
    std::vector<pugi::xml_node> rowNodes;
    collectRows(tbl, rowNodes);
    std::vector<std::vector<Cell>> rows;
    for (pugi::xml_node tr : rowNodes) {
        std::vector<Cell> row;
        int col = tr.child(q("trPr")).child(q("gridBefore")).attribute(q("val")).as_int(0);
        std::vector<pugi::xml_node> cells;
        collectCells(tr, cells);
        for (pugi::xml_node tc : cells) {
            Cell cell;
            cell.tc = tc;
            cell.col = col;
            pugi::xml_node tcPr = tc.child(q("tcPr"));
            cell.span = std::max(1, tcPr.child(q("gridSpan")).attribute(q("val")).as_int(1));
            if (pugi::xml_node vm = tcPr.child(q("vMerge")))
                cell.continues = std::string(vm.attribute(q("val")).value()) != "restart";
            cell.empty = !hasContent(tc);
            col += cell.span;
            row.push_back(cell);
        }
        rows.push_back(std::move(row));
    }
    // Vertically merged cells: the first cell spans the empty
    // continuation cells below it at the same grid column.
    for (size_t r = 0; r < rows.size(); ++r) {
        for (Cell& cell : rows[r]) {
            if (cell.skip) continue;
            for (size_t below = r + 1; below < rows.size(); ++below) {
                Cell* next = nullptr;
                for (Cell& c : rows[below])
                    if (c.col == cell.col) next = &c;
                if (!next || !next->continues || !next->empty || next->span != cell.span) break;
                next->skip = true;
                ++cell.rowSpan;
            }
        }
    }
    tagLine(QStringLiteral("<TABLE BORDER=\"1\">"));
    for (const auto& row : rows) {
        tagLine(QStringLiteral("<TR>"));
        for (const Cell& cell : row) {
            if (cell.skip) {
                // Its (empty) paragraphs still count in the paragraph numbers.
                const bool was = suppress_;
                suppress_ = true;
                blocks(cell.tc);
                suppress_ = was;
                continue;
            }
            if (cell.continues)
                noteTableProblem(paragraph_ + 1, QStringLiteral("縦に結合したセルの続きに文字があるか列がずれているため、結合せずに書きました"));
            QString td = QStringLiteral("<TD");
            if (cell.span > 1) td += QStringLiteral(" COLSPAN=\"%1\"").arg(cell.span);
            if (cell.rowSpan > 1) td += QStringLiteral(" ROWSPAN=\"%1\"").arg(cell.rowSpan);
            tagLine(td + ">");
            blocks(cell.tc);
            tagLine(QStringLiteral("</TD>"));
        }
        tagLine(QStringLiteral("</TR>"));
    }
    tagLine(QStringLiteral("</TABLE>"));
}

}  // namespace word::ooxml::html
