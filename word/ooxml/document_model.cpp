// The main story of a .docx as text, and the edits on it.
//
// The body's paragraphs (table cells included, other stories excluded) are
// kept as a vector of Para, each with its text and the list of "atoms" that
// produce that text: a w:t element gives its characters, every other text
// element (tab, break, picture, field character, note reference...) one
// character. Every edit works on the XML directly and then rescans only the
// paragraphs it touched, so an edit costs the size of those paragraphs, and
// a batch of k edits applied right to left costs O(text + k).

#include "word/ooxml/document_model.h"

#include "word/automation.h"
#include "word/ooxml/package.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace word::ooxml {

namespace {

constexpr const char* kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kWordNsStrict = "http://purl.oclc.org/ooxml/wordprocessingml/main";
constexpr const char* kMcNs = "http://schemas.openxmlformats.org/markup-compatibility/2006";
constexpr const char* kMathNs = "http://schemas.openxmlformats.org/officeDocument/2006/math";

// Characters Word uses in a story's text for things that are not text.
constexpr char16_t kObject = 0x0001;
constexpr char16_t kNoteRef = 0x0002;
constexpr char16_t kCommentRef = 0x0005;
constexpr char16_t kFieldBegin = 0x0013;
constexpr char16_t kFieldSep = 0x0014;
constexpr char16_t kFieldEnd = 0x0015;
constexpr char16_t kNoBreakHyphen = 0x001E;
constexpr char16_t kSoftHyphen = 0x001F;

enum class AtomKind { Text, Tab, Special };

struct Atom {
    pugi::xml_node node;  // w:t, or the element standing for one character
    pugi::xml_node run;   // the w:r holding it; null for paragraph-level objects
    int start = 0;        // offset in the paragraph's text
    int len = 0;
    AtomKind kind = AtomKind::Text;
};

struct Para {
    pugi::xml_node node;
    QString text;  // without the mark
    QChar mark = u'\r';
    std::vector<Atom> atoms;
    int fullLength() const { return static_cast<int>(text.size()) + 1; }
};

// The paragraphs of the story in a gap buffer: a batch of edits runs from
// the end of the document to its start, so inserting or removing paragraphs
// at the edit point costs O(1) plus the gap's travel, O(paragraphs) per batch,
// instead of moving the whole tail of a vector for every new paragraph.
class ParaList {
public:
    size_t size() const { return buf_.size() - (gapEnd_ - gapStart_); }
    std::unique_ptr<Para>& operator[](size_t i) { return buf_[i < gapStart_ ? i : i + (gapEnd_ - gapStart_)]; }
    const std::unique_ptr<Para>& operator[](size_t i) const {
        return buf_[i < gapStart_ ? i : i + (gapEnd_ - gapStart_)];
    }
    std::unique_ptr<Para>& back() { return (*this)[size() - 1]; }
    void push_back(std::unique_ptr<Para> p) { insert(size(), std::move(p)); }
    void insert(size_t pos, std::unique_ptr<Para> p) {
        if (gapStart_ == gapEnd_) grow();
        moveGap(pos);
        buf_[gapStart_++] = std::move(p);
    }
    void erase(size_t from, size_t to) {
        moveGap(from);
        for (size_t i = gapEnd_; i < gapEnd_ + (to - from); ++i) buf_[i].reset();
        gapEnd_ += to - from;
    }

private:
    void moveGap(size_t pos) {
        if (pos < gapStart_) {
            const size_t count = gapStart_ - pos;
            std::move_backward(buf_.begin() + static_cast<std::ptrdiff_t>(pos),
                               buf_.begin() + static_cast<std::ptrdiff_t>(gapStart_),
                               buf_.begin() + static_cast<std::ptrdiff_t>(gapEnd_));
            gapStart_ -= count;
            gapEnd_ -= count;
        } else if (pos > gapStart_) {
            const size_t count = pos - gapStart_;
            std::move(buf_.begin() + static_cast<std::ptrdiff_t>(gapEnd_),
                      buf_.begin() + static_cast<std::ptrdiff_t>(gapEnd_ + count),
                      buf_.begin() + static_cast<std::ptrdiff_t>(gapStart_));
            gapStart_ += count;
            gapEnd_ += count;
        }
    }
    void grow() {
        const size_t n = size();
        const size_t extra = std::max<size_t>(64, n);
        std::vector<std::unique_ptr<Para>> bigger(n + extra);
        for (size_t i = 0; i < n; ++i) bigger[i < gapStart_ ? i : i + extra] = std::move((*this)[i]);
        buf_ = std::move(bigger);
        gapEnd_ = gapStart_ + extra;
    }

    std::vector<std::unique_ptr<Para>> buf_;
    size_t gapStart_ = 0, gapEnd_ = 0;
};

// Element order inside w:rPr (and the paragraph mark's w:rPr); Word refuses
// documents whose property elements are out of order.
const std::vector<std::string_view> kRunPropOrder = {
    "ins", "del", "moveFrom", "moveTo", "rStyle", "rFonts", "b", "bCs", "i", "iCs", "caps",
    "smallCaps", "strike", "dstrike", "outline", "shadow", "emboss", "imprint", "noProof",
    "snapToGrid", "vanish", "webHidden", "color", "spacing", "w", "kern", "position", "sz",
    "szCs", "highlight", "u", "effect", "bdr", "shd", "fitText", "vertAlign", "rtl", "cs", "em",
    "lang", "eastAsianLayout", "specVanish", "oMath", "rPrChange"};

}  // namespace

struct DocumentModel::Impl {
    std::unique_ptr<Package> package;
    pugi::xml_document xml;
    std::string prefix;  // "w" or "" (with the colon added in names)
    std::string mcPrefix, mathPrefix;
    pugi::xml_node body;
    ParaList paras;

    QString text;
    bool textDirty = true;
    std::vector<int> starts;
    bool startsDirty = true;
    std::vector<std::weak_ptr<LiveRange>> ranges;

    // Qualified names, built once.
    std::string nP, nR, nT, nPPr, nRPr, nTab, nBr, nCr, nNoBreakHyphen, nSoftHyphen, nSym,
        nDrawing, nPict, nObject, nFootnoteRef, nEndnoteRef, nCommentRef, nFldChar, nInstrText,
        nDelText, nDel, nMoveFrom, nIns, nMoveTo, nHyperlink, nSmartTag, nCustomXml, nFldSimple,
        nSdt, nSdtContent, nDir, nBdo, nTbl, nTr, nTc, nSectPr, nColor, nRFonts, nPtab, nRuby,
        nBody, nAltContent, nOMath, nOMathPara, nPPrChange, nVal, nType, nChar, nFldCharType,
        nSpace;

    std::string q(const char* local) const {
        return prefix.empty() ? std::string(local) : prefix + ":" + local;
    }

    void initNames() {
        nP = q("p"); nR = q("r"); nT = q("t"); nPPr = q("pPr"); nRPr = q("rPr"); nTab = q("tab");
        nBr = q("br"); nCr = q("cr"); nNoBreakHyphen = q("noBreakHyphen");
        nSoftHyphen = q("softHyphen"); nSym = q("sym"); nDrawing = q("drawing"); nPict = q("pict");
        nObject = q("object"); nFootnoteRef = q("footnoteReference");
        nEndnoteRef = q("endnoteReference"); nCommentRef = q("commentReference");
        nFldChar = q("fldChar"); nInstrText = q("instrText"); nDelText = q("delText");
        nDel = q("del"); nMoveFrom = q("moveFrom"); nIns = q("ins"); nMoveTo = q("moveTo");
        nHyperlink = q("hyperlink"); nSmartTag = q("smartTag"); nCustomXml = q("customXml");
        nFldSimple = q("fldSimple"); nSdt = q("sdt"); nSdtContent = q("sdtContent");
        nDir = q("dir"); nBdo = q("bdo"); nTbl = q("tbl"); nTr = q("tr"); nTc = q("tc");
        nSectPr = q("sectPr"); nColor = q("color"); nRFonts = q("rFonts"); nPtab = q("ptab");
        nRuby = q("ruby"); nBody = q("body"); nPPrChange = q("pPrChange");
        nVal = q("val"); nType = q("type"); nChar = q("char"); nFldCharType = q("fldCharType");
        nAltContent = (mcPrefix.empty() ? std::string("mc") : mcPrefix) + ":AlternateContent";
        nOMath = (mathPrefix.empty() ? std::string("m") : mathPrefix) + ":oMath";
        nOMathPara = (mathPrefix.empty() ? std::string("m") : mathPrefix) + ":oMathPara";
        nSpace = "xml:space";
    }

    bool is(pugi::xml_node n, const std::string& name) const {
        return n.type() == pugi::node_element && name == n.name();
    }

    // ---- reading the story ----

    void collectBlocks(pugi::xml_node container, std::vector<pugi::xml_node>& out) {
        for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element) continue;
            if (is(c, nP)) {
                out.push_back(c);
            } else if (is(c, nTbl)) {
                collectRows(c, out);
            } else if (is(c, nSdt)) {
                if (pugi::xml_node content = c.child(nSdtContent.c_str())) collectBlocks(content, out);
            } else if (is(c, nCustomXml) || is(c, nIns) || is(c, nMoveTo)) {
                collectBlocks(c, out);
            }
        }
    }

    // Hands every `item` child of a container to onItem, looking through the
    // content controls and custom XML elements that may wrap rows and cells.
    template <typename F>
    void forEachThroughWrappers(pugi::xml_node container, const std::string& item, const F& onItem) {
        for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
            if (is(c, item)) {
                onItem(c);
            } else if (is(c, nSdt)) {
                if (pugi::xml_node content = c.child(nSdtContent.c_str())) forEachThroughWrappers(content, item, onItem);
            } else if (is(c, nCustomXml)) {
                forEachThroughWrappers(c, item, onItem);
            }
        }
    }

    void collectRows(pugi::xml_node tbl, std::vector<pugi::xml_node>& out) {
        forEachThroughWrappers(tbl, nTr, [&](pugi::xml_node row) {
            forEachThroughWrappers(row, nTc, [&](pugi::xml_node cell) { collectBlocks(cell, out); });
        });
    }

    bool isBlock(pugi::xml_node n) const {
        return is(n, nP) || is(n, nTbl) || is(n, nSdt) || is(n, nCustomXml);
    }

    // The last paragraph of a table cell carries the cell mark.
    bool isLastInCell(pugi::xml_node p) const {
        pugi::xml_node n = p;
        for (;;) {
            for (pugi::xml_node s = n.next_sibling(); s; s = s.next_sibling())
                if (isBlock(s)) return false;
            pugi::xml_node parent = n.parent();
            if (!parent) return false;
            if (is(parent, nTc)) return true;
            if (is(parent, nSdtContent)) {
                n = parent.parent();
            } else if (is(parent, nCustomXml)) {
                n = parent;
            } else {
                return false;
            }
        }
    }

    QChar markOf(pugi::xml_node p) const {
        pugi::xml_node ppr = p.child(nPPr.c_str());
        if (ppr && ppr.child(nSectPr.c_str())) return u'\f';
        if (isLastInCell(p)) return u'\a';
        return u'\r';
    }

    void addAtom(Para& para, pugi::xml_node node, pugi::xml_node run, AtomKind kind, QChar c) {
        Atom a;
        a.node = node;
        a.run = run;
        a.start = static_cast<int>(para.text.size());
        a.len = 1;
        a.kind = kind;
        para.text += c;
        para.atoms.push_back(a);
    }

    void scanRun(Para& para, pugi::xml_node r, bool& inInstruction) {
        for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element) continue;
            const char* name = c.name();
            if (nT == name) {
                if (inInstruction) continue;
                const char* v = c.child_value();
                if (!*v) continue;
                QString s = QString::fromUtf8(v);
                // Without xml:space="preserve", the blanks at either end of a
                // w:t are not text: Word drops them on load. They are dropped
                // from the element too, so that an edit that rewrites it (and
                // marks it preserved) cannot make them appear.
                if (std::string_view(c.attribute(nSpace.c_str()).value()) != "preserve") {
                    auto xmlBlank = [](QChar ch) {
                        return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r';
                    };
                    qsizetype from = 0, to = s.size();
                    while (from < to && xmlBlank(s[from])) ++from;
                    while (to > from && xmlBlank(s[to - 1])) --to;
                    if (from > 0 || to < s.size()) {
                        s = s.mid(from, to - from);
                        c.first_child().set_value(s.toUtf8().constData());
                        if (s.isEmpty()) continue;
                    }
                }
                Atom a;
                a.node = c;
                a.run = r;
                a.start = static_cast<int>(para.text.size());
                a.len = static_cast<int>(s.size());
                a.kind = AtomKind::Text;
                para.text += s;
                para.atoms.push_back(a);
            } else if (nTab == name) {
                if (!inInstruction) addAtom(para, c, r, AtomKind::Tab, u'\t');
            } else if (nFldChar == name) {
                std::string_view type = c.attribute(nFldCharType.c_str()).value();
                if (type == "begin") {
                    addAtom(para, c, r, AtomKind::Special, QChar(kFieldBegin));
                    inInstruction = true;
                } else if (type == "separate") {
                    addAtom(para, c, r, AtomKind::Special, QChar(kFieldSep));
                    inInstruction = false;
                } else if (type == "end") {
                    addAtom(para, c, r, AtomKind::Special, QChar(kFieldEnd));
                    inInstruction = false;
                }
            } else if (inInstruction) {
                continue;  // the field's instruction is hidden
            } else if (nBr == name) {
                std::string_view type = c.attribute(nType.c_str()).value();
                addAtom(para, c, r, AtomKind::Special, type == "page" ? QChar(u'\f') : QChar(u'\v'));
            } else if (nCr == name) {
                addAtom(para, c, r, AtomKind::Special, QChar(u'\v'));
            } else if (nNoBreakHyphen == name) {
                addAtom(para, c, r, AtomKind::Special, QChar(kNoBreakHyphen));
            } else if (nSoftHyphen == name) {
                addAtom(para, c, r, AtomKind::Special, QChar(kSoftHyphen));
            } else if (nSym == name) {
                bool ok = false;
                uint code = QString::fromUtf8(c.attribute(nChar.c_str()).value()).toUInt(&ok, 16);
                addAtom(para, c, r, AtomKind::Special, ok && code && code < 0x10000 ? QChar(code) : QChar(kObject));
            } else if (nPtab == name) {
                addAtom(para, c, r, AtomKind::Special, QChar(u'\t'));
            } else if (nDrawing == name || nPict == name || nObject == name || nAltContent == name ||
                       nRuby == name) {
                addAtom(para, c, r, AtomKind::Special, QChar(kObject));
            } else if (nFootnoteRef == name || nEndnoteRef == name) {
                addAtom(para, c, r, AtomKind::Special, QChar(kNoteRef));
            } else if (nCommentRef == name) {
                addAtom(para, c, r, AtomKind::Special, QChar(kCommentRef));
            }
        }
    }

    void scanInline(Para& para, pugi::xml_node container, bool& inInstruction) {
        for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element) continue;
            const char* name = c.name();
            if (nR == name) {
                scanRun(para, c, inInstruction);
            } else if (nHyperlink == name || nSmartTag == name || nCustomXml == name ||
                       nFldSimple == name || nIns == name || nMoveTo == name || nDir == name ||
                       nBdo == name) {
                scanInline(para, c, inInstruction);
            } else if (nSdt == name) {
                if (pugi::xml_node content = c.child(nSdtContent.c_str()))
                    scanInline(para, content, inInstruction);
            } else if (nAltContent == name || nOMath == name || nOMathPara == name) {
                addAtom(para, c, pugi::xml_node(), AtomKind::Special, QChar(kObject));
            }
            // w:del, w:moveFrom (deleted revisions), w:pPr, bookmarks and other
            // markers contribute no text.
        }
    }

    void rescan(Para& para) {
        para.text.clear();
        para.atoms.clear();
        bool inInstruction = false;
        scanInline(para, para.node, inInstruction);
        para.mark = markOf(para.node);
    }

    void load() {
        pugi::xml_node root = xml.document_element();
        for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute()) {
            std::string_view name = a.name();
            std::string_view value = a.value();
            std::string pfx;
            if (name == "xmlns") pfx = "";
            else if (name.substr(0, 6) == "xmlns:") pfx = std::string(name.substr(6));
            else continue;
            if (value == kWordNs || value == kWordNsStrict) prefix = pfx;
            else if (value == kMcNs) mcPrefix = pfx;
            else if (value == kMathNs) mathPrefix = pfx;
        }
        initNames();
        body = root.child(nBody.c_str());
        if (!body) throw Error(QStringLiteral("The document has no body: it is not a Word text document."));
        std::vector<pugi::xml_node> nodes;
        collectBlocks(body, nodes);
        if (nodes.empty()) throw Error(QStringLiteral("The document has no paragraphs."));
        for (pugi::xml_node n : nodes) {
            auto p = std::make_unique<Para>();
            p->node = n;
            rescan(*p);
            paras.push_back(std::move(p));
        }
        textDirty = startsDirty = true;
    }

    // ---- positions ----

    const std::vector<int>& paraStarts() {
        if (startsDirty) {
            starts.resize(paras.size());
            int pos = 0;
            for (size_t i = 0; i < paras.size(); ++i) {
                starts[i] = pos;
                pos += paras[i]->fullLength();
            }
            startsDirty = false;
        }
        return starts;
    }

    int totalLength() {
        const auto& s = paraStarts();
        return s.empty() ? 0 : s.back() + paras.back()->fullLength();
    }

    const QString& storyText() {
        if (textDirty) {
            QString t;
            t.reserve(totalLength());
            for (size_t i = 0; i < paras.size(); ++i) {
                t += paras[i]->text;
                t += paras[i]->mark;
            }
            text = std::move(t);
            textDirty = false;
        }
        return text;
    }

    // Paragraph index and offset of a story position (pos == length: end of last mark).
    std::pair<int, int> locate(int pos) {
        const auto& s = paraStarts();
        auto it = std::upper_bound(s.begin(), s.end(), pos);
        int i = static_cast<int>(it - s.begin()) - 1;
        if (i < 0) i = 0;
        return {i, pos - s[i]};
    }

    void touched() {
        textDirty = true;
        startsDirty = true;
    }

    // ---- XML helpers ----

    bool runHasContent(pugi::xml_node r) const {
        for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling())
            if (c.type() == pugi::node_element && nRPr != c.name()) return true;
        return false;
    }

    void setTextOf(pugi::xml_node t, const QString& s) {
        const QByteArray utf8 = s.toUtf8();
        pugi::xml_node pc = t.first_child();
        if (!pc || pc.type() != pugi::node_pcdata) {
            t.remove_children();
            pc = t.append_child(pugi::node_pcdata);
        }
        pc.set_value(utf8.constData());
        const bool needsPreserve = !s.isEmpty() && (s.front().isSpace() || s.back().isSpace());
        pugi::xml_attribute sp = t.attribute(nSpace.c_str());
        if (needsPreserve && !sp) t.append_attribute(nSpace.c_str()) = "preserve";
    }

    pugi::xml_node newTextElement(pugi::xml_node parent, pugi::xml_node after, pugi::xml_node before,
                                  const QString& s) {
        pugi::xml_node t;
        if (after) t = parent.insert_child_after(nT.c_str(), after);
        else if (before) t = parent.insert_child_before(nT.c_str(), before);
        else t = parent.append_child(nT.c_str());
        setTextOf(t, s);
        return t;
    }

    // Copies a run's properties into a fresh run.
    pugi::xml_node cloneRunShell(pugi::xml_node run, pugi::xml_node parent, pugi::xml_node after) {
        pugi::xml_node r = parent.insert_child_after(run.name(), after);
        for (pugi::xml_attribute a = run.first_attribute(); a; a = a.next_attribute())
            r.append_copy(a);
        if (pugi::xml_node rpr = run.child(nRPr.c_str())) r.append_copy(rpr);
        return r;
    }

    // Inserts the pieces of `s` (text, tabs, line breaks) into `run` after node
    // `after` (or before `before`, or at the end).
    void insertPieces(pugi::xml_node run, pugi::xml_node after, pugi::xml_node before, const QString& s) {
        qsizetype i = 0;
        pugi::xml_node last = after;
        auto place = [&](const char* name) {
            pugi::xml_node n;
            if (last) n = run.insert_child_after(name, last);
            else if (before) n = run.insert_child_before(name, before);
            else n = run.append_child(name);
            last = n;
            return n;
        };
        while (i < s.size()) {
            QChar c = s[i];
            if (c == u'\t') {
                place(nTab.c_str());
                ++i;
            } else if (c == u'\v') {
                place(nBr.c_str());
                ++i;
            } else {
                qsizetype j = i;
                while (j < s.size() && s[j] != u'\t' && s[j] != u'\v') ++j;
                pugi::xml_node t = place(nT.c_str());
                setTextOf(t, s.mid(i, j - i));
                i = j;
            }
        }
    }

    static bool hasSpecialChars(const QString& s) {
        for (QChar c : s)
            if (c == u'\t' || c == u'\v') return true;
        return false;
    }

    // A run carrying the paragraph mark's formatting, for an empty paragraph.
    pugi::xml_node newRunForEmptyParagraph(Para& para) {
        pugi::xml_node r = para.node.append_child(nR.c_str());
        pugi::xml_node ppr = para.node.child(nPPr.c_str());
        if (ppr) {
            if (pugi::xml_node markRpr = ppr.child(nRPr.c_str())) {
                pugi::xml_node rpr = r.append_child(nRPr.c_str());
                for (pugi::xml_node c = markRpr.first_child(); c; c = c.next_sibling()) {
                    std::string_view n = c.name();
                    if (n == nIns || n == nDel || n == nMoveFrom || n == nMoveTo || n == q("rPrChange"))
                        continue;
                    rpr.append_copy(c);
                }
            }
        }
        return r;
    }

    // ---- edits inside one paragraph (no marks) ----

    void deleteContent(Para& para, int x, int y) {
        if (x >= y) return;
        std::vector<pugi::xml_node> runs;
        for (const Atom& a : para.atoms) {
            const int s = a.start, e = a.start + a.len;
            if (e <= x || s >= y) continue;
            if (a.kind == AtomKind::Text) {
                const int from = std::max(x, s) - s, to = std::min(y, e) - s;
                QString t = QString::fromUtf8(a.node.child_value());
                t.remove(from, to - from);
                if (t.isEmpty()) a.node.parent().remove_child(a.node);
                else setTextOf(a.node, t);
            } else {
                a.node.parent().remove_child(a.node);
            }
            if (a.run) runs.push_back(a.run);
        }
        for (pugi::xml_node r : runs)
            if (r.parent() && !runHasContent(r)) r.parent().remove_child(r);
        rescan(para);
    }

    // Inserts text (no paragraph marks) at offset x. It takes the formatting of
    // the character before it, else of the one after it, else of the mark.
    // With `replacing`, it takes the place and formatting of the character at x
    // (the first one it replaces), so that it stays inside the same markers.
    void insertText(Para& para, int x, const QString& s, bool replacing = false) {
        if (s.isEmpty()) return;
        const Atom* at = nullptr;
        const Atom* before = nullptr;
        for (const Atom& a : para.atoms) {
            if (a.start <= x && x < a.start + a.len) at = &a;
            if (a.start < x && x <= a.start + a.len) before = &a;
        }
        const Atom* anchor = nullptr;
        int k = 0;
        if (replacing && at) {
            anchor = at;
            k = x - at->start;
        } else if (before) {
            anchor = before;
            k = x - before->start;
        } else if (at) {
            anchor = at;
            k = 0;
        }
        if (!anchor) {
            pugi::xml_node r = newRunForEmptyParagraph(para);
            insertPieces(r, pugi::xml_node(), pugi::xml_node(), s);
        } else if (anchor->kind == AtomKind::Text) {
            const Atom& a = *anchor;
            QString t = QString::fromUtf8(a.node.child_value());
            if (!hasSpecialChars(s)) {
                t.insert(k, s);
                setTextOf(a.node, t);
            } else {
                // Text, tabs and breaks go between the two halves of the w:t.
                pugi::xml_node parent = a.node.parent();
                if (k == 0) {
                    insertPieces(parent, pugi::xml_node(), a.node, s);
                } else {
                    setTextOf(a.node, t.left(k));
                    const QString rest = t.mid(k);
                    if (!rest.isEmpty()) newTextElement(parent, a.node, pugi::xml_node(), rest);
                    insertPieces(parent, a.node, pugi::xml_node(), s);
                }
            }
        } else if (anchor->run) {
            if (k == 0) insertPieces(anchor->node.parent(), pugi::xml_node(), anchor->node, s);
            else insertPieces(anchor->node.parent(), anchor->node, pugi::xml_node(), s);
        } else {
            pugi::xml_node r = k == 0 ? anchor->node.parent().insert_child_before(nR.c_str(), anchor->node)
                                      : anchor->node.parent().insert_child_after(nR.c_str(), anchor->node);
            insertPieces(r, pugi::xml_node(), pugi::xml_node(), s);
        }
        rescan(para);
    }

    // Makes the character boundary at offset x of the paragraph fall between
    // two nodes that are children of the paragraph-level containers, splitting
    // the w:t and the run there. Returns the first node after the boundary
    // inside its run (or the paragraph-level object), or null at the end.
    pugi::xml_node boundaryAt(Para& para, int x) {
        for (const Atom& a : para.atoms) {
            if (x < a.start || x >= a.start + a.len) continue;
            if (x == a.start) return a.node;
            // Inside a w:t: split it in two in the same run.
            QString t = QString::fromUtf8(a.node.child_value());
            const int k = x - a.start;
            setTextOf(a.node, t.left(k));
            return newTextElement(a.node.parent(), a.node, pugi::xml_node(), t.mid(k));
        }
        return pugi::xml_node();
    }

    // A shallow copy of an inline container (run with its properties,
    // hyperlink with its attributes...) placed right after it.
    pugi::xml_node shallowCloneAfter(pugi::xml_node n) {
        pugi::xml_node parent = n.parent();
        pugi::xml_node c = parent.insert_child_after(n.name(), n);
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) c.append_copy(a);
        // Property children stay with both halves.
        for (pugi::xml_node ch = n.first_child(); ch; ch = ch.next_sibling()) {
            std::string_view name = ch.name();
            if (name == nRPr || name == q("sdtPr") || name == q("sdtEndPr") || name == q("smartTagPr") ||
                name == q("customXmlPr"))
                c.append_copy(ch);
        }
        return c;
    }

    // Moves `first` and its following siblings to the end of `target`.
    void moveTail(pugi::xml_node first, pugi::xml_node target) {
        for (pugi::xml_node n = first; n;) {
            pugi::xml_node next = n.next_sibling();
            target.append_move(n);
            n = next;
        }
    }

    void removeEmptyRuns(pugi::xml_node container) {
        for (pugi::xml_node c = container.first_child(); c;) {
            pugi::xml_node next = c.next_sibling();
            if (is(c, nR)) {
                if (!runHasContent(c)) container.remove_child(c);
            } else if (c.type() == pugi::node_element && !is(c, nPPr)) {
                removeEmptyRuns(c);
            }
            c = next;
        }
    }

    // Splits paragraph `index` at offset x: the paragraph keeps [0, x) and a new
    // paragraph after it takes the rest. Both keep the paragraph properties; a
    // section break goes with the second half.
    void splitParagraph(int index, int x) {
        Para& para = *paras[index];
        pugi::xml_node p = para.node;
        pugi::xml_node boundary = boundaryAt(para, x);
        pugi::xml_node q = p.parent().insert_child_after(p.name(), p);
        for (pugi::xml_attribute a = p.first_attribute(); a; a = a.next_attribute()) {
            std::string_view n = a.name();
            if (n.size() >= 7 && (n.substr(n.size() - 6) == "paraId" || n.substr(n.size() - 6) == "textId"))
                continue;  // identifiers must stay unique
            q.append_copy(a);
        }
        if (pugi::xml_node ppr = p.child(nPPr.c_str())) {
            q.append_copy(ppr);
            if (pugi::xml_node sect = ppr.child(nSectPr.c_str())) ppr.remove_child(sect);
        }
        if (boundary) {
            pugi::xml_node cur = boundary;
            while (cur.parent() != p) {
                pugi::xml_node parent = cur.parent();
                pugi::xml_node clone = shallowCloneAfter(parent);
                moveTail(cur, clone);
                cur = clone;
            }
            moveTail(cur, q);
        }
        removeEmptyRuns(p);
        removeEmptyRuns(q);
        auto np = std::make_unique<Para>();
        np->node = q;
        rescan(para);
        rescan(*np);
        paras.insert(static_cast<size_t>(index) + 1, std::move(np));
    }

    // Appends the content of paragraph m to paragraph i and removes m. The
    // joined paragraph keeps i's properties (and m's section break, if any).
    void joinParagraphs(int i, int m) {
        pugi::xml_node pi = paras[i]->node, pm = paras[m]->node;
        pugi::xml_node pprM = pm.child(nPPr.c_str());
        if (pprM) {
            if (pugi::xml_node sect = pprM.child(nSectPr.c_str())) {
                pugi::xml_node ppr = pi.child(nPPr.c_str());
                if (!ppr) ppr = pi.prepend_child(nPPr.c_str());
                if (pugi::xml_node change = ppr.child(nPPrChange.c_str())) ppr.insert_move_before(sect, change);
                else ppr.append_move(sect);
            }
        }
        for (pugi::xml_node c = pm.first_child(); c;) {
            pugi::xml_node next = c.next_sibling();
            if (!is(c, nPPr)) pi.append_move(c);
            c = next;
        }
        pm.parent().remove_child(pm);
        paras.erase(static_cast<size_t>(m), static_cast<size_t>(m) + 1);
        rescan(*paras[i]);
    }

    void removeParagraphs(int from, int to) {  // [from, to)
        for (int k = from; k < to; ++k) {
            pugi::xml_node n = paras[k]->node;
            n.parent().remove_child(n);
        }
        paras.erase(static_cast<size_t>(from), static_cast<size_t>(to));
    }

    // Whether parent holds more than `count` block children. Stops counting
    // there, so that deleting one paragraph of a long body stays cheap.
    bool hasMoreBlocksThan(pugi::xml_node parent, int count) const {
        int n = 0;
        for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
            if (isBlock(c) && ++n > count) return true;
        return false;
    }

    // ---- the edit primitive on (paragraph, offset) coordinates ----

    // Deletes [a, b) and inserts s at a. Returns false, changing nothing, when a
    // mark that must stay would be deleted.
    bool applyEdit(int ia, int oa, int ib, int ob, const QString& s) {
        const int n = static_cast<int>(paras.size());
        // Normalise an end at a paragraph's mark-end to the next paragraph's start.
        if (ib < n && ob == paras[ib]->fullLength() && ib + 1 < n) {
            ++ib;
            ob = 0;
        }
        const bool deletesMarks = ib > ia;
        if (deletesMarks) {
            // Every mark in [ia, ib) goes.
            for (int k = ia; k < ib; ++k) {
                const Para& p = *paras[k];
                if (p.mark != u'\r' || k == n - 1) return false;
            }
            if (oa == 0) {
                // Whole paragraphs ia..ib-1 go; each container keeps a block.
                std::vector<std::pair<pugi::xml_node, int>> counts;
                for (int k = ia; k < ib; ++k) {
                    pugi::xml_node parent = paras[k]->node.parent();
                    auto it = std::find_if(counts.begin(), counts.end(),
                                           [&](const auto& e) { return e.first == parent; });
                    if (it == counts.end()) counts.push_back({parent, 1});
                    else ++it->second;
                }
                for (const auto& [parent, removed] : counts)
                    if (!hasMoreBlocksThan(parent, removed)) return false;
            } else {
                pugi::xml_node parent = paras[ia]->node.parent();
                for (int k = ia + 1; k <= ib; ++k)
                    if (paras[k]->node.parent() != parent) return false;
            }
        } else if (ib == ia && ob > paras[ia]->text.size()) {
            return false;  // would delete this paragraph's own (last) mark
        }

        // Split the insertion into its paragraphs.
        const QStringList pieces = s.split(u'\r');
        const QString flat = pieces.join(QString());

        int target = ia;  // paragraph where the insertion happens
        int at = oa;      // offset of the insertion in it
        if (!deletesMarks) {
            if (oa < ob && !flat.isEmpty()) {
                // A replacement inside one paragraph: the new text takes the
                // place (and formatting) of the old, then the old goes.
                insertText(*paras[ia], oa, flat, true);
                const int n = static_cast<int>(flat.size());
                deleteContent(*paras[ia], oa + n, ob + n);
            } else {
                deleteContent(*paras[ia], oa, ob);
                insertText(*paras[ia], oa, flat);
            }
        } else if (oa == 0) {
            removeParagraphs(ia, ib);
            deleteContent(*paras[ia], 0, ob);
            at = 0;
            insertText(*paras[ia], at, flat);
        } else {
            deleteContent(*paras[ib], 0, ob);
            deleteContent(*paras[ia], oa, paras[ia]->text.size());
            if (ib > ia + 1) removeParagraphs(ia + 1, ib);
            joinParagraphs(ia, ia + 1);
            insertText(*paras[ia], at, flat);
        }
        int offset = at;
        for (int k = 0; k + 1 < pieces.size(); ++k) {
            offset += static_cast<int>(pieces[k].size());
            splitParagraph(target, offset);
            ++target;
            offset = 0;
        }
        return true;
    }

    void shiftRanges(int a, int b, int newLen) {
        const int delta = newLen - (b - a);
        bool expired = false;
        for (auto& w : ranges) {
            auto r = w.lock();
            if (!r) {
                expired = true;
                continue;
            }
            auto shift = [&](int pos, bool isEnd) {
                if (pos >= b) return pos + delta;
                if (pos > a) return isEnd ? a + newLen : a;
                return pos;
            };
            r->start = shift(r->start, false);
            r->end = shift(r->end, true);
            if (r->end < r->start) r->end = r->start;
        }
        if (expired)
            ranges.erase(std::remove_if(ranges.begin(), ranges.end(),
                                        [](const std::weak_ptr<LiveRange>& w) { return w.expired(); }),
                         ranges.end());
    }

    // ---- formatting ----

    int runPropRank(std::string_view qualified) const {
        std::string_view local = qualified;
        if (auto c = local.find(':'); c != std::string_view::npos) local = local.substr(c + 1);
        for (size_t i = 0; i < kRunPropOrder.size(); ++i)
            if (kRunPropOrder[i] == local) return static_cast<int>(i);
        return static_cast<int>(kRunPropOrder.size()) - 1;  // unknown: before rPrChange
    }

    // Finds or creates a property element in an rPr, at its schema position.
    pugi::xml_node propertyElement(pugi::xml_node rpr, const std::string& name) {
        if (pugi::xml_node e = rpr.child(name.c_str())) return e;
        const int rank = runPropRank(name);
        for (pugi::xml_node c = rpr.first_child(); c; c = c.next_sibling())
            if (c.type() == pugi::node_element && runPropRank(c.name()) > rank)
                return rpr.insert_child_before(name.c_str(), c);
        return rpr.append_child(name.c_str());
    }

    pugi::xml_node runProperties(pugi::xml_node run) {
        if (pugi::xml_node rpr = run.child(nRPr.c_str())) return rpr;
        return run.prepend_child(nRPr.c_str());
    }

    pugi::xml_node markProperties(pugi::xml_node p) {
        pugi::xml_node ppr = p.child(nPPr.c_str());
        if (!ppr) ppr = p.prepend_child(nPPr.c_str());
        if (pugi::xml_node rpr = ppr.child(nRPr.c_str())) return rpr;
        for (pugi::xml_node c = ppr.first_child(); c; c = c.next_sibling())
            if (is(c, nSectPr) || is(c, nPPrChange)) return ppr.insert_child_before(nRPr.c_str(), c);
        return ppr.append_child(nRPr.c_str());
    }

    void setAttr(pugi::xml_node e, const std::string& name, const char* value) {
        pugi::xml_attribute a = e.attribute(name.c_str());
        if (!a) a = e.append_attribute(name.c_str());
        a.set_value(value);
    }

    void applyColor(pugi::xml_node rpr, const std::string& hex) {
        pugi::xml_node color = propertyElement(rpr, nColor);
        setAttr(color, nVal, hex.c_str());
        for (const char* a : {"themeColor", "themeTint", "themeShade"}) color.remove_attribute(q(a).c_str());
    }

    void applyFont(pugi::xml_node rpr, const std::string& name, bool eastAsia) {
        pugi::xml_node fonts = propertyElement(rpr, nRFonts);
        if (eastAsia) {
            setAttr(fonts, q("eastAsia"), name.c_str());
            fonts.remove_attribute(q("eastAsiaTheme").c_str());
        } else {
            setAttr(fonts, q("ascii"), name.c_str());
            setAttr(fonts, q("hAnsi"), name.c_str());
            fonts.remove_attribute(q("asciiTheme").c_str());
            fonts.remove_attribute(q("hAnsiTheme").c_str());
        }
    }

    // Splits runs so that offset x of the paragraph falls on a run boundary.
    void splitRunAt(Para& para, int x) {
        for (const Atom& a : para.atoms) {
            if (x < a.start || x >= a.start + a.len) continue;
            if (!a.run) return;
            pugi::xml_node second;
            if (x == a.start) {
                bool first = true;
                for (pugi::xml_node c = a.run.first_child(); c && c != a.node; c = c.next_sibling())
                    if (c.type() == pugi::node_element && !is(c, nRPr)) first = false;
                if (first) return;  // already at the start of its run
                second = a.node;
            } else {
                second = boundaryAt(para, x);  // inside a w:t: split the text first
            }
            pugi::xml_node clone = shallowCloneAfter(a.run);
            moveTail(second, clone);
            rescan(para);
            return;
        }
    }

    // Applies `fn` to the run properties of every run covering [x, y) of the
    // paragraph, and to the mark's when withMark.
    void formatSpan(Para& para, int x, int y, bool withMark, const std::function<void(pugi::xml_node)>& fn) {
        if (x < y) {
            splitRunAt(para, y);
            splitRunAt(para, x);
            pugi::xml_node lastRun;
            for (const Atom& a : para.atoms) {
                if (a.start + a.len <= x || a.start >= y || !a.run) continue;
                if (a.run == lastRun) continue;
                lastRun = a.run;
                fn(runProperties(a.run));
            }
        }
        if (withMark) fn(markProperties(para.node));
    }

    void formatRange(int start, int end, const std::function<void(pugi::xml_node)>& fn) {
        if (start >= end) return;
        auto [i, o] = locate(start);
        int remaining = end - start;
        while (remaining > 0 && i < static_cast<int>(paras.size())) {
            Para& p = *paras[i];
            const int len = static_cast<int>(p.text.size());
            const int y = std::min(len, o + remaining);
            const bool withMark = o + remaining > len;
            formatSpan(p, o, y, withMark, fn);
            remaining -= (y - o) + (withMark ? 1 : 0);
            ++i;
            o = 0;
        }
    }

    const Atom* atomAt(int pos) {
        auto [i, o] = locate(pos);
        const Para& p = *paras[i];
        for (const Atom& a : p.atoms)
            if (o >= a.start && o < a.start + a.len) return &a;
        return nullptr;
    }
};

namespace {

std::string colorHex(int wdColor) {
    if (wdColor == wdColorAutomatic || wdColor < 0) return "auto";
    const int r = wdColor & 0xFF, g = (wdColor >> 8) & 0xFF, b = (wdColor >> 16) & 0xFF;
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", r, g, b);
    return buf;
}

int wdColorOf(std::string_view hex) {
    if (hex.empty() || hex == "auto") return wdColorAutomatic;
    bool ok = false;
    const uint rgb = QString::fromLatin1(hex.data(), static_cast<qsizetype>(hex.size())).toUInt(&ok, 16);
    if (!ok) return wdColorAutomatic;
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r | (g << 8) | (b << 16);
}

}  // namespace

DocumentModel::DocumentModel() : impl_(std::make_unique<Impl>()) {}
DocumentModel::~DocumentModel() = default;

std::unique_ptr<DocumentModel> DocumentModel::open(const QString& path) {
    std::unique_ptr<DocumentModel> model(new DocumentModel());
    Impl& d = *model->impl_;
    d.package = Package::open(path);
    const QByteArray bytes = d.package->readPart(d.package->mainPartName());
    const unsigned options = pugi::parse_full | pugi::parse_ws_pcdata;
    pugi::xml_parse_result result = d.xml.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), options);
    if (!result)
        throw Error(QStringLiteral("The document's main part is damaged (XML error: %1 at byte %2).")
                        .arg(QString::fromUtf8(result.description()))
                        .arg(result.offset));
    d.load();
    return model;
}

const QString& DocumentModel::text() { return impl_->storyText(); }
int DocumentModel::length() { return impl_->totalLength(); }

bool DocumentModel::replace(int start, int end, const QString& text) {
    return replaceMany({Edit{start, end, text}}) == 1;
}

int DocumentModel::replaceMany(const std::vector<Edit>& edits, const std::optional<int>& wdColor) {
    Impl& d = *impl_;
    const int len = d.totalLength();
    struct Planned {
        int a, b;        // the smallest change, in story offsets
        QString ins;
        int fullStart;   // the whole replaced text starts here (for colour)
        int fullLen;     // length of the whole new text
        int ia, oa, ib, ob;
    };
    std::vector<Planned> plan;
    plan.reserve(edits.size());
    for (const Edit& e : edits) {
        int a = std::clamp(e.start, 0, len), b = std::clamp(e.end, a, len);
        const QString& s = e.text;
        // Shared start and end stay where they are. Only the replaced text is
        // read, so that a single edit after another does not rebuild the story.
        const QString old = textRange(a, b);
        int pre = 0;
        const int maxPre = std::min<int>(b - a, static_cast<int>(s.size()));
        while (pre < maxPre && old[pre] == s[pre]) ++pre;
        int suf = 0;
        const int maxSuf = std::min<int>(b - a, static_cast<int>(s.size())) - pre;
        while (suf < maxSuf && old[b - a - 1 - suf] == s[s.size() - 1 - suf]) ++suf;
        Planned p;
        p.a = a + pre;
        p.b = b - suf;
        p.ins = s.mid(pre, s.size() - pre - suf);
        p.fullStart = a;
        p.fullLen = static_cast<int>(s.size());
        auto la = d.locate(p.a);
        auto lb = d.locate(p.b);
        p.ia = la.first;
        p.oa = la.second;
        p.ib = lb.first;
        p.ob = lb.second;
        plan.push_back(std::move(p));
    }
    int applied = 0;
    const std::string hex = wdColor ? colorHex(*wdColor) : std::string();
    for (auto it = plan.rbegin(); it != plan.rend(); ++it) {
        const Planned& p = *it;
        if (p.a == p.b && p.ins.isEmpty()) {
            ++applied;
        } else {
            if (!d.applyEdit(p.ia, p.oa, p.ib, p.ob, p.ins)) continue;
            d.shiftRanges(p.a, p.b, static_cast<int>(p.ins.size()));
            ++applied;
            modified_ = true;
            // A same-length change inside one paragraph keeps every offset:
            // patch the cached text instead of rebuilding it.
            const bool sameShape = p.ia == p.ib && p.ins.size() == p.b - p.a && !p.ins.contains(u'\r');
            if (sameShape && !d.textDirty) {
                QChar* data = d.text.data();
                for (qsizetype k = 0; k < p.ins.size(); ++k) data[p.a + k] = p.ins[k];
            } else if (!sameShape) {
                d.touched();
            }
        }
        if (wdColor && p.fullLen > 0) {
            // The whole replaced text takes the colour. Positions before this
            // edit are unchanged, so the offsets computed above still hold.
            d.formatRange(p.fullStart, p.fullStart + p.fullLen,
                          [&](pugi::xml_node rpr) { d.applyColor(rpr, hex); });
            modified_ = true;
        }
    }
    return applied;
}

namespace {

// A searcher for a pattern: it looks for the longest literal stretch with a
// Boyer-Moore-Horspool searcher and checks the rest of the pattern around it.
struct Matcher {
    const Pattern& pattern;
    int anchorStart = 0, anchorLen = 0;

    explicit Matcher(const Pattern& p) : pattern(p) {
        int bestStart = 0, bestLen = 0, runStart = 0;
        const int n = static_cast<int>(p.chars.size());
        for (int i = 0; i <= n; ++i) {
            if (i == n || p.digitClass[i]) {
                if (i - runStart > bestLen) {
                    bestLen = i - runStart;
                    bestStart = runStart;
                }
                runStart = i + 1;
            }
        }
        anchorStart = bestStart;
        anchorLen = bestLen;
    }

    bool matchesAt(const QChar* text, int pos) const {
        const int n = static_cast<int>(pattern.chars.size());
        for (int k = 0; k < n; ++k) {
            const QChar c = text[pos + k];
            if (pattern.digitClass[k]) {
                if (c < u'0' || c > u'9') return false;
            } else if (c != pattern.chars[k]) {
                return false;
            }
        }
        return true;
    }

    // Calls found(start) for non-overlapping matches in [from, to), left to right,
    // until it returns false.
    template <typename F>
    void scan(const QString& text, int from, int to, F found) const {
        const int n = static_cast<int>(pattern.chars.size());
        if (n == 0 || to - from < n) return;
        const QChar* data = text.constData();
        int next = from;  // earliest start for the next match
        if (anchorLen == 0) {
            for (int pos = from; pos + n <= to;) {
                if (matchesAt(data, pos)) {
                    if (!found(pos)) return;
                    pos += n;
                } else {
                    ++pos;
                }
            }
            return;
        }
        // Boyer-Moore-Horspool on the anchor, with the shift table indexed by
        // the low byte of a character (collisions only shorten shifts).
        const QChar* needle = pattern.chars.constData() + anchorStart;
        const int m = anchorLen;
        int shift[256];
        std::fill(std::begin(shift), std::end(shift), m);
        for (int i = 0; i + 1 < m; ++i) shift[needle[i].unicode() & 0xFF] = m - 1 - i;
        const QChar last = needle[m - 1];
        // h: where the anchor would start; the whole pattern must fit in [from, to).
        const int hEnd = to - (n - anchorStart);  // last admissible anchor start
        for (int h = from + anchorStart; h <= hEnd;) {
            const QChar c = data[h + m - 1];
            if (c == last && std::equal(needle, needle + m - 1, data + h)) {
                const int start = h - anchorStart;
                if (start >= next && matchesAt(data, start)) {
                    if (!found(start)) return;
                    next = start + n;
                    h = next + anchorStart;
                    continue;
                }
            }
            h += shift[c.unicode() & 0xFF];
        }
    }
};

}  // namespace

namespace {

// Runs the matcher over [start, end) of the story, clamped to it.
template <typename F>
void scanStory(const QString& text, const Pattern& pattern, int start, int end, F found) {
    start = std::clamp(start, 0, static_cast<int>(text.size()));
    end = std::clamp(end, start, static_cast<int>(text.size()));
    Matcher(pattern).scan(text, start, end, found);
}

}  // namespace

std::vector<std::pair<int, int>> DocumentModel::findAll(const Pattern& pattern, int start, int end) {
    std::vector<std::pair<int, int>> out;
    const int n = static_cast<int>(pattern.chars.size());
    scanStory(impl_->storyText(), pattern, start, end, [&](int s) {
        out.emplace_back(s, s + n);
        return true;
    });
    return out;
}

std::optional<std::pair<int, int>> DocumentModel::findFirst(const Pattern& pattern, int start, int end) {
    std::optional<std::pair<int, int>> out;
    const int n = static_cast<int>(pattern.chars.size());
    scanStory(impl_->storyText(), pattern, start, end, [&](int s) {
        out = std::make_pair(s, s + n);
        return false;
    });
    return out;
}

void DocumentModel::setColor(int start, int end, int wdColor) {
    Impl& d = *impl_;
    const std::string hex = colorHex(wdColor);
    d.formatRange(start, std::min(end, d.totalLength()), [&](pugi::xml_node rpr) { d.applyColor(rpr, hex); });
    if (start < end) modified_ = true;
}

void DocumentModel::setFontName(int start, int end, const QString& eastAsia) {
    Impl& d = *impl_;
    const std::string name = eastAsia.toStdString();
    d.formatRange(start, std::min(end, d.totalLength()), [&](pugi::xml_node rpr) { d.applyFont(rpr, name, true); });
    if (start < end) modified_ = true;
}

void DocumentModel::setFontNameAscii(int start, int end, const QString& latin) {
    Impl& d = *impl_;
    const std::string name = latin.toStdString();
    d.formatRange(start, std::min(end, d.totalLength()), [&](pugi::xml_node rpr) { d.applyFont(rpr, name, false); });
    if (start < end) modified_ = true;
}

int DocumentModel::colorAt(int pos) {
    Impl& d = *impl_;
    if (pos < 0 || pos >= d.totalLength()) return wdColorAutomatic;
    auto [i, o] = d.locate(pos);
    Para& p = *d.paras[i];
    pugi::xml_node rpr;
    if (o >= p.text.size()) {
        if (pugi::xml_node ppr = p.node.child(d.nPPr.c_str())) rpr = ppr.child(d.nRPr.c_str());
    } else if (const Atom* a = d.atomAt(pos); a && a->run) {
        rpr = a->run.child(d.nRPr.c_str());
    }
    if (!rpr) return wdColorAutomatic;
    return wdColorOf(rpr.child(d.nColor.c_str()).attribute(d.nVal.c_str()).value());
}

int DocumentModel::colorOf(int start, int end) {
    if (start >= end) return colorAt(start);
    const int first = colorAt(start);
    const QString& t = text();
    for (int pos = start + 1; pos < end; ++pos) {
        if (t[pos] == u'\r' || t[pos] == u'\a' || t[pos] == u'\f') continue;
        if (colorAt(pos) != first) return wdUndefined;
    }
    return first;
}

QString DocumentModel::fontNameAt(int pos, bool eastAsia) {
    Impl& d = *impl_;
    const Atom* a = d.atomAt(pos);
    if (!a || !a->run) return {};
    pugi::xml_node fonts = a->run.child(d.nRPr.c_str()).child(d.nRFonts.c_str());
    return QString::fromUtf8(fonts.attribute(d.q(eastAsia ? "eastAsia" : "ascii").c_str()).value());
}

QString DocumentModel::textRange(int start, int end) {
    Impl& d = *impl_;
    const int len = d.totalLength();
    start = std::clamp(start, 0, len);
    end = std::clamp(end, start, len);
    if (!d.textDirty) return d.text.mid(start, end - start);
    QString out;
    out.reserve(end - start);
    auto [i, o] = d.locate(start);
    int remaining = end - start;
    while (remaining > 0 && i < static_cast<int>(d.paras.size())) {
        const Para& p = *d.paras[i];
        const int take = std::min(remaining, p.fullLength() - o);
        const int fromText = std::max(0, std::min<int>(take, static_cast<int>(p.text.size()) - o));
        out += QStringView(p.text).mid(o, fromText);
        if (take > fromText) out += p.mark;
        remaining -= take;
        ++i;
        o = 0;
    }
    return out;
}

int DocumentModel::paragraphCount() { return static_cast<int>(impl_->paras.size()); }

std::pair<int, int> DocumentModel::paragraphSpan(int index) {
    const auto& s = impl_->paraStarts();
    return {s[index], s[index] + impl_->paras[index]->fullLength()};
}

int DocumentModel::paragraphAt(int pos) { return impl_->locate(pos).first; }

std::shared_ptr<LiveRange> DocumentModel::makeRange(int start, int end) {
    auto r = std::make_shared<LiveRange>();
    const int len = length();
    r->start = std::clamp(start, 0, len);
    r->end = std::clamp(end, r->start, len);
    impl_->ranges.push_back(r);
    return r;
}

void DocumentModel::save(const QString& path) {
    Impl& d = *impl_;
    if (modified_) {
        struct Writer : pugi::xml_writer {
            QByteArray out;
            void write(const void* data, size_t size) override {
                out.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
            }
        } writer;
        // The declaration is kept as parsed; the output is UTF-8.
        if (pugi::xml_node decl = d.xml.first_child(); decl.type() == pugi::node_declaration)
            if (pugi::xml_attribute enc = decl.attribute("encoding")) enc.set_value("UTF-8");
        d.xml.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
        d.package->setPart(d.package->mainPartName(), writer.out);
    }
    d.package->save(path);
}

Package& DocumentModel::package() { return *impl_->package; }
pugi::xml_document& DocumentModel::xml() { return impl_->xml; }
const std::string& DocumentModel::wordPrefix() const { return impl_->prefix; }

// ---- find codes ----

Pattern parseFindText(const QString& text) {
    Pattern p;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c != u'^') {
            p.chars += c;
            p.digitClass.push_back(false);
            continue;
        }
        if (i + 1 >= text.size()) throw Error(QStringLiteral("The search text ends with a lone \"^\"."));
        QChar code = text[++i];
        if (code == u'p') {
            p.chars += u'\r';
            p.digitClass.push_back(false);
        } else if (code == u't') {
            p.chars += u'\t';
            p.digitClass.push_back(false);
        } else if (code == u'^') {
            p.chars += u'^';
            p.digitClass.push_back(false);
        } else if (code == u'#') {
            p.chars += u'0';
            p.digitClass.push_back(true);
        } else if (code.isDigit()) {
            qsizetype j = i;
            while (j < text.size() && j - i < 3 && text[j].isDigit()) ++j;
            const int value = text.mid(i, j - i).toInt();
            if (value <= 0 || value > 255)
                throw Error(QStringLiteral("The search text holds an unknown character code \"^%1\".").arg(text.mid(i, j - i)));
            p.chars += QChar(value);
            p.digitClass.push_back(false);
            i = j - 1;
        } else {
            throw Error(QStringLiteral("The search text holds the find code \"^%1\", which this program does not support.").arg(code));
        }
    }
    return p;
}

QString parseReplacementText(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c != u'^') {
            out += c;
            continue;
        }
        if (i + 1 >= text.size()) throw Error(QStringLiteral("The replacement text ends with a lone \"^\"."));
        QChar code = text[++i];
        if (code == u'p') {
            out += u'\r';
        } else if (code == u't') {
            out += u'\t';
        } else if (code == u'^') {
            out += u'^';
        } else if (code.isDigit()) {
            qsizetype j = i;
            while (j < text.size() && j - i < 3 && text[j].isDigit()) ++j;
            const int value = text.mid(i, j - i).toInt();
            if (value <= 0 || value > 255)
                throw Error(QStringLiteral("The replacement text holds an unknown character code \"^%1\".").arg(text.mid(i, j - i)));
            out += QChar(value);
            i = j - 1;
        } else {
            throw Error(QStringLiteral("The replacement text holds the code \"^%1\", which this program does not support.").arg(code));
        }
    }
    return out;
}

}  // namespace word::ooxml
