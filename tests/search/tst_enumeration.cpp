// The enumeration: visit order, the spending band, the target, Stop, and the production search
// against the plain nested loops on generated rosters.

#include "searchfixture.h"

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

GeneratedCase generate(std::mt19937 &rng)
{
    GeneratedCase out;
    const Mode mode = rng() % 2 ? Mode::PointsPerGame : Mode::PointsPerWeek;
    search::RosterInput input = rosterOf(mode);
    static constexpr int cap[] = {8, 8, 7, 5};
    for (Position p : roster::AllPositions) {
        const int m = search::teamShare(p);
        auto &rows = input.rows[roster::index(p)];
        for (auto &row : rows) {
            const QString cost = QString::number(1 + rng() % 15) + (rng() % 5 ? "" : rng() % 2 ? ".5" : ".25");
            row.cost = cell(rng, cost, {"", "abc", "-3", "0", "1E1", "99", "7.", "1,50"});
            row.points = cell(rng, roster::numberToText((20 + rng() % 161) / 100.0), {"", "x", "-1", "2.5", "1E1", ".05"});
            const QString games = QString::number(2 + rng() % 3);
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
    const int money = std::clamp(int(cost) + int(rng() % 25) - 5, 10, 200);
    const float percent = float(70 + rng() % 26);
    out.settings.cashLimit = qint16(money + 1);
    out.settings.minSpend = *roster::roundToInt16(double(float(out.settings.cashLimit) * percent / 100.0f));
    out.settings.target = float(pts * (0.6 + (rng() % 45) / 100.0));
    out.settings.top35 = rng() % 4 != 0;
    out.settings.ptsLen = rng() % 3 == 0 ? 4 : 0;
    out.settings.capacity = 3000;
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
        const Run run = runSearch(search::PickDefence, tables, {11, 0, -1, false, 0, search::MaxResultLines, {}});
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
            const Run run = runSearch(engine, singleTeam(costs), {qint16(cashLimit), qint16(minSpend), target, true, 0, search::MaxResultLines, {}});
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
        RunSettings settings{11, 0, -1, false, 0, search::MaxResultLines, {}};
        settings.onYield = [](int, search::SearchState &s) { s.StopRequested = s.Examined > 0; };
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
        RunSettings settings{0, 0, 1000, false, 0, search::MaxResultLines, {}}; // nothing listed: only the pair yields
        settings.onYield = [](int yields, search::SearchState &s) {
            if (yields == 3)
                s.StopRequested = true;
        };
        for (Engine engine : {search::PickDefenceReference, search::PickDefence}) {
            const Run run = runSearch(engine, tables, settings);
            // Pairs (1,2) and (1,3) ran their Winger combinations: 6 + 3 of them, 18 teams each.
            QCOMPARE(run.examined, qint64(9 * 18));
        }
    }

    void fullRosterCount()
    {
        const auto tables = uniformTables({20, 20, 15, 15}, "1", "1");
        QCOMPARE(search::exactTeamCount(tables), 6282753750.0);
        // Nothing fits the band: every block is skipped and still counted.
        const Run run = runSearch(search::PickDefence, tables, {5, 0, 0, true, 0, search::MaxResultLines, {}});
        QCOMPARE(run.examined, qint64(6282753750));
    }

    // The production search against the plain loops on a few hundred generated rosters.
    void sameAsPlainLoops()
    {
        std::mt19937 rng(20261206);
        int listedRuns = 0;
        for (int i = 0; i < 300; ++i) {
            GeneratedCase c = generate(rng);
            if (i % 10 == 0) { // now and then Stop arrives at some yield
                const int at = 1 + int(rng() % 50);
                c.settings.onYield = [at](int yields, search::SearchState &s) {
                    if (yields == at)
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
        QVERIFY(listedRuns > 100); // the generator must produce rosters that list teams
    }
};

QTEST_GUILESS_MAIN(TestEnumeration)
#include "tst_enumeration.moc"
