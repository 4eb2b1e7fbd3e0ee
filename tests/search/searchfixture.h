#pragma once
// Rosters for the search tests: built from row texts as the window would hand them over.

#include "candidates.h"
#include "enumeration.h"
#include "format.h"
#include "resultlist.h"

#include "numbers.h"
#include "rates.h"
#include "rosterfile.h"

#include <QFile>
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

// A roster file as the window loads it: each value cut to its field, the rate from points and
// games. Gives the money and the target texts too.
struct LoadedRoster {
    search::RosterInput input;
    QString money, target;
};

inline LoadedRoster rosterFromFile(const QString &path, search::Mode mode)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList values = roster::readRoster(file.readAll()).values;
    LoadedRoster out{rosterOf(mode), values.value(0), values.value(1)};
    int at = 2;
    for (Position p : roster::AllPositions)
        for (auto &row : out.input.rows[roster::index(p)]) {
            row.cost = roster::cutToWidth(values.value(at + 1), roster::CostWidth);
            row.points = roster::cutToWidth(values.value(at + 2), roster::PointsWidth);
            const QString games = roster::cutToWidth(values.value(at + 3), roster::GamesWidth);
            row.rate = roster::cutToWidth(roster::rateText(row.points, games), roster::RateWidth);
            at += 4;
        }
    return out;
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
    // Called at every yield with the number of lines inserted so far; may set StopRequested.
    std::function<void(std::size_t inserted, search::SearchState &)> onYield;
    // What the user does at a Winger-pair yield (the yields both searches make at the same
    // Examined), given the number of pair yields so far.
    std::function<void(int pairYields, class UserActions &)> onPairYield;
};

// The clicks a user can make while a search runs, with the window's rules: the mode buttons are
// locked until Stop unlocks them, "Pts/W Mode" ticks "Only Show Top 35", and ticking the box
// cuts a longer list to 35 lines at once.
class UserActions {
public:
    UserActions(search::SortedLines &lines, search::SearchState &state, bool &top35)
        : lines_(lines), state_(state), top35_(top35)
    {
    }
    const search::SearchState &state() const { return state_; }
    void clickTop35()
    {
        top35_ = !top35_;
        if (top35_)
            search::cutToTop35(lines_);
    }
    void pressStop()
    {
        state_.StopRequested = true;
        unlocked_ = true;
    }
    void clickMode(search::Mode mode)
    {
        if (unlocked_ && mode == search::Mode::PointsPerWeek && !top35_)
            clickTop35();
    }

private:
    search::SortedLines &lines_;
    search::SearchState &state_;
    bool &top35_;
    bool unlocked_ = false;
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
    bool top35 = settings.top35;
    host.top35Ticked = [&] { return top35; };
    host.capacity = settings.capacity;
    int pairYields = 0;
    host.yield = [&] {
        if (settings.onYield)
            settings.onYield(host.inserted(), state);
    };
    UserActions user(lines, state, top35);
    host.pairYield = [&] {
        host.yield();
        if (settings.onPairYield)
            settings.onPairYield(++pairYields, user);
    };
    engine(tables, state, host);
    for (std::size_t i = 0; i < lines.size(); ++i)
        run.finalLines.emplace_back(lines.at(i));
    run.examined = state.Examined;
    run.target = state.Target;
    run.ptsLen = ptsLen;
    return run;
}

} // namespace fixture
