// The plan of the item renumbering. For each family:
//  1. the items are numbered 1, 2, 3, … in the order that defines them (figures:
//     the list of 【図面の簡単な説明】 when there is one, then any other figure);
//  2. old numbers that name exactly one item map to their new number;
//  3. every citation's numbers are rewritten through that map, each number in
//     its own width and kind; a range whose new numbers are no longer a
//     contiguous run is written out as a list of its runs, joined by 又は
//     where the range was a choice;
//  4. what cannot be mapped (a number no item has, a number several items
//     share) is left as it is and noted.
// Every edit is made from the text as read, so a number is changed once.

#include "engine/items/item_renumbering.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace engine {

namespace {

const QString kFigureListHeading = QStringLiteral("【図面の簡単な説明】");

struct NumberMap {
    std::map<int, int> newOf;  // old → new for numbers that name one item
    std::set<int> repeated;    // old numbers that several items share
    // newOf as stretches of consecutive old numbers that move together
    // (old..old+k → new..new+k), in order: a cited range is mapped through
    // the few stretches it meets, never number by number.
    struct Stretch {
        NumberRange old;
        int newFirst = 0;
    };
    std::vector<Stretch> stretches;

    void MakeStretches() {
        for (const auto& [from, to] : newOf) {
            if (!stretches.empty()) {
                Stretch& last = stretches.back();
                if (from == last.old.last + 1 && to == last.newFirst + (from - last.old.first)) {
                    last.old.last = from;
                    continue;
                }
            }
            stretches.push_back({{from, from}, to});
        }
    }

    // The new numbers of the items a range of old numbers names, as runs in order.
    std::vector<NumberRange> NewRuns(NumberRange range) const {
        std::vector<NumberRange> runs;
        auto it = std::lower_bound(stretches.begin(), stretches.end(), range.first,
                                   [](const Stretch& s, int n) { return s.old.last < n; });
        for (; it != stretches.end() && it->old.first <= range.last; ++it) {
            const int a = std::max(it->old.first, range.first), b = std::min(it->old.last, range.last);
            runs.push_back({it->newFirst + (a - it->old.first), it->newFirst + (b - it->old.first)});
        }
        std::sort(runs.begin(), runs.end(), [](const NumberRange& x, const NumberRange& y) { return x.first < y.first; });
        std::vector<NumberRange> merged;
        for (const NumberRange& r : runs) {
            if (!merged.empty() && r.first == merged.back().last + 1) merged.back().last = r.last;
            else merged.push_back(r);
        }
        return merged;
    }

    // A number several items share, within range, if any.
    std::optional<int> RepeatedWithin(NumberRange range) const {
        const auto it = repeated.lower_bound(range.first);
        if (it == repeated.end() || *it > range.last) return std::nullopt;
        return *it;
    }
};

// Where a citation stands, for the log: the last identifier 【…】 before it
// in the same paragraph or an earlier one, or 冒頭.
QString PlaceBefore(const QString& text, int pos) {
    for (qsizetype open = pos > 0 ? text.lastIndexOf(u'【', pos - 1) : -1; open >= 0;
         open = open > 0 ? text.lastIndexOf(u'【', open - 1) : -1) {
        const qsizetype close = text.indexOf(u'】', open);
        if (close > open && close < pos && close - open <= 16) return text.mid(open, close - open + 1);
    }
    return QStringLiteral("冒頭");
}

QString Quoted(const QString& text, int start, int end) {
    return QStringLiteral("「") + text.mid(start, end - start) + QStringLiteral("」");
}

bool IsParagraphMark(QChar c) { return c == u'\r' || c == u'\a' || c == u'\f'; }

// The stretches of text that hold the 【図面の簡単な説明】 list: from the heading
// to the first paragraph that begins with a heading other than a figure or a
// paragraph number.
std::vector<std::pair<int, int>> FigureListSpans(const QString& text) {
    std::vector<std::pair<int, int>> spans;
    for (qsizetype at = text.indexOf(kFigureListHeading); at >= 0; at = text.indexOf(kFigureListHeading, at + 1)) {
        const int start = static_cast<int>(at + kFigureListHeading.size());
        int pos = start;
        while (pos < text.size()) {
            while (pos < text.size() && !IsParagraphMark(text[pos])) ++pos;
            if (pos >= text.size()) break;
            int lead = pos + 1;
            while (lead < text.size() && (text[lead] == u'　' || text[lead] == u' ' || text[lead] == u'\t')) ++lead;
            if (lead < text.size() && text[lead] == u'【' && !StartsAt(text, lead, QStringLiteral("【図")) &&
                !ScanNumeral(text, lead + 1, false))
                break;
            pos = lead;
        }
        spans.emplace_back(start, pos);
    }
    return spans;
}

// Sub-figure headings 【図１Ａ】【図１Ｂ】 standing together are one figure.
bool SameFigure(const ItemHeading& before, const ItemHeading& heading) {
    return before.number.value == heading.number.value && !before.suffix.isEmpty() && !heading.suffix.isEmpty() &&
           before.suffix != heading.suffix;
}

// Numbers the headings; `defining` marks those whose order defines the numbers.
// The others take the number of the defining item with their old number, or
// the next number when there is none. Returns each heading's new number (0:
// left as it is) and fills the map.
std::vector<int> NumberHeadings(const std::vector<ItemHeading>& headings, const std::vector<bool>& defining,
                                NumberMap& map) {
    std::vector<int> newNumbers(headings.size(), 0);
    std::map<int, int> itemsWithNumber;
    int next = 0;
    const ItemHeading* previous = nullptr;
    for (size_t i = 0; i < headings.size(); ++i) {
        if (!defining[i]) continue;
        const ItemHeading& h = headings[i];
        if (!previous || !SameFigure(*previous, h)) {
            ++next;
            if (++itemsWithNumber[h.number.value] == 1) map.newOf[h.number.value] = next;
        }
        newNumbers[i] = next;
        previous = &h;
    }
    for (const auto& [number, count] : itemsWithNumber)
        if (count > 1) map.repeated.insert(number);
    for (size_t i = 0; i < headings.size(); ++i) {
        if (defining[i]) continue;
        const int old = headings[i].number.value;
        if (map.repeated.count(old)) continue;
        if (!map.newOf.count(old)) map.newOf[old] = ++next;
        newNumbers[i] = map.newOf[old];
    }
    return newNumbers;
}

std::vector<bool> DefiningHeadings(const QString& text, const std::vector<ItemHeading>& headings, ItemFamily family) {
    std::vector<bool> defining(headings.size(), true);
    if (family != ItemFamily::Figure) return defining;
    const std::vector<std::pair<int, int>> lists = FigureListSpans(text);
    auto listed = [&](const ItemHeading& h) {
        return std::any_of(lists.begin(), lists.end(), [&](const auto& s) { return h.start >= s.first && h.end <= s.second; });
    };
    if (!std::any_of(headings.begin(), headings.end(), listed)) return defining;
    for (size_t i = 0; i < headings.size(); ++i) defining[i] = listed(headings[i]);
    return defining;
}

// Collects the edits of one family and what the log says about them.
class FamilyPlanner {
public:
    FamilyPlanner(const QString& text, ItemFamily family, std::vector<NumberEdit>& edits)
        : text_(text), family_(family), edits_(edits) {
        outcome_.family = family;
    }

    // False when the family has no item in the text.
    bool Plan() {
        const std::vector<ItemHeading> headings = ReadItemHeadings(text_, family_);
        if (headings.empty()) return false;
        const std::vector<bool> defining = DefiningHeadings(text_, headings, family_);
        const std::vector<int> newNumbers = NumberHeadings(headings, defining, map_);
        map_.MakeStretches();
        for (size_t i = 0; i < headings.size(); ++i) {
            if (newNumbers[i] == 0) {
                Note(headings[i].start, QStringLiteral("%1：同じ番号の項目が複数あるため変更しません")
                                            .arg(Quoted(text_, headings[i].start, headings[i].end)));
                continue;
            }
            AddEdit(headings[i].number, newNumbers[i], edits_);
            const std::pair<int, int> change{headings[i].number.value, newNumbers[i]};
            if (defining[i] && change.first != change.second &&
                (outcome_.renumbered.empty() || outcome_.renumbered.back() != change))
                outcome_.renumbered.push_back(change);
        }
        for (const ItemCitation& citation : ReadItemCitations(text_, family_)) PlanCitation(citation);
        return true;
    }

    FamilyOutcome& Outcome() { return outcome_; }

private:
    bool AddEdit(const CitedNumber& number, int newValue, std::vector<NumberEdit>& into) {
        const QString newText = WriteNumeral(newValue, number.kind);
        const QString oldText = text_.mid(number.start, number.end - number.start);
        if (newText == oldText) return false;
        into.push_back({number.start, number.end, oldText, newText});
        return true;
    }

    void Note(int pos, const QString& what) {
        outcome_.notes << PlaceBefore(text_, pos) + QStringLiteral("の") + what;
    }

    // Why a number cannot be mapped, or an empty string.
    QString Unmappable(int number) const {
        if (number < 0) return QStringLiteral("番号が読み取れないため変更しません");
        if (map_.newOf.count(number) && !map_.repeated.count(number)) return {};
        const QString item = QStringLiteral("【") + FamilyWord(family_) + WriteNumeral(number, NumeralKind::FullWidth) +
                             QStringLiteral("】");
        if (map_.repeated.count(number)) return item + QStringLiteral("が複数あるため変更しません");
        if (!map_.newOf.count(number)) return item + QStringLiteral("がないため変更しません");
        return {};
    }

    void PlanCitation(const ItemCitation& citation) {
        // 式（ｎ） cites an equation only where 【数ｎ】 exists.
        if (citation.equationLabel && !map_.newOf.count(citation.elements.front().first.value)) return;
        std::vector<NumberEdit> edits;
        for (const CitedElement& element : citation.elements) {
            // The ends of a range must name items; a number inside it that no
            // item has any more was deleted and is simply no longer cited.
            QString why = Unmappable(element.first.value);
            if (why.isEmpty() && element.last) why = Unmappable(element.last->value);
            for (const NumberRange& range : RangesOf(element))
                if (const std::optional<int> repeated = map_.RepeatedWithin(range); why.isEmpty() && repeated)
                    why = Unmappable(*repeated);
            if (!why.isEmpty()) {
                Note(citation.start, Quoted(text_, citation.start, citation.end) + QStringLiteral("：") + why);
                continue;
            }
            PlanElement(citation, element, edits);
        }
        if (edits.empty()) return;
        ++outcome_.citationsRewritten;
        edits_.insert(edits_.end(), edits.begin(), edits.end());
    }

    void PlanElement(const ItemCitation& citation, const CitedElement& element, std::vector<NumberEdit>& edits) {
        const int first = map_.newOf.at(element.first.value);
        if (!element.last || element.last->value < element.first.value) {
            // One number, or a range written backwards: each end follows its item.
            AddEdit(element.first, first, edits);
            if (element.last) AddEdit(*element.last, map_.newOf.at(element.last->value), edits);
            return;
        }
        const std::vector<NumberRange> runs = map_.NewRuns({element.first.value, element.last->value});
        if (runs.size() == 1) {
            AddEdit(element.first, runs.front().first, edits);
            AddEdit(*element.last, runs.front().last, edits);
            return;
        }
        const NumberEdit list = ListEdit(citation, element, runs);
        edits.push_back(list);
        Note(citation.start, Quoted(text_, citation.start, citation.end) +
                                 QStringLiteral("：番号が連続しなくなるため「%1」と書き換えます")
                                     .arg(text_.mid(citation.start, list.start - citation.start) + list.newText +
                                          text_.mid(list.end, citation.end - list.end)));
    }

    // A range written out by its runs: "２～４" → "２、５又は６", "第２項乃至第４項"
    // → "第２項、第５項又は第６項", "３～図５" → "３、図６及び図７", "１～５" →
    // "１又は３～６": a run of three or more stays a range, so the text grows
    // with the runs and not with the numbers.
    NumberEdit ListEdit(const ItemCitation& citation, const CitedElement& element, const std::vector<NumberRange>& runs) {
        const CitedNumber& first = element.first;
        const CitedNumber& last = *element.last;
        const int rangeWordStart = static_cast<int>(text_.indexOf(element.rangeWord, first.end));
        const int rangeWordEnd = rangeWordStart + static_cast<int>(element.rangeWord.size());
        const QString afterNumber = text_.mid(first.end, rangeWordStart - first.end);  // 項, （ａ）
        const QString beforeNumber = text_.mid(rangeWordEnd, last.start - rangeWordEnd);  // 第, 請求項, 図
        bool choice = citation.alternative;
        if (family_ == ItemFamily::Claim)
            choice = std::none_of(citation.elements.begin(), citation.elements.end(),
                                  [](const CitedElement& e) { return IsCumulativeConnector(e.connector); });
        const QString lastJoin = choice ? QStringLiteral("又は") : QStringLiteral("及び");
        // The items written, each a number or a range; the last one written in the kind of the range's end.
        std::vector<NumberRange> items;
        for (const NumberRange& r : runs) {
            if (r.count() >= 3) {
                items.push_back(r);
                continue;
            }
            for (int n = r.first; n <= r.last; ++n) items.push_back({n, n});
        }
        QString out;
        for (size_t i = 0; i < items.size(); ++i) {
            const bool isLast = i + 1 == items.size();
            const NumeralKind kind = isLast ? last.kind : first.kind;
            if (i > 0) out += (isLast ? lastJoin : QStringLiteral("、")) + beforeNumber;
            out += WriteNumeral(items[i].first, kind);
            if (items[i].last != items[i].first)
                out += afterNumber + element.rangeWord + beforeNumber + WriteNumeral(items[i].last, kind);
            if (!isLast) out += afterNumber;
        }
        return {first.start, last.end, text_.mid(first.start, last.end - first.start), out};
    }

    const QString& text_;
    ItemFamily family_;
    std::vector<NumberEdit>& edits_;
    NumberMap map_;
    FamilyOutcome outcome_;
};

}  // namespace

RenumberingPlan PlanItemRenumbering(const QString& text, const std::vector<ItemFamily>& families) {
    RenumberingPlan plan;
    for (ItemFamily family : families) {
        FamilyPlanner planner(text, family, plan.edits);
        if (planner.Plan()) plan.families.push_back(std::move(planner.Outcome()));
    }
    std::sort(plan.edits.begin(), plan.edits.end(),
              [](const NumberEdit& a, const NumberEdit& b) { return a.start < b.start; });
    // A place read by two families (it cannot be, as their words differ) would
    // be edited twice; keep the first edit only.
    plan.edits.erase(std::unique(plan.edits.begin(), plan.edits.end(),
                                 [](const NumberEdit& a, const NumberEdit& b) { return b.start < a.end; }),
                     plan.edits.end());
    return plan;
}

QString SummaryLine(const FamilyOutcome& outcome) {
    QString line = FamilyWord(outcome.family) + QStringLiteral("：");
    if (outcome.renumbered.empty()) {
        line += QStringLiteral("番号の変更なし");
    } else {
        QStringList changes;
        for (const auto& [from, to] : outcome.renumbered)
            changes << WriteNumeral(from, NumeralKind::FullWidth) + QStringLiteral("→") +
                           WriteNumeral(to, NumeralKind::FullWidth);
        line += changes.join(QStringLiteral("、"));
    }
    if (outcome.citationsRewritten > 0)
        line += QStringLiteral("（引用 %1 箇所を変更）").arg(outcome.citationsRewritten);
    return line;
}

}  // namespace engine
