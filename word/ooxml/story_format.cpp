// Character formatting of story ranges: colour and fonts, applied to whole
// runs after splitting them at the range's edges, and read back.

#include "word/automation.h"
#include "word/ooxml/document_model_impl.h"

#include <cstdio>
#include <string_view>

namespace word::ooxml {

namespace {

// Element order inside w:rPr (and the paragraph mark's w:rPr); Word refuses
// documents whose property elements are out of order.
const std::vector<std::string_view> kRunPropOrder = {
    "ins", "del", "moveFrom", "moveTo", "rStyle", "rFonts", "b", "bCs", "i", "iCs", "caps",
    "smallCaps", "strike", "dstrike", "outline", "shadow", "emboss", "imprint", "noProof",
    "snapToGrid", "vanish", "webHidden", "color", "spacing", "w", "kern", "position", "sz",
    "szCs", "highlight", "u", "effect", "bdr", "shd", "fitText", "vertAlign", "rtl", "cs", "em",
    "lang", "eastAsianLayout", "specVanish", "oMath", "rPrChange"};

int runPropRank(std::string_view qualified) {
    std::string_view local = qualified;
    if (auto c = local.find(':'); c != std::string_view::npos) local = local.substr(c + 1);
    for (size_t i = 0; i < kRunPropOrder.size(); ++i)
        if (kRunPropOrder[i] == local) return static_cast<int>(i);
    return static_cast<int>(kRunPropOrder.size()) - 1;  // unknown: before rPrChange
}

void setAttr(pugi::xml_node e, const std::string& name, const char* value) {
    pugi::xml_attribute a = e.attribute(name.c_str());
    if (!a) a = e.append_attribute(name.c_str());
    a.set_value(value);
}

}  // namespace

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

// Finds or creates a property element in an rPr, at its schema position.
pugi::xml_node DocumentModel::Impl::propertyElement(pugi::xml_node rpr, const std::string& name) {
    if (pugi::xml_node e = rpr.child(name.c_str())) return e;
    const int rank = runPropRank(name);
    for (pugi::xml_node c = rpr.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && runPropRank(c.name()) > rank)
            return rpr.insert_child_before(name.c_str(), c);
    return rpr.append_child(name.c_str());
}

pugi::xml_node DocumentModel::Impl::runProperties(pugi::xml_node run) {
    if (pugi::xml_node rpr = run.child(nRPr.c_str())) return rpr;
    return run.prepend_child(nRPr.c_str());
}

pugi::xml_node DocumentModel::Impl::markProperties(pugi::xml_node p) {
    pugi::xml_node ppr = paragraphProperties(p);
    if (!ppr) ppr = p.prepend_child(nPPr.c_str());
    if (pugi::xml_node rpr = ppr.child(nRPr.c_str())) return rpr;
    for (pugi::xml_node c = ppr.first_child(); c; c = c.next_sibling())
        if (is(c, nSectPr) || is(c, nPPrChange)) return ppr.insert_child_before(nRPr.c_str(), c);
    return ppr.append_child(nRPr.c_str());
}

void DocumentModel::Impl::applyColor(pugi::xml_node rpr, const std::string& hex) {
    pugi::xml_node color = propertyElement(rpr, nColor);
    setAttr(color, nVal, hex.c_str());
    for (const char* a : {"themeColor", "themeTint", "themeShade"}) color.remove_attribute(q(a).c_str());
}

void DocumentModel::Impl::applyFont(pugi::xml_node rpr, const std::string& name, bool eastAsia) {
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

void DocumentModel::Impl::applyUnderline(pugi::xml_node rpr, bool on) {
    if (!on) {
        // A run without an underline of its own takes its style's; "none" overrides one.
        rpr.remove_child(q("u").c_str());
        return;
    }
    pugi::xml_node u = propertyElement(rpr, q("u"));
    setAttr(u, nVal, "single");
}

// Splits runs so that offset x of paragraph i falls on a run boundary. The
// text stays as it is; the atoms from x on point to the second run.
void DocumentModel::Impl::splitRunAt(size_t i, int x) {
    Para& para = paras[i];
    if (x >= para.length) return;
    size_t k = para.atomIndexAt(x);
    const pugi::xml_node run = para.atoms[k].run;
    if (!run) return;
    pugi::xml_node second;
    if (x == para.atoms[k].start) {
        bool first = true;
        for (pugi::xml_node c = run.first_child(); c && c != para.atoms[k].node; c = c.next_sibling())
            if (c.type() == pugi::node_element && !is(c, nRPr)) first = false;
        if (first) return;  // already at the start of its run
        second = para.atoms[k].node;
    } else {
        second = boundaryAt(para, x);  // inside a w:t: split the text first
        Atom tail = para.atoms[k];
        tail.node = second;
        tail.start = x;
        tail.len = para.atoms[k].end() - x;
        para.atoms[k].len = x - para.atoms[k].start;
        para.atoms.insert(para.atoms.begin() + static_cast<std::ptrdiff_t>(++k), tail);
    }
    pugi::xml_node clone = shallowClone(run, false);
    moveTail(second, clone);
    for (; k < para.atoms.size() && para.atoms[k].run == run; ++k) para.atoms[k].run = clone;
}

// Applies `fn` to the run properties of every run covering [x, y) of
// paragraph i, and to the mark's when withMark.
void DocumentModel::Impl::formatSpan(size_t i, int x, int y, bool withMark,
                                     const std::function<void(pugi::xml_node)>& fn) {
    if (x < y) {
        splitRunAt(i, y);
        splitRunAt(i, x);
        const Para& para = paras[i];
        pugi::xml_node lastRun;
        for (size_t k = para.atomIndexAt(x); k < para.atoms.size() && para.atoms[k].start < y; ++k) {
            const Atom& a = para.atoms[k];
            if (!a.run || a.run == lastRun) continue;
            lastRun = a.run;
            fn(runProperties(a.run));
        }
    }
    if (withMark) fn(markProperties(paras[i].node));
}

void DocumentModel::Impl::formatRange(int start, int end, const std::function<void(pugi::xml_node)>& fn) {
    if (start >= end) return;
    size_t i = paras.locate(start);
    int o = start - paras.startOf(i);
    int remaining = end - start;
    while (remaining > 0 && i < paras.size()) {
        const int len = paras[i].length;
        const int y = std::min(len, o + remaining);
        const bool withMark = o + remaining > len;
        formatSpan(i, o, y, withMark, fn);
        remaining -= (y - o) + (withMark ? 1 : 0);
        ++i;
        o = 0;
    }
}

const Atom* DocumentModel::Impl::atomAt(int pos) {
    const size_t i = paras.locate(pos);
    const Para& p = paras[i];
    const int o = pos - paras.startOf(i);
    if (o < 0 || o >= p.length) return nullptr;
    return &p.atoms[p.atomIndexAt(o)];
}

// ---- the model's formatting calls ----

void DocumentModel::setColor(int start, int end, int wdColor) {
    Impl& d = *impl_;
    const std::string hex = colorHex(wdColor);
    d.formatRange(start, std::min(end, d.paras.totalLength()), [&](pugi::xml_node rpr) { d.applyColor(rpr, hex); });
    if (start < end) modified_ = true;
}

void DocumentModel::setFontName(int start, int end, const QString& eastAsia) {
    Impl& d = *impl_;
    const std::string name = eastAsia.toStdString();
    d.formatRange(start, std::min(end, d.paras.totalLength()), [&](pugi::xml_node rpr) { d.applyFont(rpr, name, true); });
    if (start < end) modified_ = true;
}

void DocumentModel::setFontNameAscii(int start, int end, const QString& latin) {
    Impl& d = *impl_;
    const std::string name = latin.toStdString();
    d.formatRange(start, std::min(end, d.paras.totalLength()), [&](pugi::xml_node rpr) { d.applyFont(rpr, name, false); });
    if (start < end) modified_ = true;
}

int DocumentModel::colorAt(int pos) {
    Impl& d = *impl_;
    if (pos < 0 || pos >= d.paras.totalLength()) return wdColorAutomatic;
    const size_t i = d.paras.locate(pos);
    const Para& p = d.paras[i];
    pugi::xml_node rpr;
    if (pos - d.paras.startOf(i) >= p.length) {
        rpr = d.paragraphProperties(p.node).child(d.nRPr.c_str());
    } else if (const Atom* a = d.atomAt(pos); a && a->run) {
        rpr = a->run.child(d.nRPr.c_str());
    }
    if (!rpr) return wdColorAutomatic;
    return wdColorOf(rpr.child(d.nColor.c_str()).attribute(d.nVal.c_str()).value());
}

int DocumentModel::colorOf(int start, int end) {
    if (start >= end) return colorAt(start);
    const int first = colorAt(start);
    const StoryText& t = impl_->story;
    for (int pos = start + 1; pos < end; ++pos) {
        const QChar c = t.at(pos);
        if (c == u'\r' || c == u'\a' || c == u'\f') continue;
        if (colorAt(pos) != first) return wdUndefined;
    }
    return first;
}

void DocumentModel::setUnderline(int start, int end, bool on) {
    Impl& d = *impl_;
    d.formatRange(start, std::min(end, d.paras.totalLength()), [&](pugi::xml_node rpr) { d.applyUnderline(rpr, on); });
    if (start < end) modified_ = true;
}

bool DocumentModel::underlinedAt(int pos) {
    Impl& d = *impl_;
    const Atom* a = (pos >= 0 && pos < d.paras.totalLength()) ? d.atomAt(pos) : nullptr;
    if (!a || !a->run) return false;
    const pugi::xml_node u = a->run.child(d.nRPr.c_str()).child(d.q("u").c_str());
    if (!u) return false;
    const std::string_view val = u.attribute(d.nVal.c_str()).value();
    return val != "none" && val != "0" && val != "false";
}

QString DocumentModel::fontNameAt(int pos, bool eastAsia) {
    Impl& d = *impl_;
    const Atom* a = d.atomAt(pos);
    if (!a || !a->run) return {};
    pugi::xml_node fonts = a->run.child(d.nRPr.c_str()).child(d.nRFonts.c_str());
    return QString::fromUtf8(fonts.attribute(d.q(eastAsia ? "eastAsia" : "ascii").c_str()).value());
}

}  // namespace word::ooxml
