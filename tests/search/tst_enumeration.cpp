// The enumeration: the spending band, the target, text classes, and the production search
// against the plain nested loops on generated rosters, with the user clicking while it runs.

#include "searchfixture.h"

#include "noopregion.h"

#include "numbers.h"
#include "rates.h"
#include "rosterfile.h"

#include <QFile>
#include <QtTest>
#include <functional>
#include <random>

using namespace fixture;
using search::Mode;

namespace {

// What one search did: the lines really inserted, with Examined at that moment, and the outcome.
struct Run {
    std::vector<std::string> inserted;
    std::vector<qint64> examinedAtInsert;
    std::vector<std::string> finalLines;
    qint64 examined = 0;
    float target = 0;
    int ptsLen = 0;
};

class UserActions;

struct RunSettings {
    qint16 cashLimit = 0;
    qint16 minSpend = 0;
    float target = 0;
    bool top35 = true;
    int ptsLen = 0;
    std::size_t capacity = search::MaxResultLines;
    // At every yield, given the lines inserted so far; may set StopRequested.
    std::function<void(std::size_t inserted, search::SearchState &)> onYield;
    // At a Winger-pair yield (both searches make them at the same Examined), given their count.
    std::function<void(int pairYields, UserActions &)> onPairYield;
};

// The clicks a user can make while a search runs, with the window's rules: the mode buttons are
// locked until Stop unlocks them, "Pts/W Mode" ticks "Only Show Top 35", and ticking the box
// cuts a longer list to 35 lines at once.
class UserActions {
public:
    UserActions(search::SortedLines &lines, search::SearchState &state, bool &top35)
        : lines_(lines), state_(state), top35_(top35) {}
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
    void clickMode(Mode mode)
    {
        if (unlocked_ && mode == Mode::PointsPerWeek && !top35_)
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
        : ResultList(lines, state, ptsLen), state_(state), run_(run) {}
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

Run runSearch(Engine engine, const search::CandidateTables &tables, const RunSettings &settings)
{
    Run run;
    search::SortedLines lines;
    search::SearchState state;
    state.CashLimit = settings.cashLimit;
    state.MinSpend = settings.minSpend;
    state.Target = settings.target;
    run.ptsLen = settings.ptsLen;
    RecordingHost host(lines, state, run.ptsLen, run);
    bool top35 = settings.top35;
    host.top35Ticked = [&] { return top35; };
    host.capacity = settings.capacity;
    host.yield = [&] {
        if (settings.onYield)
            settings.onYield(host.inserted(), state);
    };
    UserActions user(lines, state, top35);
    int pairYields = 0;
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
    return run;
}

// One team only: rows 1..share of each position, costing c1 and c2 (the Centres), then `rest`.
search::CandidateTables singleTeam(const QString &c1, const QString &c2, const QString &rest, const QString &goalie)
{
    search::RosterInput input = rosterOf(Mode::PointsPerGame);
    QStringList costs{c1, c2};
    while (costs.size() < 9)
        costs << rest;
    costs << goalie;
    int i = 0;
    for (Position p : roster::AllPositions) {
        auto &rows = input.rows[roster::index(p)];
        for (int r = 0; r < search::teamShare(p); ++r)
            rows[std::size_t(r)] = search::RowInput{costs[i++], "1", QString(), false};
        tickRows(input, p, 1, search::teamShare(p));
    }
    return search::buildCandidates(input);
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
    QCOMPARE(fast.inserted, reference.inserted);
    QCOMPARE(fast.examinedAtInsert, reference.examinedAtInsert);
    QCOMPARE(fast.finalLines, reference.finalLines);
    QCOMPARE(fast.target, reference.target);
    QCOMPARE(fast.ptsLen, reference.ptsLen);
}

} // namespace

class TestEnumeration : public QObject {
    Q_OBJECT

private slots:
    // One team, both searches: listed only above the band's floor, below the money plus one and
    // above the target. A first cost with no 16-bit whole number counts its full value, never 0.
    void spendingBand_data()
    {
        QTest::addColumn<QStringList>("costs"); // Centre 1, Centre 2, every other row, the Goalie
        QTest::addColumn<int>("cashLimit");
        QTest::addColumn<int>("minSpend");
        QTest::addColumn<float>("target");
        QTest::addColumn<QString>("costText"); // empty: not listed
        QTest::newRow("cost equals the money") << QStringList{"100", "100", "100", "100"} << 1001 << 901 << 0.f << "1000";
        QTest::newRow("cost equals MinSpend") << QStringList{"100", "1", "100", "100"} << 1001 << 901 << 0.f << "";
        QTest::newRow("cost one above MinSpend") << QStringList{"100", "2", "100", "100"} << 1001 << 901 << 0.f << "902";
        QTest::newRow("half above the money") << QStringList{"100", "100.5", "100", "100"} << 1001 << 901 << 0.f << "1000.5";
        QTest::newRow("points equal the target") << QStringList{"100", "100", "100", "100"} << 1001 << 901 << 10.f << "";
        QTest::newRow("first cost 11.5 counts 12") << QStringList{"11.5", "0", "0", "0"} << 13 << 11 << 0.f << "12";
        QTest::newRow("second cost 10.5 counts 10.5") << QStringList{"0", "10.5", "0", "0"} << 11 << 10 << 0.f << "10.5";
        QTest::newRow("first cost 9E99 is not free") << QStringList{"9E99", "1", "1", "1"} << 51 << 0 << 0.f << "";
        QTest::newRow("second cost 9E99") << QStringList{"1", "9E99", "1", "1"} << 51 << 0 << 0.f << "";
        QTest::newRow("Goalie cost 9E99 is not free") << QStringList{"1", "1", "1", "9E99"} << 51 << 0 << 0.f << "";
        QTest::newRow("first cost -9E9 below the spend") << QStringList{"-9E9", "1", "1", "1"} << 51 << 0 << 0.f << "";
        QTest::newRow("first cost 4E4 above the money") << QStringList{"4E4", "1", "1", "1"} << 32767 << 0 << 0.f << "";
    }

    void spendingBand()
    {
        QFETCH(QStringList, costs);
        QFETCH(QString, costText);
        QFETCH(int, cashLimit);
        QFETCH(int, minSpend);
        QFETCH(float, target);
        for (Engine engine : {search::PickDefenceReference, search::PickDefence}) {
            const Run run = runSearch(engine, singleTeam(costs[0], costs[1], costs[2], costs[3]), {qint16(cashLimit), qint16(minSpend), target, true, 0, search::MaxResultLines, {}, {}});
            QCOMPARE(run.examined, qint64(1));
            QCOMPARE(run.finalLines.size(), std::size_t(costText.isEmpty() ? 0 : 1));
            if (!costText.isEmpty())
                QCOMPARE(QString::fromStdString(run.finalLines[0]).section(" -- ", 1, 1), costText);
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
        // The bench's roster as the window loads it: each value cut to its field, the rate from
        // points and games.
        QFile file(QStringLiteral(KORVANE_DATA_DIR "/../bench/rosters/straddle.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList values = roster::readRoster(file.readAll()).values;
        search::RosterInput input = rosterOf(Mode::PointsPerGame);
        int at = 3;
        for (auto &rows : input.rows)
            for (auto &row : rows) {
                row.cost = roster::cutToWidth(values.value(at), roster::CostWidth);
                row.points = roster::cutToWidth(values.value(at + 1), roster::PointsWidth);
                row.rate = roster::cutToWidth(roster::rateText(row.points, roster::cutToWidth(values.value(at + 2), roster::GamesWidth)), roster::RateWidth);
                at += 4;
            }
        for (auto [p, last] : {std::pair{Position::C, 6}, {Position::W, 8}, {Position::D, 6}, {Position::G, 4}})
            tickRows(input, p, 1, last);
        const auto tables = search::buildCandidates(input);
        RunSettings settings{91, 82, 5, true, 0, search::MaxResultLines, {}, {}}; // money 90, MinSpend 90 %
        settings.onPairYield = [&](int yields, UserActions &user) {
            if (clicks.contains(yields))
                user.clickTop35();
            if (yields == stopAt)
                user.pressStop();
        };
        const Run fast = runSearch(search::PickDefence, tables, settings);
        compareRuns(fast, runSearch(search::PickDefenceReference, tables, settings));
        if (!mustHold.isEmpty())
            QCOMPARE(std::count(fast.finalLines.begin(), fast.finalLines.end(), mustHold.toStdString()), 1);
    }

    // Where the points or cost texts of a run of values fall against the first line's, as the
    // list orders lines: the highest class any value in the run reaches. And whether every
    // points value of a run gives a line sorting before the first ('r': the no-op region).
    void textClasses_data()
    {
        QTest::addColumn<char>("texts"); // 'p' points, 'c' costs, 'r' the no-op region
        QTest::addColumn<QString>("key");
        QTest::addColumn<float>("lo");
        QTest::addColumn<float>("hi");
        QTest::addColumn<int>("answer"); // TextClass, or 1 when the region covers the run

        using C = search::TextClass;
        QTest::newRow("same text") << 'p' << "10.4" << 10.4f << 10.4f << int(C::Tie);
        QTest::newRow("10.x before 10.4") << 'p' << "10.4" << 10.0f << 10.39f << int(C::Below);
        QTest::newRow("10.41 after") << 'p' << "10.4" << 10.41f << 10.41f << int(C::Above);
        QTest::newRow("9.5 after 10.4") << 'p' << "10.4" << 9.5f << 9.5f << int(C::Above);
        QTest::newRow("across 10: 9.99 after 9.95") << 'p' << "9.95" << 9.9f << 10.1f << int(C::Above);
        QTest::newRow("10.x before 9.95") << 'p' << "9.95" << 10.0f << 10.1f << int(C::Below);
        QTest::newRow("-10.2 before -10.5") << 'p' << "-10.5" << -10.2f << -10.2f << int(C::Below);
        QTest::newRow("-10.9 to -10.6 after -10.5") << 'p' << "-10.5" << -10.9f << -10.6f << int(C::Above);
        QTest::newRow("about 0 reads .") << 'p' << "." << -0.004f << 0.004f << int(C::Tie);
        QTest::newRow("-.01 before .") << 'p' << "." << -0.01f << -0.01f << int(C::Below);
        QTest::newRow("cost up to the key") << 'c' << "50" << 49.f << 50.f << int(C::Tie);
        QTest::newRow("cost 50.5 after 50") << 'c' << "50" << 50.5f << 50.5f << int(C::Above);
        QTest::newRow("cost 100 before 50") << 'c' << "50" << 100.f << 100.f << int(C::Below);
        QTest::newRow("cost with an exponent") << 'c' << "50" << 1e-5f << 1e-5f << int(C::Unknown);
        // 10.3949947 has 7 digits 10.39499 and reads 10.39; the next float, 10.3949957, reads 10.4.
        QTest::newRow("region up to 10.39 before 10.4") << 'r' << "10.4 " << 10.f << 10.3949947f << 1;
        QTest::newRow("region reaching 10.4 is not") << 'r' << "10.4 " << 10.f << 10.3949957f << 0;
    }

    void textClasses()
    {
        QFETCH(char, texts);
        QFETCH(QString, key);
        QFETCH(float, lo);
        QFETCH(float, hi);
        if (texts == 'r') {
            QTEST(int(search::NoOpRegion().covers(key.toStdString(), lo, hi)), "answer");
            return;
        }
        search::TextClasses classes = texts == 'p' ? search::TextClasses(search::pointsText, search::pointsTextShape)
                                                   : search::TextClasses(search::costText, search::costTextShape);
        classes.setKey(key.toStdString());
        QTEST(int(classes.highest(lo, hi)), "answer");
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
            listedRuns += !reference.inserted.empty();
            compareRuns(fast, reference);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("generated roster %1 differs").arg(i)));
        }
        QVERIFY(listedRuns > 200); // the generator must produce rosters that list teams
    }
};

QTEST_GUILESS_MAIN(TestEnumeration)
#include "tst_enumeration.moc"
