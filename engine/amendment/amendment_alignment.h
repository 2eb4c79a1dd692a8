#pragma once
// The two versions aligned by content: a sequence diff (dtl) over their
// units, then, inside a unit that changed, over its characters. An inserted
// paragraph is then one addition and not a changed paragraph at every place
// after it; a renumbered version aligns the same way, its labels being no part
// of what is compared.

#include "engine/amendment/amendment_units.h"

#include <QString>

#include <vector>

namespace engine::amendment {

// One step of the alignment, in the amended version's order (deletions at
// the place they had).
struct AlignedUnit {
    int earlier = -1;  // index into the earlier units; -1: added
    int amended = -1;  // index into the amended units; -1: deleted
    bool changed = false;  // both set and the compared texts differ
    // Added: the earlier unit it follows (-1 before the first).
    int after = -1;
    bool same() const { return earlier >= 0 && amended >= 0 && !changed; }
};

// Units are compared by their keys. Unique units common to both anchor the
// alignment (in their longest increasing order), so that the diff runs only
// on the stretches between anchors: the cost grows with the units and the
// changes, not with their product. Inside a stretch, deleted and added units
// next to each other are paired as changed units when their texts are alike
// (a word changed, a paragraph split or joined).
std::vector<AlignedUnit> AlignUnits(const std::vector<Unit>& earlier, const std::vector<Unit>& amended);

// Whether each character of `amended` is one the amendment adds or changes
// (not part of the longest common subsequence with `earlier`).
std::vector<bool> AddedCharacters(const QString& earlier, const QString& amended);

// How alike two texts are, 0..1, by the characters they share.
double Likeness(const QString& a, const QString& b);

}  // namespace engine::amendment
