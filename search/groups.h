// SPDX-License-Identifier: MIT
#pragma once
// One position's share of a team as the nested loops pick it: every combination of its rows, in
// the loops' order, with the cost and points summed in the loops' order.

#include "candidates.h"

#include <array>
#include <vector>

namespace search {

struct Group {
    std::array<int, 4> rows{}; // the first `share` are used
    double cost = 0;
    float pts = 0;
    int yieldsBefore = 0; // Winger-pair yields the loops make before reaching this combination
};

// With `pairYields`, each group records the yields the loops make once per pair of the first two
// rows, so that a search over groups can make them at the same moments. No yield comes after the
// last combination: a level's range is never empty (the candidate rows reach at least to the
// position's share, and an unticked row among those is held), so every pair reaches a combination.
std::vector<Group> groupsOf(const PositionTable &t, bool pairYields);

} // namespace search
