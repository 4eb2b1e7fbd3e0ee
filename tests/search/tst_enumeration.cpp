// SPDX-License-Identifier: MIT
// The spending band, the best 35 against every admissible team, and the search against the plain
// nested loops while the user clicks.

#include "searchfixture.h"

#include "numbers.h"
#include "rates.h"

#include <QtTest>
#include <functional>
#include <map>
#include <random>

using search::Mode;

namespace {

// What one search did: each line inserted with Examined then, how it ended, and the final list.
struct Run {
    std::vector<std::string> trace, finalLines;
    std::vector<float> finalPoints;
    qint64 examined = 0;
};

// The window's rules: mode buttons wait for Stop, "Pts/W Mode" ticks the box, ticking cuts the list to 35.
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
    // At the yield after a listed line, given how many teams were handed over.
    std::function<void(std::size_t listed, UserActions &)> onYield = [](std::size_t, UserActions &) {};
    // At a Winger-pair yield (both searches make them at the same Examined), given their count.
    std::function<void(int pairYields, UserActions &)> onPairYield = [](int, UserActions &) {};
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
    int pairYields = 0;
    host.top35Ticked = [&] { return top35; };
    host.capacity = settings.capacity;
    host.batchLines = settings.batchLines;
    // As in the window, lines waiting in a batch go in before any click is handled.
    host.yield = [&] {
        host.mergePending();
        settings.onYield(host.listed, user);
    };
    host.pairYield = [&] { // the window's clicks land here, so both searches must yield alike
        run.trace.push_back("pair yield @ " + std::to_string(state.Examined));
        host.mergePending();
        settings.onPairYield(++pairYields, user);
    };
    engine(tables, state, host);
    host.mergePending();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        run.finalLines.emplace_back(lines.at(i));
        run.finalPoints.push_back(host.points.at(run.finalLines.back()));
    }
    run.trace.insert(run.trace.end(), run.finalLines.begin(), run.finalLines.end());
    run.examined = state.Examined;
    run.trace.push_back("end @ " + std::to_string(run.examined) + ", target "
                        + QString::number(state.Target, 'g', 9).toStdString());
    return run;
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
// one player who dwarfs the rest, targets met.
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
    case Family::Count: break;
    }
    return {};
}

std::pair<search::CandidateTables, RunSettings> generate(std::mt19937 &rng)
{
    std::pair<search::CandidateTables, RunSettings> out;
    const auto family = Family(rng() % unsigned(Family::Count));
    search::RosterInput input = rosterOf(rng() % 2 ? Mode::PointsPerGame : Mode::PointsPerWeek);
    static constexpr int Cap[] = {8, 8, 7, 5};
    const bool sameRows = family == Family::Identical && rng() % 2;
    const QString sharedPoints = pointsFor(rng, family, 5);
    for (Position p : roster::AllPositions) {
        const int m = search::teamShare(p);
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
    std::vector<std::pair<int, int>> clicks, listClicks; // the yield, what
    for (auto *list : {&clicks, &listClicks}) {
        const int count = int(rng() % 5);
        for (int i = 0; i < count; ++i)
            list->push_back({1 + int(rng() % (rng() % 2 ? 20 : 150)), rng() % 6 == 0 ? 3 : int(rng() % 3)});
    }
    const auto act = [](int what, UserActions &user) {
        what == 0   ? user.clickTop35()
        : what == 3 ? user.pressStop()
                    : user.clickMode(what == 1 ? Mode::PointsPerGame : Mode::PointsPerWeek);
    };
    out.second.onPairYield = [clicks, act](int yields, UserActions &user) {
        for (const auto &[at, what] : clicks)
            if (at == yields)
                act(what, user);
    };
    out.second.onYield = [listClicks, act](std::size_t listed, UserActions &user) {
        for (const auto &[at, what] : listClicks)
            if (std::size_t(at) == listed)
                act(what, user);
    };
    return out;
}

} // namespace

class TestEnumeration : public QObject {
    Q_OBJECT

private slots:
    // One team, both searches; a first cost with no 16-bit whole number counts in full, never as 0.
    void spendingBand_data()
    {
        QTest::addColumn<QString>("roster");
        QTest::addColumn<int>("cashLimit");
        QTest::addColumn<int>("minSpend");
        QTest::addColumn<float>("target");
        QTest::addColumn<QString>("costText"); // empty: not listed
        const auto team = [](const char *c1, const char *c2, const char *other = "1", const char *goalie = "1") {
            return QStringLiteral("C:%1,%2 W:%3,%3,%3,%3 D:%3,%3,%3 G:%4").arg(c1, c2, other, goalie);
        };
        QTest::newRow("cost equals the money") << team("100", "100", "100", "100") << 1001 << 901 << 0.f << "1000";
        QTest::newRow("cost equals MinSpend") << team("100", "1", "100", "100") << 1001 << 901 << 0.f << "";
        QTest::newRow("cost one above MinSpend") << team("100", "2", "100", "100") << 1001 << 901 << 0.f << "902";
        QTest::newRow("half above the money") << team("100", "100.5", "100", "100") << 1001 << 901 << 0.f << "1000.5";
        QTest::newRow("points equal the target") << team("100", "100", "100", "100") << 1001 << 901 << 10.f << "";
        QTest::newRow("first cost 11.5 counts 12") << team("11.5", "0", "0", "0") << 13 << 11 << 0.f << "12";
        QTest::newRow("first cost 9E99 is not free") << team("9E99", "1") << 51 << 0 << 0.f << "";
        QTest::newRow("second cost 9E99") << team("1", "9E99") << 51 << 0 << 0.f << "";
        QTest::newRow("Goalie cost 9E99 is not free") << team("1", "1", "1", "9E99") << 51 << 0 << 0.f << "";
        QTest::newRow("first cost -9E9 below the spend") << team("-9E9", "1") << 51 << 0 << 0.f << "";
        QTest::newRow("first cost 4E4 above the money") << team("4E4", "1") << 32767 << 0 << 0.f << "";
        // 1E20 absorbs the small costs: the loops' order gives 8000, Defence + (the rest) gives 0.
        QTest::newRow("costs that cancel") << "C:1E20,0 W:1,1,1,1 D:-1E20,1,1 G:8000" << 8001 << 7999 << 0.f << "8000";
    }

    void spendingBand()
    {
        QFETCH(QString, roster);
        QFETCH(QString, costText);
        QFETCH(int, cashLimit);
        QFETCH(int, minSpend);
        QFETCH(float, target);
        const RunSettings band{{qint16(cashLimit), qint16(minSpend), target}};
        for (Engine engine : {search::pickDefenceReference, search::PickDefence}) {
            const Run run = runSearch(engine, tablesOf(roster), band);
            QCOMPARE(run.examined, qint64(1));
            QCOMPARE(run.finalLines.size(), std::size_t(costText.isEmpty() ? 0 : 1));
            if (!costText.isEmpty())
                QCOMPARE(QString::fromStdString(run.finalLines[0]).section(" -- ", 1, 1), costText);
        }
    }

    // "Only Show Top 35" unticked at a Winger-pair yield: teams it would have trimmed are listed from then on.
    void top35ClickedDuringSearch_data()
    {
        QTest::addColumn<QList<int>>("clicks"); // pair yields at which the box is clicked
        QTest::addColumn<int>("stopAt");        // 0: no Stop
        QTest::addColumn<bool>("grows");        // the list ends with more than 35 lines
        QTest::newRow("unticked at the 110th yield") << QList<int>{110} << 0 << true;
        QTest::newRow("unticked, then Stop") << QList<int>{110} << 200 << true;
        QTest::newRow("unticked, ticked again") << QList<int>{110, 250} << 0 << false;
    }

    void top35ClickedDuringSearch()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, stopAt);
        QFETCH(bool, grows);
        // Teams of 9.x and 10.x points, whose texts sort out of the points' order.
        const auto tables = tablesOf(
            "C:10/.9,6/.92,7/.9,6/.92,6/.93,8/.93 W:7/.95,10/.91,9/.92,7/.94,9/.92,8/.97,8/1.22,9/1.46 "
            "D:7/.96,6/.95,10/.97,6/.98,8/.97,10/.96 G:6/.96,6/.93,9/.96,9/.96");
        RunSettings settings{{91, 82, 5}}; // money 90, MinSpend 90 %
        settings.onPairYield = [&](int yields, UserActions &user) {
            if (clicks.contains(yields))
                user.clickTop35();
            if (yields == stopAt)
                user.pressStop();
        };
        const Run fast = runSearch(search::PickDefence, tables, settings);
        QCOMPARE(fast.trace, runSearch(search::pickDefenceReference, tables, settings).trace);
        QCOMPARE(fast.finalLines.size() > search::TopLines, grows);
        QVERIFY(std::is_sorted(fast.finalPoints.begin(), fast.finalPoints.end()));
    }

    // With the box ticked throughout, the list holds the 35 best of every team the settings admit,
    // weakest first: the plain loops with the box unticked and no cap give every admitted team.
    void best35OfEveryTeam()
    {
        std::mt19937 rng(17);
        int cut = 0;
        for (int i = 0; i < 150; ++i) {
            auto [tables, settings] = generate(rng);
            settings.onPairYield = [](int, UserActions &) {};
            settings.onYield = [](std::size_t, UserActions &) {};
            RunSettings everyTeam = settings;
            everyTeam.top35 = false;
            everyTeam.capacity = std::size_t(-1);
            std::vector<float> admitted = runSearch(search::pickDefenceReference, tables, everyTeam).finalPoints;
            std::sort(admitted.begin(), admitted.end());
            if (admitted.size() > search::TopLines) {
                admitted.erase(admitted.begin(), admitted.end() - search::TopLines);
                ++cut;
            }
            settings.top35 = true;
            for (Engine engine : {search::pickDefenceReference, search::PickDefence}) {
                const Run run = runSearch(engine, tables, settings);
                QVERIFY2(run.finalPoints == admitted, qPrintable(QStringLiteral("generated roster %1").arg(i)));
            }
        }
        QVERIFY(cut > 50); // most rosters admit more than 35 teams
    }

    // The production search against the plain loops, the user clicking and pressing Stop meanwhile.
    // KORVANE_SEARCH_CASES sets how many rosters (400 by default).
    void sameAsPlainLoops()
    {
        std::mt19937 rng(20261206);
        const int cases = qEnvironmentVariableIsSet("KORVANE_SEARCH_CASES")
                              ? qEnvironmentVariableIntValue("KORVANE_SEARCH_CASES")
                              : 400;
        int listedRuns = 0;
        for (int i = 0; i < cases; ++i) {
            auto [tables, settings] = generate(rng);
            const Run reference = runSearch(search::pickDefenceReference, tables, settings);
            const Run fast = runSearch(search::PickDefence, tables, settings);
            // Replays of the same clicks give the same list.
            QVERIFY(runSearch(search::PickDefence, tables, settings).trace == fast.trace);
            listedRuns += reference.trace.size() > 1 + reference.finalLines.size();
            QVERIFY2(fast.trace == reference.trace, qPrintable(QStringLiteral("generated roster %1 differs").arg(i)));
        }
        QVERIFY(listedRuns > cases / 2); // the generator must produce rosters that list teams
    }
};

QTEST_GUILESS_MAIN(TestEnumeration)
#include "tst_enumeration.moc"
