#include "word/ooxml/html_walk.h"

#include "word/image_rules.h"
#include "word/ooxml/filing_characters.h"
#include "word/ooxml/html_styles.h"
#include "word/ooxml/list_numbers.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <map>
#include <optional>
#include <set>
#include <unordered_map>

// The HTML follows the text rules of the main story (document_model.cpp):
// body paragraphs in order with table cells, deleted revisions and field
// instructions left out, text boxes, headers, footers and notes being other
// stories. One line per paragraph, each ending in <BR>.

namespace word::ooxml::html {

namespace {

const char* const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const kRelNsStrict = "http://purl.oclc.org/ooxml/officeDocument/relationships";
const char* const kMathNs = "http://schemas.openxmlformats.org/officeDocument/2006/math";

// The displayed size of a drawing (wp:inline / wp:anchor with wp:extent) or a
// VML shape (style="width:120pt;height:80pt"), in EMU; nullopt for other nodes.
std::optional<std::pair<qint64, qint64>> displayedExtent(pugi::xml_node n) {
    const std::string l = localName(n.name());
    if (l == "inline" || l == "anchor") {
        for (pugi::xml_node c : n.children())
            if (localName(c.name()) == "extent")
                return std::make_pair(c.attribute("cx").as_llong(), c.attribute("cy").as_llong());
        return std::nullopt;
    }
    if (l != "shape" && l != "rect" && l != "image") return std::nullopt;
    static const QRegularExpression kLength(
        QStringLiteral("(?:^|;)\\s*(width|height)\\s*:\\s*([0-9.]+)\\s*(pt|in|cm|mm|px|pc)?"));
    qint64 size[2] = {0, 0};
    auto it = kLength.globalMatch(QString::fromUtf8(n.attribute("style").value()));
    while (it.hasNext()) {
        const auto m = it.next();
        const QString unit = m.captured(3);
        const double perUnit = unit == "in" ? 914400 : unit == "cm" ? 360000 : unit == "mm" ? 36000
                             : unit == "px" ? 9525 : unit == "pc" ? 152400 : 12700;
        size[m.captured(1) == "height"] = qint64(m.captured(2).toDouble() * perUnit);
    }
    return std::make_pair(size[0], size[1]);
}

class HtmlWalk {
public:
    HtmlWalk(const Source& src, const WalkOptions& options)
        : src_(src), styles_(src.styles, src.w), options_(options) {
        // Prefixes bound to the relationships and math namespaces on the root.
        for (pugi::xml_attribute a : src.doc->document_element().attributes()) {
            const std::string name = a.name();
            if (name.rfind("xmlns:", 0) != 0) continue;
            const std::string uri = a.value();
            if (uri == kRelNs || uri == kRelNsStrict) relPrefixes_.insert(name.substr(6));
            if (uri == kMathNs) mathPrefix_ = name.substr(6);
        }
        if (relPrefixes_.empty()) relPrefixes_.insert("r");
        if (mathPrefix_.empty()) mathPrefix_ = "m";
    }

    void run() {
        pugi::xml_node body = src_.doc->document_element().child(q("body"));
        blocks(body);
        finishLine();
    }

    WalkResult& result() { return result_; }

private:
    // Nothing is written for merged-away cells and outside the chosen section.
    bool quiet() const { return suppress_ || outsideSection_; }
    const char* q(const char* local) const { return qualify(src_.w, local, names_); }
    std::string wLocal(pugi::xml_node n) const {
        const std::string name = n.name();
        if (src_.w.empty()) return name.find(':') == std::string::npos ? name : std::string();
        const std::string p = src_.w + ":";
        return name.rfind(p, 0) == 0 ? name.substr(p.size()) : std::string();
    }

    // --- output --------------------------------------------------------------

    void raw(const QString& s) {
        if (!quiet()) line_ += s;
    }
    void startLineIfNeeded() { lineOpen_ = true; }
    void finishLine() {
        if (!lineOpen_) return;
        setLook({});
        raw(QStringLiteral("<BR>"));
        emitLine();
    }
    void emitLine() {
        if (!quiet()) result_.lines << line_;
        line_.clear();
        lineOpen_ = false;
    }
    void tagLine(const QString& tag) {
        finishLine();
        if (!quiet()) result_.lines << tag;
    }

    void setLook(const Look& l) {
        if (l == open_) return;
        if (open_.sub) raw(QStringLiteral("</SUB>"));
        if (open_.sup) raw(QStringLiteral("</SUP>"));
        if (open_.u) raw(QStringLiteral("</U>"));
        if (l.u) raw(QStringLiteral("<U>"));
        if (l.sup) raw(QStringLiteral("<SUP>"));
        if (l.sub) raw(QStringLiteral("<SUB>"));
        open_ = l;
    }

    void text(const QString& s, const Look& look) {
        if (s.isEmpty()) return;
        setLook(look);
        QString out;
        out.reserve(s.size());
        for (char32_t cp : s.toUcs4()) {
            if (cp == '&') { out += QStringLiteral("&amp;"); continue; }
            if (cp == '<') { out += QStringLiteral("&lt;"); continue; }
            if (cp == '>') { out += QStringLiteral("&gt;"); continue; }
            if (cp < 0x20 || cp == 0x7F) continue;  // control characters carry nothing
            const CharInfo& info = chars_(cp);
            if (!info.accepted && !quiet()) result_.refused.push_back({paragraph_, cp});
            if (info.encodable)
                out += QString::fromUcs4(&cp, 1);
            else
                out += QStringLiteral("&#%1;").arg(static_cast<quint32>(cp));
        }
        raw(out);
    }

    // --- blocks --------------------------------------------------------------

    void blocks(pugi::xml_node container) {
        for (pugi::xml_node c : container.children()) {
            if (c.type() != pugi::node_element) continue;
            const std::string l = wLocal(c);
            if (l == "p") {
                paragraph(c);
            } else if (l == "tbl") {
                table(c);
            } else if (l == "sdt") {
                blocks(c.child(q("sdtContent")));
            } else if (l == "customXml" || l == "ins" || l == "moveTo") {
                blocks(c);
            } else if (localName(c.name()) == "AlternateContent") {
                pugi::xml_node choice = c.child((prefixOf(c.name()) + ":Choice").c_str());
                blocks(choice ? choice : c.child((prefixOf(c.name()) + ":Fallback").c_str()));
            }
            // w:del / w:moveFrom, w:sectPr, bookmarks and the like carry no text.
        }
        finishLine();
    }

    void paragraph(pugi::xml_node p) {
        ++paragraph_;
        paragraphNode_ = p;
        if (tableDepth_ == 0) noteSectionStart(p);
        const FilingPicture* equation = equationPicture();
        if (options_.equationPictures) noteMathHeading(p);
        startLineIfNeeded();
        pugi::xml_node pPr = p.child(q("pPr"));
        paragraphStyle_ = pPr.child(q("pStyle")).attribute(q("val")).value();
        // The number Word draws before a paragraph of a numbered list.
        if (src_.listNumbers) text(src_.listNumbers->next(pPr, paragraphStyle_), Look{});
        equationAsPicture_ = equation != nullptr;
        inlines(p);
        equationAsPicture_ = false;
        if (equation) {
            equationItem(*equation);
            return;
        }
        // A paragraph mark deleted as a tracked change joins the paragraph to
        // the next one in the document as it reads.
        pugi::xml_node markRPr = pPr.child(q("rPr"));
        if (markRPr.child(q("del")) || markRPr.child(q("moveFrom"))) return;
        finishLine();
    }

    // --- equations as pictures -------------------------------------------------

    const FilingPicture* equationPicture() const {
        if (!options_.equationPictures) return nullptr;
        auto it = options_.equationPictures->find(paragraph_);
        return it == options_.equationPictures->end() ? nullptr : &it->second;
    }

    // "【数３】" alone in a paragraph is the heading of an equation item: the
    // numbers go on from it, and an equation right after it (or in the same
    // paragraph) takes it rather than a new one. Blank paragraphs between
    // them keep it.
    void noteMathHeading(pugi::xml_node p) {
        static const QRegularExpression kHeading(QStringLiteral("^【数([0-9０-９]+)】$"));
        QString lead;
        leadingText(p, 40, lead);
        lead = lead.trimmed();
        const auto m = kHeading.match(lead);
        if (m.hasMatch()) {
            bool ok = false;
            const int n = m.captured(1).normalized(QString::NormalizationForm_KC).toInt(&ok);
            if (ok) {
                lastMathNumber_ = n;
                headingWaiting_ = true;
            }
        } else if (!lead.isEmpty()) {
            headingWaiting_ = false;
        }
    }

    // The paragraph's own text (without its equations) stays as a line when it
    // has any; the 【数ｎ】 heading (unless one is waiting) and the picture follow.
    void equationItem(const FilingPicture& picture) {
        static const QRegularExpression kTagsAndBlanks(QStringLiteral("<[^>]*>|\\s|\u3000"));
        if (QString(line_).remove(kTagsAndBlanks).isEmpty()) {
            line_.clear();
            lineOpen_ = false;
            open_ = Look{};
        } else {
            finishLine();
        }
        if (!headingWaiting_) ++lastMathNumber_;
        const QString heading = QStringLiteral("【数%1】").arg(fullWidthDigits(lastMathNumber_));
        if (!headingWaiting_) tagLine(heading + QStringLiteral("<BR>"));
        headingWaiting_ = false;
        if (quiet()) return;
        const QString fileName = addPicture(QStringLiteral("equation:%1").arg(paragraph_), picture);
        result_.equationItems.push_back({paragraph_, heading, fileName});
        tagLine(imgTag(fileName) + QStringLiteral("<BR>"));
    }

    static QString fullWidthDigits(int n) {
        QString out;
        for (QChar c : QString::number(n)) out += QChar(0xFF10 + (c.unicode() - '0'));
        return out;
    }

    // The first characters of a paragraph's text, enough to recognise a heading.
    void leadingText(pugi::xml_node n, int wanted, QString& out) const {
        for (pugi::xml_node c : n.children()) {
            if (out.size() >= wanted) return;
            if (c.type() != pugi::node_element) continue;
            if (wLocal(c) == "t") out += QString::fromUtf8(c.text().get());
            else leadingText(c, wanted, out);
        }
    }

    // A body paragraph "【書類名】明細書" starts a section; what comes before
    // the first one belongs to the first section.
    void noteSectionStart(pugi::xml_node p) {
        static const QString kHeading = QStringLiteral("【書類名】");
        QString lead;
        leadingText(p, 40, lead);
        lead = lead.trimmed();
        if (lead.startsWith(kHeading)) {
            if (lineOpen_) finishLine();
            result_.sectionNames << lead.mid(kHeading.size()).trimmed();
        }
        const int current = std::max<int>(0, int(result_.sectionNames.size()) - 1);
        outsideSection_ = options_.section >= 0 && current != options_.section;
    }

    struct Cell {
        pugi::xml_node tc;
        int col = 0;
        int span = 1;
        bool continues = false;  // vMerge continuation
        bool empty = true;
        int rowSpan = 1;
        bool skip = false;
    };

    void collectRows(pugi::xml_node n, std::vector<pugi::xml_node>& rows) {
        for (pugi::xml_node c : n.children()) {
            const std::string l = wLocal(c);
            if (l == "tr") rows.push_back(c);
            else if (l == "sdt") collectRows(c.child(q("sdtContent")), rows);
            else if (l == "customXml") collectRows(c, rows);
        }
    }
    void collectCells(pugi::xml_node n, std::vector<pugi::xml_node>& cells) {
        for (pugi::xml_node c : n.children()) {
            const std::string l = wLocal(c);
            if (l == "tc") cells.push_back(c);
            else if (l == "sdt") collectCells(c.child(q("sdtContent")), cells);
            else if (l == "customXml") collectCells(c, cells);
        }
    }

    bool hasContent(pugi::xml_node n) const {
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

    void noteTableProblem(int paragraph, const QString& what) {
        if (!quiet()) result_.tableProblems.push_back({paragraph, what});
    }

    // The filing software's tables hold no tables: the text of an inner
    // table goes on in its cell, a line per paragraph, and is reported.
    void flattenedTable(pugi::xml_node tbl) {
        noteTableProblem(paragraph_ + 1, QStringLiteral("表の中の表は電子出願ソフトで表せないため、内側の表の文字をセルの中に続けて書きました"));
        std::vector<pugi::xml_node> rows;
        collectRows(tbl, rows);
        for (pugi::xml_node tr : rows) {
            std::vector<pugi::xml_node> cells;
            collectCells(tr, cells);
            for (pugi::xml_node tc : cells) blocks(tc);
        }
    }

    void table(pugi::xml_node tbl) {
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

    // --- inline content ------------------------------------------------------

    bool inInstruction() const {
        for (bool instr : fields_)
            if (instr) return true;
        return false;
    }

    void inlines(pugi::xml_node n) {
        for (pugi::xml_node c : n.children()) {
            if (c.type() != pugi::node_element) continue;
            const std::string l = wLocal(c);
            if (l == "r") {
                runContent(c);
            } else if (l == "hyperlink" || l == "ins" || l == "moveTo" || l == "smartTag" ||
                       l == "customXml" || l == "fldSimple" || l == "bdo" || l == "dir") {
                inlines(c);
            } else if (l == "sdt") {
                inlines(c.child(q("sdtContent")));
            } else if (localName(c.name()) == "AlternateContent") {
                alternateContent(c);
            } else if (!mathPrefix_.empty() && prefixOf(c.name()) == mathPrefix_) {
                if (!equationAsPicture_) math(c);
            }
        }
    }

    void runContent(pugi::xml_node r) {
        const Look look = styles_.resolve(r.child(q("rPr")), paragraphStyle_);
        for (pugi::xml_node c : r.children()) {
            if (c.type() != pugi::node_element) continue;
            const std::string l = wLocal(c);
            if (l == "fldChar") {
                const std::string type = c.attribute(q("fldCharType")).value();
                if (type == "begin") fields_.push_back(true);
                else if (type == "separate" && !fields_.empty()) fields_.back() = false;
                else if (type == "end" && !fields_.empty()) fields_.pop_back();
                continue;
            }
            if (inInstruction()) continue;
            if (l == "t") {
                text(QString::fromUtf8(c.text().get()), look);
            } else if (l == "tab" || l == "ptab") {
                text(QStringLiteral("\u3000"), look);
            } else if (l == "br" || l == "cr") {
                raw(QStringLiteral("<BR>"));
            } else if (l == "noBreakHyphen") {
                text(QStringLiteral("-"), look);
            } else if (l == "sym") {
                bool ok = false;
                uint code = QString::fromUtf8(c.attribute(q("char")).value()).toUInt(&ok, 16);
                if (!ok || !code) continue;
                // The Symbol font's Greek letters and signs as the characters they show.
                if (QString::fromUtf8(c.attribute(q("font")).value()).compare("Symbol", Qt::CaseInsensitive) == 0 &&
                    (code < 0x100 || (code >= 0xF000 && code <= 0xF0FF)))
                    if (const char32_t mapped = symbolFontCharacter(code)) code = mapped;
                const char32_t cp = code;
                text(QString::fromUcs4(&cp, 1), look);
            } else if (l == "drawing" || l == "pict" || l == "object") {
                pictures(c);
            } else if (l == "ruby") {
                inlines(c.child(q("rubyBase")));
            } else if (localName(c.name()) == "AlternateContent") {
                alternateContent(c);
            }
            // w:instrText, w:delText, note references, soft hyphens: nothing.
        }
    }

    void alternateContent(pugi::xml_node ac) {
        const std::string p = prefixOf(ac.name());
        pugi::xml_node choice = ac.child((p + ":Choice").c_str());
        if (choice && countPictures(choice) > 0) {
            pictures(choice);
            return;
        }
        pictures(ac.child((p + ":Fallback").c_str()));
    }

    // Pictures under a node, text boxes (other stories) left out.
    int countPictures(pugi::xml_node n) const {
        int count = 0;
        for (pugi::xml_node c : n.children()) {
            if (c.type() != pugi::node_element) continue;
            const std::string l = localName(c.name());
            if (l == "txbxContent" || l == "textbox") continue;
            if (!pictureRel(c).isEmpty()) ++count;
            count += countPictures(c);
        }
        return count;
    }

    QString pictureRel(pugi::xml_node n) const {
        const std::string l = localName(n.name());
        const char* attr = l == "blip" ? "embed" : l == "imagedata" ? "id" : nullptr;
        if (!attr) return {};
        for (pugi::xml_attribute a : n.attributes())
            if (localName(a.name()) == attr && relPrefixes_.count(prefixOf(a.name())))
                return QString::fromUtf8(a.value());
        return {};
    }

    void pictures(pugi::xml_node n) {
        for (pugi::xml_node c : n.children()) {
            if (c.type() != pugi::node_element) continue;
            const std::string l = localName(c.name());
            if (l == "txbxContent" || l == "textbox") continue;
            if (l == "AlternateContent") {
                alternateContent(c);
                continue;
            }
            const auto saved = extent_;
            if (const auto extent = displayedExtent(c)) extent_ = *extent;
            const QString rel = pictureRel(c);
            if (!rel.isEmpty()) image(rel);
            pictures(c);
            extent_ = saved;
        }
    }

    void image(const QString& relId) {
        const QString part = src_.relationshipTarget(relId);
        if (part.isEmpty() || quiet()) return;  // an external link: no file to copy
        auto known = pictureByPart_.find(part);
        QString fileName;
        if (known != pictureByPart_.end()) {
            fileName = known->second;
        } else {
            FilingPicture file;
            if (options_.readPictures) {
                const QByteArray bytes = src_.readPart(part);
                if (bytes.isEmpty()) return;
                const QString extension = imageExtension(part, bytes);
                file = options_.prepare ? options_.prepare(part, bytes, extension, extent_.first, extent_.second)
                                        : FilingPicture{bytes, extension, {}, {}};
            } else {
                file.extension = imageExtension(part, {});
            }
            fileName = addPicture(part, std::move(file));
            pictureByPart_[part] = fileName;
        }
        result_.pictureUses.push_back({paragraph_, part, extent_.first, extent_.second});
        raw(imgTag(fileName));
    }

    // A picture file of the result, named in the order the pictures show.
    QString addPicture(const QString& part, FilingPicture file) {
        Picture picture;
        picture.partName = part;
        picture.fileName =
            QFileInfo(pictureFileName(options_.pictureBase, int(result_.pictures.size()) + 1, file.extension)).fileName();
        picture.file = std::move(file);
        result_.pictures.push_back(std::move(picture));
        return result_.pictures.back().fileName;
    }

    QString imgTag(const QString& fileName) {
        QString src;
        for (char32_t cp : fileName.toHtmlEscaped().toUcs4())
            src += chars_(cp).encodable ? QString::fromUcs4(&cp, 1)
                                        : QStringLiteral("&#%1;").arg(static_cast<quint32>(cp));
        return QStringLiteral("<IMG SRC=\"%1\">").arg(src);
    }

    // Office Math: its text, with superscripts and subscripts kept.
    void math(pugi::xml_node n, Look look = {}) {
        const std::string m = mathPrefix_ + ":";
        for (pugi::xml_node c : n.children()) {
            if (c.type() != pugi::node_element) continue;
            const std::string name = c.name();
            if (name.rfind(m, 0) != 0) {
                if (wLocal(c) == "r") runContent(c);
                continue;
            }
            const std::string l = name.substr(m.size());
            if (l == "naryPr") {  // the operator of a sum or integral, ∫ unless it says
                text(mathCharacter(c, "chr", QStringLiteral("∫")), look);
                continue;
            }
            if (l.size() > 2 && l.compare(l.size() - 2, 2, "Pr") == 0) continue;  // properties
            if (kNotAsText.count(l) || (l == "rad" && hasMathText(c.child((m + "deg").c_str()))))
                noteEquationNotAsText();
            if (l == "d") {
                // Delimiters: "(a|b)" unless the properties name other characters.
                pugi::xml_node dPr = c.child((m + "dPr").c_str());
                text(mathCharacter(dPr, "begChr", QStringLiteral("(")), look);
                bool first = true;
                for (pugi::xml_node e : c.children((m + "e").c_str())) {
                    if (!first) text(mathCharacter(dPr, "sepChr", QStringLiteral("|")), look);
                    first = false;
                    math(e, look);
                }
                text(mathCharacter(dPr, "endChr", QStringLiteral(")")), look);
            } else if (l == "t") {
                // The invisible operators (function application, invisible
                // times, separator, plus) show nothing and are left out.
                QString t = QString::fromUtf8(c.text().get());
                t.remove(QRegularExpression(QStringLiteral("[\u2061-\u2064]")));
                text(t, look);
            } else if (l == "sup" || l == "sub") {
                Look inner = look;
                inner.sup = l == "sup";
                inner.sub = l == "sub";
                math(c, inner);
            } else if (l == "f") {
                text(QStringLiteral("("), look);
                math(c.child((m + "num").c_str()), look);
                text(QStringLiteral(")/("), look);
                math(c.child((m + "den").c_str()), look);
                text(QStringLiteral(")"), look);
            } else if (l == "rad") {
                text(QStringLiteral("√("), look);
                math(c.child((m + "e").c_str()), look);
                text(QStringLiteral(")"), look);
            } else {
                math(c, look);
            }
        }
    }

    // Structures that plain text with superscripts and subscripts cannot
    // show: matrices, equation arrays, accents, bars, grouping characters,
    // limits over and under, prescripts, boxes with borders.
    inline static const std::set<std::string> kNotAsText = {"m",      "eqArr",  "acc",  "bar",       "groupChr",
                                                            "limLow", "limUpp", "sPre", "borderBox"};

    // A character named by a math property (m:chr m:val="∑"); `fallback` when
    // the property is absent; nothing when it is there without a value.
    QString mathCharacter(pugi::xml_node properties, const char* local, const QString& fallback) const {
        pugi::xml_node p = properties.child((mathPrefix_ + ":" + local).c_str());
        if (!p) return fallback;
        return QString::fromUtf8(p.attribute((mathPrefix_ + ":val").c_str()).value());
    }

    bool hasMathText(pugi::xml_node n) const {
        for (pugi::xml_node c : n.children()) {
            if (c.type() != pugi::node_element) continue;
            if (localName(c.name()) == "t" && *c.text().get()) return true;
            if (hasMathText(c)) return true;
        }
        return false;
    }

    void noteEquationNotAsText() {
        if (quiet()) return;
        auto& list = result_.equationsNotAsText;
        if (!list.empty() && list.back() == paragraph_) return;
        list.push_back(paragraph_);
        result_.equationParagraphs.push_back({paragraph_, paragraphNode_});
    }

    const Source& src_;
    mutable std::unordered_map<std::string, std::string> names_;
    Styles styles_;
    const WalkOptions& options_;
    CharTable chars_;
    std::set<std::string> relPrefixes_;
    std::string mathPrefix_;

    WalkResult result_;
    QString line_;
    bool lineOpen_ = false;
    bool suppress_ = false;
    bool outsideSection_ = false;
    int tableDepth_ = 0;
    Look open_;
    int paragraph_ = 0;
    pugi::xml_node paragraphNode_;
    bool equationAsPicture_ = false;  // the paragraph's equations go out as a picture
    int lastMathNumber_ = 0;          // the n of the last 【数ｎ】
    bool headingWaiting_ = false;     // an 【数ｎ】 heading no equation has taken yet
    std::string paragraphStyle_;
    std::vector<bool> fields_;  // open complex fields: true while in the instruction
    std::map<QString, QString> pictureByPart_;
    std::pair<qint64, qint64> extent_{0, 0};  // of the drawing or shape being walked
};

}  // namespace

QString imageExtension(const QString& partName, const QByteArray& bytes) {
    const QString suffix = QFileInfo(partName).suffix().toLower();
    static const QRegularExpression kPlain(QStringLiteral("^[a-z0-9]{1,5}$"));
    if (!suffix.isEmpty() && kPlain.match(suffix).hasMatch()) return suffix;
    const QString format = PictureFormatBySignature(bytes).toLower();
    return format.isEmpty() ? QStringLiteral("bin") : format;
}

WalkResult walkMainStory(const Source& source, const WalkOptions& options) {
    HtmlWalk walk(source, options);
    walk.run();
    return std::move(walk.result());
}

}  // namespace word::ooxml::html
