#pragma once
// The walk through the main story behind walkMainStory (html_walk.h): one
// class whose parts live in html_walk.cpp (paragraphs, runs, pictures),
// html_walk_tables.cpp and html_walk_math.cpp (equations as text or as
// 【数ｎ】 pictures). Internal to those files.

#include "word/cp932.h"
#include "word/ooxml/filing_characters.h"
#include "word/ooxml/html_styles.h"
#include "word/ooxml/html_walk.h"
#include "word/ooxml/list_numbers.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>

namespace word::ooxml::html {

// The displayed size of a drawing (wp:inline / wp:anchor with wp:extent) or a
// VML shape (style="width:120pt;height:80pt"), in EMU; nullopt for other nodes.
std::optional<std::pair<qint64, qint64>> displayedExtent(pugi::xml_node n);

class HtmlWalk {
public:
    HtmlWalk(const Source& src, const WalkOptions& options);

    void run() {
        for (const char16_t* line : {u"<HTML>", u"<HEAD>",
                                     u"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">",
                                     u"</HEAD>", u"<BODY>"})
            writeLine(line);
        pugi::xml_node body = src_.doc->document_element().child(q("body"));
        blocks(body);
        finishLine();
        for (const char16_t* line : {u"</BODY>", u"</HTML>"}) writeLine(line);
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
        if (!quiet()) writeLine(line_);
        line_.clear();
        lineOpen_ = false;
    }
    void tagLine(const QString& tag) {
        finishLine();
        if (!quiet()) writeLine(tag);
    }
    // Each line goes into the file's bytes as it is finished: the lines are
    // never held as text.
    void writeLine(QStringView line) {
        if (!options_.writeHtml) return;
        if (!cp932::appendEncoded(result_.html, line)) result_.lossy = true;
        result_.html += "\r\n";
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
        if (s.isEmpty() || !(options_.writeHtml || options_.listCharacters)) return;
        setLook(look);
        QString out;
        out.reserve(s.size());
        for (qsizetype i = 0; i < s.size(); ++i) {
            const QChar c = s[i];
            const bool pair = c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
            const char32_t cp = pair ? QChar::surrogateToUcs4(c, s[i + 1]) : c.unicode();
            if (pair) ++i;
            if (cp == '&') { out += QStringLiteral("&amp;"); continue; }
            if (cp == '<') { out += QStringLiteral("&lt;"); continue; }
            if (cp == '>') { out += QStringLiteral("&gt;"); continue; }
            if (cp < 0x20 || cp == 0x7F) continue;  // control characters carry nothing
            const CharInfo& info = chars_(cp);
            if (!info.accepted && !quiet()) result_.refused.push_back({paragraph_, cp});
            if (!info.encodable) {
                out += QStringLiteral("&#%1;").arg(static_cast<quint32>(cp));
            } else if (pair) {
                out += c;
                out += s[i];
            } else {
                out += c;
            }
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
        if (options_.equationPictures && !options_.equationPictures->empty()) noteMathHeading(p);
        startLineIfNeeded();
        pugi::xml_node pPr = p.child(q("pPr"));
        paragraphStyle_ = pPr.child(q("pStyle")).attribute(q("val")).value();
        // The number Word draws before a paragraph of a numbered list.
        if (src_.listNumbers && (options_.writeHtml || options_.listCharacters))
            text(src_.listNumbers->next(pPr, paragraphStyle_), Look{});
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

    // --- equations as pictures (html_walk_math.cpp) ----------------------------

    const FilingPicture* equationPicture() const;

    // "【数３】" alone in a paragraph is the heading of an equation item: the
    // numbers go on from it, and an equation right after it (or in the same
    // paragraph) takes it rather than a new one. Blank paragraphs between
    // them keep it.
    void noteMathHeading(pugi::xml_node p);

    // The paragraph's own text (without its equations) stays as a line when it
    // has any; the 【数ｎ】 heading (unless one is waiting) and the picture follow.
    void equationItem(const FilingPicture& picture);

    static QString fullWidthDigits(int n);

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

    // --- tables (html_walk_tables.cpp) --------------------------------------------

    struct Cell {
        pugi::xml_node tc;
        int col = 0;
        int span = 1;
        bool continues = false;  // vMerge continuation
        bool empty = true;
        int rowSpan = 1;
        bool skip = false;
    };

    void collectRows(pugi::xml_node n, std::vector<pugi::xml_node>& rows);
    void collectCells(pugi::xml_node n, std::vector<pugi::xml_node>& cells);

    bool hasContent(pugi::xml_node n) const;

    void noteTableProblem(int paragraph, const QString& what);

    // The filing software's tables hold no tables: the text of an inner
    // table goes on in its cell, a line per paragraph, and is reported.
    void flattenedTable(pugi::xml_node tbl);

    void table(pugi::xml_node tbl);

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

    inline static const QString kLinkedOnly =
        QStringLiteral("リンクだけの画像は文書に含まれていないため、HTMLに入りません。画像を文書に入れてください");

    // The relationship of a picture (a:blip r:embed, v:imagedata r:id), or
    // with `linked` that of a picture only linked (a:blip r:link).
    QString pictureRel(pugi::xml_node n, bool linked = false) const {
        const std::string l = localName(n.name());
        const char* attr = l == "blip" ? (linked ? "link" : "embed") : l == "imagedata" && !linked ? "id" : nullptr;
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
            if (l == "txbxContent" || l == "textbox") {
                if (hasText(c)) noteHandWork(QStringLiteral("テキストボックスの文字はHTMLに入りません。本文に移してください"));
                continue;
            }
            if (l == "AlternateContent") {
                alternateContent(c);
                continue;
            }
            if (const QString what = drawnObject(c); !what.isEmpty()) {
                noteHandWork(what + QStringLiteral("はHTMLに入りません。画像にして入れ直してください"));
                if (l == "graphicData") continue;  // a chart or SmartArt has no picture of its own
            }
            const auto saved = extent_;
            if (const auto extent = displayedExtent(c)) extent_ = *extent;
            const QString rel = pictureRel(c);
            if (!rel.isEmpty()) image(rel);
            else if (!pictureRel(c, true).isEmpty() || (l == "imagedata" && hasAttribute(c, "href")))
                noteHandWork(kLinkedOnly, true);
            const bool wasInGroup = inGroup_;
            inGroup_ = inGroup_ || l == "wgp" || l == "grpSp" || l == "group";
            pictures(c);
            inGroup_ = wasInGroup;
            extent_ = saved;
        }
    }

    // What a drawing element is when it is not a picture: a chart, SmartArt,
    // a shape or a group of shapes (a shape holding a picture or text box is
    // taken by those); empty otherwise, and for the parts of a group.
    QString drawnObject(pugi::xml_node c) const {
        if (inGroup_) return {};
        const std::string l = localName(c.name());
        if (l == "graphicData") {
            const std::string uri = c.attribute("uri").value();
            auto endsWith = [&](const char* end) {
                const size_t n = std::strlen(end);
                return uri.size() >= n && uri.compare(uri.size() - n, n, end) == 0;
            };
            if (endsWith("/chart")) return QStringLiteral("グラフ");
            if (endsWith("/diagram")) return QStringLiteral("SmartArt");
            return {};
        }
        if (l == "wgp" || l == "grpSp" || (l == "group" && prefixOf(c.name()) == vmlPrefix_))
            return QStringLiteral("図形のグループ");
        static const std::set<std::string> kShapes = {"wsp",  "shape", "rect", "roundrect", "oval",
                                                      "line", "polyline", "arc", "curve"};
        const bool vml = prefixOf(c.name()) == vmlPrefix_;
        if (!kShapes.count(l) || (l != "wsp" && !vml)) return {};
        if (countPictures(c) > 0 || holdsTextBox(c)) return {};
        return QStringLiteral("図形");
    }

    bool holdsTextBox(pugi::xml_node n) const {
        for (pugi::xml_node c : n.children()) {
            if (c.type() != pugi::node_element) continue;
            const std::string l = localName(c.name());
            if (l == "txbxContent" || l == "textbox" || holdsTextBox(c)) return true;
        }
        return false;
    }

    bool hasText(pugi::xml_node n) const {
        for (pugi::xml_node c : n.children()) {
            if (c.type() != pugi::node_element) continue;
            if (wLocal(c) == "t" && *c.text().get()) return true;
            if (hasText(c)) return true;
        }
        return false;
    }

    static bool hasAttribute(pugi::xml_node n, const char* local) {
        for (pugi::xml_attribute a : n.attributes())
            if (localName(a.name()) == local) return true;
        return false;
    }

    void noteHandWork(const QString& what, bool missingPicture = false) {
        if (!quiet()) result_.handWork.push_back({paragraph_, what, missingPicture});
    }

    void image(const QString& relId) {
        if (quiet()) return;
        const QString part = src_.relationshipTarget(relId);
        if (part.isEmpty()) {
            noteHandWork(src_.relationshipIsExternal && src_.relationshipIsExternal(relId)
                             ? kLinkedOnly
                             : QStringLiteral("画像が文書の中に見つからないため、HTMLに入りません。画像を入れ直してください"),
                         true);
            return;
        }
        auto known = pictureByPart_.find(part);
        QString fileName;
        if (known != pictureByPart_.end()) {
            fileName = known->second;
        } else {
            FilingPicture file;
            if (options_.readPictures) {
                const QByteArray bytes = src_.readPart(part);
                if (bytes.isEmpty()) {
                    noteHandWork(QStringLiteral("画像のファイル（%1）が空のため、HTMLに入りません。画像を入れ直してください").arg(part),
                                 true);
                    return;
                }
                const QString extension = imageExtension(part, bytes);
                file = options_.prepare ? options_.prepare(part, bytes, extension, extent_.first, extent_.second)
                                        : FilingPicture{bytes, extension, {}, {}};
            } else {
                file.extension = imageExtension(part, {});
            }
            const QString byHand = file.byHand;
            fileName = addPicture(part, std::move(file));
            pictureByPart_[part] = fileName;
            if (!byHand.isEmpty()) noteHandWork(QStringLiteral("%1：%2。手作業で変換してください").arg(fileName, byHand));
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

    // --- equations as text (html_walk_math.cpp) ----------------------------------

    // Office Math: its text, with superscripts and subscripts kept.
    void math(pugi::xml_node n, Look look = {});

    // A character named by a math property (m:chr m:val="∑"); `fallback` when
    // the property is absent; nothing when it is there without a value.
    QString mathCharacter(pugi::xml_node properties, const char* local, const QString& fallback) const;

    bool hasMathText(pugi::xml_node n) const;

    void noteEquationNotAsText();

    const Source& src_;
    mutable std::unordered_map<std::string, std::string> names_;
    Styles styles_;
    const WalkOptions& options_;
    CharTable chars_;
    std::set<std::string> relPrefixes_;
    std::string mathPrefix_;
    std::string vmlPrefix_;
    bool inGroup_ = false;  // inside a group of shapes, which is reported whole

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

}  // namespace word::ooxml::html
