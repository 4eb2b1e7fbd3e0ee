// SPDX-License-Identifier: MIT
// The bounds the search skips by: never below what the loops compute, whatever the magnitudes.

#include "bounds.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <random>

namespace {

// A float of any magnitude the roster can hold: tiny, ordinary, huge, now and then subnormal,
// either sign.
float anyFloat(std::mt19937 &rng)
{
    const float mantissa = float(rng() % 100000) / 1000.f;
    const int exponent = int(rng() % 5 == 0 ? int(rng() % 60) - 30 : int(rng() % 7) - 3);
    float value = std::ldexp(mantissa, exponent);
    if (rng() % 50 == 0)
        value = std::numeric_limits<float>::denorm_min() * float(1 + rng() % 1000);
    return rng() % 4 == 0 ? -value : value;
}

} // namespace

class TestBounds : public QObject {
    Q_OBJECT

private slots:
    void sumsAreExact_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("exact");
        QTest::newRow("quarters") << QList<double>{0.25, 1.5, -3} << 10.0 << 24 << true;
        QTest::newRow("a tenth") << QList<double>{0.1, 1} << 2.0 << 53 << false;
        QTest::newRow("whole numbers at the precision") << QList<double>{1, 2} << 16777216.0 << 24 << true;
        QTest::newRow("one past it") << QList<double>{1, 2} << 16777217.0 << 24 << false;
        QTest::newRow("halves that need one more bit") << QList<double>{0.5} << 16777216.0 << 24 << false;
        QTest::newRow("an endless value") << QList<double>{std::numeric_limits<double>::infinity()} << 1.0 << 53 << false;
        QTest::newRow("an exponent text's 1E-5") << QList<double>{double(1e-5f)} << 1.0 << 53 << true;
        QTest::newRow("the same at single precision") << QList<double>{double(1e-5f)} << 1.0 << 24 << false;
        // A fraction of up to 60 bits is looked for; one longer is taken as inexact.
        QTest::newRow("2^-60 at a tiny scale") << QList<double>{std::ldexp(1, -60)} << std::ldexp(1, -40) << 24 << true;
        QTest::newRow("2^-61 at a tiny scale") << QList<double>{std::ldexp(1, -61)} << std::ldexp(1, -40) << 24 << false;
    }

    void sumsAreExact()
    {
        QFETCH(QList<double>, values);
        QFETCH(double, scale);
        QFETCH(int, bits);
        QTEST(search::sumsAreExact({values.begin(), values.end()}, scale, bits), "exact");
    }

    // ((C + W) + D) + G in single precision never exceeds the two keys' sum, and the keys are
    // tight: within a few units in the last place of the largest magnitude. Exact sums need no
    // margin; a NaN pair is never listed.
    void pointsKeysBoundTheTeam()
    {
        std::mt19937 rng(7);
        for (int i = 0; i < 200000; ++i) {
            const float c = anyFloat(rng), w = anyFloat(rng), d = anyFloat(rng), g = anyFloat(rng);
            const float team = ((c + w) + d) + g;
            const double bound = search::pointsUpperKey(c, 3, g, 1, false) + search::pointsUpperKey(w, 3, d, 2, false);
            QVERIFY2(double(team) <= bound, qPrintable(QStringLiteral("%1 %2 %3 %4").arg(c).arg(w).arg(d).arg(g)));
            const double magnitude = std::fabs(c) + std::fabs(w) + std::fabs(d) + std::fabs(g);
            QVERIFY(bound - double(team) <= 1e-6 * magnitude + 1e-40);
        }
        // Where no relative margin is left, at zero and among the smallest subnormals, too.
        for (const float tiny : {0.f, std::numeric_limits<float>::denorm_min()})
            QVERIFY(double(((tiny + tiny) + tiny) + tiny)
                    <= search::pointsUpperKey(tiny, 3, tiny, 1, false) + search::pointsUpperKey(tiny, 3, tiny, 2, false));
        QCOMPARE(search::pointsUpperKey(1.25f, 3, 2.5f, 1, true), 3.75);
        QVERIFY(search::pointsUpperKey(1.25f, 3, 2.5f, 1, false) > 3.75);
        const float inf = std::numeric_limits<float>::infinity();
        QCOMPARE(search::pointsUpperKey(inf, 3, -inf, 1, false), -std::numeric_limits<double>::infinity());
        QCOMPARE(search::pointsUpperKey(inf, 3, 1, 1, false), std::numeric_limits<double>::infinity());
    }

    // The best completion the band lets through, against every completion tried one by one with
    // the team's own cost sum, ((C + W) + D) + G: never below it, and equal to it when costs are
    // whole numbers. Huge costs that cancel land teams in the band only in the team's own order.
    // The frontier of the same completions gives exactly the best points key below a budget.
    void completionsInBand_data()
    {
        QTest::addColumn<bool>("wholeCosts");
        QTest::newRow("whole costs") << true;
        QTest::newRow("costs of any magnitude, some cancelling") << false;
    }

    void completionsInBand()
    {
        QFETCH(bool, wholeCosts);
        std::mt19937 rng(11);
        int bandHits = 0;
        for (int round = 0; round < 2000; ++round) {
            const double huge = std::ldexp(1.0, 40 + int(rng() % 30));
            const auto cost = [&](double whole) {
                return wholeCosts ? whole : rng() % 3 == 0 ? huge + whole : double(anyFloat(rng)) + whole;
            };
            const double w = cost(double(rng() % 20)), d = wholeCosts || rng() % 2 ? double(rng() % 20) : -huge;
            std::vector<std::pair<double, double>> parts; // C, G
            std::vector<search::CompletionTable::Item> items;
            std::vector<std::pair<double, double>> frontierItems; // cost, points key
            for (int i = 0, n = 1 + int(rng() % 60); i < n; ++i) {
                const double c = cost(double(rng() % 40)), g = double(rng() % 15);
                const float pts = float(rng() % 1000) / 10.f - 20;
                parts.emplace_back(c, g);
                items.push_back({c + g, std::fabs(c) + std::fabs(g), double(pts), pts, 0.f});
                frontierItems.emplace_back(c + g, double(pts));
            }
            const double minSpend = double(rng() % 60), cashLimit = minSpend + 1 + double(rng() % 30);
            search::CompletionTable table;
            table.build(items, wholeCosts);
            const auto best = table.bestInBand(w + d, std::fabs(w) + std::fabs(d), minSpend, cashLimit);
            search::Frontier frontier;
            frontier.build(frontierItems);
            std::optional<double> truth, belowLimit;
            for (std::size_t i = 0; i < items.size(); ++i) {
                const float teamCost = static_cast<float>(((parts[i].first + w) + d) + parts[i].second);
                if (teamCost > float(minSpend) && teamCost < float(cashLimit))
                    truth = std::max(truth.value_or(-HUGE_VAL), items[i].ptsKey);
                if (items[i].cost < cashLimit)
                    belowLimit = std::max(belowLimit.value_or(-HUGE_VAL), items[i].ptsKey);
            }
            QCOMPARE(frontier.bestBelow(cashLimit), belowLimit);
            bandHits += truth.has_value();
            if (truth)
                QVERIFY2(best && best->ptsKey >= *truth, qPrintable(QStringLiteral("round %1").arg(round)));
            if (wholeCosts)
                QCOMPARE(best.has_value(), truth.has_value());
            if (wholeCosts && truth)
                QCOMPARE(best->ptsKey, *truth);
        }
        QVERIFY(bandHits > 200);
    }
};

QTEST_GUILESS_MAIN(TestBounds)
#include "tst_bounds.moc"
