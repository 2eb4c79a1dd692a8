#include "engine/translation/translation_numbers.h"

#include "engine/citations/citation_reading.h"
#include "engine/translation/translation_figures.h"
#include "engine/translation/translation_signs.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>

namespace engine::translation {

namespace {

const QString kKind = QStringLiteral("数値");

struct UnitName {
    const char16_t* written;
    const char16_t* common;
};
// Units as written after a number (width folded), longest first within a
// shared start, with the common form they are compared in.
const std::vector<UnitName>& Units() {
    static const std::vector<UnitName> units = {
        {u"wt%", u"wt%"}, {u"mass%", u"wt%"}, {u"重量%", u"wt%"}, {u"質量%", u"wt%"}, {u"mol%", u"mol%"},
        {u"vol%", u"vol%"}, {u"体積%", u"vol%"}, {u"at%", u"at%"}, {u"%", u"%"}, {u"ppm", u"ppm"}, {u"ppb", u"ppb"},
        {u"°C", u"°C"}, {u"℃", u"°C"}, {u"°F", u"°F"}, {u"°", u"°"}, {u"度", u"°"}, {u"degrees", u"°"},
        {u"nm", u"nm"}, {u"μm", u"μm"}, {u"um", u"μm"}, {u"mm", u"mm"}, {u"cm", u"cm"}, {u"km", u"km"}, {u"m", u"m"},
        {u"mg", u"mg"}, {u"μg", u"μg"}, {u"kg", u"kg"}, {u"g", u"g"}, {u"mL", u"mL"}, {u"ml", u"mL"}, {u"μL", u"μL"},
        {u"L", u"L"}, {u"GPa", u"GPa"}, {u"MPa", u"MPa"}, {u"kPa", u"kPa"}, {u"hPa", u"hPa"}, {u"Pa", u"Pa"},
        {u"GHz", u"GHz"}, {u"MHz", u"MHz"}, {u"kHz", u"kHz"}, {u"Hz", u"Hz"}, {u"kV", u"kV"}, {u"mV", u"mV"},
        {u"V", u"V"}, {u"mA", u"mA"}, {u"μA", u"μA"}, {u"kW", u"kW"}, {u"mW", u"mW"}, {u"W", u"W"}, {u"kJ", u"kJ"},
        {u"J", u"J"}, {u"mol", u"mol"}, {u"rpm", u"rpm"}, {u"min", u"min"}, {u"minutes", u"min"}, {u"minute", u"min"},
        {u"分間", u"min"}, {u"分", u"min"}, {u"ms", u"ms"}, {u"μs", u"μs"}, {u"ns", u"ns"}, {u"seconds", u"s"},
        {u"second", u"s"}, {u"sec", u"s"}, {u"秒間", u"s"}, {u"秒", u"s"}, {u"s", u"s"}, {u"hours", u"h"}, {u"hour", u"h"},
        {u"時間", u"h"}, {u"h", u"h"}, {u"days", u"d"}, {u"day", u"d"}, {u"日間", u"d"},
        // "3 times" is 3倍 or 3回, as the sentence has it.
        {u"times", u"×"}, {u"倍", u"×"}, {u"回", u"×"},
        {u"K", u"K"}, {u"bits", u"bit"}, {u"bit", u"bit"}, {u"ビット", u"bit"}, {u"bytes", u"byte"}, {u"byte", u"byte"},
        {u"バイト", u"byte"},
    };
    return units;
}

// English number words: counts and ordinals up to twenty, and the tens.
const QHash<QString, int>& NumberWords() {
    static const QHash<QString, int> words = [] {
        const std::array<const char*, 21> counts = {"zero", "one", "two", "three", "four", "five", "six", "seven",
                                                    "eight", "nine", "ten", "eleven", "twelve", "thirteen", "fourteen",
                                                    "fifteen", "sixteen", "seventeen", "eighteen", "nineteen", "twenty"};
        const std::array<const char*, 21> ordinals = {"", "first", "second", "third", "fourth", "fifth", "sixth",
                                                      "seventh", "eighth", "ninth", "tenth", "eleventh", "twelfth",
                                                      "thirteenth", "fourteenth", "fifteenth", "sixteenth",
                                                      "seventeenth", "eighteenth", "nineteenth", "twentieth"};
        QHash<QString, int> w;
        for (int i = 1; i <= 20; ++i) {
            w.insert(QString::fromLatin1(counts[i]), i);
            w.insert(QString::fromLatin1(ordinals[i]), i);
        }
        w.insert(QStringLiteral("thirty"), 30);
        w.insert(QStringLiteral("forty"), 40);
        w.insert(QStringLiteral("fifty"), 50);
        w.insert(QStringLiteral("hundred"), 100);
        w.insert(QStringLiteral("twice"), 2);
        return w;
    }();
    return words;
}

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

const QString kSuperscripts = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
const QString kMinus = QStringLiteral("-−–⁻");

// The common form of a value: 1000, 1.5, 1e-06.
QString ValueText(double v) { return QString::number(v, 'g', 12); }

// The unit after a number at pos (a blank may stand between): its common form and length.
std::pair<QString, qsizetype> UnitAt(const QString& text, qsizetype pos) {
    qsizetype at = pos;
    if (at < text.size() && (text[at] == u' ' || text[at] == QChar(0xA0))) ++at;
    const QStringView rest = QStringView(text).mid(at);
    for (const UnitName& u : Units()) {
        const QString written = QString::fromUtf16(u.written);
        if (!rest.startsWith(written)) continue;
        const qsizetype end = at + written.size();
        // A Latin unit ends its word: "5 m" but not "5 may".
        if (IsAsciiLetter(written.back()) && end < text.size() && (IsAsciiLetter(text[end]) || IsDigit(text[end]))) continue;
        return {QString::fromUtf16(u.common), end - pos};
    }
    return {};
}

// "×10-3", "x 10^-3", "×10⁻³" after a mantissa at pos: the exponent and the length read.
std::optional<std::pair<int, qsizetype>> PowerAt(const QString& text, qsizetype pos) {
    qsizetype at = pos;
    auto skipBlank = [&] { while (at < text.size() && text[at] == u' ') ++at; };
    skipBlank();
    if (at >= text.size() || !(text[at] == u'×' || text[at] == u'x' || text[at] == u'X' || text[at] == u'*')) return std::nullopt;
    ++at;
    skipBlank();
    if (!QStringView(text).mid(at).startsWith(QStringLiteral("10"))) return std::nullopt;
    at += 2;
    if (at < text.size() && text[at] == u'^') ++at;
    bool negative = false;
    if (at < text.size() && kMinus.contains(text[at])) {
        negative = true;
        ++at;
    }
    int exponent = 0, digits = 0;
    while (at < text.size() && digits < 3) {
        const qsizetype sup = kSuperscripts.indexOf(text[at]);
        if (IsDigit(text[at])) exponent = exponent * 10 + (text[at].unicode() - u'0');
        else if (sup >= 0) exponent = exponent * 10 + int(sup);
        else break;
        ++at;
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    return std::pair{negative ? -exponent : exponent, at - pos};
}

// Joiners after which a number without a unit takes the unit of the next: 10 to 20 mm.
bool JoinsRange(QStringView between) {
    static const QStringList joiners = {QStringLiteral("~"), QStringLiteral("～"), QStringLiteral("〜"), QStringLiteral("-"),
                                        QStringLiteral("–"), QStringLiteral(" to "), QStringLiteral("から"),
                                        QStringLiteral(" - "), QStringLiteral(" and "), QStringLiteral(" or "),
                                        QStringLiteral("乃至"), QStringLiteral("ないし"), QStringLiteral("又は"),
                                        QStringLiteral("または"), QStringLiteral("及び"), QStringLiteral(", ")};
    return joiners.contains(between.toString());
}

class QuantityReader {
public:
    QuantityReader(const QString& text, Language language)
        : text_(FoldedWidth(text)), language_(language), skip_(text.size(), false) {
        for (const auto& [start, end] : CitationSpans(text, language))
            for (int i = start; i < end && i < text.size(); ++i) skip_[i] = true;
        // A sign where it is written ("the substrate 10 to 200°C") is no quantity either.
        for (const SignInText& sign : ReadSignsInText(text, language))
            for (qsizetype i = sign.start; i < sign.end; ++i) skip_[i] = true;
    }

    std::vector<Quantity> read() {
        for (qsizetype i = 0; i < text_.size(); ++i) {
            if (skip_[i]) continue;
            if (IsDigit(text_[i]) && (i == 0 || !(IsDigit(text_[i - 1]) || text_[i - 1] == u'.'))) i = readNumber(i) - 1;
            else if (language_ == Language::English && IsAsciiLetter(text_[i]) && (i == 0 || !IsAsciiLetter(text_[i - 1])))
                i = readWord(i) - 1;
            else if (language_ == Language::Japanese) readKanji(i);
        }
        propagateRangeUnits();
        std::vector<Quantity> out;
        out.reserve(read_.size());
        for (Read& r : read_) {
            r.q.value = r.number + u'|' + r.unit;
            r.q.bare = r.unit.isEmpty() && !r.word && r.integral;
            out.push_back(r.q);
        }
        return out;
    }

private:
    struct Read {
        Quantity q;
        QString number;
        QString unit;
        bool word = false;
        bool integral = false;
    };

    qsizetype readNumber(qsizetype start) {
        qsizetype pos = start;
        QString digits;
        auto takeDigits = [&] {
            while (pos < text_.size() && IsDigit(text_[pos])) digits += text_[pos++];
        };
        takeDigits();
        // Digit grouping: 1,000 and 1,000,000, never "1, 2" or "1,2-".
        while (pos + 3 < text_.size() + 0 && text_[pos] == u',' && IsDigit(text_[pos + 1]) && IsDigit(text_[pos + 2]) &&
               IsDigit(text_[pos + 3]) && (pos + 4 >= text_.size() || !IsDigit(text_[pos + 4]))) {
            digits += text_.mid(pos + 1, 3);
            pos += 4;
        }
        bool integral = true;
        if (pos + 1 < text_.size() && text_[pos] == u'.' && IsDigit(text_[pos + 1])) {
            digits += u'.';
            ++pos;
            takeDigits();
            integral = false;
        }
        // Glued to letters on either side (S1, H2O, 10a, 3D): a name, no quantity.
        const bool letterBefore = start > 0 && IsAsciiLetter(text_[start - 1]);
        if (letterBefore) return pos;
        if (start > 0 && (text_[start - 1] == u'[' || text_[start - 1] == u'【') && pos < text_.size() &&
            (text_[pos] == u']' || text_[pos] == u'】'))
            return pos;  // a paragraph number cited in brackets
        double value = digits.toDouble();
        qsizetype end = pos;
        if (const auto power = PowerAt(text_, pos)) {
            value *= std::pow(10.0, power->first);
            end += power->second;
            integral = false;
        }
        auto [unit, unitLength] = UnitAt(text_, end);
        if (unit.isEmpty() && end < text_.size() && IsAsciiLetter(text_[end])) return end;
        end += unitLength;
        Read r;
        r.q.offset = start;
        r.q.length = end - start;
        r.number = ValueText(value);
        r.unit = unit;
        r.integral = integral;
        if (integral && value < 1e6) r.q.integer = int(value);
        read_.push_back(r);
        return end;
    }

    // "two", "second", "twice" as whole words; "First," opening a sentence is no ordinal.
    qsizetype readWord(qsizetype start) {
        qsizetype end = start;
        while (end < text_.size() && IsAsciiLetter(text_[end])) ++end;
        const QString word = text_.mid(start, end - start).toLower();
        const auto it = NumberWords().constFind(word);
        if (it == NumberWords().constEnd()) return end;
        if (word == QStringLiteral("first") && end < text_.size() && text_[end] == u',') return end;
        auto [unit, unitLength] = UnitAt(text_, end);
        if (word == QStringLiteral("twice")) unit = QStringLiteral("×");
        Read r;
        r.q.offset = start;
        r.q.length = end + unitLength - start;
        r.number = ValueText(*it);
        r.unit = unit;
        r.word = true;
        r.integral = true;
        r.q.integer = *it;
        read_.push_back(r);
        return end + unitLength;
    }

    // 第一, 一つ, 二つ: kanji numerals read as counts only in these forms, since
    // 一 and its kin begin many words (一方, 一般, 同一).
    void readKanji(qsizetype i) {
        const bool ordinal = text_[i] == u'第';
        const qsizetype start = ordinal ? i + 1 : i;
        if (start >= text_.size() || (i > 0 && !ordinal && text_[i - 1] == u'第')) return;
        const std::optional<CitedNumber> n = ScanNumeral(text_, int(start), true);
        if (!n || n->kind != NumeralKind::Kanji) return;
        if (!ordinal && !(n->end < text_.size() && text_[n->end] == u'つ')) return;
        Read r;
        r.q.offset = start;
        r.q.length = n->end - start;
        r.number = ValueText(n->value);
        r.word = true;
        r.integral = true;
        r.q.integer = n->value;
        read_.push_back(r);
    }

    void propagateRangeUnits() {
        for (size_t k = read_.size(); k-- > 1;) {
            Read& a = read_[k - 1];
            const Read& b = read_[k];
            // Ranges rise: "10 to 20 mm", not "20 to 1.5 times".
            if (!a.unit.isEmpty() || b.unit.isEmpty() || a.word || a.number.toDouble() > b.number.toDouble()) continue;
            const qsizetype from = a.q.offset + a.q.length;
            if (JoinsRange(QStringView(text_).mid(from, b.q.offset - from))) a.unit = b.unit;
        }
    }

    QString text_;
    Language language_;
    std::vector<bool> skip_;
    std::vector<Read> read_;
};

QStringList ValuesText(const std::vector<const Quantity*>& qs) {
    QStringList out;
    for (const Quantity* q : qs) {
        const QString unit = q->value.section(u'|', 1);
        out << q->value.section(u'|', 0, 0) + (unit.isEmpty() || unit == QStringLiteral("%") ? unit : u' ' + unit);
    }
    return out;
}

}  // namespace

QString FoldedWidth(QStringView text) {
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t u = text[i].unicode();
        if (u >= 0xFF01 && u <= 0xFF5E) u = char16_t(u - 0xFF01 + 0x21);
        else if (u == 0x3000) u = u' ';
        else if (u == 0x00B5) u = u'μ';
        else if (u == u'〜') u = u'～';
        else if (u == 0x2212) u = u'-';
        out[i] = QChar(u);
    }
    return out;
}

std::vector<Quantity> ReadQuantities(const QString& text, Language language) {
    return QuantityReader(text, language).read();
}

Findings CheckNumbers(const Comparison& c) {
    Findings out;
    for (const UnitPair& pair : c.pairs) {
        std::vector<Quantity> source = ReadQuantities(pair.source->text, c.source.language);
        std::vector<Quantity> translation = ReadQuantities(pair.translation->text, c.translation.language);
        if (source.empty() && translation.empty()) continue;
        // Whole numbers that are reference signs on either side have their own check.
        QSet<int> signs = SignNumbers(pair.source->text, c.source.language);
        signs.unite(SignNumbers(pair.translation->text, c.translation.language));
        auto notSign = [&](const Quantity& q) { return !(q.bare && signs.contains(q.integer)); };
        QHash<QString, int> balance;
        for (const Quantity& q : source) if (notSign(q)) ++balance[q.value];
        for (const Quantity& q : translation) if (notSign(q)) --balance[q.value];
        std::vector<const Quantity*> missing, extra;
        for (const Quantity& q : source)
            if (notSign(q) && balance.value(q.value) > 0) missing.push_back(&q), --balance[q.value];
        for (const Quantity& q : translation)
            if (notSign(q) && balance.value(q.value) < 0) extra.push_back(&q), ++balance[q.value];
        // "a" and "one", "１つ" and nothing: a lone one is left to the reader.
        auto dropOnes = [](std::vector<const Quantity*>& qs) {
            qs.erase(std::remove_if(qs.begin(), qs.end(), [](const Quantity* q) { return q->value == QStringLiteral("1|"); }),
                     qs.end());
        };
        dropOnes(missing);
        dropOnes(extra);
        if (missing.empty() && extra.empty()) continue;
        QStringList parts;
        if (!missing.empty()) parts << QStringLiteral("訳文にない数値 %1").arg(ValuesText(missing).join(QStringLiteral("、")));
        if (!extra.empty()) parts << QStringLiteral("原文にない数値 %1").arg(ValuesText(extra).join(QStringLiteral("、")));
        const Place s = missing.empty() ? Place{} : Place{missing[0]->offset, missing[0]->length};
        const Place t = extra.empty() ? Place{} : Place{extra[0]->offset, extra[0]->length};
        out.push_back(PairFinding(kKind, pair, parts.join(QStringLiteral("、")), s, t));
    }
    return out;
}

}  // namespace engine::translation
