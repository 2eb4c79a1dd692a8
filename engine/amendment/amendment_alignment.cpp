#include "engine/amendment/amendment_alignment.h"

#include <dtl/dtl.hpp>

#include <QHash>

#include <algorithm>

namespace engine::amendment {

namespace {

// Below this likeness a deleted and an added unit are told apart: the one
// went and the other came.
constexpr double kPairingLikeness = 0.4;
// A stretch this long on both sides is paired in order rather than by
// likeness (the pairing is quadratic in its length).
constexpr size_t kLongestLikenessPairing = 200;

// One edit of a stretch's diff, in order.
struct Step {
    dtl::edit_t type;
    int earlier;  // index into the stretch's earlier side, or -1
    int amended;
};

std::vector<Step> DiffStretch(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<Step> steps;
    if (a.empty() || b.empty()) {
        for (int i = 0; i < int(a.size()); ++i) steps.push_back({dtl::SES_DELETE, i, -1});
        for (int j = 0; j < int(b.size()); ++j) steps.push_back({dtl::SES_ADD, -1, j});
        return steps;
    }
    dtl::Diff<int> diff(a, b);
    diff.compose();
    for (const auto& [element, info] : diff.getSes().getSequence()) {
        (void)element;
        const int i = int(info.beforeIdx) - 1, j = int(info.afterIdx) - 1;
        if (info.type == dtl::SES_COMMON) steps.push_back({dtl::SES_COMMON, i, j});
        else if (info.type == dtl::SES_DELETE) steps.push_back({dtl::SES_DELETE, i, -1});
        else steps.push_back({dtl::SES_ADD, -1, j});
    }
    return steps;
}

// Pairs the deleted units of a hunk with its added ones, keeping their
// order, for the greatest total likeness; returns for each deleted unit its
// added partner or -1.
std::vector<int> PairHunk(const std::vector<const Unit*>& gone, const std::vector<const Unit*>& came) {
    const size_t d = gone.size(), a = came.size();
    std::vector<int> partner(d, -1);
    if (d > kLongestLikenessPairing || a > kLongestLikenessPairing) {
        for (size_t k = 0; k < std::min(d, a); ++k) partner[k] = int(k);
        return partner;
    }
    std::vector<std::vector<double>> like(d, std::vector<double>(a));
    for (size_t i = 0; i < d; ++i)
        for (size_t j = 0; j < a; ++j) like[i][j] = Likeness(gone[i]->text, came[j]->text);
    std::vector<std::vector<double>> best(d + 1, std::vector<double>(a + 1, 0));
    for (size_t i = 1; i <= d; ++i)
        for (size_t j = 1; j <= a; ++j) {
            best[i][j] = std::max(best[i - 1][j], best[i][j - 1]);
            if (like[i - 1][j - 1] >= kPairingLikeness)
                best[i][j] = std::max(best[i][j], best[i - 1][j - 1] + like[i - 1][j - 1]);
        }
    for (size_t i = d, j = a; i > 0 && j > 0;) {
        if (like[i - 1][j - 1] >= kPairingLikeness && best[i][j] == best[i - 1][j - 1] + like[i - 1][j - 1]) {
            partner[i - 1] = int(j - 1);
            --i, --j;
        } else if (best[i][j] == best[i - 1][j]) {
            --i;
        } else {
            --j;
        }
    }
    return partner;
}

// Anchors: pairs (earlier, amended) of units whose key occurs once in each
// version, in the longest run that increases on both sides.
std::vector<std::pair<int, int>> Anchors(const std::vector<int>& a, const std::vector<int>& b, int keys) {
    std::vector<int> countA(keys, 0), countB(keys, 0), whereB(keys, -1);
    for (int k : a) ++countA[k];
    for (int j = 0; j < int(b.size()); ++j) ++countB[b[j]], whereB[b[j]] = j;
    std::vector<std::pair<int, int>> candidates;
    for (int i = 0; i < int(a.size()); ++i)
        if (countA[a[i]] == 1 && countB[a[i]] == 1) candidates.push_back({i, whereB[a[i]]});
    // Longest increasing subsequence of the amended positions (patience sorting).
    std::vector<int> tails, tailIndex, previous(candidates.size(), -1);
    for (int c = 0; c < int(candidates.size()); ++c) {
        const int j = candidates[c].second;
        const auto at = std::lower_bound(tails.begin(), tails.end(), j) - tails.begin();
        if (at > 0) previous[c] = tailIndex[at - 1];
        if (at == int(tails.size())) tails.push_back(j), tailIndex.push_back(c);
        else tails[at] = j, tailIndex[at] = c;
    }
    std::vector<std::pair<int, int>> anchors;
    for (int c = tailIndex.empty() ? -1 : tailIndex.back(); c >= 0; c = previous[c]) anchors.push_back(candidates[c]);
    std::reverse(anchors.begin(), anchors.end());
    return anchors;
}

}  // namespace

double Likeness(const QString& a, const QString& b) {
    if (a.isEmpty() && b.isEmpty()) return 1;
    QHash<char16_t, int> counts;
    for (QChar c : a) ++counts[c.unicode()];
    int shared = 0;
    for (QChar c : b) {
        auto it = counts.find(c.unicode());
        if (it != counts.end() && *it > 0) --*it, ++shared;
    }
    return 2.0 * shared / double(a.size() + b.size());
}

std::vector<AlignedUnit> AlignUnits(const std::vector<Unit>& earlier, const std::vector<Unit>& amended) {
    QHash<QString, int> ids;
    auto idOf = [&](const Unit& u) { return int(ids.insert(u.key, int(ids.size())).value()); };
    std::vector<int> a, b;
    for (const Unit& u : earlier) a.push_back(ids.contains(u.key) ? ids.value(u.key) : idOf(u));
    for (const Unit& u : amended) b.push_back(ids.contains(u.key) ? ids.value(u.key) : idOf(u));

    std::vector<AlignedUnit> out;
    int lastEarlier = -1;
    std::vector<const Unit*> gone, came;
    std::vector<int> goneAt, cameAt;
    auto flushHunk = [&] {
        const std::vector<int> partner = PairHunk(gone, came);
        // In the amended order: each added unit, with the deleted ones before
        // its partner placed ahead of it.
        size_t g = 0;
        std::vector<int> partnerOf(came.size(), -1);
        for (size_t i = 0; i < gone.size(); ++i)
            if (partner[i] >= 0) partnerOf[partner[i]] = int(i);
        for (size_t j = 0; j < came.size(); ++j) {
            if (partnerOf[j] >= 0) {
                for (; g < size_t(partnerOf[j]); ++g)
                    if (partner[g] < 0) out.push_back({goneAt[g], -1, false, -1}), lastEarlier = goneAt[g];
                out.push_back({goneAt[g], cameAt[j], true, -1});
                lastEarlier = goneAt[g++];
            } else {
                // Deletions before additions: an added unit follows the units gone before it.
                for (; g < gone.size() && partner[g] < 0; ++g)
                    out.push_back({goneAt[g], -1, false, -1}), lastEarlier = goneAt[g];
                out.push_back({-1, cameAt[j], false, lastEarlier});
            }
        }
        for (; g < gone.size(); ++g)
            if (partner[g] < 0) out.push_back({goneAt[g], -1, false, -1}), lastEarlier = goneAt[g];
        gone.clear(), came.clear(), goneAt.clear(), cameAt.clear();
    };
    auto stretch = [&](int i0, int i1, int j0, int j1) {
        const std::vector<int> sa(a.begin() + i0, a.begin() + i1), sb(b.begin() + j0, b.begin() + j1);
        for (const Step& s : DiffStretch(sa, sb)) {
            if (s.type == dtl::SES_COMMON) {
                flushHunk();
                out.push_back({i0 + s.earlier, j0 + s.amended, false, -1});
                lastEarlier = i0 + s.earlier;
            } else if (s.type == dtl::SES_DELETE) {
                gone.push_back(&earlier[i0 + s.earlier]), goneAt.push_back(i0 + s.earlier);
            } else {
                came.push_back(&amended[j0 + s.amended]), cameAt.push_back(j0 + s.amended);
            }
        }
        flushHunk();
    };
    int i = 0, j = 0;
    for (const auto& [ai, bj] : Anchors(a, b, int(ids.size()))) {
        stretch(i, ai, j, bj);
        out.push_back({ai, bj, false, -1});
        lastEarlier = ai;
        i = ai + 1, j = bj + 1;
    }
    stretch(i, int(a.size()), j, int(b.size()));
    for (AlignedUnit& u : out)
        if (u.earlier >= 0 && u.amended >= 0) u.changed = earlier[u.earlier].key != amended[u.amended].key;
    return out;
}

std::vector<bool> AddedCharacters(const QString& earlier, const QString& amended) {
    std::vector<bool> added(amended.size(), true);
    if (earlier.isEmpty() || amended.isEmpty()) return added;
    const std::vector<char16_t> a(earlier.utf16(), earlier.utf16() + earlier.size());
    const std::vector<char16_t> b(amended.utf16(), amended.utf16() + amended.size());
    dtl::Diff<char16_t> diff(a, b);
    diff.compose();
    for (const auto& [element, info] : diff.getSes().getSequence()) {
        (void)element;
        if (info.type == dtl::SES_COMMON) added[size_t(info.afterIdx - 1)] = false;
    }
    return added;
}

}  // namespace engine::amendment
