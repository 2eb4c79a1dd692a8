// Numerals and the element grammar of citations. Every rule reads forward from
// a position and consumes only what it recognises, so a citation ends where its
// grammar stops: "請求項１から導かれる" is a citation of claim 1 alone.

#include "engine/citations/citation_reading.h"

#include "engine/text_helpers.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace engine {

namespace {

const QString kKanjiDigits = QStringLiteral("〇一二三四五六七八九");
const QString kKanjiUnits = QStringLiteral("十百千");
const QString kKanjiMyriads = QStringLiteral("万億");

// Range words, each before any word it begins.
const std::array<const char16_t*, 11> kRangeWords = {
    u"～", u"〜", u"~", u"－", u"-", u"−", u"‐", u"–", u"から", u"乃至", u"ないし",
};
// Commas that may stand alone or in front of a list word.
const std::array<const char16_t*, 5> kCommas = {u"、", u"，", u",", u"､", u"・"};
const std::array<const char16_t*, 7> kAlternativeWords = {
    u"又は", u"または", u"若しくは", u"もしくは", u"或いは", u"あるいは", u"或は",
};
const std::array<const char16_t*, 5> kCumulativeWords = {u"及び", u"および", u"並びに", u"ならびに", u"と"};
// "and/or": it does not offer a choice of one claim, so it counts as adding.
const std::array<const char16_t*, 6> kAndOrWords = {
    u"及び／又は", u"及び/又は", u"および／または", u"および/または", u"又は／及び", u"又は/及び",
};
// English: "1 to 3", "1 through 3", "1-3", "3A to 3C".
const std::array<const char16_t*, 8> kEnglishRangeWords = {
    u" to ", u" through ", u" - ", u" – ", u"-", u"–", u"~", u"～",
};
// English connectors, longest first: "1, 2, or 3", "1 and/or 2", "1 and 2", "1, 2".
const std::array<const char16_t*, 8> kEnglishConnectors = {
    u", and/or ", u" and/or ", u", or ", u", and ", u" or ", u" and ", u", ", u",",
};

bool IsFullWidthDigit(QChar c) { return c >= QChar(0xFF10) && c <= QChar(0xFF19); }
bool IsHalfWidthDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsKanjiNumeral(QChar c) {
    return kKanjiDigits.contains(c) || kKanjiUnits.contains(c) || kKanjiMyriads.contains(c);
}

std::optional<NumeralKind> KindOf(QChar c, bool kanji) {
    if (IsFullWidthDigit(c)) return NumeralKind::FullWidth;
    if (IsHalfWidthDigit(c)) return NumeralKind::HalfWidth;
    if (kanji && IsKanjiNumeral(c)) return NumeralKind::Kanji;
    return std::nullopt;
}

bool IsOfKind(QChar c, NumeralKind kind) {
    switch (kind) {
    case NumeralKind::FullWidth: return IsFullWidthDigit(c);
    case NumeralKind::HalfWidth: return IsHalfWidthDigit(c);
    case NumeralKind::Kanji: return IsKanjiNumeral(c);
    }
    return false;
}

// 十二, 二十三, 百一 within one group of four digits: digits multiplied by
// descending units. Positional kanji (一二, 二〇) are read digit by digit.
std::optional<long long> ReadKanjiGroup(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 12) return std::nullopt;
    const bool withUnits = std::any_of(digits.begin(), digits.end(), [](QChar c) { return kKanjiUnits.contains(c); });
    long long value = 0;
    if (!withUnits) {
        for (QChar c : digits) value = value * 10 + kKanjiDigits.indexOf(c);
        return value;
    }
    int pending = -1;
    int lastUnit = 100000;
    for (QChar c : digits) {
        const qsizetype digit = kKanjiDigits.indexOf(c);
        if (digit >= 0) {
            if (pending >= 0) return std::nullopt;
            pending = static_cast<int>(digit);
            continue;
        }
        if (!kKanjiUnits.contains(c)) return std::nullopt;
        const int unit = c == u'十' ? 10 : c == u'百' ? 100 : 1000;
        if (unit >= lastUnit) return std::nullopt;
        value += (pending < 0 ? 1 : pending) * unit;
        pending = -1;
        lastUnit = unit;
    }
    return value + std::max(pending, 0);
}

// 九千九百九十九万, 一億二千万: groups of four digits before 億 and 万, each
// group read as above; nullopt past kLargestNumber.
std::optional<int> ReadKanjiNumeral(const QString& digits) {
    long long value = 0;
    bool grouped = false;
    QStringView rest(digits);
    for (const auto& [mark, myriad] : {std::pair{u'億', 100'000'000LL}, std::pair{u'万', 10'000LL}}) {
        const qsizetype at = rest.indexOf(QChar(mark));
        if (at < 0) continue;
        const std::optional<long long> group = ReadKanjiGroup(rest.left(at));
        if (!group || *group > 9999) return std::nullopt;
        value += *group * myriad;
        grouped = true;
        rest = rest.mid(at + 1);
    }
    if (!rest.isEmpty()) {
        const std::optional<long long> group = ReadKanjiGroup(rest);
        if (!group || (grouped && *group > 9999)) return std::nullopt;
        value += *group;
    }
    if (value > kLargestNumber) return std::nullopt;
    return static_cast<int>(value);
}

// The first of words that text holds at pos, or an empty string.
template <size_t N>
QString WordAt(const QString& text, int pos, const std::array<const char16_t*, N>& words) {
    for (const char16_t* w : words) {
        const QStringView word(w);
        if (StartsAt(text, pos, word)) return word.toString();
    }
    return {};
}

// A list connector at pos: a comma, a list word, or a comma followed by a list word.
QString ConnectorAt(const QString& text, int pos, const CitationGrammar& grammar) {
    if (grammar.english) return WordAt(text, pos, kEnglishConnectors);
    const QString comma = WordAt(text, pos, kCommas);
    const int after = pos + static_cast<int>(comma.size());
    QString word = WordAt(text, after, kAndOrWords);
    if (word.isEmpty()) word = WordAt(text, after, kAlternativeWords);
    if (word.isEmpty()) word = WordAt(text, after, kCumulativeWords);
    return comma + word;
}

// A sub-figure letter after a number: （ａ）, (a), or one letter (ａ, Ａ, A).
// Returns its length, 0 when there is none.
int SubLetterLength(const QString& text, int pos) {
    const int n = static_cast<int>(text.size());
    if (pos + 2 < n && (text[pos] == u'（' || text[pos] == u'(') && IsLatinLetter(text[pos + 1]) &&
        (text[pos + 2] == u'）' || text[pos + 2] == u')'))
        return 3;
    if (pos < n && IsLatinLetter(text[pos]) && (pos + 1 >= n || !IsLatinLetter(text[pos + 1]))) return 1;
    return 0;
}

// One number with what may surround it in an element: a repeated head (when
// allowed), 第…項, a sub-figure letter.
std::optional<CitedElement> ReadSingle(const QString& text, int pos, const CitationGrammar& grammar, bool headAllowed) {
    CitedElement element;
    element.start = pos;
    if (headAllowed) {
        for (const QString& head : grammar.heads) {
            if (QStringView(text).mid(pos).startsWith(head, grammar.english ? Qt::CaseInsensitive : Qt::CaseSensitive)) {
                pos += static_cast<int>(head.size());
                break;
            }
        }
    }
    if (grammar.ordinals && StartsAt(text, pos, QStringLiteral("第"))) {
        element.ordinal = true;
        ++pos;
    }
    const std::optional<CitedNumber> number = ScanNumeral(text, pos, grammar.kanjiNumerals);
    if (!number) return std::nullopt;
    element.first = *number;
    pos = number->end;
    if (element.ordinal && StartsAt(text, pos, QStringLiteral("項"))) ++pos;
    if (grammar.subLetters) pos += SubLetterLength(text, pos);
    element.end = pos;
    return element;
}

}  // namespace

bool IsLatinLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= QChar(0xFF41) && c <= QChar(0xFF5A)) ||
           (c >= QChar(0xFF21) && c <= QChar(0xFF3A));
}

std::optional<int> ReadNumeral(const QString& digits) {
    if (digits.isEmpty()) return std::nullopt;
    const std::optional<NumeralKind> kind = KindOf(digits[0], true);
    if (!kind) return std::nullopt;
    for (QChar c : digits)
        if (!IsOfKind(c, *kind)) return std::nullopt;
    if (*kind == NumeralKind::Kanji) return ReadKanjiNumeral(digits);
    long long value = 0;
    for (QChar c : digits) {
        value = value * 10 + (IsFullWidthDigit(c) ? c.unicode() - 0xFF10 : c.unicode() - u'0');
        if (value > kLargestNumber) return std::nullopt;
    }
    return static_cast<int>(value);
}

QString WriteNumeral(int n, NumeralKind kind) {
    switch (kind) {
    case NumeralKind::FullWidth: return ToFullWidthDigits(NumToStr(n));
    case NumeralKind::HalfWidth: return NumToStr(n);
    case NumeralKind::Kanji: break;
    }
    if (n <= 0) return ToFullWidthDigits(NumToStr(n));
    // 一 is not written in front of 十, 百 and 千 (十二, 百, 千五), nor of a
    // group of four that stands alone before 万 or 億 (一万, 千万).
    auto group = [](int g) {
        QString out;
        const std::array<std::pair<int, QChar>, 3> units = {{{1000, u'千'}, {100, u'百'}, {10, u'十'}}};
        for (const auto& [unit, sign] : units) {
            const int digit = g / unit % 10;
            if (digit == 0) continue;
            if (digit > 1) out += kKanjiDigits[digit];
            out += sign;
        }
        if (g % 10) out += kKanjiDigits[g % 10];
        return out;
    };
    QString out;
    for (const auto& [myriad, mark] : {std::pair{100'000'000, u'億'}, std::pair{10'000, u'万'}}) {
        const int g = n / myriad % 10'000;
        if (g == 0) continue;
        out += (g == 1 ? QStringLiteral("一") : group(g)) + QChar(mark);
    }
    return out + group(n % 10'000);
}

std::optional<CitedNumber> ScanNumeral(const QString& text, int pos, bool kanji) {
    if (pos < 0 || pos >= text.size()) return std::nullopt;
    const std::optional<NumeralKind> kind = KindOf(text[pos], kanji);
    if (!kind) return std::nullopt;
    int end = pos;
    while (end < text.size() && IsOfKind(text[end], *kind)) ++end;
    const std::optional<int> value = ReadNumeral(text.mid(pos, end - pos));
    // Digits too many to read are still a number; kanji that do not make one are text.
    if (!value && *kind == NumeralKind::Kanji) return std::nullopt;
    return CitedNumber{value.value_or(-1), pos, end, *kind};
}

std::vector<CitedElement> ReadCitedElements(const QString& text, int pos, const CitationGrammar& grammar) {
    std::vector<CitedElement> elements;
    std::optional<CitedElement> element = ReadSingle(text, pos, grammar, false);
    while (element) {
        const QString rangeWord = grammar.english ? WordAt(text, element->end, kEnglishRangeWords)
                                                  : WordAt(text, element->end, kRangeWords);
        if (!rangeWord.isEmpty()) {
            const int after = element->end + static_cast<int>(rangeWord.size());
            if (const std::optional<CitedElement> last = ReadSingle(text, after, grammar, true)) {
                element->last = last->first;
                element->rangeWord = rangeWord;
                element->end = last->end;
            }
        }
        elements.push_back(*element);

        const QString connector = ConnectorAt(text, element->end, grammar);
        if (connector.isEmpty()) break;
        element = ReadSingle(text, elements.back().end + static_cast<int>(connector.size()), grammar, true);
        if (element) element->connector = connector;
    }
    return elements;
}

std::vector<NumberRange> RangesOf(const CitedElement& element) {
    if (!element.readable()) return {};
    const int first = element.first.value;
    const int last = element.last ? element.last->value : first;
    if (last < first) return {{first, first}, {last, last}};
    return {{first, last}};
}

// "のいずれか", "のうちいずれか", "の何れか", "いずれか", "までのいずれか" … right after the citation.
bool ChoiceFollows(const QString& text, int pos) {
    for (const char16_t* lead : {u"のうちの", u"のうち", u"の内の", u"の内", u"までの", u"の", u""}) {
        const int after = pos + static_cast<int>(std::char_traits<char16_t>::length(lead));
        if (!StartsAt(text, pos, QStringView(lead))) continue;
        for (const char16_t* choice : {u"いずれか", u"何れか", u"いづれか"})
            if (StartsAt(text, after, QStringView(choice))) return true;
    }
    return false;
}

void AddInterval(CitedIntervals& set, int first, int last) {
    if (last < first) std::swap(first, last);
    set.emplace_back(first, last);
}

void AddElement(CitedIntervals& set, const CitedElement& element) {
    for (const NumberRange& range : RangesOf(element)) AddInterval(set, range.first, range.last);
}

CitedIntervals Normalised(CitedIntervals set) {
    std::sort(set.begin(), set.end());
    CitedIntervals merged;
    for (const auto& [first, last] : set) {
        if (!merged.empty() && first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, last);
        else
            merged.emplace_back(first, last);
    }
    return merged;
}

QString IntervalsText(const CitedIntervals& set) {
    QStringList parts;
    for (const auto& [first, last] : set)
        parts << (first == last ? NumToStr(first) : NumToStr(first) + u'-' + NumToStr(last));
    return parts.join(QStringLiteral(", "));
}

bool IsAlternativeConnector(const QString& connector) {
    if (IsCumulativeConnector(connector)) return false;
    if (connector.contains(QStringLiteral("or"))) return true;  // English " or ", " and/or "
    for (const char16_t* w : kAlternativeWords)
        if (connector.endsWith(QStringView(w))) return true;
    return false;
}

bool IsCumulativeConnector(const QString& connector) {
    for (const char16_t* w : kAndOrWords)
        if (connector.endsWith(QStringView(w))) return true;
    if (connector.endsWith(QStringLiteral(" and "))) return true;
    for (const char16_t* w : kCumulativeWords)
        if (connector.endsWith(QStringView(w))) return true;
    return false;
}

}  // namespace engine
