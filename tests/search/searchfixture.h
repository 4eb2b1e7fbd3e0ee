// SPDX-License-Identifier: MIT
#pragma once
// Rosters for the search tests, built from row texts as the window would hand them over.

#include "candidates.h"
#include "enumeration.h"
#include "format.h"
#include "resultlist.h"

#include <QStringList>

using roster::Position;

inline search::RosterInput rosterOf(search::Mode mode)
{
    search::RosterInput input;
    input.mode = mode;
    for (Position p : roster::AllPositions)
        input.rows[roster::index(p)].resize(static_cast<std::size_t>(roster::rowCount(p)));
    return input;
}

// "C:2.5,1.5,9/3,!5 W:..." gives rows from 1 on a cost, or "cost/points" (points 1), "!" left unticked.
inline search::CandidateTables tablesOf(const QString &layout)
{
    search::RosterInput input = rosterOf(search::Mode::PointsPerGame);
    for (const QString &position : layout.split(u' ')) {
        auto &rows = input.rows[std::size_t(QStringLiteral("CWDG").indexOf(position[0]))];
        const QStringList values = position.mid(2).split(u',');
        for (qsizetype r = 0; r < values.size(); ++r) {
            QString value = values[r];
            rows[std::size_t(r)].ticked = !value.startsWith(u'!');
            value.remove(u'!');
            rows[std::size_t(r)].cost = value.section(u'/', 0, 0);
            rows[std::size_t(r)].points = value.contains(u'/') ? value.section(u'/', 1) : QStringLiteral("1");
        }
    }
    return search::buildCandidates(input);
}
