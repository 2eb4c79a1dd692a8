// Aligning the units of the two documents by their keys, and the tagged
// document's pairs. Both are linear in the number of units (a hash of the
// translation's keys; the order by a longest rising run, n log n).

#include "engine/translation/translation_alignment.h"

#include "engine/deletion/deletion.h"

#include <algorithm>

namespace engine::translation {

namespace {

const QString kKind = QStringLiteral("対応");

QString QuotedExcerpt(const QString& text, Place place) {
    if (place.offset < 0) return check::Excerpt(text, 0, 0);
    return check::Excerpt(text, place.offset, place.length);
}

// Units that a translation must have when its source has them. A heading the
// other language has no name for may be written in any way.
bool MustBeTranslated(const Unit& unit) {
    if (unit.kind == UnitKind::Start) return false;
    if (unit.kind == UnitKind::Heading) return unit.knownHeading;
    return true;
}

Finding UnitFinding(const Unit& unit, const QString& what, const QString& side) {
    return {kKind, UnitName(unit), QStringLiteral("%1：%2「%3」").arg(what, side, check::Excerpt(unit.text, 0, 0))};
}

// Letters of the source's language: a text without any is no sentence to translate.
bool HasWords(const QString& text, Language language) {
    if (language == Language::Japanese) return HasJapanese(text);
    int letters = 0;
    for (QChar c : text)
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) ++letters;
    return letters >= 8;
}

// The positions (in `sources`) that are not part of one longest rising run.
std::vector<bool> OutsideLongestRisingRun(const std::vector<int>& sources) {
    const int n = int(sources.size());
    std::vector<int> tailIndex, previous(n, -1);
    for (int i = 0; i < n; ++i) {
        const auto at = std::lower_bound(tailIndex.begin(), tailIndex.end(), sources[i],
                                         [&](int index, int value) { return sources[index] < value; });
        if (at != tailIndex.begin()) previous[i] = *(at - 1);
        if (at == tailIndex.end()) tailIndex.push_back(i);
        else *at = i;
    }
    std::vector<bool> outside(n, true);
    for (int i = tailIndex.empty() ? -1 : tailIndex.back(); i >= 0; i = previous[i]) outside[i] = false;
    return outside;
}

void CheckPairTexts(Comparison& c) {
    const Language language = c.source.language;
    for (const UnitPair& pair : c.pairs) {
        const QString source = pair.source->text.trimmed();
        const QString translation = pair.translation->text.trimmed();
        if (!HasWords(source, language)) continue;
        if (translation.isEmpty())
            c.alignment.push_back(PairFinding(kKind, pair, QStringLiteral("訳文が空")));
        else if (source == translation && c.source.language != c.translation.language)
            c.alignment.push_back(PairFinding(kKind, pair, QStringLiteral("訳文が原文と同じ")));
    }
}

// The identifier a lone line of a tagged document is, in either language.
std::optional<Unit> IdentifierOf(const QString& line) {
    for (const Language language : {Language::Japanese, Language::English}) {
        const Document read = ReadDocument({line}, language);
        if (read.units.size() > 1) return read.units.back();
    }
    return std::nullopt;
}

}  // namespace

Finding PairFinding(const QString& kind, const UnitPair& pair, const QString& what, Place source, Place translation) {
    return {kind, UnitName(*pair.translation),
            QStringLiteral("%1：原文「%2」訳文「%3」")
                .arg(what, QuotedExcerpt(pair.source->text, source), QuotedExcerpt(pair.translation->text, translation))};
}

Comparison Compare(Document source, Document translation) {
    Comparison c;
    c.source = std::move(source);
    c.translation = std::move(translation);
    QHash<QString, int> sourceByKey;
    sourceByKey.reserve(int(c.source.units.size()));
    for (int i = 0; i < int(c.source.units.size()); ++i) sourceByKey.insert(c.source.units[i].key, i);

    std::vector<bool> paired(c.source.units.size(), false);
    std::vector<int> sourceOrder;
    for (const Unit& unit : c.translation.units) {
        if (unit.repeated) c.alignment.push_back(UnitFinding(unit, QStringLiteral("%1が重複している").arg(UnitName(unit)), QStringLiteral("訳文")));
        const auto it = sourceByKey.constFind(unit.key);
        if (it == sourceByKey.constEnd()) {
            if (MustBeTranslated(unit) && !unit.repeated)
                c.alignment.push_back(UnitFinding(unit, QStringLiteral("原文にない%1").arg(UnitName(unit)), QStringLiteral("訳文")));
            continue;
        }
        paired[*it] = true;
        c.pairs.push_back({&c.source.units[*it], &unit});
        sourceOrder.push_back(*it);
    }
    for (size_t i = 0; i < c.source.units.size(); ++i) {
        const Unit& unit = c.source.units[i];
        if (!paired[i] && MustBeTranslated(unit) && !unit.repeated)
            c.alignment.push_back(UnitFinding(unit, QStringLiteral("訳文に%1がない").arg(UnitName(unit)), QStringLiteral("原文")));
    }
    const std::vector<bool> outside = OutsideLongestRisingRun(sourceOrder);
    for (size_t i = 0; i < outside.size(); ++i)
        if (outside[i])
            c.alignment.push_back(PairFinding(kKind, c.pairs[i], QStringLiteral("%1の位置が原文と違う").arg(UnitName(*c.pairs[i].translation))));
    CheckPairTexts(c);
    return c;
}

Comparison CompareTagged(const QStringList& paragraphs, Language sourceLanguage) {
    Comparison c;
    c.source.language = sourceLanguage;
    c.translation.language = sourceLanguage == Language::Japanese ? Language::English : Language::Japanese;
    const int count = int(paragraphs.size());
    std::vector<ParagraphClass> classes(count);
    for (int p = 0; p < count; ++p) classes[p] = ClassifyParagraph(paragraphs[p]);
    auto classAt = [&](int p) {
        if (p < 0) return kClassStart;
        return p < count ? classes[p] : kClassNone;
    };

    // A unit is what one heading line names: the pairs after a lone paragraph
    // number, claim or figure line up to the next one. A pair before any such
    // line, or a pair that is itself a heading, is a unit of its own.
    QString heading;  // the lone identifier line the following pairs belong to
    bool open = false;
    Part part = Part::Front;
    auto startUnit = [&](const QString& name, int p) {
        for (Document* d : {&c.source, &c.translation}) {
            Unit unit;
            unit.kind = UnitKind::Pair;
            unit.part = part;
            unit.name = name;
            unit.paragraph = p;
            unit.key = QStringLiteral("G%1").arg(d->units.size());
            d->units.push_back(unit);
        }
        // The heading names the claim (or paragraph, figure) whose pairs follow.
        if (const std::optional<Unit> read = IdentifierOf(name)) {
            for (Document* d : {&c.source, &c.translation}) {
                d->units.back().kind = read->kind;
                d->units.back().number = read->number;
            }
        }
        open = true;
    };
    for (int p = 0; p < count; ++p) {
        if (classes[p] != kClassText) continue;
        const QString& line = paragraphs[p];
        if (IsSourceText([&](int k) { return classAt(p + k); })) {
            int end = p + 1;
            QString translation;
            while (end < count && classes[end] == kClassText) {
                if (end > p + 1) translation += u'\n';
                translation += paragraphs[end];
                ++end;
            }
            const bool headingPair = check::StartsWithHeading(translation) || check::StartsWithHeading(line);
            if (!open || headingPair) startUnit(headingPair || heading.isEmpty() ? line.trimmed().left(30) : heading, p);
            if (headingPair) open = false;
            for (auto [d, text] : {std::pair<Document*, const QString*>{&c.source, &line}, {&c.translation, &translation}}) {
                Unit& unit = d->units.back();
                if (!unit.text.isEmpty()) unit.text += u'\n';
                unit.text += *text;
            }
            p = end - 1;
            continue;
        }
        // A lone line between tags: a paragraph number, a claim, a part's name.
        const QString trimmed = line.trimmed();
        const std::optional<Unit> read = IdentifierOf(trimmed);
        if (!read) continue;
        if (read->kind == UnitKind::PartName) {
            part = read->part;
            continue;
        }
        heading = trimmed;
        open = false;
    }
    for (size_t i = 0; i < c.source.units.size(); ++i) c.pairs.push_back({&c.source.units[i], &c.translation.units[i]});
    CheckPairTexts(c);
    return c;
}

}  // namespace engine::translation
