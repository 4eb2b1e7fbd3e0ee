#include "roster/numbers.h"
#include "roster/rates.h"

#include <QRandomGenerator>
#include <QTest>

#include <bit>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

using namespace roster;

class TestNumbers : public QObject
{
    Q_OBJECT
private slots:
    void numericText_data();
    void numericText();
    void conversions_data();
    void conversions();
    void singleAndLimits();
    void numberToText_data();
    void numberToText();
    void numberToTextMatchesPrintf();
    void cutToWidth();
    void rateText_data();
    void rateText();
};

void TestNumbers::numericText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    const char *no[] = {"", "   ", "\t", "abc", "1.2.3", ".", "+", "-.", "1,", ",1", "1,,000", "1 000",
                        "2E", "E3", "2E+", "2E3.5", "--2", "2-", "1,.5", "\xEF\xBC\x97" /* fullwidth 7 */};
    const char *yes[] = {" 7 ", "\t7\t", "-2", "+2", "1.5", ".5", "5.", "1,000", "1,000,000", "2E3", "2e-3",
                         "-1.5E+07", "007.50", "1E400"};
    for (const char *text : no)
        QTest::newRow(qPrintable("no " + QString::fromUtf8(text))) << QString::fromUtf8(text) << false;
    for (const char *text : yes)
        QTest::newRow(text) << QString::fromUtf8(text) << true;
}

void TestNumbers::numericText()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(IsNumericText(text), numeric);
    if (!numeric)
        QVERIFY(!roster::toDouble(text) && !toSingle(text) && !roster::toInt16(text));
}

void TestNumbers::conversions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number"); // NaN: no value
    QTest::addColumn<int>("whole");     // 99999: no value
    const double none = std::nan("");
    const std::tuple<const char *, double, int> rows[] = {
        {"2.5", 2.5, 2}, {"3.5", 3.5, 4}, {"-2.5", -2.5, -2}, {"-3.5", -3.5, -4}, {"0.5", 0.5, 0},
        {"2.5001", 2.5001, 3}, {" 7 ", 7, 7}, {"+2", 2, 2}, {"1,234.5", 1234.5, 1234}, {"0.1", 0.1, 0},
        {"32767", 32767, 32767}, {"32767.5", 32767.5, 99999}, {"32768", 32768, 99999},
        {"-32768", -32768, -32768}, {"-32768.5", -32768.5, -32768}, {"-32769", -32769, 99999},
        {"9007199254740993", 9007199254740992.0, 99999}, {"1.7976931348623157E308", DBL_MAX, 99999},
        {"1E400", none, 99999}, {"1E99999999999999999999", none, 99999}, {"-1E-400", -0.0, 0},
        {"0.0001E-320", 0.0, 0},
    };
    for (const auto &[text, number, whole] : rows)
        QTest::newRow(text) << QString::fromLatin1(text) << number << whole;
}

void TestNumbers::conversions()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QFETCH(int, whole);
    const std::optional<double> got = roster::toDouble(text);
    QCOMPARE(got.has_value(), !std::isnan(number));
    // Exact to the last bit and the sign of zero: no fuzzy compare.
    if (got)
        QCOMPARE(std::bit_cast<quint64>(*got), std::bit_cast<quint64>(number));
    const std::optional<qint16> rounded = roster::toInt16(text);
    QCOMPARE(rounded ? int(*rounded) : 99999, whole);
}

void TestNumbers::singleAndLimits()
{
    // Just above the midpoint between 1 and the next single: through double it would land on
    // the midpoint and round down to 1.
    QCOMPARE(toSingle("1.000000059604644775390626"), std::optional<float>(1.00000011920928955078125f));
    QCOMPARE(toSingle("16777217"), std::optional<float>(16777216.0f));
    QVERIFY(!toSingle("1E39"));
    QVERIFY(!roundToInt16(std::numeric_limits<double>::infinity()) && !roundToInt16(std::nan("")));
    QCOMPARE(roundHalfEven(4503599627370495.5), 4503599627370496.0);
}

void TestNumbers::numberToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    const std::pair<double, const char *> rows[] = {
        {0.0, "0"}, {-0.0, "0"}, {0.1 * 3, "0.3"}, {0.1 + 0.2, "0.3"}, {2.5 * 2, "5"}, {1.25 * 3, "3.75"},
        {2.0 / 3, "0.666666666666667"}, {999999999999999.9, "1E+15"}, {1e14, "100000000000000"},
        {1.5e20, "1.5E+20"}, {0.0001, "0.0001"}, {1e-5, "1E-05"}, {-1.5e-7, "-1.5E-07"},
        {std::numeric_limits<double>::infinity(), "Infinity"},
    };
    for (const auto &[value, text] : rows)
        QTest::newRow(text) << value << QString::fromLatin1(text);
}

void TestNumbers::numberToText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(roster::numberToText(value), text);
}

void TestNumbers::numberToTextMatchesPrintf()
{
    // The C library's %.15G is the same shortest general form, apart from the sign of zero.
    std::setlocale(LC_NUMERIC, "C");
    QRandomGenerator random(2026);
    for (int i = 0; i < 100000; ++i) {
        const double value = (i % 2) ? std::bit_cast<double>(random.generate64())
                                     : double(random.bounded(-1000000, 1000000)) * std::pow(10.0, random.bounded(-12, 24));
        if (!std::isfinite(value) || value == 0)
            continue;
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.15G", value);
        QCOMPARE(roster::numberToText(value), QLatin1String(expected));
    }
}

void TestNumbers::cutToWidth()
{
    QCOMPARE(roster::cutToWidth("12345", 4), "1234");
    QCOMPARE(roster::cutToWidth("10.5", 3), "10."); // still numeric, worth 10
    QCOMPARE(roster::cutToWidth("Smith, John", -1), "Smith, John");
    QCOMPARE(roster::cutToWidth(QStringLiteral("1\U0001F3D2"), 2), "1"); // never half a character
}

void TestNumbers::rateText_data()
{
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("games");
    QTest::addColumn<QString>("rate");
    const char *rows[][3] = {
        {"1.5", "3", "4.5"}, {"0", "3", "0"}, {"", "3", "0"}, {"2", "", "0"}, {"abc", "3", "0"}, {"-1", "2", "-2"},
        {"-0", "3", "0"}, {".1", "3", "0.3"}, {".667", "2.5", "1.6675"}, {"1234", "999", "1232766"},
        {"1E400", "1", "0"}, {"1E300", "1E300", "0"},
    };
    for (const auto &row : rows)
        QTest::newRow(qPrintable(QStringLiteral("%1 x %2").arg(row[0], row[1]))) << row[0] << row[1] << row[2];
}

void TestNumbers::rateText()
{
    QFETCH(QString, points);
    QFETCH(QString, games);
    QFETCH(QString, rate);
    QCOMPARE(roster::rateText(points, games), rate);
}

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
