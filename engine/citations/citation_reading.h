#pragma once
// The grammar shared by every kind of citation of numbered things: numerals in
// full-width, half-width or kanji digits, and a run of cited numbers joined by
// list words (、 又は 及び …) and range words (～ から 乃至 …), such as
// "１、３～５又は請求項７" or "３（ａ）～図５". Claim citations (claim_citations.h)
// and item citations (item_citations.h) are this grammar with their own heads.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace engine {

enum class NumeralKind { FullWidth, HalfWidth, Kanji };

// The largest number read as one: claim numbers, figures and the like stay far
// below it, and the counts of ranges of such numbers fit a 64-bit integer.
constexpr int kLargestNumber = 999'999'999;

// One numeral as written: its value and where its characters stand in the text read.
struct CitedNumber {
    int value = 0;  // -1 for a numeral too long or too large to read (a typo of twenty digits)
    int start = 0, end = 0;
    NumeralKind kind = NumeralKind::FullWidth;
    bool readable() const { return value >= 0; }
};

// One element of a citation: one number, or a range of numbers.
struct CitedElement {
    // From the element's own head or 第 (when it has one) to its last character
    // (the last numeral, 項, or a sub-figure letter).
    int start = 0, end = 0;
    CitedNumber first;
    std::optional<CitedNumber> last;  // the end of a range
    QString rangeWord;                // ～, から, 乃至, ないし, …; empty for one number
    // The word that joins the element to the one before it (、, 又は, 、及び, と, …);
    // empty for the first element.
    QString connector;
    bool ordinal = false;  // written 第ｎ項
    // Whether both ends are numbers that could be read.
    bool readable() const { return first.readable() && (!last || last->readable()); }
};

// A run of cited numbers first..last (first <= last), kept as its two ends
// however wide it is: nothing that reads citations lists a range's members.
struct NumberRange {
    int first = 0, last = 0;
    long long count() const { return static_cast<long long>(last) - first + 1; }
    bool contains(int n) const { return first <= n && n <= last; }
    bool operator==(const NumberRange&) const = default;
};

// What a kind of citation admits besides the numbers themselves.
struct CitationGrammar {
    QStringList heads;            // words that may repeat in front of a later element (請求項, 図)
    bool kanjiNumerals = false;   // 一, 十二, 二十三
    bool ordinals = false;        // 第１項
    bool subLetters = false;      // ３（ａ）, ３Ａ
    // English list and range words (", ", " or ", ", and ", " to ", " through ")
    // instead of the Japanese ones; heads are then matched without case.
    bool english = false;
};

// A number written in full-width, half-width or kanji numerals (一, 十二,
// 二十三, 一〇, 九千九百九十九万, …); nullopt when the text is not one number
// of one kind or is larger than kLargestNumber.
std::optional<int> ReadNumeral(const QString& digits);
// n written in the given kind: "１２", "12", "十二".
QString WriteNumeral(int n, NumeralKind kind);
// The longest numeral of one kind that starts at pos, if any; a numeral too
// large to read is returned with the value -1, so that it is reported rather
// than taken for text.
std::optional<CitedNumber> ScanNumeral(const QString& text, int pos, bool kanji);

// The elements of a citation whose head ends at pos: at least one, or none
// when no number follows there.
std::vector<CitedElement> ReadCitedElements(const QString& text, int pos, const CitationGrammar& grammar);

// The numbers an element cites: its range, or for a range written backwards
// (５～３) its two ends, each alone; nothing when a number could not be read.
std::vector<NumberRange> RangesOf(const CitedElement& element);

// Whether the words at pos make the citation before them a choice: のいずれか,
// のうちいずれか, の何れか, までのいずれか, …
bool ChoiceFollows(const QString& text, int pos);

// A cited set as closed intervals of numbers, sorted, overlapping and
// adjacent ones merged: {1, 2, 3, 7} and 1-3 or 7 both give [1,3] [7,7]. Two
// citations cite the same things when their intervals are equal, however
// each wrote them, and a wide range costs two numbers, not its members.
using CitedIntervals = std::vector<std::pair<int, int>>;
void AddInterval(CitedIntervals& set, int first, int last);
void AddElement(CitedIntervals& set, const CitedElement& element);
CitedIntervals Normalised(CitedIntervals set);
// "1-3, 7" (numbers in half width; a one-member interval as one number).
QString IntervalsText(const CitedIntervals& set);

// Whether a connector offers a choice (又は, 若しくは, …) rather than adding (及び, と).
bool IsAlternativeConnector(const QString& connector);
bool IsCumulativeConnector(const QString& connector);

// a-z, A-Z in half or full width: sub-figure letters.
bool IsLatinLetter(QChar c);

// Whether text at pos starts with word.
inline bool StartsAt(const QString& text, int pos, QStringView word) {
    return pos >= 0 && pos <= text.size() && QStringView(text).mid(pos).startsWith(word);
}

}  // namespace engine
