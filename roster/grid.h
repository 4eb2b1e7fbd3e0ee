// SPDX-License-Identifier: MIT
#pragma once
// The shape of the roster: four positions of fixed size, the widths of the row fields,
// and the boundary that splits each position into the rows a team holds and the rest.

#include <array>

namespace roster {

enum class Position { C, W, D, G };

// Every loop over the roster visits the positions in this order.
inline constexpr std::array<Position, 4> AllPositions{Position::C, Position::W, Position::D, Position::G};

inline constexpr int NumCW = 20; // rows of Centres and Wingers
inline constexpr int NumDG = 15; // rows of Defence and Goalies

// Field widths in characters. The money, the target and a name hold TextWidth, far beyond any
// name, so that a hostile roster cannot fill the memory or stall the window.
inline constexpr int TextWidth = 65536;
inline constexpr int CostWidth = 4;
inline constexpr int PointsWidth = 4;
inline constexpr int GamesWidth = 3;
inline constexpr int RateWidth = 5;

constexpr int rowCount(Position p) { return (p == Position::C || p == Position::W) ? NumCW : NumDG; }

// The number of players of the position in a team; the separator line lies under this row.
constexpr int anchorRow(Position p)
{
    switch (p) {
    case Position::C: return 2;
    case Position::W: return 4;
    case Position::D: return 3;
    case Position::G: return 1;
    }
    return 0;
}

constexpr char letter(Position p) { return "CWDG"[static_cast<int>(p)]; }
// The title of the position's block, as the window shows it and the messages name it.
constexpr const char *caption(Position p)
{
    constexpr const char *Captions[] = {"Centres", "Wingers", "Defence", "Goalies"};
    return Captions[static_cast<int>(p)];
}
constexpr int index(Position p) { return static_cast<int>(p); }

} // namespace roster
