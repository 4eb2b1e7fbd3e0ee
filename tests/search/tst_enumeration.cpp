// SPDX-License-Identifier: MIT
// The search against the plain nested loops while the user clicks, the best 35 against every
// admissible team, and single rosters: the spending band's edges and why nothing was listed.

#include "candidates.h"
#include "emptyresult.h"
#include "enumeration.h"
#include "format.h"
#include "numbers.h"
#include "rates.h"
#include "resultlist.h"

#include <QtTest>
#include <functional>
#include <map>
#include <random>
#include <tuple>

using roster::Position;
using search::Mode;
Q_DECLARE_METATYPE(search::SearchState)

namespace {

// What one search did: each line inserted with Examined then, how it ended, and the final list.
struct Run {
    std::vector<std::string> trace, finalLines;
    std::vector<float> finalPoints;
    qint64 examined = 0;
    float target = 0;
};

// What the user does at a yield, by the window's rules: "Only Show Top 35" (ticking cuts the list to
// 35), Stop, and the mode buttons, which wait for Stop; "Pts/W Mode" then ticks the box.
struct UserActions {
    search::SortedLines &lines;
    search::SearchState &state;
    bool &top35;
    bool unlocked = false;
    void clickTop35()
    {
        if ((top35 = !top35))
            search::cutToTop35(lines);
    }
    void pressStop() { state.StopRequested = unlocked = true; }
    void clickMode(Mode mode)
    {
        if (unlocked && mode == Mode::PointsPerWeek && !top35)
            clickTop35();
    }
};

struct RunSettings {
    search::SearchState state; // the money plus one, MinSpend, the target
    bool top35 = true;
    bool batchLines = false; // lines wait while the box is unticked, merged before every yield acts
    std::size_t capacity = search::MaxResultLines;
    // At the yield after a listed line, given how many teams were handed over, or at a Winger-pair
    // yield (both searches make them at the same Examined), given their count.
    std::function<void(bool pair, std::size_t count, UserActions &)> onYield = [](bool, std::size_t, UserActions &) {};
};

struct RecordingHost : search::ResultList {
    RecordingHost(search::SortedLines &l, search::SearchState &s, Run &r) : ResultList(l, s), state(s), run(r) {}
    void listTeam(float pts, float cost, const search::TeamRows &rows) override
    {
        ++listed;
        const std::string line = search::resultLine(pts, cost, rows);
        points[line] = pts;
        run.trace.push_back(line + " @ " + std::to_string(state.Examined));
        ResultList::listTeam(pts, cost, rows);
    }
    search::SearchState &state;
    Run &run;
    std::size_t listed = 0;
    std::map<std::string, float> points;
};

using Engine = void (*)(const search::CandidateTables &, search::SearchState &, search::SearchHost &);

Run runSearch(Engine engine, const search::CandidateTables &tables, const RunSettings &settings)
{
    Run run;
    search::SortedLines lines;
    search::SearchState state = settings.state;
    RecordingHost host(lines, state, run);
    bool top35 = settings.top35;
    UserActions user{lines, state, top35};
    std::size_t pairYields = 0;
    host.top35Ticked = [&] { return top35; };
    host.capacity = settings.capacity;
    host.batchLines = settings.batchLines;
    // As in the window, lines waiting in a batch go in before any click is handled.
    host.yield = [&] {
        host.mergePending();
        settings.onYield(false, host.listed, user);
    };
    host.pairYield = [&] { // the window's clicks land here, so both searches must yield alike
        run.trace.push_back("pair yield @ " + std::to_string(state.Examined));
        host.mergePending();
        settings.onYield(true, ++pairYields, user);
    };
    engine(tables, state, host);
    host.mergePending();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        run.finalLines.emplace_back(lines.at(i));
        run.finalPoints.push_back(host.points.at(run.finalLines.back()));
    }
    run.trace.insert(run.trace.end(), run.finalLines.begin(), run.finalLines.end());
    run.examined = state.Examined;
    run.target = state.Target;
    run.trace.push_back("end @ " + std::to_string(run.examined) + ", target "
                        + QString::number(state.Target, 'g', 9).toStdString());
    return run;
}

// "C:2.5,1.5,9/3,!5 W:..." gives rows from 1 on a cost, or "cost/points" (points 1), "!" left unticked.
search::CandidateTables tablesOf(const QString &layout)
{
    search::RosterInput input;
    input.mode = Mode::PointsPerGame;
    for (const QString &position : layout.split(u' ')) {
        auto &rows = input.rows[std::size_t(QStringLiteral("CWDG").indexOf(position[0]))];
        for (QString value : position.mid(2).split(u',')) {
            const bool ticked = !value.startsWith(u'!');
            value.remove(u'!');
            const QString points = value.contains(u'/') ? value.section(u'/', 1) : QStringLiteral("1");
            rows.push_back({value.section(u'/', 0, 0), points, {}, ticked});
        }
    }
    return search::buildCandidates(input);
}

const char *pick(std::mt19937 &rng, std::initializer_list<const char *> texts)
{
    return *(texts.begin() + rng() % texts.size());
}

QString cell(std::mt19937 &rng, const QString &plain, std::initializer_list<const char *> odd)
{
    return rng() % 100 < 88 ? plain : pick(rng, odd);
}

// Hard rosters: points across 10 and 100, equal points and costs, "-.01", "." and ".01", exponents,
// one player who dwarfs the rest, targets met, costs below zero.
enum class Family {
    Plain,
    Straddle,
    Identical,
    Negative,
    WholePoints,
    Proportional,
    NearZero,
    TinyCosts,
    TargetAtATeam,
    Straddle100,
    Outlier,
    Exponents,
    NegativeCosts,
    Count
};

QString pointsFor(std::mt19937 &rng, Family family, int cost)
{
    switch (family) {
    case Family::Plain: return roster::numberToText((20 + rng() % 161) / 100.0);
    case Family::Straddle: return roster::numberToText((90 + rng() % 21) / 100.0); // teams of 9.x and 10.x
    case Family::Identical: return rng() % 2 ? "1.04" : ".94";
    case Family::Negative: return roster::numberToText(-((10 + rng() % 171) / 100.0));
    case Family::WholePoints: return QString::number(1 + rng() % 2);
    case Family::Proportional: return roster::numberToText(cost / 10.0);
    case Family::NearZero: return pick(rng, {"0", "-0", ".001", "-.01", ".01", ".004", "-.00"});
    case Family::TinyCosts: return roster::numberToText((1 + rng() % 30) / 100.0);
    case Family::TargetAtATeam: return roster::numberToText((1 + rng() % 30) / 10.0);
    case Family::Straddle100: return roster::numberToText((900 + rng() % 210) / 100.0); // teams of 9x. and 10x.
    case Family::Outlier: return rng() % 40 ? roster::numberToText((20 + rng() % 161) / 100.0) : "9E9";
    case Family::Exponents: return pick(rng, {"1E0", "5E-1", "1.0E0", "10E-1", "5E0"});
    case Family::NegativeCosts: return roster::numberToText((20 + rng() % 161) / 100.0);
    case Family::Count: break;
    }
    return {};
}

std::pair<search::CandidateTables, RunSettings> generate(std::mt19937 &rng)
{
    std::pair<search::CandidateTables, RunSettings> out;
    const auto family = Family(rng() % unsigned(Family::Count));
    search::RosterInput input;
    input.mode = rng() % 2 ? Mode::PointsPerGame : Mode::PointsPerWeek;
    static constexpr int Cap[] = {8, 8, 7, 5};
    const bool sameRows = family == Family::Identical && rng() % 2;
    const QString sharedPoints = pointsFor(rng, family, 5);
    for (Position p : roster::AllPositions) {
        const int m = search::teamShare(p);
        input.rows[roster::index(p)].resize(std::size_t(roster::rowCount(p)));
        for (auto &row : input.rows[roster::index(p)]) {
            const int whole = family == Family::Identical ? 5 : int(1 + rng() % 15);
            // A fifth carry decimals: tenths whose sums land beside the band's edges, 7 significant digits.
            QString cost = QString::number(whole)
                           + (rng() % 5 || family == Family::Identical ? ""
                                                                       : pick(rng, {".5", ".25", ".1", ".7", ".234567"}));
            if (family == Family::TinyCosts)
                cost = pick(rng, {"1E-5", "2E-5", "3E-6", ".001", "0", "1"});
            if (family == Family::Outlier && rng() % 40 == 0)
                cost = pick(rng, {"9E99", "9E9", "1E20"});
            if (family == Family::Exponents)
                cost = pick(rng, {"5E0", "1E1", "50E-1", "7"});
            if (family == Family::NegativeCosts) // completions cheaper than nothing
                cost = QString::number(int(rng() % 21) - 8);
            const QString points = sameRows ? sharedPoints : pointsFor(rng, family, whole);
            row.cost = family == Family::Plain ? cell(rng, cost, {"", "abc", "-3", "0", "1E1", "99", "7.", "1,50", "9E99"})
                                               : cost;
            row.points = family == Family::Plain ? cell(rng, points, {"", "x", "-1", "2.5", "1E1", ".05"}) : points;
            const QString games = family == Family::Identical ? "1" : QString::number(2 + rng() % 3);
            row.rate = roster::cutToWidth(roster::rateText(row.points, games), roster::RateWidth);
        }
        const unsigned span = unsigned(Cap[roster::index(p)] - m + 1);
        const int last = m + int(std::max(rng() % span, rng() % span));
        const int held = rng() % 3 == 0 ? int(rng() % unsigned(m + 1)) : 0;
        for (int r = 1; r <= roster::rowCount(p); ++r)
            input.rows[roster::index(p)][std::size_t(r - 1)].ticked = r > held && r <= last;
    }
    out.first = search::buildCandidates(input);
    // Money and target around those of the first rows' team, so that both cut through the teams.
    double cost = 0, pts = 0;
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= search::teamShare(p); ++r) {
            cost += out.first[p].cost[r];
            pts += out.first[p].pts[r];
        }
    const int money = std::clamp(int(std::clamp(cost, 0.0, 1000.0)) + int(rng() % 25) - 5, 10, 200); // 9E99 costs too
    out.second.state.CashLimit = qint16(money + 1);
    out.second.state.MinSpend = qint16(money * int(70 + rng() % 26) / 100); // the band's floor: 70-95 per cent
    switch (family) {
    case Family::Identical: out.second.state.Target = float(rng() % 3); break;
    case Family::WholePoints: out.second.state.Target = float(std::round(pts)) - float(rng() % 2); break;
    case Family::Negative: out.second.state.Target = rng() % 2 ? -100.f : float(pts * 1.1); break;
    case Family::NearZero: out.second.state.Target = rng() % 2 ? -1.f : -0.5f; break;
    case Family::TargetAtATeam: { // the first candidate rows' team, each group summed row by row in single precision
        std::array<float, 4> group{};
        for (Position p : roster::AllPositions)
            for (int r = 1; r <= out.first[p].share; ++r)
                group[std::size_t(roster::index(p))] += out.first[p].pts[std::size_t(r)];
        out.second.state.Target = ((group[0] + group[1]) + group[2]) + group[3];
        break;
    }
    default: out.second.state.Target = float(pts * (0.6 + (rng() % 45) / 100.0));
    }
    if (family == Family::TinyCosts) // money 0: teams costing less than 1 and more than 0
        out.second.state = {1, 0, out.second.state.Target};
    out.second.top35 = rng() % 4 != 0;
    out.second.batchLines = rng() % 3 == 0;
    out.second.capacity = 3000;

    // At a few Winger-pair yields and yields after a listed line the user clicks the box (0),
    // "Pts/G Mode" (1), "Pts/W Mode" (2) or Stop (3).
    std::vector<std::tuple<bool, std::size_t, int>> clicks; // at a pair yield or a listed line's, its count, what
    for (bool pair : {true, false})
        for (int i = 0, count = int(rng() % 5); i < count; ++i)
            clicks.push_back({pair, 1 + rng() % (rng() % 2 ? 20 : 150), rng() % 6 == 0 ? 3 : int(rng() % 3)});
    out.second.onYield = [clicks](bool pair, std::size_t count, UserActions &user) {
        for (const auto &[atPair, at, what] : clicks)
            if (atPair == pair && at == count)
                what == 0   ? user.clickTop35()
                : what == 3 ? user.pressStop()
                            : user.clickMode(what == 1 ? Mode::PointsPerGame : Mode::PointsPerWeek);
    };
    return out;
}

} // namespace

class TestEnumeration : public QObject {
    Q_OBJECT

private slots:
    // One roster, both searches, each counting every team the ticks allow (an unticked row among
    // a position's first rows is in every team; one further down ends the rows the search reaches):
    // the cost of the best line listed, or the sentence that says why none was. A first cost with
    // no 16-bit whole number counts in full, never as 0. Teams of `tens` cost 10 (Goalie row 1,
    // 0.5 points) or 12 (Goalie row 2, 4 points); Centres add 3, 4 or 5 points, the rest 7. The
    // sentences give the cheapest and dearest teams as the search sums them: first costs rounded
    // to whole numbers, halves to even, and held rows in every team. Working out why is a search
    // of its own that yields to the window, and a Stop pressed in one of its yields ends it with
    // the sentence of a stopped search.
    void oneRoster_data()
    {
        QTest::addColumn<QString>("roster");
        QTest::addColumn<search::SearchState>("band"); // the money plus one, MinSpend, the target
        QTest::addColumn<double>("teams");
        QTest::addColumn<int>("stopAt"); // the explanation's yield that Stop is pressed in (0: none)
        QTest::addColumn<int>("budget"); // milliseconds the explanation may take
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char *name, const QString &roster, search::SearchState band, double teams,
                            const QString &outcome, int stopAt = 0, int budget = 1000) {
            QTest::newRow(name) << roster << band << teams << stopAt << budget << outcome;
        };
        const auto team = [](const char *c1, const char *c2, const char *other = "1", const char *goalie = "1") {
            return QStringLiteral("C:%1,%2 W:%3,%3,%3,%3 D:%3,%3,%3 G:%4").arg(c1, c2, other, goalie);
        };
        const QString hundreds = team("100", "100", "100", "100");
        const QString noCost =
            "No team's cost lies inside the spending band (above %1 and below %2): the %3 possible team costs %4.";
        const QString best =
            "The best team inside the spending band (above %1 and below %2) scores %3, not above the target %4.";
        row("cost equals the money", hundreds, {1001, 901, 0}, 1, "1000");
        // The Goalie of 5 points makes the better team, but it costs the money plus one.
        row("cost equals the money plus one", "C:100,101 W:100,100,100,100 D:100,100,100 G:99,100/5", {1001, 901, 0}, 2,
            "1000");
        row("cost equals MinSpend", team("100", "1", "100", "100"), {1001, 901, 0}, 1,
            noCost.arg(901).arg(1001).arg("dearest").arg(901));
        row("half above the money", team("100", "100.5", "100", "100"), {1001, 901, 0}, 1, "1000.5");
        row("points equal the target", hundreds, {1001, 901, 10}, 1, best.arg(901).arg(1001).arg(10).arg(10));
        row("first cost 11.5 counts 12", team("11.5", "0", "0", "0"), {13, 11, 0}, 1, "12");
        row("first cost 9E99 is not free", team("9E99", "1"), {51, 0, 0}, 1,
            noCost.arg(0).arg(51).arg("cheapest").arg("inf"));
        // 1E20 absorbs the small costs: the loops' order gives 8000, Defence + (the rest) gives 0.
        row("costs that cancel", "C:1E20,0 W:1,1,1,1 D:-1E20,1,1 G:8000", {8001, 7999, 0}, 1, "8000");
        const QString twoTo66 = QStringLiteral("73786976294838206464");
        // 2^66 + 10000 rounds up to the next double, 16384 above: the loops' order gives 16384.
        // Just below 2^66 the doubles lie half as far apart, so bounds worked out there round otherwise.
        row("costs that cancel, the Wingers' rounding up", "C:10000,0 W:" + twoTo66 + ",0,0,0 D:-" + twoTo66 + ",0,0 G:0",
            {16385, 16383, 0}, 1, "16384");
        // The Goalie's point, added last, rounds the team up to the float after 1: its rounding
        // must be in the bound, or the team is taken to be at the target.
        row("the last addition rounds up", "C:1/7.450580596923828125E-8,1/0 W:1/0,1/0,1/0,1/0 D:1/0,1/0,1/0 G:1", {11, 9, 1},
            1, "10");
        // Two roundings up, 2^23 + 1.5 to + 2 and then + 3.5 to + 4, lift the team above the target
        // its exact points 2^23 + 3 equal: halves at this scale are no exact sums in single precision.
        row("two roundings up", "C:1/8388608,1/0 W:1/1.5,1/0,1/0,1/0 D:1/1.5,1/0,1/0 G:1/0", {11, 9, 8388611}, 1, "10");
        // Points that are the float after the target beat it, with no rounding in the sum.
        row("the float after the target", "C:1/8388600,1/0 W:1/9,1/0,1/0,1/0 D:1/0,1/0,1/0 G:1/0", {11, 9, 8388608}, 1,
            "10");
        // A Centre's and the Goalie's costs cancel: the loops' order gives 16384, as 2^66 + 10000
        // rounds up, while their pair costs 0. Its margin must count the magnitude of both.
        row("costs that cancel, a Centre's and the Goalie's", "C:" + twoTo66 + ",0 W:10000,0,0,0 D:0,0,0 G:-" + twoTo66,
            {16385, 16383, 0}, 1, "16384");
        // The last row of a position is as much a candidate as the others.
        row("the 20th Centre", "C:" + QStringLiteral("1,").repeated(19) + "5/9 W:1,1,1,1 D:1,1,1 G:1", {21, 0, 0}, 190,
            "14");
        row("a gap ends the Centres, an unticked Goalie is held", "C:1,1,1,1,1,!1,1 W:1,1,1,1 D:1,1,1 G:!1", {11, 9, 0}, 10,
            "10");
        const QString rounded = "C:2.5,1.5,9,9 W:1,1,1,1 D:1,1,1 G:0.5,7"; // Centres 2+1.5 or 9+9, the Goalie 0 or 7
        row("rounded first costs", rounded, {10, 5, 0}, 12, noCost.arg(5).arg(10).arg("cheapest").arg(10.5));
        row("a held Centre", "C:!5,1,2,3 W:1,1,1,1 D:1,1,1 G:1", {14, 5, 0}, 3,
            noCost.arg(5).arg(14).arg("cheapest").arg(14));
        row("negative and fractional costs", "C:-3,0.25,4 W:1,1,1,1,-2 D:1,1,1 G:2,-1.5", {20, 13, 0}, 30,
            noCost.arg(13).arg(20).arg("dearest").arg(13));
        const QString tens = "C:1/1,1/2,1/3 W:1,1,1,1 D:1,1,1 G:1/0.5,3/4";
        const QString stopped = "The search was stopped before it listed any team.";
        row("the band between two costs", tens, {12, 10, 0}, 6,
            "No team's cost lies inside the spending band (above 10 and below 12): the nearest possible teams cost 10 and "
            "12.");
        row("a floor at the money plus one", tens, {12, 12, 0}, 6,
            "No team can cost more than 12 and less than 12: the minimum percentage asks for more than the money.");
        row("best inside the band below the target", tens, {11, 9, 20}, 6, best.arg(9).arg(11).arg(12.5).arg(20));
        row("best inside the band, a cost below it", tens, {13, 10, 20}, 6, best.arg(10).arg(13).arg(16).arg(20));
        // Five million teams of few costs, the Centres' and Wingers' sums interleaved: the costs a
        // team can have, in order, each once.
        row("many teams, few costs", "C:2,4,6,8,10,12,14,16,18,20 W:1,1,1,1,5,5,5,5,5,5,5,5 D:1,1,1,1,1,1,1,1 G:1,1,1,1",
            {22, 20, 0}, 4989600,
            "No team's cost lies inside the spending band (above 20 and below 22): the nearest possible teams cost 20 and "
            "22.");
        // Whole costs, fourth powers, whose sums of four Wingers and of two Centres and a Goalie
        // nearly all differ, each scoring its cost: thousands of completions that no cheaper one
        // beats, too many to pair up for the bound on what a Defence trio can still reach.
        const auto costs = [](int rows, auto cost) {
            QStringList values;
            for (qint64 r = 1; r <= rows; ++r)
                values << QStringLiteral("%1/%1").arg(cost(r));
            return values.join(u',');
        };
        const QString fourthPowers = "C:" + costs(20, [](qint64 r) { return 16 * r * r * r * r; })
                                     + " W:" + costs(20, [](qint64 r) { return r * r * r * r; })
                                     + " D:1,1,1 G:" + costs(15, [](qint64 r) { return r; });
        row("too many completions to pair up", fourthPowers, {32767, 0, 0}, 13808250, "32766");
        // Too many costs to list them all (13,808,250 teams of nearly as many costs): the band
        // between two costs is left to the search of the teams inside it, and told by the cheapest
        // and dearest teams when that search ends in time.
        row("too many costs to list", fourthPowers, {631, 630, 0}, 13808250,
            "No team inside the spending band (above 630 and below 631) scores above the target 0.", 0, 0);
        row("too many costs to list, every team looked at", fourthPowers, {631, 630, 0}, 13808250,
            "No team's cost lies inside the spending band (above 630 and below 631), though the possible teams cost "
            "from 630 to 5123972.",
            0, 10000);
        row("no time to look", tens, {11, 9, 20.5f}, 6,
            "No team inside the spending band (above 9 and below 11) scores above the target 20.5.", 0, 0);
        row("Stop while working out why", "C:1,1,1,1,1,1 W:1,1,1,1,1,1,1,1 D:1,1,1,1,1 G:1,1,1", {20, 0, 1000}, 31500,
            stopped, 3);
    }

    void oneRoster()
    {
        QFETCH(QString, roster);
        QFETCH(search::SearchState, band);
        QFETCH(double, teams);
        QFETCH(int, stopAt);
        QFETCH(int, budget);
        QFETCH(QString, outcome);
        const auto tables = tablesOf(roster);
        QCOMPARE(search::exactTeamCount(tables), teams);
        bool listed = false;
        for (Engine engine : {search::pickDefenceReference, search::PickDefence}) {
            const Run run = runSearch(engine, tables, {.state = band});
            QCOMPARE(double(run.examined), teams);
            listed = !run.finalLines.empty();
            if (listed)
                QCOMPARE(QString::fromStdString(run.finalLines.back()).section(" -- ", 1, 1), outcome);
        }
        if (listed)
            return;
        int yields = 0;
        const auto yield = [&] {
            if (++yields == stopAt)
                band.StopRequested = true;
        };
        QCOMPARE(search::emptyResultExplanation(tables, band, yield, std::chrono::milliseconds(budget)), outcome);
        if (stopAt > 0)
            QCOMPARE(yields, stopAt);
    }

    // The production search against the plain loops, the user clicking and pressing Stop meanwhile;
    // replays of the same clicks give the same list. Without clicks, with the box ticked throughout,
    // both hold the 35 best of every team the settings admit, weakest first, and the target is the
    // weakest's points: the plain loops with the box unticked and no cap give every admitted team.
    // KORVANE_SEARCH_CASES sets how many rosters (400 by default).
    void sameAsPlainLoops()
    {
        std::mt19937 rng(20261206);
        const int cases = qEnvironmentVariableIsSet("KORVANE_SEARCH_CASES")
                              ? qEnvironmentVariableIntValue("KORVANE_SEARCH_CASES")
                              : 400;
        int listedRuns = 0, cut = 0, fullRuns = 0;
        for (int i = 0; i < cases; ++i) {
            const auto [tables, settings] = generate(rng);
            const QByteArray name = "generated roster " + QByteArray::number(i);
            const Run reference = runSearch(search::pickDefenceReference, tables, settings);
            const Run fast = runSearch(search::PickDefence, tables, settings);
            QVERIFY(runSearch(search::PickDefence, tables, settings).trace == fast.trace);
            listedRuns += reference.trace.size() > 1 + reference.finalLines.size();
            fullRuns += reference.finalLines.size() == settings.capacity; // a full list ends the search
            QVERIFY2(fast.trace == reference.trace && fast.finalLines.size() <= settings.capacity, name.constData());
            if (i % 2)
                continue; // the best 35 on every other roster, to keep the test's time down

            const RunSettings everyTeam{settings.state, false, settings.batchLines, std::size_t(-1)};
            std::vector<float> best = runSearch(search::pickDefenceReference, tables, everyTeam).finalPoints;
            std::sort(best.begin(), best.end());
            const bool trimmed = best.size() > search::TopLines;
            if (trimmed)
                best.erase(best.begin(), best.end() - search::TopLines);
            cut += trimmed;
            for (Engine engine : {search::pickDefenceReference, search::PickDefence}) {
                const Run top35 = runSearch(engine, tables, {.state = settings.state});
                QVERIFY2(top35.finalPoints == best, name.constData());
                QVERIFY2(!trimmed || top35.target == best.front(), name.constData());
            }
        }
        QVERIFY(listedRuns > cases / 2); // the generator must produce rosters that list teams
        QVERIFY(cut > cases / 6);        // and many admit more than 35 teams
        QVERIFY(fullRuns > 0);           // and some fill the list
    }
};

QTEST_GUILESS_MAIN(TestEnumeration)
#include "tst_enumeration.moc"
