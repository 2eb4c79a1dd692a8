#pragma once
// A set of item numbers held as its maximal runs (１～３, ５), so that a cited
// range is compared with it by its two ends: what a range of ten thousand
// numbers costs does not depend on its width.

#include "engine/citations/citation_reading.h"

#include <QString>

#include <vector>

namespace engine {

class NumberRuns {
public:
    NumberRuns() = default;
    // From numbers in any order, repeats allowed.
    explicit NumberRuns(std::vector<int> numbers);

    // Adds n, which must not be below the largest number held.
    void Append(int n);

    bool Contains(int n) const;
    bool Intersects(NumberRange range) const;
    // The parts of range that are held, or that are not, in order: at most
    // limit of them, and one more when there are more than limit.
    std::vector<NumberRange> Within(NumberRange range, size_t limit) const;
    std::vector<NumberRange> Outside(NumberRange range, size_t limit) const;

    const std::vector<NumberRange>& runs() const { return runs_; }

private:
    // The first run that ends at or after n.
    std::vector<NumberRange>::const_iterator FirstEndingFrom(int n) const;

    std::vector<NumberRange> runs_;
};

// "請求項１～３、請求項５": each range named by word and its full-width ends; past limit ranges the rest is "ほか".
QString NameRanges(const QString& word, const std::vector<NumberRange>& ranges, size_t limit = 8);

}  // namespace engine
