#include "engine/check/check_formalities.h"

#include "engine/text_helpers.h"

#include <set>

namespace engine::check {

namespace {

const QString kKind = QStringLiteral("様式");
constexpr int kLongestAbstract = 400;

// The heading a paragraph starts with (after a gazette's bibliographic code), if any.
std::optional<Bracketed> HeadingOf(QStringView line) {
    const auto bracket = BracketAt(line, LineStart(line));
    if (!bracket || ReadItemName(bracket->inner)) return std::nullopt;
    return bracket;
}

bool IsHeading(QStringView line, QStringView name) {
    const auto heading = HeadingOf(line);
    return heading && heading->inner == name;
}

// Characters of a text that count against the abstract's length: blanks,
// control characters and the identifiers 【課題】【解決手段】 left out.
int CountedCharacters(QStringView line) {
    int count = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (const auto bracket = BracketAt(line, i)) {
            i = bracket->end - 1;
            continue;
        }
        if (!IsBlank(line[i]) && line[i].unicode() >= 0x20) ++count;
    }
    return count;
}

// The abstract: from 【要約】 to 【選択図】 or the end of its section.
void CheckAbstract(const CheckedText& text, const Section& section, const std::set<int>& figures, Findings& out) {
    int start = -1;
    for (int p = section.first; p < section.end && start < 0; ++p)
        if (IsHeading(text[p], u"要約")) start = p;
    if (start < 0) return;
    int characters = 0;
    int choice = -1;
    int end = start;
    for (int p = start; p < section.end; ++p, end = p) {
        if (IsHeading(text[p], u"選択図")) {
            choice = p;
            break;
        }
        // A gazette's abstract ends where its claims or description begin.
        if (p > start && StartsGazettePart(text[p])) break;
        characters += CountedCharacters(text[p]);
    }
    if (characters > kLongestAbstract)
        out.push_back(text.finding(kKind, start, LineStart(text[start]), 4,
                                   QStringLiteral("要約が%1字を超えている（%2字）").arg(kLongestAbstract).arg(characters)));
    if (choice < 0) {
        if (section.kind == SectionKind::Abstract)
            out.push_back(text.finding(kKind, std::max(start, end - 1), 0, text[std::max(start, end - 1)].size(),
                                       QStringLiteral("要約書に【選択図】がない")));
        return;
    }
    // 【選択図】図１, 【選択図】　図２, or なし.
    const QString& line = text[choice];
    const qsizetype after = SkipBlanks(line, HeadingOf(line)->end);
    const QStringView chosen = QStringView(line).mid(after).trimmed();
    if (chosen.isEmpty() || chosen.startsWith(u"なし")) return;
    const auto digits = chosen.startsWith(u'図') ? ReadDigits(chosen, 1) : std::nullopt;
    if (digits && !figures.count(digits->value))
        out.push_back(text.finding(kKind, choice, after, digits->length + 1,
                                   QStringLiteral("【選択図】の図%1がない").arg(ToFullWidthDigits(QString::number(digits->value)))));
}

// 【先行技術文献】 and the headings under it must hold at least one document.
void CheckPriorArt(const CheckedText& text, const Section& section, Findings& out) {
    for (int p = section.first; p < section.end; ++p) {
        if (!IsHeading(text[p], u"先行技術文献")) continue;
        bool listed = false;
        int q = p + 1;
        for (; q < section.end; ++q) {
            for (const QString& head : {QStringLiteral("【特許文献"), QStringLiteral("【非特許文献")})
                for (qsizetype at = text[q].indexOf(head); at >= 0 && !listed; at = text[q].indexOf(head, at + 1))
                    listed = ReadDigits(text[q], at + head.size()).has_value();
            const auto heading = HeadingOf(text[q]);
            if (heading && !heading->inner.startsWith(u"特許文献") && !heading->inner.startsWith(u"非特許文献")) break;
        }
        if (!listed)
            out.push_back(text.finding(kKind, p, LineStart(text[p]), 8,
                                       QStringLiteral("【先行技術文献】に【特許文献ｎ】も【非特許文献ｎ】もない")));
        p = q - 1;
    }
}

// The claims take no paragraph numbers.
void CheckClaimsHaveNoParagraphNumbers(const CheckedText& text, const Section& section, Findings& out) {
    for (int p = section.first; p < section.end; ++p) {
        const auto item = LeadingItemOf(text[p], QString());
        if (item)
            out.push_back(text.finding(kKind, p, item->start, item->end - item->start,
                                       QStringLiteral("特許請求の範囲に段落番号がある")));
    }
}

// 【発明の名称】 and its title, on the same line or the next.
void CheckTitle(const CheckedText& text, const Section& section, Findings& out) {
    for (int p = section.first; p < section.end; ++p) {
        const auto heading = HeadingOf(text[p]);
        if (!heading || (heading->inner != u"発明の名称" && heading->inner != u"考案の名称")) continue;
        int line = p;
        qsizetype from = heading->end;
        if (QStringView(text[p]).mid(from).trimmed().isEmpty() && p + 1 < section.end && !HeadingOf(text[p + 1])) {
            line = p + 1;
            from = 0;
        }
        const QStringView title = QStringView(text[line]).mid(from).trimmed();
        if (title.isEmpty()) {
            out.push_back(text.finding(kKind, p, LineStart(text[p]), heading->end, QStringLiteral("発明の名称が空である")));
            return;
        }
        QString halfWidth;
        for (QChar c : title)
            if (((c.unicode() >= 0x20 && c.unicode() < 0x7F) || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F)) &&
                !halfWidth.contains(c))
                halfWidth += c;
        if (!halfWidth.isEmpty())
            out.push_back(text.finding(kKind, line, from, title.size(),
                                       QStringLiteral("発明の名称に半角文字（%1）").arg(halfWidth)));
        return;
    }
}

}  // namespace

Findings CheckFormalities(const CheckedText& text) {
    std::set<int> figures;
    for (int p = 0; p < text.size(); ++p)
        if (const auto figure = LeadingItemOf(text[p], QStringLiteral("図"))) figures.insert(figure->name.number);
    Findings out;
    for (const Section& section : text.sections()) {
        switch (section.kind) {
        case SectionKind::Abstract: CheckAbstract(text, section, figures, out); break;
        case SectionKind::Claims: CheckClaimsHaveNoParagraphNumbers(text, section, out); break;
        case SectionKind::Description:
            CheckTitle(text, section, out);
            CheckPriorArt(text, section, out);
            break;
        case SectionKind::Unnamed:
            CheckAbstract(text, section, figures, out);
            CheckPriorArt(text, section, out);
            break;
        default: break;
        }
    }
    return out;
}

}  // namespace engine::check
