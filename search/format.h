// SPDX-License-Identifier: MIT
#pragma once
// The texts the search writes: result lines and the progress caption's numbers.

#include "enumeration.h"

#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace search {

// "###,###,##0": no decimals (halves away from zero), digits grouped in threes with commas.
QString groupedNumber(double value);
// "0.0": at least one digit, exactly one decimal, halves away from zero.
QString oneDecimal(double value);

// "##.##": the whole part only when it is not 0, always the period, at most two decimals with
// trailing zeros dropped; rounded, halves away from zero, from the points' 7 significant digits
// (so a sum that reads 2.675 shows 2.68, as the user expects).
std::string pointsText(float points);
// The cost as a plain number of up to 7 significant digits: 950, 123.5, 0.75.
std::string costText(float cost);

// A result line written in place, with no allocation: first the points text and its space, so
// that a team can be judged by its points before the rest is written, then the cost and rows.
class LineText {
public:
    static constexpr std::size_t Capacity = 256; // the longest texts of points, cost and rows
    void startWithPoints(float teamPts);
    void finish(float teamCost, const TeamRows &rows);
    std::string_view text() const { return {text_, size_}; }

private:
    char text_[Capacity];
    std::size_t size_ = 0;
};

// "38. -- 902 -- 1 2 - 3 4 5 6 - 1 2 3 - 2"
std::string resultLine(float teamPts, float teamCost, const TeamRows &rows);
// The ten rows of a result line; none for a line that is not one (the closing counts).
std::optional<TeamRows> rowsOfLine(std::string_view line);

} // namespace search
