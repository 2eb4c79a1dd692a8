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

// One numeral as written: its value and where its characters stand in the text read.
struct CitedNumber {
    int value = 0;
    int start = 0, end = 0;
    NumeralKind kind = NumeralKind::FullWidth;
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
// 二十三, 一〇, …); nullopt when the text is not one number of one kind.
std::optional<int> ReadNumeral(const QString& digits);
// n written in the given kind: "１２", "12", "十二".
QString WriteNumeral(int n, NumeralKind kind);
// The longest numeral of one kind that starts at pos, if any.
std::optional<CitedNumber> ScanNumeral(const QString& text, int pos, bool kanji);

// The elements of a citation whose head ends at pos: at least one, or none
// when no number follows there.
std::vector<CitedElement> ReadCitedElements(const QString& text, int pos, const CitationGrammar& grammar);

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

// The numbers an element cites, a range expanded (a range written backwards or
// absurdly long gives its two ends).
std::vector<int> ExpandElement(const CitedElement& element);

// Whether a connector offers a choice (又は, 若しくは, …) rather than adding (及び, と).
bool IsAlternativeConnector(const QString& connector);
bool IsCumulativeConnector(const QString& connector);

// a-z, A-Z in half or full width: sub-figure letters.
bool IsLatinLetter(QChar c);

// Whether text at pos starts with word.
inline bool StartsAt(const QString& text, int pos, const QString& word) {
    return pos >= 0 && QStringView(text).mid(pos).startsWith(word);
}

}  // namespace engine
