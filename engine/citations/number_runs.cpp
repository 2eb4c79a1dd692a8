#include "engine/citations/number_runs.h"

#include "engine/text_helpers.h"

#include <algorithm>

namespace engine {

NumberRuns::NumberRuns(std::vector<int> numbers) {
    std::sort(numbers.begin(), numbers.end());
    for (int n : numbers) Append(n);
}

void NumberRuns::Append(int n) {
    if (!runs_.empty() && n <= runs_.back().last) return;
    if (!runs_.empty() && n == runs_.back().last + 1)
        runs_.back().last = n;
    else
        runs_.push_back({n, n});
}

std::vector<NumberRange>::const_iterator NumberRuns::FirstEndingFrom(int n) const {
    return std::lower_bound(runs_.begin(), runs_.end(), n, [](const NumberRange& r, int v) { return r.last < v; });
}

bool NumberRuns::Contains(int n) const { return Intersects({n, n}); }

bool NumberRuns::Intersects(NumberRange range) const {
    const auto it = FirstEndingFrom(range.first);
    return it != runs_.end() && it->first <= range.last;
}

std::vector<NumberRange> NumberRuns::Within(NumberRange range, size_t limit) const {
    std::vector<NumberRange> out;
    for (auto it = FirstEndingFrom(range.first); it != runs_.end() && it->first <= range.last && out.size() <= limit; ++it)
        out.push_back({std::max(it->first, range.first), std::min(it->last, range.last)});
    return out;
}

std::vector<NumberRange> NumberRuns::Outside(NumberRange range, size_t limit) const {
    std::vector<NumberRange> out;
    long long next = range.first;  // the first number not yet looked at
    for (auto it = FirstEndingFrom(range.first); it != runs_.end() && it->first <= range.last && out.size() <= limit; ++it) {
        if (it->first > next) out.push_back({static_cast<int>(next), it->first - 1});
        next = static_cast<long long>(it->last) + 1;
    }
    if (next <= range.last && out.size() <= limit) out.push_back({static_cast<int>(next), range.last});
    return out;
}

QString NameRanges(const QString& word, const std::vector<NumberRange>& ranges, size_t limit) {
    QStringList names;
    for (size_t i = 0; i < ranges.size() && i < limit; ++i) {
        const NumberRange& r = ranges[i];
        QString name = word + ToFullWidthDigits(QString::number(r.first));
        if (r.last != r.first) name += u'～' + ToFullWidthDigits(QString::number(r.last));
        names << name;
    }
    if (ranges.size() > limit) names << QStringLiteral("ほか");
    return names.join(u'、');
}

}  // namespace engine
