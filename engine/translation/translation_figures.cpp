#include "engine/translation/translation_figures.h"

#include "engine/citations/claim_citations.h"
#include "engine/citations/item_citations.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace engine::translation {

namespace {

const QString kKind = QStringLiteral("図表引用");
constexpr std::array<ItemFamily, 4> kFamilies = {ItemFamily::Figure, ItemFamily::Table, ItemFamily::Formula,
                                                 ItemFamily::Equation};

QChar FoldedLetter(QChar c) {
    if (c >= QChar(0xFF21) && c <= QChar(0xFF3A)) return QChar(char16_t(c.unicode() - 0xFF21 + u'a'));
    if (c >= QChar(0xFF41) && c <= QChar(0xFF5A)) return QChar(char16_t(c.unicode() - 0xFF41 + u'a'));
    return c.toLower();
}

// The sub-figure letter right after a number at pos — （ａ）, (a), Ａ, A —
// lower case half width; empty when there is none.
QString SubLetter(const QString& text, int pos) {
    const int n = int(text.size());
    if (pos + 2 < n && (text[pos] == u'（' || text[pos] == u'(') && IsLatinLetter(text[pos + 1]) &&
        (text[pos + 2] == u'）' || text[pos + 2] == u')'))
        return QString(FoldedLetter(text[pos + 1]));
    if (pos < n && IsLatinLetter(text[pos]) && (pos + 1 >= n || !IsLatinLetter(text[pos + 1])))
        return QString(FoldedLetter(text[pos]));
    return {};
}

QString FamilyPrefix(ItemFamily family, bool label) {
    if (label) return QStringLiteral("式");
    return FamilyWord(family);
}

// The items of one citation: a range of plain numbers written out (at most
// fifty), a range with letters or a wider one as its two ends.
void AddItems(const QString& text, const ItemCitation& c, ItemFamily family, std::vector<CitedItem>& out) {
    const QString prefix = FamilyPrefix(family, c.equationLabel);
    for (const CitedElement& e : c.elements) {
        const QString firstLetter = family == ItemFamily::Figure ? SubLetter(text, e.first.end) : QString();
        if (!e.last) {
            out.push_back({prefix + QString::number(e.first.value) + firstLetter, c.start, c.end});
            continue;
        }
        const QString lastLetter = family == ItemFamily::Figure ? SubLetter(text, e.last->end) : QString();
        const int a = e.first.value, b = e.last->value;
        if (firstLetter.isEmpty() && lastLetter.isEmpty() && b >= a && b - a <= 50) {
            for (int n = a; n <= b; ++n) out.push_back({prefix + QString::number(n), c.start, c.end});
        } else {
            out.push_back({prefix + QString::number(a) + firstLetter, c.start, c.end});
            out.push_back({prefix + QString::number(b) + lastLetter, c.start, c.end});
        }
    }
}

}  // namespace

std::vector<CitedItem> ReadCitedItems(const QString& text, Language language) {
    std::vector<CitedItem> out;
    for (ItemFamily family : kFamilies) {
        const std::vector<ItemCitation> citations =
            language == Language::English ? ReadEnglishItemCitations(text, family) : ReadItemCitations(text, family);
        for (const ItemCitation& c : citations) AddItems(text, c, family, out);
    }
    return out;
}

std::vector<std::pair<int, int>> CitationSpans(const QString& text, Language language) {
    std::vector<std::pair<int, int>> spans;
    for (const CitedItem& item : ReadCitedItems(text, language)) spans.emplace_back(item.start, item.end);
    const std::vector<ClaimCitation> claims =
        language == Language::English ? ReadEnglishClaimCitations(text) : ReadClaimCitations(text);
    for (const ClaimCitation& c : claims) spans.emplace_back(c.start, c.end);
    return spans;
}

Findings CheckFigureCitations(const Comparison& c) {
    Findings out;
    for (const UnitPair& pair : c.pairs) {
        QHash<QString, int> balance;
        QHash<QString, int> sourceAt, translationAt;
        for (const CitedItem& item : ReadCitedItems(pair.source->text, c.source.language)) {
            ++balance[item.key];
            sourceAt.insert(item.key, item.start);
        }
        for (const CitedItem& item : ReadCitedItems(pair.translation->text, c.translation.language)) {
            --balance[item.key];
            translationAt.insert(item.key, item.start);
        }
        // Compared as sets: "FIG. 3 … the figure" cites once what 図３ … 図３ cites twice.
        QStringList missing, extra;
        for (auto it = balance.cbegin(); it != balance.cend(); ++it) {
            if (sourceAt.contains(it.key()) && !translationAt.contains(it.key())) missing << it.key();
            if (translationAt.contains(it.key()) && !sourceAt.contains(it.key())) extra << it.key();
        }
        if (missing.isEmpty() && extra.isEmpty()) continue;
        std::sort(missing.begin(), missing.end());
        std::sort(extra.begin(), extra.end());
        QStringList parts;
        if (!missing.isEmpty()) parts << QStringLiteral("訳文にない引用 %1").arg(missing.join(u'、'));
        if (!extra.isEmpty()) parts << QStringLiteral("原文にない引用 %1").arg(extra.join(u'、'));
        const Place s = missing.isEmpty() ? Place{} : Place{sourceAt[missing[0]], 4};
        const Place t = extra.isEmpty() ? Place{} : Place{translationAt[extra[0]], 6};
        out.push_back(PairFinding(kKind, pair, parts.join(u'、'), s, t));
    }
    return out;
}

}  // namespace engine::translation
