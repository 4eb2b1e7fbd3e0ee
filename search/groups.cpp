// SPDX-License-Identifier: MIT
#include "groups.h"

#include <QtGlobal>

namespace search {

std::vector<Group> groupsOf(const PositionTable &t, bool pairYields)
{
    std::vector<Group> out;
    const int m = t.share;
    std::array<int, 4> r{};
    int pendingYields = 0;
    auto add = [&] {
        Group g;
        g.rows = r;
        g.cost = t.firstCost[std::size_t(r[0])];
        g.pts = t.pts[std::size_t(r[0])];
        for (int k = 1; k < m; ++k) {
            g.cost = g.cost + t.cost[std::size_t(r[std::size_t(k)])];
            g.pts = g.pts + t.pts[std::size_t(r[std::size_t(k)])];
        }
        g.yieldsBefore = pendingYields;
        pendingYields = 0;
        out.push_back(g);
    };
    auto level = [&](auto &self, int k, int outer) -> void {
        levelLoop(t.levels[std::size_t(k)], outer, [&](int row) {
            r[std::size_t(k)] = row;
            if (pairYields && k == 1)
                ++pendingYields;
            if (k + 1 == m)
                add();
            else
                self(self, k + 1, row);
            return true;
        });
    };
    if (m > 0)
        level(level, 0, 0);
    Q_ASSERT(pendingYields == 0);
    return out;
}

} // namespace search
