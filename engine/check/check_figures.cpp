#include "engine/check/check_figures.h"

#include "engine/citations/item_citations.h"
#include "engine/citations/number_runs.h"
#include "engine/text_helpers.h"

#include <algorithm>
#include <set>

namespace engine::check {

namespace {

const QString kNumberKind = QStringLiteral("図番号");
const QString kCitationKind = QStringLiteral("図引用");
const QString kFigure = QStringLiteral("図");
const QString kBriefDescription = QStringLiteral("【図面の簡単な説明】");

// 乃至, ～: the range words of 第１図乃至第４図.
const QStringList kOrdinalRangeWords = {QStringLiteral("～"), QStringLiteral("〜"), QStringLiteral("乃至"),
                                        QStringLiteral("ないし"), QStringLiteral("から")};

QString FullWidthUpper(QChar c) {
    char16_t u = c.unicode();
    if (u >= u'a' && u <= u'z') u = char16_t(u - u'a' + u'Ａ');
    else if (u >= u'A' && u <= u'Z') u = char16_t(u - u'A' + u'Ａ');
    else if (u >= u'ａ' && u <= u'ｚ') u = char16_t(u - u'ａ' + u'Ａ');
    return QString(QChar(u));
}

// The letter written right after a number (図３Ａ, 図３（ａ）), full-width upper case.
QString LetterAfter(const QString& text, int pos, int end) {
    if (pos < end && (text[pos] == u'（' || text[pos] == u'(')) ++pos;
    return pos < end && IsLatinLetter(text[pos]) ? FullWidthUpper(text[pos]) : QString();
}

// The figures one element of a citation names: 図３, 図３～図５ (one range),
// 図１Ａ～図１Ｃ (three letters of one figure).
// `start` is where the element's text begins (図 for the first one).
void AddElement(const QString& text, const CitedElement& e, int start, std::vector<FigureCitation>& out) {
    const int length = e.end - start;
    const QString firstLetter = LetterAfter(text, e.first.end, e.end);
    if (!e.last) {
        if (e.first.readable()) out.push_back({e.first.value, e.first.value, firstLetter, start, length});
        return;
    }
    const QString lastLetter = LetterAfter(text, e.last->end, e.end);
    if (e.first.value == e.last->value && !firstLetter.isEmpty() && !lastLetter.isEmpty()) {
        for (char16_t c = firstLetter[0].unicode(); c <= lastLetter[0].unicode(); ++c)
            out.push_back({e.first.value, e.first.value, QString(QChar(c)), start, length});
        return;
    }
    for (const NumberRange& r : RangesOf(e)) out.push_back({r.first, r.last, {}, start, length});
}

// 第４図, 第１図乃至第４図: the older way, the number before 図.
void AddOrdinalCitations(QStringView text, std::vector<FigureCitation>& out) {
    for (qsizetype pos = text.indexOf(kFigure); pos >= 0; pos = text.indexOf(kFigure, pos + 1)) {
        qsizetype begin = pos;
        while (begin > 0 && DigitValue(text[begin - 1]) >= 0) --begin;
        if (begin == pos || begin == 0 || text[begin - 1] != u'第') continue;
        const int first = ReadDigits(text, begin)->value;
        out.push_back({first, first, {}, begin - 1, pos + 1 - (begin - 1)});
        const auto range = WordAt(text, pos + 1, kOrdinalRangeWords);
        if (!range || *range >= text.size() || text[*range] != u'第') continue;
        // The last figure is read as a citation of its own; this one is what lies between.
        const auto last = ReadDigits(text, *range + 1);
        if (last && last->value > first + 1) out.push_back({first + 1, last->value - 1, {}, begin - 1, *range - begin + 1});
    }
}

// A listed figure: an item 【図ｎ】 at the start of a paragraph.
struct ListedFigure {
    int number;
    QString suffix;
    int paragraph;
    qsizetype offset;
    qsizetype length;
};

// The letter of 図１Ａ full-width upper case; the part of 図２６-１ as －１.
QString FigureSuffix(const QString& written) {
    if (IsLatinLetter(written[0])) return FullWidthUpper(written[0]);
    return QStringLiteral("－") + ToFullWidthDigits(written.mid(1));
}

std::vector<ListedFigure> FiguresOf(const CheckedText& text, int first, int end, bool untilHeading) {
    std::vector<ListedFigure> figures;
    for (int p = first; p < end; ++p) {
        if (untilHeading && StartsWithHeading(text[p])) break;
        const auto item = LeadingItemOf(text[p], kFigure);
        if (!item) continue;
        QString suffix;
        if (!item->name.suffix.isEmpty()) suffix = FigureSuffix(item->name.suffix);
        figures.push_back({item->name.number, suffix, p, item->start, item->end - item->start});
    }
    return figures;
}

QString FigureName(int number, const QString& suffix) {
    return QStringLiteral("図%1%2").arg(ToFullWidthDigits(QString::number(number)), suffix);
}

// 【図１】, 【図２Ａ】, 【図２Ｂ】, 【図３】…: numbers from 1 up by one; a
// number repeats only with another letter.
void CheckFigureSequence(const CheckedText& text, const std::vector<ListedFigure>& figures, Findings& out) {
    int previous = 0;
    std::set<std::pair<int, QString>> seen;
    for (const ListedFigure& f : figures) {
        QString what;
        if (!seen.insert({f.number, f.suffix}).second)
            what = QStringLiteral("図番号が重複している");
        else if (f.number == previous && !f.suffix.isEmpty())
            ;
        else if (previous == 0 && f.number != 1)
            what = QStringLiteral("図番号が【図１】から始まっていない");
        else if (f.number > previous + 1)
            what = QStringLiteral("図番号が飛んでいる（【%1】がない）").arg(FigureName(previous + 1, {}));
        else if (f.number <= previous)
            what = QStringLiteral("図番号が逆順（前は【%1】）").arg(FigureName(previous, {}));
        if (!what.isEmpty()) out.push_back(text.finding(kNumberKind, f.paragraph, f.offset, f.length, what));
        previous = std::max(previous, f.number);
    }
}

bool Matches(const ListedFigure& listed, const FigureCitation& cited) {
    return listed.number >= cited.number && listed.number <= cited.last &&
           (cited.suffix.isEmpty() || listed.suffix.isEmpty() || listed.suffix == cited.suffix);
}

}  // namespace

std::vector<FigureCitation> ReadFigureCitations(QStringView view) {
    const QString text = view.toString();
    std::vector<FigureCitation> out;
    for (const ItemCitation& c : ReadItemCitations(text, ItemFamily::Figure)) {
        for (const CitedElement& e : c.elements) AddElement(text, e, &e == &c.elements.front() ? c.start : e.start, out);
    }
    AddOrdinalCitations(view, out);
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
    return out;
}

Findings CheckFigures(const CheckedText& text) {
    Findings out;
    std::vector<ListedFigure> listed;
    bool hasList = false;
    std::vector<std::pair<int, FigureCitation>> citations;
    for (const Section& section : text.sections()) {
        if (section.kind == SectionKind::Drawings) {
            CheckFigureSequence(text, FiguresOf(text, section.first, section.end, false), out);
            continue;
        }
        if (!section.isDescription() && section.kind != SectionKind::Abstract) continue;
        for (int p = section.first; p < section.end; ++p) {
            if (section.isDescription() && QStringView(text[p]).trimmed() == kBriefDescription) {
                const auto figures = FiguresOf(text, p + 1, section.end, true);
                CheckFigureSequence(text, figures, out);
                listed.insert(listed.end(), figures.begin(), figures.end());
                // A list without items as text (numbered by the word processor) says nothing.
                hasList = hasList || !figures.empty();
            }
            for (const FigureCitation& c : ReadFigureCitations(text[p])) citations.push_back({p, c});
        }
    }
    if (!hasList) return out;
    std::vector<int> listedNumbers;
    for (const ListedFigure& l : listed) listedNumbers.push_back(l.number);
    const NumberRuns listedRuns(listedNumbers);
    for (const auto& citation : citations) {
        const int p = citation.first;
        const FigureCitation& cited = citation.second;
        auto report = [&](const QString& figures) {
            out.push_back(text.finding(kCitationKind, p, cited.offset, cited.length,
                                       QStringLiteral("%1が図面の簡単な説明にない").arg(figures)));
        };
        if (cited.last != cited.number) {
            // A range, by its ends: the parts of it that no listed figure has.
            const std::vector<NumberRange> missing = listedRuns.Outside({cited.number, cited.last}, 8);
            if (!missing.empty()) report(NameRanges(kFigure, missing));
            continue;
        }
        if (!std::any_of(listed.begin(), listed.end(), [&](const ListedFigure& l) { return Matches(l, cited); }))
            report(FigureName(cited.number, cited.suffix));
    }
    for (const ListedFigure& l : listed) {
        const bool cited = std::any_of(citations.begin(), citations.end(),
                                       [&](const auto& c) { return Matches(l, c.second); });
        if (!cited)
            out.push_back(text.finding(kCitationKind, l.paragraph, l.offset, l.length,
                                       QStringLiteral("%1が本文で引用されていない").arg(FigureName(l.number, l.suffix))));
    }
    return out;
}

Findings CheckNumberedItems(const CheckedText& text) {
    Findings out;
    for (const QString& family : {QStringLiteral("表"), QStringLiteral("化"), QStringLiteral("数")}) {
        const QString kind = family + QStringLiteral("番号");
        // Each document (明細書, claims, abstract; a gazette's parts) may
        // number its items from 1 again, or carry on from the one before.
        int last = 0;
        for (const Section& section : text.sections()) {
            int before = last;
            int previous = -1;
            for (int p = section.first; p < section.end; ++p) {
                if (StartsGazettePart(text[p])) {
                    before = last;
                    previous = -1;
                }
                const auto item = LeadingItemOf(text[p], family);
                if (!item) continue;
                const int n = item->name.number;
                const QString expected = QStringLiteral("【%1%2】").arg(family, ToFullWidthDigits(QString::number(previous + 1)));
                QString what;
                if (previous < 0) {
                    if (n != 1 && n != before + 1)
                        what = family + QStringLiteral("番号が【") + family + QStringLiteral("１】から始まっていない");
                } else if (n == previous) {
                    what = QStringLiteral("%1番号が重複している").arg(family);
                } else if (n > previous + 1) {
                    what = QStringLiteral("%1番号が飛んでいる（%2がない）").arg(family, expected);
                } else if (n < previous) {
                    what = QStringLiteral("%1番号が逆順（前は【%1%2】）").arg(family, ToFullWidthDigits(QString::number(previous)));
                }
                if (!what.isEmpty()) out.push_back(text.finding(kind, p, item->start, item->end - item->start, what));
                previous = n;
                last = std::max(last, n);
            }
        }
    }
    return out;
}

}  // namespace engine::check

namespace engine::check {

Findings CheckItemCitations(const CheckedText& text) {
    Findings out;
    for (ItemFamily family : {ItemFamily::Table, ItemFamily::Formula, ItemFamily::Equation}) {
        const QString word = FamilyWord(family);
        std::vector<int> numbers;
        for (int p = 0; p < text.size(); ++p)
            if (const auto item = LeadingItemOf(text[p], word)) numbers.push_back(item->name.number);
        // Without any item of the family the numbers may be those of another
        // kind of table; as with figures without a list, nothing is judged.
        if (numbers.empty()) continue;
        const NumberRuns existing(numbers);
        const QString kind = word + QStringLiteral("引用");
        for (int p = 0; p < text.size(); ++p) {
            for (const ItemCitation& c : ReadItemCitations(text[p], family)) {
                if (c.equationLabel) continue;  // 式（ｎ） cites 【数ｎ】 only where it exists
                std::vector<NumberRange> missing;
                for (const CitedElement& e : c.elements)
                    for (const NumberRange& r : RangesOf(e))
                        for (const NumberRange& m : existing.Outside(r, 8)) missing.push_back(m);
                if (!missing.empty())
                    out.push_back(text.finding(kind, p, c.start, c.end - c.start,
                                               QStringLiteral("存在しない%1を引用している").arg(NameRanges(word, missing))));
            }
        }
    }
    return out;
}

}  // namespace engine::check
