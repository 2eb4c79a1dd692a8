#include "word/ooxml/list_numbers.h"

#include "word/ooxml/filing_characters.h"

#include <QRegularExpression>

#include <algorithm>
#include <set>

namespace word::ooxml {

namespace {

// Word's own bounds: a list starts at 0 to 32,767, its number format is a
// short text, and letters are repeated at most 30 times (780 is ZZZ…Z).
// Beyond them a damaged or hostile numbering part would cost without bound:
// a start of two billion in letters is a text of 80 million characters for
// one paragraph.
constexpr int kMaxStart = 32767;
constexpr int kMaxLetterValue = 26 * 30;
constexpr qsizetype kMaxLevelText = 255;

int boundedStart(int value) { return std::clamp(value, 0, kMaxStart); }

QString fullWidthDigits(const QString& digits) {
    QString out;
    for (QChar c : digits) out += c.isDigit() ? QChar(0xFF10 + c.digitValue()) : c;
    return out;
}

// Word repeats the letter past Z: 27 is AA, 28 BB.
QString letters(int value, char first) {
    if (value < 1 || value > kMaxLetterValue) return QString::number(value);
    const QChar letter(first + (value - 1) % 26);
    return QString((value - 1) / 26 + 1, letter);
}

QString roman(int value) {
    if (value < 1 || value > 3999) return QString::number(value);
    static const std::pair<int, const char*> parts[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"},
                                                        {100, "C"},  {90, "XC"},  {50, "L"},  {40, "XL"},
                                                        {10, "X"},   {9, "IX"},   {5, "V"},   {4, "IV"},
                                                        {1, "I"}};
    QString out;
    for (const auto& [n, text] : parts)
        for (; value >= n; value -= n) out += QLatin1String(text);
    return out;
}

const char16_t kKanjiDigits[] = u"〇一二三四五六七八九";

// 一, 十, 十一, 二十三, 百五, 千二百 (up to 9999; larger values as digits).
QString japaneseCounting(int value) {
    if (value < 1 || value > 9999) return QString::number(value);
    static const char16_t units[] = u"千百十";
    QString out;
    const int place[] = {1000, 100, 10};
    for (int i = 0; i < 3; ++i) {
        const int d = value / place[i] % 10;
        if (d > 1) out += QChar(kKanjiDigits[d]);
        if (d > 0) out += QChar(units[i]);
    }
    if (value % 10) out += QChar(kKanjiDigits[value % 10]);
    return out;
}

QString kanjiDigits(int value) {
    QString out;
    for (QChar c : QString::number(value)) out += c.isDigit() ? QChar(kKanjiDigits[c.digitValue()]) : c;
    return out;
}

}  // namespace

QString formatListNumber(int value, const std::string& numFmt) {
    if (numFmt == "none") return {};
    if (numFmt == "decimalZero") return value < 10 && value >= 0 ? "0" + QString::number(value) : QString::number(value);
    if (numFmt == "decimalFullWidth" || numFmt == "decimalFullWidth2") return fullWidthDigits(QString::number(value));
    if (numFmt == "upperLetter") return letters(value, 'A');
    if (numFmt == "lowerLetter") return letters(value, 'a');
    if (numFmt == "upperRoman") return roman(value);
    if (numFmt == "lowerRoman") return roman(value).toLower();
    if (numFmt == "japaneseCounting") return japaneseCounting(value);
    if (numFmt == "japaneseDigitalTenThousand" || numFmt == "ideographDigital") return kanjiDigits(value);
    if ((numFmt == "decimalEnclosedCircle" || numFmt == "decimalEnclosedCircleChinese") && value >= 1 && value <= 20)
        return QChar(0x2460 + value - 1);
    return QString::number(value);
}

ListNumbers::ListNumbers(const pugi::xml_document* numbering, const pugi::xml_document* styles, const std::string& w)
    : w_(w) {
    if (numbering) {
        pugi::xml_node root = numbering->document_element();
        for (pugi::xml_node a : root.children(q("abstractNum"))) {
            const std::string id = a.attribute(q("abstractNumId")).value();
            for (pugi::xml_node lvl : a.children(q("lvl"))) {
                const int ilvl = lvl.attribute(q("ilvl")).as_int(0);
                abstractLevels_[id][ilvl] = readLevel(lvl);
                const std::string pStyle = lvl.child(q("pStyle")).attribute(q("val")).value();
                if (!pStyle.empty()) levelOfStyle_[id][pStyle] = ilvl;
            }
        }
        for (pugi::xml_node n : root.children(q("num"))) {
            Num num;
            num.abstractId = n.child(q("abstractNumId")).attribute(q("val")).value();
            for (pugi::xml_node o : n.children(q("lvlOverride"))) {
                const int ilvl = o.attribute(q("ilvl")).as_int(0);
                if (pugi::xml_node s = o.child(q("startOverride"))) num.startOverride[ilvl] = boundedStart(s.attribute(q("val")).as_int(0));
                if (pugi::xml_node lvl = o.child(q("lvl"))) num.levelOverride[ilvl] = readLevel(lvl);
            }
            nums_[n.attribute(q("numId")).value()] = num;
        }
    }
    if (styles) {
        for (pugi::xml_node s : styles->document_element().children(q("style"))) {
            if (std::string(s.attribute(q("type")).value()) != "paragraph") continue;
            const std::string id = s.attribute(q("styleId")).value();
            StyleInfo info;
            info.numPr = numPrOf(s.child(q("pPr")));
            info.basedOn = s.child(q("basedOn")).attribute(q("val")).value();
            const std::string def = s.attribute(q("default")).value();
            if (def == "1" || def == "true" || def == "on") defaultParagraphStyle_ = id;
            styles_[id] = info;
        }
    }
}

const char* ListNumbers::q(const char* local) {
    auto it = names_.find(local);
    if (it == names_.end()) it = names_.emplace(local, w_.empty() ? std::string(local) : w_ + ":" + local).first;
    return it->second.c_str();
}

ListNumbers::Level ListNumbers::readLevel(pugi::xml_node lvl) {
    Level level;
    if (pugi::xml_node s = lvl.child(q("start"))) level.start = boundedStart(s.attribute(q("val")).as_int(1));
    if (pugi::xml_node f = lvl.child(q("numFmt"))) level.numFmt = f.attribute(q("val")).value();
    level.lvlText = QString::fromUtf8(lvl.child(q("lvlText")).attribute(q("val")).value()).left(kMaxLevelText);
    if (pugi::xml_node s = lvl.child(q("suff"))) level.suffix = s.attribute(q("val")).value();
    if (pugi::xml_node r = lvl.child(q("lvlRestart"))) {
        const int after = r.attribute(q("val")).as_int(-1);
        level.restartNever = after == 0;
        level.restartAfter = after > 0 ? after - 1 : -1;
    }
    if (pugi::xml_node l = lvl.child(q("isLgl"))) {
        const std::string v = l.attribute(q("val")).value();
        level.legal = v.empty() || v == "1" || v == "true" || v == "on";
    }
    // A bullet in the Symbol font is the character that font shows for its code.
    const QString font = QString::fromUtf8(lvl.child(q("rPr")).child(q("rFonts")).attribute(q("ascii")).value());
    if (level.numFmt == "bullet" && font.compare("Symbol", Qt::CaseInsensitive) == 0 && level.lvlText.size() == 1) {
        const char16_t code = level.lvlText[0].unicode();
        if (const char32_t shown = html::symbolFontCharacter(code)) level.lvlText = QString::fromUcs4(&shown, 1);
    }
    return level;
}

ListNumbers::NumPr ListNumbers::numPrOf(pugi::xml_node pPr) {
    NumPr out;
    pugi::xml_node numPr = pPr.child(q("numPr"));
    if (!numPr) return out;
    if (pugi::xml_node id = numPr.child(q("numId"))) out.numId = id.attribute(q("val")).value();
    if (pugi::xml_node l = numPr.child(q("ilvl"))) out.ilvl = l.attribute(q("val")).as_int(0);
    return out;
}

ListNumbers::NumPr ListNumbers::styleNumPr(const std::string& styleId) {
    NumPr out;
    std::set<std::string> seen;  // basedOn loops in damaged files
    for (std::string cur = styleId; !cur.empty() && seen.insert(cur).second;) {
        auto it = styles_.find(cur);
        if (it == styles_.end()) break;
        if (!out.numId) out.numId = it->second.numPr.numId;
        if (!out.ilvl) out.ilvl = it->second.numPr.ilvl;
        cur = it->second.basedOn;
    }
    return out;
}

const ListNumbers::Level* ListNumbers::level(const Num& num, int ilvl) const {
    if (auto o = num.levelOverride.find(ilvl); o != num.levelOverride.end()) return &o->second;
    auto a = abstractLevels_.find(num.abstractId);
    if (a == abstractLevels_.end()) return nullptr;
    auto l = a->second.find(ilvl);
    return l == a->second.end() ? nullptr : &l->second;
}

int ListNumbers::levelForStyle(const std::string& abstractId, const std::string& styleId) const {
    auto a = levelOfStyle_.find(abstractId);
    if (a == levelOfStyle_.end()) return 0;
    auto l = a->second.find(styleId);
    return l == a->second.end() ? 0 : l->second;
}

QString ListNumbers::next(pugi::xml_node pPr, const std::string& paragraphStyle) {
    if (nums_.empty()) return {};
    const std::string style = paragraphStyle.empty() ? defaultParagraphStyle_ : paragraphStyle;
    NumPr numPr = numPrOf(pPr);
    const NumPr fromStyle = styleNumPr(style);
    if (!numPr.numId) numPr.numId = fromStyle.numId;
    if (!numPr.numId || *numPr.numId == "0") return {};
    auto numIt = nums_.find(*numPr.numId);
    if (numIt == nums_.end()) return {};
    Num& num = numIt->second;
    int ilvl = numPr.ilvl ? *numPr.ilvl : fromStyle.ilvl ? *fromStyle.ilvl : levelForStyle(num.abstractId, style);
    ilvl = std::clamp(ilvl, 0, 8);
    const Level* shown = level(num, ilvl);
    if (!shown) return {};

    // Lists that share an abstract numbering count on together; a list with
    // start overrides begins again where it first appears.
    Counters& counters = counters_[num.abstractId];
    if (!num.overridesApplied) {
        num.overridesApplied = true;
        for (const auto& [l, start] : num.startOverride)
            if (l >= 0 && l < 9) counters.value[l] = start - 1;
    }
    auto startOf = [&](int l) {
        const Level* lv = level(num, l);
        return lv ? lv->start : 1;
    };
    counters.value[ilvl] = counters.value[ilvl] ? *counters.value[ilvl] + 1 : startOf(ilvl);
    for (int deeper = ilvl + 1; deeper < 9; ++deeper) {
        const Level* lv = level(num, deeper);
        if (lv && (lv->restartNever || (lv->restartAfter >= 0 && lv->restartAfter < ilvl))) continue;
        counters.value[deeper].reset();
    }

    QString text = shown->lvlText;
    if (shown->numFmt != "bullet") {
        static const QRegularExpression kPlaceholder(QStringLiteral("%([1-9])"));
        QString out;
        qsizetype from = 0;
        for (auto it = kPlaceholder.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            const int l = m.captured(1).toInt() - 1;
            const Level* lv = level(num, l);
            const int value = counters.value[l] ? *counters.value[l] : startOf(l);
            const std::string fmt = shown->legal ? std::string("decimal") : lv ? lv->numFmt : std::string("decimal");
            out += text.mid(from, m.capturedStart() - from) + formatListNumber(value, fmt);
            from = m.capturedEnd();
        }
        text = out + text.mid(from);
    }
    if (text.isEmpty()) return {};
    if (shown->suffix == "tab") text += QChar(0x3000);  // tabs are written as a full-width blank
    else if (shown->suffix == "space") text += QLatin1Char(' ');
    return text;
}

}  // namespace word::ooxml
