#include "engine/check_figures.h"

#include "engine/text_helpers.h"

#include <set>

namespace engine::check {

namespace {

const QString kNumberKind = QStringLiteral("図番号");
const QString kCitationKind = QStringLiteral("図引用");
const QString kFigure = QStringLiteral("図");
const QString kBriefDescription = QStringLiteral("【図面の簡単な説明】");

// Words that end in 図 without naming a figure (意図, 地図, …).
const QString kNotFigureBefore = QStringLiteral("意企地合指版縮");
// Joining words between cited figures: a range, or one more figure.
const QStringList kRangeWords = {QStringLiteral("～"), QStringLiteral("〜"), QStringLiteral("乃至"),
                                 QStringLiteral("ないし"), QStringLiteral("から")};
const QStringList kListWords = {QStringLiteral("、"), QStringLiteral("，"), QStringLiteral("及び"),
                                QStringLiteral("および"), QStringLiteral("並びに"), QStringLiteral("又は"),
                                QStringLiteral("または"), QStringLiteral("若しくは"), QStringLiteral("もしくは"),
                                QStringLiteral("と"), QStringLiteral("や")};
// After a bare number (図３乃至５), characters that show it counts something else.
const QString kCounters = QStringLiteral("つ個本枚台回度倍番種層段重部分秒年月日％%℃");

QString FullWidthUpper(QChar c) {
    char16_t u = c.unicode();
    if (u >= u'a' && u <= u'z') u = char16_t(u - u'a' + u'Ａ');
    else if (u >= u'A' && u <= u'Z') u = char16_t(u - u'A' + u'Ａ');
    else if (u >= u'ａ' && u <= u'ｚ') u = char16_t(u - u'ａ' + u'Ａ');
    return QString(QChar(u));
}

// A figure number at pos: digits, a letter that is not the start of a word,
// and a parenthesised part such as （ａ）.
struct FigureNumber {
    int number;
    QString suffix;
    qsizetype end;
};
std::optional<FigureNumber> ReadFigureNumber(QStringView text, qsizetype pos) {
    const auto digits = ReadDigits(text, pos);
    if (!digits) return std::nullopt;
    FigureNumber n{digits->value, {}, pos + digits->length};
    if (n.end < text.size() && IsLatinLetter(text[n.end]) &&
        (n.end + 1 == text.size() || !IsLatinLetter(text[n.end + 1]))) {
        n.suffix = FullWidthUpper(text[n.end]);
        ++n.end;
    }
    for (const auto& [open, close] : {std::pair{u'（', u'）'}, std::pair{u'(', u')'}}) {
        if (n.end < text.size() && text[n.end] == open) {
            const qsizetype closing = text.indexOf(close, n.end);
            if (closing > n.end && closing - n.end <= 4) n.end = closing + 1;
        }
    }
    return n;
}

std::optional<qsizetype> WordAt(QStringView text, qsizetype pos, const QStringList& words) {
    for (const QString& w : words)
        if (text.mid(pos).startsWith(w)) return pos + w.size();
    return std::nullopt;
}

// The figures that follow a first one: 図３～図５, 図３乃至５, 図１及び図２, 図１、２.
// Returns the position after the last figure read.
qsizetype ReadFollowing(QStringView text, FigureNumber first, qsizetype start, std::vector<FigureCitation>& out) {
    FigureNumber last = first;
    qsizetype pos = first.end;
    while (true) {
        const auto range = WordAt(text, pos, kRangeWords);
        const auto list = range ? std::nullopt : WordAt(text, pos, kListWords);
        if (!range && !list) break;
        qsizetype next = range ? *range : *list;
        const bool figureWord = text.mid(next).startsWith(kFigure);
        if (figureWord) ++next;
        const bool bareAllowed = (range && text[pos] != u'か') || (list && text[pos] != u'と' && text[pos] != u'や');
        if (!figureWord && !bareAllowed) break;
        const auto n = ReadFigureNumber(text, next);
        if (!n) break;
        if (!figureWord && n->end < text.size() && kCounters.contains(text[n->end])) break;
        if (range && n->number > last.number && n->number - last.number < 100) {
            for (int k = last.number + 1; k < n->number; ++k) out.push_back({k, {}, start, n->end - start});
        } else if (range && n->number == last.number && !last.suffix.isEmpty() && !n->suffix.isEmpty()) {
            for (char16_t s = char16_t(last.suffix[0].unicode() + 1); s < n->suffix[0].unicode(); ++s)
                out.push_back({n->number, QString(QChar(s)), start, n->end - start});
        }
        out.push_back({n->number, n->suffix, next, n->end - next});
        last = *n;
        pos = n->end;
    }
    return last.end;
}

// A listed figure: an item 【図ｎ】 at the start of a paragraph.
struct ListedFigure {
    int number;
    QString suffix;
    int paragraph;
    qsizetype offset;
    qsizetype length;
};

std::vector<ListedFigure> FiguresOf(const CheckedText& text, int first, int end, bool untilHeading) {
    std::vector<ListedFigure> figures;
    for (int p = first; p < end; ++p) {
        if (untilHeading && StartsWithHeading(text[p])) break;
        const auto item = LeadingItemOf(text[p], kFigure);
        if (!item) continue;
        QString suffix;
        if (!item->name.suffix.isEmpty()) suffix = FullWidthUpper(item->name.suffix[0]);
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
    return listed.number == cited.number && (cited.suffix.isEmpty() || listed.suffix.isEmpty() || listed.suffix == cited.suffix);
}

// 特許文献１の図３, 特開２０２０－１２３４５６号公報の図２: a figure of another document.
bool CitesAnotherDocument(QStringView before) {
    if (!before.endsWith(u'の')) return false;
    const QStringView near = before.right(16);
    return near.contains(QStringLiteral("文献")) || near.contains(QStringLiteral("公報")) ||
           near.contains(QStringLiteral("明細書"));
}

}  // namespace

std::vector<FigureCitation> ReadFigureCitations(QStringView text) {
    std::vector<FigureCitation> out;
    for (qsizetype pos = text.indexOf(kFigure); pos >= 0; pos = text.indexOf(kFigure, pos + 1)) {
        if (pos > 0 && (text[pos - 1] == u'【' || kNotFigureBefore.contains(text[pos - 1]))) continue;
        if (CitesAnotherDocument(text.left(pos))) continue;
        // 第４図: the number stands before 図.
        if (pos > 1 && DigitValue(text[pos - 1]) >= 0) {
            qsizetype begin = pos;
            while (begin > 0 && DigitValue(text[begin - 1]) >= 0) --begin;
            if (begin > 0 && text[begin - 1] == u'第') {
                const int first = ReadDigits(text, begin)->value;
                out.push_back({first, {}, begin - 1, pos + 1 - (begin - 1)});
                // 第１図乃至第４図: the figures between are cited too.
                const auto range = WordAt(text, pos + 1, kRangeWords);
                if (range && *range < text.size() && text[*range] == u'第') {
                    const auto last = ReadDigits(text, *range + 1);
                    if (last && last->value > first && last->value - first < 100)
                        for (int k = first + 1; k < last->value; ++k) out.push_back({k, {}, begin - 1, *range - begin + 1});
                }
            }
            continue;
        }
        const auto n = ReadFigureNumber(text, pos + 1);
        if (!n) continue;
        out.push_back({n->number, n->suffix, pos, n->end - pos});
        pos = ReadFollowing(text, *n, pos, out) - 1;
    }
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
                hasList = true;
            }
            for (const FigureCitation& c : ReadFigureCitations(text[p])) citations.push_back({p, c});
        }
    }
    if (!hasList) return out;
    for (const auto& [p, cited] : citations) {
        const bool found = std::any_of(listed.begin(), listed.end(), [&](const ListedFigure& l) { return Matches(l, cited); });
        if (!found)
            out.push_back(text.finding(kCitationKind, p, cited.offset, cited.length,
                                       QStringLiteral("%1が図面の簡単な説明にない").arg(FigureName(cited.number, cited.suffix))));
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
