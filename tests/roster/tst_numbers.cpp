// SPDX-License-Identifier: MIT
// What reads as a number in a roster text, and the conversions.
#include "numbers.h"

#include <QTest>

#include <bit>
#include <cfloat>
#include <cmath>

using namespace roster;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    // The decimal mark a pasted number shows, and the number with the roster's decimal point.
    void decimalComma_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mark");      // DecimalMark
        QTest::addColumn<QString>("point"); // "-" for no value
        const int none = int(DecimalMark::None), comma = int(DecimalMark::Comma), point = int(DecimalMark::Point);
        // clang-format off
        const std::tuple<const char *, int, const char *> rows[] = {
            {"1,09", comma, "1.09"}, {"10,5", comma, "10.5"}, {" -0,5 ", comma, "-0.5"}, {",5", comma, ".5"},
            {"1.234,5", comma, "1234.5"}, {"123.456,75", comma, "123456.75"}, {"1.234.567,25", comma, "1234567.25"},
            {"1234.567,5", comma, "-"}, {".234,5", comma, "-"}, {"0,333", none, "0.333"},
            {"1,500", none, "1.500"}, {"1.500", none, "1500"}, {"12", none, "-"}, {"1,2,3", comma, "-"},
            {"1.5", point, "-"}, {"1,234.5", point, "-"}, {"1.09", point, "-"}, {"12.34.5", point, "-"},
            {"Ng, JJ", none, "-"}, {"1,5 kr", none, "-"}, {"", none, "-"}, {",", none, "-"}, {"1,", comma, "-"},
            {".5,123", comma, "-"}, {",.5", point, "-"}, {".5", point, "-"},
        };
        // clang-format on
        for (const auto &[text, mark, converted] : rows)
            QTest::newRow(text) << QString::fromUtf8(text) << mark << QString::fromUtf8(converted);
    }
    void decimalComma()
    {
        QFETCH(QString, text);
        QFETCH(QString, point);
        QTEST(int(decimalMarkShown(text)), "mark");
        QCOMPARE(decimalCommaToPoint(text).value_or(QStringLiteral("-")), point);
    }

    void numericText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        for (const char *text : {"", "   ", ".", "-.", "1,", ",1", "1,,000", "1,.5", "1 000", "2E", "E3", "2E+", "2E3.5",
                                 "1.2.3", "--2", "2-", "\xEF\xBC\x97" /* fullwidth 7 */})
            QTest::newRow(qPrintable("no " + QString::fromUtf8(text))) << QString::fromUtf8(text) << false;
        for (const char *text : {" 7 ", "\t7\t", "-2", "+2", ".5", "5.", "1,000,000", "2e-3", "-1.5E+07", "1E400"})
            QTest::newRow(text) << QString::fromUtf8(text) << true;
    }
    void numericText()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(IsNumericText(text), numeric);
        QVERIFY(numeric || (!toDouble(text) && !toSingle(text) && !toInt16(text)));
    }

    // Whole numbers round halves to the even neighbour and hold -32768..32767.
    void conversions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number"); // NaN: no value
        QTest::addColumn<int>("whole");     // 99999: no value
        // clang-format off
        const std::tuple<const char *, double, int> rows[] = {
            {"2.5", 2.5, 2}, {"3.5", 3.5, 4}, {" +1,234.5 ", 1234.5, 1234}, {"32767", 32767, 32767},
            {"32767.5", 32767.5, 99999}, {"-32768.5", -32768.5, -32768}, {"-32769", -32769, 99999},
            {"9007199254740993", 9007199254740992.0, 99999}, {"1.7976931348623157E308", DBL_MAX, 99999},
            {"1E400", NAN, 99999}, {"-1E-400", -0.0, 0}, {"1E-400", 0.0, 0}, {"1E99999999999999999999", NAN, 99999}};
        // clang-format on
        for (const auto &[text, number, whole] : rows)
            QTest::newRow(text) << QString::fromLatin1(text) << number << whole;
        QTest::newRow("-1E-401 written out") << "-0." + QString(400, u'0') + "1" << -0.0 << 0;
        QTest::newRow("1E-1200 after 1,000 leading zeros") << QString(1000, u'0') + "1E-1200" << 0.0 << 0;
        // Out of range by the exponent and the leading zeros together: 10^-400, too small,
        // 10^499, too large, and 10^-401 from an exponent of four digits.
        QTest::newRow("1E601 after 1,000 zeros") << "0." + QString(1000, u'0') + "1E601" << 0.0 << 0;
        QTest::newRow("1E1500 after 1,000 zeros") << "0." + QString(1000, u'0') + "1E1500" << double(NAN) << 99999;
        QTest::newRow("1E1600 after 2,000 zeros") << "0." + QString(2000, u'0') + "1E1600" << 0.0 << 0;
    }
    void conversions()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(int, whole);
        // Exact to the last bit and the sign of zero, no fuzzy compare; no value shows as the table's NaN.
        QCOMPARE(std::bit_cast<quint64>(toDouble(text).value_or(NAN)), std::bit_cast<quint64>(number));
        QCOMPARE(toInt16(text) ? int(*toInt16(text)) : 99999, whole);
        QVERIFY(!toSingle("1E39") && !roundToInt16(HUGE_VAL) && !roundToInt16(NAN)); // beyond the type
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
