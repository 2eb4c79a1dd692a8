#include "word/ooxml/html_writer.h"

#include "word/automation.h"
#include "word/cp932.h"
#include "word/ooxml/document_model.h"
#include "word/ooxml/package.h"
#include "word/ooxml/story_pictures.h"

#include <QFile>
#include <QRegularExpression>
#include <QFileInfo>
#include <QSaveFile>

#include <pugixml.hpp>

#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

// The HTML follows the text rules of the main story (document_model.cpp):
// body paragraphs in order with table cells, deleted revisions and field
// instructions left out, text boxes, headers, footers and notes being other
// stories. One line per paragraph, each ending in <BR>.

namespace word::ooxml {

namespace {

const char* const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const kRelNsStrict = "http://purl.oclc.org/ooxml/officeDocument/relationships";
const char* const kMathNs = "http://schemas.openxmlformats.org/officeDocument/2006/math";

// ---------------------------------------------------------------------------
// Characters

struct CharInfo {
    bool encodable = false;  // code page 932 has it
    bool accepted = false;   // the filing software takes it
};

CharInfo classify(char32_t cp) {
    CharInfo info;
    if (cp < 0x80) {
        info.encodable = true;
        info.accepted = cp >= 0x20 && cp < 0x7F;
        return info;
    }
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return info;
    bool lossy = false;
    const QByteArray bytes = cp932::encode(QString::fromUcs4(&cp, 1), &lossy);
    if (lossy || bytes.isEmpty()) return info;
    info.encodable = true;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1) {
        // Half-width katakana (A1-DF) are refused; a few characters such as
        // the no-break space come out as ASCII and are taken as such.
        info.accepted = b0 >= 0x20 && b0 < 0x7F;
    } else if (bytes.size() == 2) {
        // Lead bytes of the JIS X 0208 rows in Shift_JIS: rows 1-8 (81-84),
        // rows 16-84 (88-9F, E0-EA). 87 holds the NEC special characters,
        // ED-EE and FA-FC the IBM extensions, F0-F9 the user-defined area.
        info.accepted = (b0 >= 0x81 && b0 <= 0x84) || (b0 >= 0x88 && b0 <= 0x9F) ||
                        (b0 >= 0xE0 && b0 <= 0xEA);
    }
    return info;
}

class CharTable {
public:
    const CharInfo& operator()(char32_t cp) {
        auto it = cache_.find(cp);
        if (it == cache_.end()) it = cache_.emplace(cp, classify(cp)).first;
        return it->second;
    }

private:
    std::unordered_map<char32_t, CharInfo> cache_;
};

// The characters of the Symbol font by their code (w:sym w:font="Symbol"
// w:char="F061" is α); 0 where the font has nothing or no plain equivalent.
char32_t symbolFontCharacter(uint code) {
    static const char16_t upper[] = u"ΑΒΧΔΕΦΓΗΙϑΚΛΜΝΟΠΘΡΣΤΥςΩΞΨΖ";  // 0x41-0x5A
    static const char16_t lower[] = u"αβχδεφγηιϕκλμνοπθρστυϖωξψζ";  // 0x61-0x7A
    static const std::map<uint, char32_t> other = {
        {0x22, U'∀'}, {0x24, U'∃'}, {0x27, U'∋'}, {0x2A, U'∗'}, {0x2D, U'−'}, {0x40, U'≅'},
        {0x5C, U'∴'}, {0x5E, U'⊥'}, {0x7E, U'∼'}, {0xA2, U'′'}, {0xA3, U'≤'}, {0xA5, U'∞'},
        {0xAB, U'↔'}, {0xAC, U'←'}, {0xAD, U'↑'}, {0xAE, U'→'}, {0xAF, U'↓'}, {0xB0, U'°'},
        {0xB1, U'±'}, {0xB2, U'″'}, {0xB3, U'≥'}, {0xB4, U'×'}, {0xB5, U'∝'}, {0xB6, U'∂'},
        {0xB7, U'•'}, {0xB8, U'÷'}, {0xB9, U'≠'}, {0xBA, U'≡'}, {0xBB, U'≈'}, {0xC4, U'⊗'},
        {0xC5, U'⊕'}, {0xC6, U'∅'}, {0xC7, U'∩'}, {0xC8, U'∪'}, {0xC9, U'⊃'}, {0xCA, U'⊇'},
        {0xCB, U'⊄'}, {0xCC, U'⊂'}, {0xCD, U'⊆'}, {0xCE, U'∈'}, {0xCF, U'∉'}, {0xD0, U'∠'},
        {0xD1, U'∇'}, {0xD5, U'∏'}, {0xD6, U'√'}, {0xD7, U'⋅'}, {0xD8, U'¬'}, {0xD9, U'∧'},
        {0xDA, U'∨'}, {0xDB, U'⇔'}, {0xDC, U'⇐'}, {0xDD, U'⇑'}, {0xDE, U'⇒'}, {0xDF, U'⇓'},
        {0xE5, U'∑'}, {0xF2, U'∫'}};
    code &= 0xFF;
    if (code >= 0x41 && code <= 0x5A) return upper[code - 0x41];
    if (code >= 0x61 && code <= 0x7A) return lower[code - 0x61];
    if (code >= 0x20 && code < 0x7F && !std::strchr("\"$'*-@\\^`~", int(code)))
        return code;  // digits and punctuation as in ASCII
    auto it = other.find(code);
    return it == other.end() ? 0 : it->second;
}

// ---------------------------------------------------------------------------
// Names

std::string localName(const char* qualified) {
    const char* colon = std::strchr(qualified, ':');
    return colon ? std::string(colon + 1) : std::string(qualified);
}

// "w:p" for prefix "w" and "p"; the strings live in `cache` (stable node storage).
const char* qualify(const std::string& prefix, const char* local,
                    std::unordered_map<std::string, std::string>& cache) {
    auto it = cache.find(local);
    if (it == cache.end()) it = cache.emplace(local, prefix.empty() ? local : prefix + ":" + local).first;
    return it->second.c_str();
}

std::string prefixOf(const char* qualified) {
    const char* colon = std::strchr(qualified, ':');
    return colon ? std::string(qualified, colon) : std::string();
}

// Image formats by their first bytes, for media parts without a usable extension.
QString sniffExtension(const QByteArray& b) {
    if (b.startsWith("\x89PNG")) return "png";
    if (b.startsWith("\xFF\xD8")) return "jpeg";
    if (b.startsWith("GIF8")) return "gif";
    if (b.startsWith("BM")) return "bmp";
    if (b.startsWith("II*") || b.startsWith("MM\0*")) return "tiff";
    if (b.size() > 44 && b.mid(40, 4) == " EMF") return "emf";
    if (b.startsWith("\xD7\xCD\xC6\x9A")) return "wmf";
    return "bin";
}

QString imageExtension(const QString& partName, const QByteArray& bytes) {
    const QString suffix = QFileInfo(partName).suffix().toLower();
    static const QRegularExpression kPlain(QStringLiteral("^[a-z0-9]{1,5}$"));
    if (!suffix.isEmpty() && kPlain.match(suffix).hasMatch()) return suffix;
    return sniffExtension(bytes);
}

// ---------------------------------------------------------------------------
// Underline and vertical alignment from direct formatting and styles.

struct RunLook {
    std::optional<bool> underline;
    std::optional<int> vertAlign;  // 0 baseline, 1 superscript, 2 subscript
    void fillFrom(const RunLook& o) {
        if (!underline) underline = o.underline;
        if (!vertAlign) vertAlign = o.vertAlign;
    }
    bool complete() const { return underline && vertAlign; }
};

struct Look {
    bool u = false, sup = false, sub = false;
    bool operator==(const Look&) const = default;
};

class Styles {
public:
    Styles(const pugi::xml_document* styles, const std::string& w) : w_(w) {
        if (!styles) return;
        pugi::xml_node root = styles->document_element();
        if (pugi::xml_node d = root.child(q("docDefaults")).child(q("rPrDefault")).child(q("rPr")))
            defaults_ = lookOf(d);
        for (pugi::xml_node s : root.children(q("style"))) {
            Style st;
            st.own = lookOf(s.child(q("rPr")));
            st.basedOn = s.child(q("basedOn")).attribute(q("val")).value();
            const std::string id = s.attribute(q("styleId")).value();
            const std::string type = s.attribute(q("type")).value();
            const std::string def = s.attribute(q("default")).value();
            if (type == "paragraph" && (def == "1" || def == "true" || def == "on"))
                defaultParagraph_ = id;
            styles_[id] = st;
        }
    }

    // Reads w:u and w:vertAlign of an rPr element.
    RunLook lookOf(pugi::xml_node rPr) const {
        RunLook l;
        if (!rPr) return l;
        if (pugi::xml_node u = rPr.child(q("u"))) {
            const std::string v = u.attribute(q("val")).value();
            l.underline = v != "none";
        }
        if (pugi::xml_node va = rPr.child(q("vertAlign"))) {
            const std::string v = va.attribute(q("val")).value();
            l.vertAlign = v == "superscript" ? 1 : v == "subscript" ? 2 : 0;
        }
        return l;
    }

    Look resolve(pugi::xml_node rPr, const std::string& paragraphStyle) {
        RunLook l = lookOf(rPr);
        if (!l.complete()) {
            const std::string rStyle = rPr.child(q("rStyle")).attribute(q("val")).value();
            if (!rStyle.empty()) l.fillFrom(chain(rStyle));
        }
        if (!l.complete())
            l.fillFrom(chain(paragraphStyle.empty() ? defaultParagraph_ : paragraphStyle));
        if (!l.complete()) l.fillFrom(defaults_);
        Look out;
        out.u = l.underline.value_or(false);
        out.sup = l.vertAlign.value_or(0) == 1;
        out.sub = l.vertAlign.value_or(0) == 2;
        return out;
    }

private:
    struct Style {
        RunLook own;
        std::string basedOn;
    };

    const char* q(const char* local) const { return qualify(w_, local, names_); }

    RunLook chain(const std::string& id) {
        if (id.empty()) return {};
        auto c = resolved_.find(id);
        if (c != resolved_.end()) return c->second;
        RunLook l;
        std::set<std::string> seen;  // basedOn loops in damaged files
        for (std::string cur = id; !cur.empty() && seen.insert(cur).second;) {
            auto it = styles_.find(cur);
            if (it == styles_.end()) break;
            l.fillFrom(it->second.own);
            cur = it->second.basedOn;
        }
        resolved_[id] = l;
        return l;
    }

    std::string w_;
    mutable std::unordered_map<std::string, std::string> names_;
    RunLook defaults_;
    std::string defaultParagraph_;
    std::map<std::string, Style> styles_;
    std::map<std::string, RunLook> resolved_;
};

// ---------------------------------------------------------------------------
// The walk

struct Source {
    const pugi::xml_document* doc = nullptr;
    std::string w;  // prefix of the WordprocessingML namespace
    std::function<QString(const QString& relId)> relationshipTarget;
    std::function<QByteArray(const QString& part)> readPart;
    const pugi::xml_document* styles = nullptr;
};

struct Picture {
    QString fileName;
    QString partName;
    QByteArray bytes;
};

// One place in the text where a picture shows, with its displayed size.
struct PictureUse {
    int paragraph = 0;  // 1-based, as the walk counts
    QString partName;
    qint64 cxEmu = 0, cyEmu = 0;
};

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
    // Without readPictures the pictures are named but their parts not read.
    HtmlWalk(const Source& src, QString pictureBase, bool readPictures = true)
        : src_(src), styles_(src.styles, src.w), pictureBase_(std::move(pictureBase)),
          readPictures_(readPictures) {
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

    const QStringList& lines() const { return lines_; }
    const std::vector<RefusedCharacter>& refused() const { return refused_; }
    const std::vector<Picture>& pictures() const { return pictures_; }
    const std::vector<PictureUse>& pictureUses() const { return pictureUses_; }

private:
    const char* q(const char* local) const { return qualify(src_.w, local, names_); }
    std::string wLocal(pugi::xml_node n) const {
        const std::string name = n.name();
        if (src_.w.empty()) return name.find(':') == std::string::npos ? name : std::string();
        const std::string p = src_.w + ":";
        return name.rfind(p, 0) == 0 ? name.substr(p.size()) : std::string();
    }

    // --- output --------------------------------------------------------------

    void raw(const QString& s) {
        if (!suppress_) line_ += s;
    }
    void startLineIfNeeded() { lineOpen_ = true; }
    void finishLine() {
        if (!lineOpen_) return;
        setLook({});
        raw(QStringLiteral("<BR>"));
        emitLine();
    }
    void emitLine() {
        if (!suppress_) lines_ << line_;
        line_.clear();
        lineOpen_ = false;
    }
    void tagLine(const QString& tag) {
        finishLine();
        if (!suppress_) lines_ << tag;
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
            if (!info.accepted && !suppress_) refused_.push_back({paragraph_, cp});
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
        startLineIfNeeded();
        pugi::xml_node pPr = p.child(q("pPr"));
        paragraphStyle_ = pPr.child(q("pStyle")).attribute(q("val")).value();
        inlines(p);
        // A paragraph mark deleted as a tracked change joins the paragraph to
        // the next one in the document as it reads.
        pugi::xml_node markRPr = pPr.child(q("rPr"));
        if (markRPr.child(q("del")) || markRPr.child(q("moveFrom"))) return;
        finishLine();
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

    void table(pugi::xml_node tbl) {
        finishLine();
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
                math(c);
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
        if (part.isEmpty()) return;  // an external link: no file to copy
        auto known = pictureByPart_.find(part);
        QString fileName;
        if (known != pictureByPart_.end()) {
            fileName = known->second;
        } else {
            QByteArray bytes;
            if (readPictures_) {
                bytes = src_.readPart(part);
                if (bytes.isEmpty()) return;
            }
            fileName = QFileInfo(pictureFileName(pictureBase_, int(pictures_.size()) + 1,
                                                 imageExtension(part, bytes)))
                           .fileName();
            pictures_.push_back({fileName, part, bytes});
            pictureByPart_[part] = fileName;
        }
        if (!suppress_) pictureUses_.push_back({paragraph_, part, extent_.first, extent_.second});
        QString escaped = fileName.toHtmlEscaped();
        QString src;
        for (char32_t cp : escaped.toUcs4())
            src += chars_(cp).encodable ? QString::fromUcs4(&cp, 1)
                                        : QStringLiteral("&#%1;").arg(static_cast<quint32>(cp));
        raw(QStringLiteral("<IMG SRC=\"%1\">").arg(src));
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
            if (l.size() > 2 && l.compare(l.size() - 2, 2, "Pr") == 0) continue;  // properties
            if (l == "t") {
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

    const Source& src_;
    mutable std::unordered_map<std::string, std::string> names_;
    Styles styles_;
    QString pictureBase_;
    bool readPictures_ = true;
    CharTable chars_;
    std::set<std::string> relPrefixes_;
    std::string mathPrefix_;

    QStringList lines_;
    QString line_;
    bool lineOpen_ = false;
    bool suppress_ = false;
    Look open_;
    int paragraph_ = 0;
    std::string paragraphStyle_;
    std::vector<bool> fields_;  // open complex fields: true while in the instruction
    std::vector<RefusedCharacter> refused_;
    std::vector<Picture> pictures_;
    std::map<QString, QString> pictureByPart_;
    std::vector<PictureUse> pictureUses_;
    std::pair<qint64, qint64> extent_{0, 0};  // of the drawing or shape being walked
};

// The styles part of the main document, found through its relationships.
QString stylesPartName(const Package& pkg) {
    const QString main = pkg.mainPartName();
    const int slash = main.lastIndexOf('/');
    const QString folder = slash >= 0 ? main.left(slash + 1) : QString();
    const QString rels = folder + "_rels/" + main.mid(slash + 1) + ".rels";
    if (!pkg.hasPart(rels)) return {};
    pugi::xml_document doc;
    const QByteArray bytes = pkg.readPart(rels);
    if (!doc.load_buffer(bytes.constData(), bytes.size(), pugi::parse_default & ~pugi::parse_doctype))
        return {};
    for (pugi::xml_node r : doc.document_element().children()) {
        const std::string type = r.attribute("Type").value();
        if (type.size() >= 7 && type.compare(type.size() - 7, 7, "/styles") == 0 &&
            std::string(r.attribute("TargetMode").value()) != "External")
            return pkg.relationshipTarget(main, QString::fromUtf8(r.attribute("Id").value()));
    }
    return {};
}

struct ModelSource {
    Source source;
    pugi::xml_document styles;
};

void fillSource(DocumentModel& model, ModelSource& out) {
    Package& pkg = model.package();
    out.source.doc = &model.xml();
    out.source.w = model.wordPrefix();
    const QString main = pkg.mainPartName();
    out.source.relationshipTarget = [&pkg, main](const QString& id) {
        return pkg.relationshipTarget(main, id);
    };
    out.source.readPart = [&pkg](const QString& part) {
        return pkg.hasPart(part) ? pkg.readPart(part) : QByteArray();
    };
    const QString stylesPart = stylesPartName(pkg);
    if (!stylesPart.isEmpty() && pkg.hasPart(stylesPart)) {
        const QByteArray bytes = pkg.readPart(stylesPart);
        // Styles only refine underline and super/subscript: a damaged styles
        // part is passed over rather than refusing the export.
        if (out.styles.load_buffer(bytes.constData(), bytes.size(),
                                   pugi::parse_default & ~pugi::parse_doctype))
            out.source.styles = &out.styles;
    }
}

QString htmlBase(const QString& htmlPath) {
    QString base = htmlPath;
    for (const char* ext : {".htm", ".html"})
        if (base.endsWith(QLatin1String(ext), Qt::CaseInsensitive) && base.size() > int(strlen(ext))) {
            base.chop(int(strlen(ext)));
            break;
        }
    return base;
}

void writeAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw Error(QStringLiteral("ファイルを書き込めませんでした：%1（%2）").arg(path, f.errorString()));
}

}  // namespace

bool filingSoftwareAccepts(char32_t codePoint) { return classify(codePoint).accepted; }

QString pictureFileName(const QString& htmlPath, int number, const QString& extension) {
    return QStringLiteral("%1_%2.%3").arg(htmlBase(htmlPath)).arg(number).arg(extension);
}

void writeFilingHtml(DocumentModel& model, const QString& htmlPath) {
    ModelSource ms;
    fillSource(model, ms);
    HtmlWalk walk(ms.source, htmlPath);
    walk.run();

    QStringList out;
    out << QStringLiteral("<HTML>") << QStringLiteral("<HEAD>")
        << QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">")
        << QStringLiteral("</HEAD>") << QStringLiteral("<BODY>");
    out << walk.lines();
    out << QStringLiteral("</BODY>") << QStringLiteral("</HTML>");
    bool lossy = false;
    const QByteArray bytes = cp932::encode(out.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), &lossy);
    if (lossy)  // every character the code page lacks was written as a reference
        throw Error(QStringLiteral("HTMLの文字コード変換に失敗しました：%1").arg(htmlPath));

    // Pictures first, the HTML last; on a failure the pictures of this call
    // are removed again, so no half-made export remains.
    const QString folder = QFileInfo(htmlPath).absolutePath();
    std::vector<QString> written;
    try {
        for (const Picture& p : walk.pictures()) {
            const QString path = folder + "/" + p.fileName;
            writeAtomically(path, p.bytes);
            written.push_back(path);
        }
        writeAtomically(htmlPath, bytes);
    } catch (...) {
        for (const QString& path : written) QFile::remove(path);
        throw;
    }
}

std::vector<RefusedCharacter> refusedCharacters(DocumentModel& model) {
    ModelSource ms;
    fillSource(model, ms);
    HtmlWalk walk(ms.source, QStringLiteral("x.htm"), false);
    walk.run();
    return walk.refused();
}

std::vector<StoryPicture> storyPictures(DocumentModel& model) {
    ModelSource ms;
    fillSource(model, ms);
    HtmlWalk walk(ms.source, QStringLiteral("x.htm"));
    walk.run();
    std::map<QString, const Picture*> byPart;
    for (const Picture& p : walk.pictures()) byPart[p.partName] = &p;
    std::vector<StoryPicture> out;
    for (const PictureUse& use : walk.pictureUses())
        out.push_back({use.paragraph - 1, use.partName, byPart.at(use.partName)->bytes, use.cxEmu, use.cyEmu});
    return out;
}

}  // namespace word::ooxml
