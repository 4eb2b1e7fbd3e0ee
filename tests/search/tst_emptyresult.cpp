// Why a search listed nothing: the cheapest and dearest team as the search sums them, the best
// points inside the band against the plain nested loops, and the sentences the user reads.
#include "searchfixture.h"

#include "emptyresult.h"

#include <QTest>
#include <limits>

using namespace fixture;

namespace {

// The most points of any team inside the band, from the plain nested loops listing every team.
struct BestOfAll : search::SearchHost {
    void listTeam(float pts, float, const search::TeamRows &) override { best = best ? std::max(*best, pts) : pts; }
    void yieldToEvents() override {}
    std::optional<float> best;
};

} // namespace

class TestEmptyResult : public QObject {
    Q_OBJECT
private slots:
    // The search raising its own target finds the best in every band, as the plain loops do.
    void bestInBandAgainstPlainLoops()
    {
        search::RosterInput input = rosterOf(search::Mode::PointsPerGame);
        unsigned seed = 7;
        const auto next = [&seed](int n) { return int((seed = seed * 1103515245u + 12345u) / 65536u % unsigned(n)); };
        for (auto &rows : input.rows)
            for (auto &row : rows) {
                row.cost = QString::number(next(12) + (next(3) == 0 ? 0.5 : 0));
                row.points = QString::number(next(400) / 100.0);
            }
        for (auto [p, last] : {std::pair{Position::C, 8}, {Position::W, 9}, {Position::D, 7}, {Position::G, 4}})
            tickRows(input, p, 1, last);
        const search::CandidateTables tables = search::buildCandidates(input);
        for (const auto &[cashLimit, minSpend] :
             {std::pair<qint16, qint16>{61, 55}, {40, 30}, {20, 5}, {90, 80}, {100, 95}, {31, 29}, {15, 0}}) {
            BestOfAll all;
            search::SearchState state{cashLimit, minSpend, -std::numeric_limits<float>::infinity()};
            search::PickDefenceReference(tables, state, all);
            const search::BandBest found = search::bestInBand(tables, cashLimit, minSpend, std::chrono::minutes(1));
            QVERIFY(found.complete);
            QCOMPARE(found.best, all.best);
        }
    }

    // Teams of `tens` cost 10 (Goalie row 1, 0.5 points) or 12 (Goalie row 2, 4 points); Centres
    // add 3, 4 or 5 points, the rest 7. The cheapest and dearest teams as the search sums them:
    // first costs rounded to whole numbers, halves to even, and held rows in every team.
    void explanation_data()
    {
        QTest::addColumn<QString>("roster");
        QTest::addColumn<int>("cashLimit");
        QTest::addColumn<int>("minSpend");
        QTest::addColumn<float>("target");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("budget"); // milliseconds
        QTest::addColumn<QString>("sentence");
        const QString tens = "C:1/1,1/2,1/3 W:1,1,1,1 D:1,1,1 G:1/0.5,3/4";
        const auto row = [&](const char *name, int cashLimit, int minSpend, float target, const QString &sentence,
                             bool stopped = false, int budget = 1000, const QString &roster = {}) {
            QTest::newRow(name) << (roster.isEmpty() ? tens : roster) << cashLimit << minSpend << target << stopped << budget
                                << sentence;
        };
        const QString rounded = "C:2.5,1.5,9,9 W:1,1,1,1 D:1,1,1 G:0.5,7"; // Centres 2+1.5 or 9+9, the Goalie 0 or 7
        row("rounded first costs: the cheapest", 10, 5, 0,
            "No team's cost lies inside the spending band (above 5 and below 10): "
            "the cheapest possible team costs 10.5.",
            false, 1000, rounded);
        row("rounded first costs: the dearest", 40, 32, 0,
            "No team's cost lies inside the spending band (above 32 and below 40): "
            "the dearest possible team costs 32.",
            false, 1000, rounded);
        row("a held Centre", 14, 5, 0,
            "No team's cost lies inside the spending band (above 5 and below 14): "
            "the cheapest possible team costs 14.",
            false, 1000, "C:!5,1,2,3 W:1,1,1,1 D:1,1,1 G:1");
        row("negative and fractional costs", 20, 13, 0,
            "No team's cost lies inside the spending band (above 13 and below 20): "
            "the dearest possible team costs 13.",
            false, 1000, "C:-3,0.25,4 W:1,1,1,1,-2 D:1,1,1 G:2,-1.5");
        row("stopped", 11, 9, 20, "The search was stopped before it listed any team.", true);
        row("every team too dear", 10, 5, 0,
            "No team's cost lies inside the spending band (above 5 and below 10): the cheapest possible team costs 10.");
        row("every team too cheap", 20, 12, 0,
            "No team's cost lies inside the spending band (above 12 and below 20): the dearest possible team costs 12.");
        row("the band between two costs", 12, 10, 0,
            "No team's cost lies inside the spending band (above 10 and below 12): the nearest possible teams cost 10 and "
            "12.");
        row("a floor at the money plus one", 12, 12, 0,
            "No team can cost more than 12 and less than 12: the minimum percentage asks for more than the money.");
        row("best inside the band below the target", 11, 9, 20,
            "The best team inside the spending band (above 9 and below 11) scores 12.5, not above the target 20.");
        row("no time to look", 11, 9, 20.5f,
            "No team inside the spending band (above 9 and below 11) scores above the target 20.5.", false, 0);
    }
    void explanation()
    {
        QFETCH(QString, roster);
        QFETCH(int, cashLimit);
        QFETCH(int, minSpend);
        QFETCH(float, target);
        QFETCH(bool, stopped);
        QFETCH(int, budget);
        const search::SearchState finished{qint16(cashLimit), qint16(minSpend), target, 0, stopped};
        QTEST(search::emptyResultExplanation(tablesOf(roster), finished, std::chrono::milliseconds(budget)), "sentence");
    }
};

QTEST_GUILESS_MAIN(TestEmptyResult)
#include "tst_emptyresult.moc"
