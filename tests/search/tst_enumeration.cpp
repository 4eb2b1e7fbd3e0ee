// The enumeration: visit order, the spending band, the target, Stop, and the production search
// against the plain nested loops on generated rosters.

#include "searchfixture.h"

#include "noopregion.h"

#include "numbers.h"
#include "rates.h"

#include <QtTest>
#include <random>

using namespace fixture;
using search::Mode;
using search::RowInput;

namespace {

// Every row costs `cost` and scores `pts`; rows 1..last ticked in each position.
search::CandidateTables uniformTables(std::array<int, 4> last, const QString &cost, const QString &pts)
{
    search::RosterInput input = rosterOf(Mode::PointsPerGame);
    for (Position p : roster::AllPositions) {
        for (auto &row : input.rows[roster::index(p)])
            row = RowInput{cost, pts, QString(), false};
        tickRows(input, p, 1, last[roster::index(p)]);
    }
    return search::buildCandidates(input);
}

// One team only: rows 1..share of each position, with the given costs (C1 C2 W1..W4 D1..D3 G1).
search::CandidateTables singleTeam(const QStringList &costs, const QString &pts = "1")
{
    search::RosterInput input = rosterOf(Mode::PointsPerGame);
    int i = 0;
    for (Position p : roster::AllPositions) {
        auto &rows = input.rows[roster::index(p)];
        for (auto &row : rows)
            row = RowInput{"1", pts, QString(), false};
        for (int r = 0; r < search::teamShare(p); ++r)
            rows[static_cast<std::size_t>(r)].cost = costs[i++];
        tickRows(input, p, 1, search::teamShare(p));
    }
    return search::buildCandidates(input);
}

QStringList tenCosts(const QString &c1, const QString &c2, const QString &rest = "1")
{
    QStringList costs{c1, c2};
    while (costs.size() < 10)
        costs << rest;
    return costs;
}

// Mostly plain values, now and then one of the odd texts a roster may hold.
QString cell(std::mt19937 &rng, const QString &plain, std::initializer_list<const char *> odd)
{
    if (rng() % 100 < 88)
        return plain;
    return *(odd.begin() + rng() % odd.size());
}

struct GeneratedCase {
    search::CandidateTables tables;
    RunSettings settings;
};

// The kinds of roster that test a search hardest: lines that sort out of numeric order, many
// lines with the same points and cost, and targets met exactly.
// Points about 0 give the texts "-.01", "." and ".01"; tiny costs are written with an exponent.
// The target can be exactly a team's points, summed as the search sums them.
enum class Family { Plain, Straddle, Identical, Negative, WholePoints, Proportional, NearZero, TinyCosts, TargetAtATeam };

QString pointsFor(std::mt19937 &rng, Family family, int cost)
{
    switch (family) {
    case Family::Plain: return roster::numberToText((20 + rng() % 161) / 100.0);
    case Family::Straddle: return roster::numberToText((90 + rng() % 21) / 100.0); // teams of 9.x and 10.x
    case Family::Identical: return rng() % 2 ? "1.04" : ".94";
    case Family::Negative: return roster::numberToText(-((10 + rng() % 171) / 100.0));
    case Family::WholePoints: return QString::number(1 + rng() % 2);
    case Family::Proportional: return roster::numberToText(cost / 10.0);
    case Family::NearZero: return *(std::initializer_list<const char *>{"0", "-0", ".001", "-.01", ".01", ".004", "-.00"}.begin() + rng() % 7);
    case Family::TinyCosts: return roster::numberToText((1 + rng() % 30) / 100.0);
    case Family::TargetAtATeam: return roster::numberToText((1 + rng() % 30) / 10.0);
    }
    return {};
}

GeneratedCase generate(std::mt19937 &rng)
{
    GeneratedCase out;
    const auto family = Family(rng() % 9);
    const Mode mode = rng() % 2 ? Mode::PointsPerGame : Mode::PointsPerWeek;
    search::RosterInput input = rosterOf(mode);
    static constexpr int cap[] = {8, 8, 7, 5};
    const bool sameRows = family == Family::Identical && rng() % 2;
    const QString sharedPoints = pointsFor(rng, family, 5);
    for (Position p : roster::AllPositions) {
        const int m = search::teamShare(p);
        auto &rows = input.rows[roster::index(p)];
        for (auto &row : rows) {
            const int whole = family == Family::Identical ? 5 : int(1 + rng() % 15);
            // A fifth of the costs carry decimals: tenths, whose sums land beside the band's whole
            // edges by a rounding, and 7 significant digits.
            QString cost = QString::number(whole) + (rng() % 5 || family == Family::Identical ? "" : *(std::initializer_list<const char *>{".5", ".25", ".1", ".7", ".234567"}.begin() + rng() % 5));
            if (family == Family::TinyCosts)
                cost = *(std::initializer_list<const char *>{"1E-5", "2E-5", "3E-6", ".001", "0", "1"}.begin() + rng() % 6);
            const QString points = sameRows ? sharedPoints : pointsFor(rng, family, whole);
            row.cost = family == Family::Plain ? cell(rng, cost, {"", "abc", "-3", "0", "1E1", "99", "7.", "1,50", "9E99"}) : cost;
            row.points = family == Family::Plain ? cell(rng, points, {"", "x", "-1", "2.5", "1E1", ".05"}) : points;
            const QString games = family == Family::Identical ? "1" : QString::number(2 + rng() % 3);
            row.rate = roster::cutToWidth(roster::rateText(row.points, games), roster::RateWidth);
        }
        const unsigned span = unsigned(cap[roster::index(p)] - m + 1);
        const int last = m + int(std::max(rng() % span, rng() % span));
        const int held = rng() % 3 == 0 ? int(rng() % unsigned(m + 1)) : 0;
        tickRows(input, p, held + 1, last == m ? m : last);
    }
    out.tables = search::buildCandidates(input);
    // Money and target around those of the team of every position's first rows, so that the
    // band and the target cut through the roster's teams.
    double cost = 0, pts = 0;
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= search::teamShare(p); ++r) {
            cost += out.tables[p].cost[r];
            pts += out.tables[p].pts[r];
        }
    const int money = std::clamp(int(std::clamp(cost, 0.0, 1000.0)) + int(rng() % 25) - 5, 10, 200); // 9E99 costs too
    out.settings.cashLimit = qint16(money + 1);
    out.settings.minSpend = qint16(money * int(70 + rng() % 26) / 100); // the band's floor: 70-95 per cent
    switch (family) {
    case Family::Identical: out.settings.target = float(rng() % 3); break;
    case Family::WholePoints: out.settings.target = float(std::round(pts)) - float(rng() % 2); break;
    case Family::Negative: out.settings.target = rng() % 2 ? -100.f : float(pts * 1.1); break;
    case Family::NearZero: out.settings.target = rng() % 2 ? -1.f : -0.5f; break;
    case Family::TargetAtATeam: {
        // The team of the first candidate rows, Centres + Wingers + Defence + Goalie, each group
        // summed row by row in single precision.
        std::array<float, 4> group{};
        for (Position p : roster::AllPositions) {
            const auto &t = out.tables[p];
            float sum = t.pts[1];
            for (int r = 2; r <= t.share; ++r)
                sum = sum + t.pts[std::size_t(r)];
            group[std::size_t(roster::index(p))] = sum;
        }
        out.settings.target = ((group[0] + group[1]) + group[2]) + group[3];
        break;
    }
    default: out.settings.target = float(pts * (0.6 + (rng() % 45) / 100.0));
    }
    if (family == Family::TinyCosts) { // money 0: teams costing less than 1 and more than 0
        out.settings.cashLimit = 1;
        out.settings.minSpend = 0;
    }
    out.settings.top35 = rng() % 4 != 0;
    out.settings.ptsLen = rng() % 3 == 0 ? 4 : 0;
    out.settings.capacity = 3000;

    // What the user does at a few Winger-pair yields: click the box, a mode button, Stop.
    struct Click {
        int atYield;
        int what; // 0 the box, 1 "Pts/G Mode", 2 "Pts/W Mode", 3 Stop
    };
    std::vector<Click> clicks;
    const int count = int(rng() % 5);
    for (int i = 0; i < count; ++i)
        clicks.push_back({1 + int(rng() % (rng() % 2 ? 20 : 150)), rng() % 6 == 0 ? 3 : int(rng() % 3)});
    out.settings.onPairYield = [clicks](int yields, UserActions &user) {
        for (const Click &c : clicks) {
            if (c.atYield != yields)
                continue;
            switch (c.what) {
            case 0: user.clickTop35(); break;
            case 1: user.clickMode(Mode::PointsPerGame); break;
            case 2: user.clickMode(Mode::PointsPerWeek); break;
            default: user.pressStop();
            }
        }
    };
    return out;
}

void compareRuns(const Run &fast, const Run &reference)
{
    QCOMPARE(fast.examined, reference.examined);
    QCOMPARE(fast.inserted.size(), reference.inserted.size());
    for (std::size_t i = 0; i < fast.inserted.size(); ++i) {
        QCOMPARE(fast.inserted[i], reference.inserted[i]);
        QCOMPARE(fast.examinedAtInsert[i], reference.examinedAtInsert[i]);
    }
    QCOMPARE(fast.finalLines, reference.finalLines);
    QCOMPARE(fast.target, reference.target);
    QCOMPARE(fast.ptsLen, reference.ptsLen);
}

} // namespace

class TestEnumeration : public QObject {
    Q_OBJECT

private slots:
    void visitOrder()
    {
        const auto tables = uniformTables({3, 4, 3, 2}, "1", "1");
        const Run run = runSearch(search::PickDefence, tables, {11, 0, -1, false, 0, search::MaxResultLines, {}, {}});
        const std::vector<std::string> expected{
            "10. -- 10 -- 1 2 - 1 2 3 4 - 1 2 3 - 1", "10. -- 10 -- 1 2 - 1 2 3 4 - 1 2 3 - 2",
            "10. -- 10 -- 1 3 - 1 2 3 4 - 1 2 3 - 1", "10. -- 10 -- 1 3 - 1 2 3 4 - 1 2 3 - 2",
            "10. -- 10 -- 2 3 - 1 2 3 4 - 1 2 3 - 1", "10. -- 10 -- 2 3 - 1 2 3 4 - 1 2 3 - 2"};
        QCOMPARE(run.inserted, expected);
        QCOMPARE(run.examinedAtInsert, (std::vector<qint64>{1, 2, 3, 4, 5, 6}));
        QCOMPARE(run.examined, qint64(6));
    }

    void spendingBand_data()
    {
        QTest::addColumn<QStringList>("costs");
        QTest::addColumn<int>("cashLimit");
        QTest::addColumn<int>("minSpend");
        QTest::addColumn<float>("target");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<QString>("costText");

        // Ten players costing 100 each: a team of 1000.
        const QStringList thousand = tenCosts("100", "100", "100");
        QTest::newRow("cost equals the money") << thousand << 1001 << 901 << 0.f << true << "1000";
        QTest::newRow("cost equals MinSpend") << tenCosts("100", "1", "100") << 1001 << 901 << 0.f << false << "";
        QTest::newRow("cost one above MinSpend") << tenCosts("100", "2", "100") << 1001 << 901 << 0.f << true << "902";
        QTest::newRow("half above the money") << tenCosts("100", "100.5", "100") << 1001 << 901 << 0.f << true << "1000.5";
        QTest::newRow("points equal the target") << thousand << 1001 << 901 << 10.f << false << "";
        QTest::newRow("first cost 10.5 counts 10") << tenCosts("10.5", "0", "0") << 11 << 10 << 0.f << false << "";
        QTest::newRow("first cost 11.5 counts 12") << tenCosts("11.5", "0", "0") << 13 << 11 << 0.f << true << "12";
        QTest::newRow("second cost 10.5 counts 10.5") << tenCosts("0", "10.5", "0") << 11 << 10 << 0.f << true << "10.5";
        QTest::newRow("second cost 11.5 counts 11.5") << tenCosts("0", "11.5", "0") << 12 << 11 << 0.f << true << "11.5";
        // A first cost with no 16-bit whole number counts its full value, never 0.
        QTest::newRow("first cost 9E99 is not free") << tenCosts("9E99", "1") << 51 << 0 << 0.f << false << "";
        QTest::newRow("second cost 9E99") << tenCosts("1", "9E99") << 51 << 0 << 0.f << false << "";
        QTest::newRow("Goalie cost 9E99 is not free") << (tenCosts("1", "1").mid(0, 9) << "9E99") << 51 << 0 << 0.f << false << "";
        QTest::newRow("first cost -9E9 below the spend") << tenCosts("-9E9", "1") << 51 << 0 << 0.f << false << "";
        QTest::newRow("first cost 4E4 above the money") << tenCosts("4E4", "1") << 32767 << 0 << 0.f << false << "";
        QTest::newRow("a cost that is no number counts 0") << tenCosts("abc", "1") << 51 << 0 << 0.f << true << "9";
    }

    void spendingBand()
    {
        QFETCH(QStringList, costs);
        QFETCH(int, cashLimit);
        QFETCH(int, minSpend);
        QFETCH(float, target);
        QFETCH(bool, listed);
        QFETCH(QString, costText);
        for (Engine engine : {search::PickDefenceReference, search::PickDefence}) {
            const Run run = runSearch(engine, singleTeam(costs), {qint16(cashLimit), qint16(minSpend), target, true, 0, search::MaxResultLines, {}, {}});
            QCOMPARE(run.examined, qint64(1));
            QCOMPARE(run.finalLines.size(), std::size_t(listed ? 1 : 0));
            if (listed)
                QCOMPARE(QString::fromStdString(run.finalLines[0]).section(" -- ", 1, 1), costText);
        }
    }

    // Stop handled inside the yield after a listed line: the Centre and Goalie passes of the
    // current Winger combination are still visited, nothing after them.
    void stopAfterListedLine()
    {
        const auto tables = uniformTables({4, 6, 4, 3}, "1", "1");
        RunSettings settings{11, 0, -1, false, 0, search::MaxResultLines, {}, {}};
        settings.onYield = [](std::size_t, search::SearchState &s) { s.StopRequested = s.Examined > 0; };
        for (Engine engine : {search::PickDefenceReference, search::PickDefence}) {
            const Run run = runSearch(engine, tables, settings);
            // 6 Centre pairs x 3 Goalies of the first Winger combination, every one listed.
            QCOMPARE(run.examined, qint64(18));
            QCOMPARE(run.finalLines.size(), std::size_t(18));
        }
    }

    void stopDuringPairYield()
    {
        const auto tables = uniformTables({4, 6, 4, 3}, "1", "1");
        RunSettings settings{0, 0, 1000, false, 0, search::MaxResultLines, {}, {}}; // nothing listed: only the pair yields
        settings.onPairYield = [](int yields, UserActions &user) {
            if (yields == 3)
                user.pressStop();
        };
        for (Engine engine : {search::PickDefenceReference, search::PickDefence}) {
            const Run run = runSearch(engine, tables, settings);
            // Pairs (1,2) and (1,3) ran their Winger combinations: 6 + 3 of them, 18 teams each.
            QCOMPARE(run.examined, qint64(9 * 18));
        }
    }

    // "Only Show Top 35" clicked at a Winger-pair yield: teams the ticked box would have trimmed
    // away are listed from then on.
    void top35ClickedDuringSearch_data()
    {
        QTest::addColumn<QList<int>>("clicks"); // pair yields at which the box is clicked
        QTest::addColumn<int>("stopAt");        // 0: no Stop
        QTest::addColumn<QString>("mustHold");  // a line the final list holds

        const QString best = "10.26 -- 83 -- 1 6 - 2 6 7 8 - 1 4 5 - 3";
        QTest::newRow("unticked at the 110th yield") << QList<int>{110} << 0 << best;
        QTest::newRow("unticked, then Stop") << QList<int>{110} << 200 << best;
        QTest::newRow("unticked, ticked again") << QList<int>{110, 250} << 0 << QString();
    }

    void top35ClickedDuringSearch()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, stopAt);
        QFETCH(QString, mustHold);
        LoadedRoster loaded = rosterFromFile(QStringLiteral(KORVANE_DATA_DIR "/../bench/rosters/straddle.txt"), Mode::PointsPerGame);
        QCOMPARE(loaded.money, QStringLiteral("90"));
        QCOMPARE(loaded.target, QStringLiteral("5"));
        tickRows(loaded.input, Position::C, 1, 6);
        tickRows(loaded.input, Position::W, 1, 8);
        tickRows(loaded.input, Position::D, 1, 6);
        tickRows(loaded.input, Position::G, 1, 4);
        const auto tables = search::buildCandidates(loaded.input);
        RunSettings settings{91, 82, 5, true, 0, search::MaxResultLines, {}, {}}; // money 90, 90 %
        settings.onPairYield = [&](int yields, UserActions &user) {
            if (clicks.contains(yields))
                user.clickTop35();
            if (yields == stopAt)
                user.pressStop();
        };
        const Run reference = runSearch(search::PickDefenceReference, tables, settings);
        const Run fast = runSearch(search::PickDefence, tables, settings);
        compareRuns(fast, reference);
        if (!mustHold.isEmpty())
            QVERIFY(std::count(fast.finalLines.begin(), fast.finalLines.end(), mustHold.toStdString()) == 1);
    }

    // Where the points or cost texts of a run of values fall against the first line's, as the
    // list orders lines: the highest class any value in the run reaches.
    void textClasses_data()
    {
        QTest::addColumn<bool>("points"); // else the cost text
        QTest::addColumn<QString>("key");
        QTest::addColumn<float>("lo");
        QTest::addColumn<float>("hi");
        QTest::addColumn<int>("highest"); // TextClass

        using C = search::TextClass;
        QTest::newRow("same text") << true << "10.4" << 10.4f << 10.4f << int(C::Tie);
        QTest::newRow("10.x before 10.4") << true << "10.4" << 10.0f << 10.39f << int(C::Below);
        QTest::newRow("10.41 after") << true << "10.4" << 10.41f << 10.41f << int(C::Above);
        QTest::newRow("9.5 after 10.4") << true << "10.4" << 9.5f << 9.5f << int(C::Above);
        QTest::newRow("across 10: 9.99 after 9.95") << true << "9.95" << 9.9f << 10.1f << int(C::Above);
        QTest::newRow("10.x before 9.95") << true << "9.95" << 10.0f << 10.1f << int(C::Below);
        QTest::newRow("-10.2 before -10.5") << true << "-10.5" << -10.2f << -10.2f << int(C::Below);
        QTest::newRow("-10.9 to -10.6 after -10.5") << true << "-10.5" << -10.9f << -10.6f << int(C::Above);
        QTest::newRow("about 0 reads .") << true << "." << -0.004f << 0.004f << int(C::Tie);
        QTest::newRow("-.01 before .") << true << "." << -0.01f << -0.01f << int(C::Below);
        QTest::newRow("cost up to the key") << false << "50" << 49.f << 50.f << int(C::Tie);
        QTest::newRow("cost 50.5 after 50") << false << "50" << 50.5f << 50.5f << int(C::Above);
        QTest::newRow("cost 100 before 50") << false << "50" << 100.f << 100.f << int(C::Below);
        QTest::newRow("cost with an exponent") << false << "50" << 1e-5f << 1e-5f << int(C::Unknown);
    }

    void textClasses()
    {
        QFETCH(bool, points);
        QFETCH(QString, key);
        QFETCH(float, lo);
        QFETCH(float, hi);
        QFETCH(int, highest);
        search::TextClasses classes = points ? search::TextClasses(search::pointsText, search::pointsTextShape)
                                             : search::TextClasses(search::costText, search::costTextShape);
        classes.setKey(key.toStdString());
        QCOMPARE(int(classes.highest(lo, hi)), highest);
    }

    void fullRosterCount()
    {
        const auto tables = uniformTables({20, 20, 15, 15}, "1", "1");
        QCOMPARE(search::exactTeamCount(tables), 6282753750.0);
        // Nothing fits the band: every block is skipped and still counted.
        const Run run = runSearch(search::PickDefence, tables, {5, 0, 0, true, 0, search::MaxResultLines, {}, {}});
        QCOMPARE(run.examined, qint64(6282753750));
    }

    // The production search against the plain loops on a few hundred generated rosters, with the
    // user clicking the box, the mode buttons and Stop while it runs.
    void sameAsPlainLoops()
    {
        std::mt19937 rng(20261206);
        int listedRuns = 0;
        for (int i = 0; i < 400; ++i) {
            GeneratedCase c = generate(rng);
            if (i % 10 == 0) { // now and then Stop arrives in the yield after a listed line
                const std::size_t at = 1 + rng() % 50;
                c.settings.onYield = [at](std::size_t inserted, search::SearchState &s) {
                    if (inserted == at)
                        s.StopRequested = true;
                };
            }
            const Run reference = runSearch(search::PickDefenceReference, c.tables, c.settings);
            const Run fast = runSearch(search::PickDefence, c.tables, c.settings);
            if (!reference.inserted.empty())
                ++listedRuns;
            compareRuns(fast, reference);
            if (QTest::currentTestFailed()) {
                qWarning("generated roster %d differs", i);
                return;
            }
        }
        QVERIFY(listedRuns > 200); // the generator must produce rosters that list teams
    }
};

QTEST_GUILESS_MAIN(TestEnumeration)
#include "tst_enumeration.moc"
