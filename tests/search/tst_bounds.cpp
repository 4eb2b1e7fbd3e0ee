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
};

QTEST_GUILESS_MAIN(TestBounds)
#include "tst_bounds.moc"
