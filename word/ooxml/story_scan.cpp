// Reading the main story: which elements are paragraphs, what text each
// paragraph shows, and which mark ends it.

#include "word/automation.h"
#include "word/ooxml/document_model_impl.h"

#include <string_view>

namespace word::ooxml {

namespace {

constexpr const char* kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr const char* kWordNsStrict = "http://purl.oclc.org/ooxml/wordprocessingml/main";
constexpr const char* kMcNs = "http://schemas.openxmlformats.org/markup-compatibility/2006";
constexpr const char* kMathNs = "http://schemas.openxmlformats.org/officeDocument/2006/math";

void addAtom(Scan& out, pugi::xml_node node, pugi::xml_node run, AtomKind kind, QChar c) {
    out.atoms.push_back(Atom{node, run, static_cast<int>(out.text.size()), 1, kind});
    out.text += c;
}

bool xmlBlank(QChar ch) { return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r'; }

}  // namespace

void DocumentModel::Impl::initNames() {
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
    nRuby = q("ruby"); nBody = q("body"); nPPrChange = q("pPrChange"); nRPrChange = q("rPrChange");
    nSdtPr = q("sdtPr"); nSdtEndPr = q("sdtEndPr"); nSmartTagPr = q("smartTagPr");
    nCustomXmlPr = q("customXmlPr");
    nVal = q("val"); nType = q("type"); nChar = q("char"); nFldCharType = q("fldCharType");
    nAltContent = (mcPrefix.empty() ? std::string("mc") : mcPrefix) + ":AlternateContent";
    nOMath = (mathPrefix.empty() ? std::string("m") : mathPrefix) + ":oMath";
    nOMathPara = (mathPrefix.empty() ? std::string("m") : mathPrefix) + ":oMathPara";
    nSpace = "xml:space";
}

void DocumentModel::Impl::collectBlocks(pugi::xml_node container, std::vector<pugi::xml_node>& out) {
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
void DocumentModel::Impl::forEachThroughWrappers(pugi::xml_node container, const std::string& item,
                                                 const F& onItem) const {
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

void DocumentModel::Impl::collectRows(pugi::xml_node tbl, std::vector<pugi::xml_node>& out) {
    forEachThroughWrappers(tbl, nTr, [&](pugi::xml_node row) {
        forEachThroughWrappers(row, nTc, [&](pugi::xml_node cell) { collectBlocks(cell, out); });
    });
}

bool DocumentModel::Impl::isBlock(pugi::xml_node n) const {
    return is(n, nP) || is(n, nTbl) || is(n, nSdt) || is(n, nCustomXml);
}

// The last paragraph of a table cell carries the cell mark.
bool DocumentModel::Impl::isLastInCell(pugi::xml_node p) const {
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

// The paragraph's w:pPr. The schema puts it first; the search tolerates a
// stray marker before it but stops at the first content, so that a long
// paragraph is never walked.
pugi::xml_node DocumentModel::Impl::paragraphProperties(pugi::xml_node p) const {
    for (pugi::xml_node c = p.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        const char* name = c.name();
        if (sameName(name, nPPr)) return c;
        if (sameName(name, nR) || sameName(name, nHyperlink) || sameName(name, nIns) || sameName(name, nDel) ||
            sameName(name, nSdt) || sameName(name, nSmartTag) || sameName(name, nFldSimple))
            return {};
    }
    return {};
}

QChar DocumentModel::Impl::markOf(pugi::xml_node p) const {
    pugi::xml_node ppr = paragraphProperties(p);
    if (ppr && ppr.child(nSectPr.c_str())) return u'\f';
    if (isLastInCell(p)) return u'\a';
    return u'\r';
}

void DocumentModel::Impl::scanRun(Scan& out, pugi::xml_node r, bool& inInstruction) {
    for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        const char* name = c.name();
        if (sameName(name, nT)) {
            if (inInstruction) continue;
            const char* v = c.child_value();
            if (!*v) continue;
            QString s = QString::fromUtf8(v);
            // Without xml:space="preserve", the blanks at either end of a
            // w:t are not text: Word drops them on load. They are dropped
            // from the element too, so that an edit that rewrites it (and
            // marks it preserved) cannot make them appear.
            if (std::string_view(c.attribute(nSpace.c_str()).value()) != "preserve") {
                qsizetype from = 0, to = s.size();
                while (from < to && xmlBlank(s[from])) ++from;
                while (to > from && xmlBlank(s[to - 1])) --to;
                if (from > 0 || to < s.size()) {
                    s = s.mid(from, to - from);
                    c.first_child().set_value(s.toUtf8().constData());
                    if (s.isEmpty()) continue;
                }
            }
            out.atoms.push_back(Atom{c, r, static_cast<int>(out.text.size()), static_cast<int>(s.size()), AtomKind::Text});
            out.text += s;
        } else if (sameName(name, nTab)) {
            if (!inInstruction) addAtom(out, c, r, AtomKind::Tab, u'\t');
        } else if (sameName(name, nFldChar)) {
            std::string_view type = c.attribute(nFldCharType.c_str()).value();
            if (type == "begin") {
                addAtom(out, c, r, AtomKind::FieldChar, QChar(kFieldBegin));
                inInstruction = true;
            } else if (type == "separate") {
                addAtom(out, c, r, AtomKind::FieldChar, QChar(kFieldSep));
                inInstruction = false;
            } else if (type == "end") {
                addAtom(out, c, r, AtomKind::FieldChar, QChar(kFieldEnd));
                inInstruction = false;
            }
        } else if (inInstruction) {
            continue;  // the field's instruction is hidden
        } else if (sameName(name, nBr)) {
            std::string_view type = c.attribute(nType.c_str()).value();
            addAtom(out, c, r, AtomKind::Special, type == "page" ? QChar(u'\f') : QChar(u'\v'));
        } else if (sameName(name, nCr)) {
            addAtom(out, c, r, AtomKind::Special, QChar(u'\v'));
        } else if (sameName(name, nNoBreakHyphen)) {
            addAtom(out, c, r, AtomKind::Special, QChar(kNoBreakHyphen));
        } else if (sameName(name, nSoftHyphen)) {
            addAtom(out, c, r, AtomKind::Special, QChar(kSoftHyphen));
        } else if (sameName(name, nSym)) {
            bool ok = false;
            uint code = QString::fromUtf8(c.attribute(nChar.c_str()).value()).toUInt(&ok, 16);
            addAtom(out, c, r, AtomKind::Special, ok && code && code < 0x10000 ? QChar(code) : QChar(kObject));
        } else if (sameName(name, nPtab)) {
            addAtom(out, c, r, AtomKind::Special, QChar(u'\t'));
        } else if (sameName(name, nDrawing) || sameName(name, nPict) || sameName(name, nObject) ||
                   sameName(name, nAltContent) || sameName(name, nRuby)) {
            addAtom(out, c, r, AtomKind::Special, QChar(kObject));
        } else if (sameName(name, nFootnoteRef) || sameName(name, nEndnoteRef)) {
            addAtom(out, c, r, AtomKind::Special, QChar(kNoteRef));
        } else if (sameName(name, nCommentRef)) {
            addAtom(out, c, r, AtomKind::Special, QChar(kCommentRef));
        }
    }
}

void DocumentModel::Impl::scanInline(Scan& out, pugi::xml_node container, bool& inInstruction) {
    for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        const char* name = c.name();
        if (sameName(name, nR)) {
            scanRun(out, c, inInstruction);
        } else if (sameName(name, nHyperlink) || sameName(name, nSmartTag) || sameName(name, nCustomXml) ||
                   sameName(name, nFldSimple) || sameName(name, nIns) || sameName(name, nMoveTo) ||
                   sameName(name, nDir) || sameName(name, nBdo)) {
            scanInline(out, c, inInstruction);
        } else if (sameName(name, nSdt)) {
            if (pugi::xml_node content = c.child(nSdtContent.c_str())) scanInline(out, content, inInstruction);
        } else if (sameName(name, nAltContent) || sameName(name, nOMath) || sameName(name, nOMathPara)) {
            addAtom(out, c, pugi::xml_node(), AtomKind::Special, QChar(kObject));
        }
        // w:del, w:moveFrom (deleted revisions), w:pPr, bookmarks and other
        // markers contribute no text.
    }
}

Scan DocumentModel::Impl::scanParagraph(pugi::xml_node p) {
    Scan out;
    bool inInstruction = false;
    scanInline(out, p, inInstruction);
    return out;
}

void DocumentModel::Impl::load() {
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
    if (!body) throw Error(QStringLiteral("文書に本文がありません。Word の文書ではありません。"));
    readStory();
}

void DocumentModel::Impl::readStory() {
    std::vector<pugi::xml_node> nodes;
    collectBlocks(body, nodes);
    if (nodes.empty()) throw Error(QStringLiteral("文書に段落がありません。"));
    QString text;
    text.reserve(partSize / 8);  // most of a part is markup
    for (pugi::xml_node n : nodes) {
        auto p = std::make_unique<Para>();
        p->node = n;
        Scan scan = scanParagraph(n);
        p->atoms = std::move(scan.atoms);
        p->atoms.shrink_to_fit();
        p->length = static_cast<int>(scan.text.size());
        p->mark = markOf(n);
        text += scan.text;
        text += p->mark;
        paras.push_back(std::move(p));
    }
    story.assign(std::move(text));
}

// ---- keeping the story in step with the paragraphs ----

void DocumentModel::Impl::spliceText(size_t i, int x, int removed, QStringView inserted) {
    story.replace(paras.startOf(i) + x, removed, inserted);
    paras.setLength(i, paras[i].length - removed + static_cast<int>(inserted.size()));
}

void DocumentModel::Impl::refreshMark(size_t i) {
    Para& p = paras[i];
    const QChar mark = markOf(p.node);
    if (mark == p.mark) return;
    p.mark = mark;
    story.replace(paras.startOf(i) + p.length, 1, QStringView(&mark, 1));
}

void DocumentModel::Impl::rescan(size_t i) {
    Para& p = paras[i];
    Scan scan = scanParagraph(p.node);
    p.atoms = std::move(scan.atoms);
    spliceText(i, 0, p.length, scan.text);
    refreshMark(i);
}

}  // namespace word::ooxml
