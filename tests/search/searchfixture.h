#pragma once
// Rosters for the search tests: built from row texts as the window would hand them over.

#include "candidates.h"
#include "enumeration.h"
#include "format.h"
#include "resultlist.h"

#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace fixture {

using roster::Position;

// Every row of every position, empty and unticked.
inline search::RosterInput rosterOf(search::Mode mode)
{
    search::RosterInput input;
    input.mode = mode;
    for (Position p : roster::AllPositions)
        input.rows[roster::index(p)].resize(static_cast<std::size_t>(roster::rowCount(p)));
    return input;
}

inline void tickRows(search::RosterInput &input, Position p, int from, int to)
{
    auto &rows = input.rows[roster::index(p)];
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r)
        rows[static_cast<std::size_t>(r - 1)].ticked = r >= from && r <= to;
}

// What one search did: the lines really inserted, with Examined at that moment, and the outcome.
struct Run {
    std::vector<std::string> inserted;
    std::vector<qint64> examinedAtInsert;
    std::vector<std::string> finalLines;
    qint64 examined = 0;
    float target = 0;
    int ptsLen = 0;
};

struct RunSettings {
    qint16 cashLimit = 0;
    qint16 minSpend = 0;
    float target = 0;
    bool top35 = true;
    int ptsLen = 0;
    std::size_t capacity = search::MaxResultLines;
    // Called at every yield with the number of yields so far; may set StopRequested.
    std::function<void(int yields, search::SearchState &)> onYield;
};

using Engine = void (*)(const search::CandidateTables &, search::SearchState &, search::SearchHost &);

class RecordingHost : public search::ResultList {
public:
    RecordingHost(search::SortedLines &lines, search::SearchState &state, int &ptsLen, Run &run)
        : ResultList(lines, state, ptsLen), state_(state), run_(run)
    {
    }
    void listTeam(float pts, float cost, const search::TeamRows &rows) override
    {
        const std::size_t before = inserted();
        ResultList::listTeam(pts, cost, rows);
        if (inserted() != before) {
            run_.inserted.push_back(search::resultLine(pts, cost, rows));
            run_.examinedAtInsert.push_back(state_.Examined);
        }
    }

private:
    search::SearchState &state_;
    Run &run_;
};

inline Run runSearch(Engine engine, const search::CandidateTables &tables, const RunSettings &settings)
{
    Run run;
    search::SortedLines lines;
    search::SearchState state;
    state.CashLimit = settings.cashLimit;
    state.MinSpend = settings.minSpend;
    state.Target = settings.target;
    int ptsLen = settings.ptsLen;
    RecordingHost host(lines, state, ptsLen, run);
    host.top35Ticked = [&] { return settings.top35; };
    host.capacity = settings.capacity;
    int yields = 0;
    host.yield = [&] {
        if (settings.onYield)
            settings.onYield(++yields, state);
    };
    engine(tables, state, host);
    for (std::size_t i = 0; i < lines.size(); ++i)
        run.finalLines.push_back(lines.at(i));
    run.examined = state.Examined;
    run.target = state.Target;
    run.ptsLen = ptsLen;
    return run;
}

} // namespace fixture
