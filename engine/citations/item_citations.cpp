// Item headings and item citations. Claims come from the claim-citation reader;
// the other families share its element grammar with their own word in front.
// 表, 化 and 数 also end common words (代表, 酸化, 係数), and 数 starts counts
// (数１０個), so those citations are taken only where the word stands alone.

#include "engine/citations/item_citations.h"

#include "engine/citations/claim_citations.h"

#include <algorithm>
#include <array>

namespace engine {

namespace {

struct FamilyName {
    ItemFamily family;
    const char16_t* word;
    const char16_t* english;
};

const std::array<FamilyName, 5> kFamilies = {{
    {ItemFamily::Claim, u"請求項", u"claims"},
    {ItemFamily::Figure, u"図", u"figures"},
    {ItemFamily::Table, u"表", u"tables"},
    {ItemFamily::Formula, u"化", u"formulas"},
    {ItemFamily::Equation, u"数", u"equations"},
}};

bool IsKanji(QChar c) { return c.script() == QChar::Script_Han; }

// 表, 化 and 数 cite an item only when they do not end a longer word; 記
// stands in front of them in 上記表１, 下記数２.
bool StandsAlone(const QString& text, int wordStart) {
    if (wordStart == 0) return true;
    const QChar before = text[wordStart - 1];
    return before == u'記' || !IsKanji(before);
}

// 数１０個, 数１００ｍｍ, 数１０％: a count, not an equation.
bool CountFollows(const QString& text, int pos) {
    if (pos >= text.size()) return false;
    const QChar c = text[pos];
    static const QString counters = QStringLiteral("個倍年月日時分秒回本枚度人件万億千百十台種層段箇桁歳名点％%℃°ヶケカ");
    return counters.contains(c) || IsLatinLetter(c) || c.script() == QChar::Script_Katakana;
}

// 図１、２つの部材: a bare number followed by a counter is a count, not an item,
// and ends the citation in front of it.
bool CountsSomething(const QString& text, const CitedElement& e) {
    static const QString counters = QStringLiteral("つ個本枚台回度倍番種層段部秒年月日％%℃");
    const bool bare = ReadNumeral(QString(text[e.start])).has_value();  // not 図 in front
    return bare && e.end < text.size() && counters.contains(text[e.end]);
}

// Words that end in 図 without naming a figure (意図, 地図, …).
const QString kNotFigureBefore = QStringLiteral("意企地合指版縮");

// 特許文献１の図３, 特開２０２０－１２３４５６号公報の表２: an item of another
// document, which is neither checked nor renumbered.
bool CitesAnotherDocument(QStringView before) {
    if (!before.endsWith(u'の')) return false;
    const QStringView near = before.right(16);
    return near.contains(QStringLiteral("文献")) || near.contains(QStringLiteral("公報")) ||
           near.contains(QStringLiteral("明細書"));
}

CitationGrammar GrammarOf(ItemFamily family) {
    if (family == ItemFamily::Claim) return ClaimGrammar();
    return CitationGrammar{{FamilyWord(family)}, false, false, family == ItemFamily::Figure};
}

std::vector<ItemCitation> ClaimItemCitations(const QString& text) {
    std::vector<ItemCitation> out;
    for (ClaimCitation& c : ReadClaimCitations(text))
        out.push_back(ItemCitation{c.start, c.end, std::move(c.elements), c.alternative, false});
    return out;
}

// 式（４） and 式(4).
std::optional<ItemCitation> EquationLabelAt(const QString& text, int pos) {
    const int open = pos + 1;
    if (open >= text.size() || (text[open] != u'（' && text[open] != u'(')) return std::nullopt;
    const std::optional<CitedNumber> number = ScanNumeral(text, open + 1, false);
    if (!number || number->end >= text.size()) return std::nullopt;
    if (text[number->end] != u'）' && text[number->end] != u')') return std::nullopt;
    CitedElement element;
    element.start = number->start;
    element.end = number->end;
    element.first = *number;
    return ItemCitation{pos, number->end + 1, {element}, false, true};
}

// The English heads of a family, longest first, each ending where the number may follow.
struct EnglishHead {
    const char16_t* word;
    bool label;  // a label of an equation (式)
};
std::vector<EnglishHead> EnglishHeadsOf(ItemFamily family) {
    switch (family) {
    case ItemFamily::Figure:
        return {{u"figures", false}, {u"figure", false}, {u"figs.", false}, {u"fig.", false}, {u"figs", false}, {u"fig", false}};
    case ItemFamily::Table: return {{u"tables", false}, {u"table", false}};
    case ItemFamily::Formula:
        return {{u"chemical formulas", false}, {u"chemical formula", false}, {u"chem.", false}};
    case ItemFamily::Equation:
        return {{u"mathematical formula", false}, {u"math.", false}, {u"formulas", true}, {u"formula", true},
                {u"equations", true}, {u"equation", true}, {u"expressions", true}, {u"expression", true}};
    case ItemFamily::Claim: break;
    }
    return {};
}

// "Formula (4)": the number in parentheses is the label itself.
std::vector<CitedElement> ParenthesisedNumber(const QString& text, int pos) {
    if (pos >= text.size() || text[pos] != u'(') return {};
    const std::optional<CitedNumber> number = ScanNumeral(text, pos + 1, false);
    if (!number || number->end >= text.size() || text[number->end] != u')') return {};
    CitedElement element;
    element.start = pos;
    element.end = number->end + 1;
    element.first = *number;
    return {element};
}

const CitationGrammar& EnglishItemGrammar(ItemFamily family) {
    static const CitationGrammar figures{{QStringLiteral("FIGS. "), QStringLiteral("FIG. "), QStringLiteral("Figure ")}, false, false, true, true};
    static const CitationGrammar others{{}, false, false, false, true};
    return family == ItemFamily::Figure ? figures : others;
}

}  // namespace

std::vector<ItemCitation> ReadEnglishItemCitations(const QString& text, ItemFamily family) {
    std::vector<ItemCitation> citations;
    if (family == ItemFamily::Claim) {
        for (ClaimCitation& c : ReadEnglishClaimCitations(text))
            citations.push_back(ItemCitation{c.start, c.end, std::move(c.elements), c.alternative, false});
        return citations;
    }
    const std::vector<EnglishHead> heads = EnglishHeadsOf(family);
    QString initials;  // the heads' first letters: most places are passed over at once
    for (const EnglishHead& head : heads)
        if (!initials.contains(QChar(head.word[0]))) initials += QChar(head.word[0]);
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!initials.contains(text[at].toLower()) || (at > 0 && text[at - 1].isLetterOrNumber())) continue;
        const QStringView rest = QStringView(text).mid(at);
        for (const EnglishHead& head : heads) {
            const QString word = QString::fromUtf16(head.word);
            if (!rest.startsWith(word, Qt::CaseInsensitive)) continue;
            // "Chemical Formula 1" is a chemical formula, not an equation's label.
            if (family == ItemFamily::Equation && QStringView(text).left(at).endsWith(QStringLiteral("chemical "), Qt::CaseInsensitive))
                break;
            int pos = int(at + word.size());
            if (pos < text.size() && text[pos].isLetter()) break;  // "Tablet", "Figured"
            while (pos < text.size() && (text[pos] == u' ' || text[pos] == QChar(0xA0))) ++pos;
            std::vector<CitedElement> elements = head.label ? ParenthesisedNumber(text, pos) : std::vector<CitedElement>{};
            if (elements.empty()) elements = ReadCitedElements(text, pos, EnglishItemGrammar(family));
            if (elements.empty()) break;
            bool alternative = false;
            for (const CitedElement& e : elements) alternative = alternative || IsAlternativeConnector(e.connector);
            const int end = elements.back().end;
            citations.push_back(ItemCitation{int(at), end, std::move(elements), alternative, head.label});
            at = end - 1;
            break;
        }
    }
    return citations;
}

QString FamilyWord(ItemFamily family) {
    for (const FamilyName& f : kFamilies)
        if (f.family == family) return QString::fromUtf16(f.word);
    return {};
}

std::optional<ItemFamily> FamilyNamed(const QString& name) {
    const QString trimmed = name.trimmed();
    for (const FamilyName& f : kFamilies)
        if (trimmed == QString::fromUtf16(f.word) || trimmed.compare(QString::fromUtf16(f.english), Qt::CaseInsensitive) == 0)
            return f.family;
    return std::nullopt;
}

std::vector<ItemHeading> ReadItemHeadings(const QString& text, ItemFamily family) {
    std::vector<ItemHeading> headings;
    const QString open = QStringLiteral("【") + FamilyWord(family);
    const bool kanji = family == ItemFamily::Claim;
    for (qsizetype at = text.indexOf(open); at >= 0; at = text.indexOf(open, at + 1)) {
        const std::optional<CitedNumber> number = ScanNumeral(text, static_cast<int>(at + open.size()), kanji);
        if (!number) continue;
        int close = number->end;
        if (family == ItemFamily::Figure)
            while (close < text.size() && close - number->end < 3 && text[close] != u'】' &&
                   (IsLatinLetter(text[close]) || text[close] == u'（' || text[close] == u'）'))
                ++close;
        if (close >= text.size() || text[close] != u'】') continue;
        headings.push_back({static_cast<int>(at), close + 1, *number, text.mid(number->end, close - number->end)});
    }
    return headings;
}

std::vector<ItemCitation> ReadItemCitations(const QString& text, ItemFamily family) {
    if (family == ItemFamily::Claim) return ClaimItemCitations(text);
    const QString word = FamilyWord(family);
    const CitationGrammar grammar = GrammarOf(family);
    const bool guarded = family != ItemFamily::Figure;
    std::vector<ItemCitation> citations;
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1)) {
        const int start = static_cast<int>(at);
        if (start > 0 && text[start - 1] == u'【') continue;  // the item's own heading
        if (guarded && !StandsAlone(text, start)) continue;
        if (family == ItemFamily::Figure && start > 0 && kNotFigureBefore.contains(text[start - 1])) continue;
        if (CitesAnotherDocument(QStringView(text).left(start))) continue;
        std::vector<CitedElement> elements = ReadCitedElements(text, start + 1, grammar);
        // The first number follows the family word itself (図３部分): only a later one can be a count.
        if (!elements.empty())
            elements.erase(std::find_if(elements.begin() + 1, elements.end(),
                                        [&](const CitedElement& e) { return CountsSomething(text, e); }),
                           elements.end());
        if (elements.empty()) continue;
        if (family == ItemFamily::Equation && CountFollows(text, elements.back().end)) continue;
        const int end = elements.back().end;
        bool alternative = ChoiceFollows(text, end);
        for (const CitedElement& e : elements) alternative = alternative || IsAlternativeConnector(e.connector);
        citations.push_back(ItemCitation{start, end, std::move(elements), alternative, false});
        at = end - 1;
    }
    if (family == ItemFamily::Equation) {
        const QString label = QStringLiteral("式");
        for (qsizetype at = text.indexOf(label); at >= 0; at = text.indexOf(label, at + 1))
            if (std::optional<ItemCitation> c = EquationLabelAt(text, static_cast<int>(at))) citations.push_back(*c);
        std::sort(citations.begin(), citations.end(),
                  [](const ItemCitation& a, const ItemCitation& b) { return a.start < b.start; });
    }
    return citations;
}

}  // namespace engine
