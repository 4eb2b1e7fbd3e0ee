// The points-for-the-week column and the minimum percentage, driven through the window's fields.
#include "rowsfixture.h"

#include <QSignalBlocker>

using namespace rowstest;

class TestRates : public QObject {
    Q_OBJECT
private:
    WindowFixture f;

    // Fills every row's points and games without running their change handling, and empties
    // every rate, so that only what a later change recomputes shows a rate.
    void fillRowsBehindHandlers()
    {
        for (Position position : roster::AllPositions) {
            for (int r = 1; r <= roster::rowCount(position); ++r) {
                auto &cells = f.cells(position, r);
                const QSignalBlocker blockPoints(cells.P);
                const QSignalBlocker blockGames(cells.W);
                const QSignalBlocker blockRate(cells.PW);
                cells.P->setText(QString::number(r % 7) + QStringLiteral(".5"));
                cells.W->setText(QString::number(roster::index(position) + 1));
                cells.PW->clear();
            }
        }
    }

private slots:
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    void rateOfOneRow_data()
    {
        QTest::addColumn<char>("position");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("games");
        QTest::addColumn<QString>("rate");

        QTest::newRow("1.5 x 3") << 'C' << 1 << "1.5" << "3" << "4.5";
        QTest::newRow("0 x 3") << 'W' << 20 << "0" << "3" << "0";
        QTest::newRow("empty points") << 'D' << 15 << "" << "3" << "0";
        QTest::newRow("empty games") << 'G' << 1 << "2" << "" << "0";
        QTest::newRow("blank points") << 'G' << 15 << "   " << "3" << "0";
        QTest::newRow("text points") << 'C' << 20 << "abc" << "3" << "0";
        QTest::newRow("negative") << 'W' << 4 << "-1" << "2" << "-2";
        QTest::newRow("cut, not rounded") << 'D' << 3 << ".333" << "2.5" << "0.832";
        QTest::newRow(".667 x 2.5") << 'C' << 7 << ".667" << "2.5" << "1.667";
        QTest::newRow("seven digits cut to five") << 'W' << 9 << "1234" << "999" << "12327";
        QTest::newRow("0.1 x 3 shows no binary error") << 'G' << 8 << ".1" << "3" << "0.3";
        QTest::newRow("1.25 x 3") << 'D' << 1 << "1.25" << "3" << "3.75";
        QTest::newRow("games cut to 10.") << 'C' << 2 << "2" << "10.5" << "20";
        QTest::newRow("points cut to 1234") << 'W' << 1 << "12345" << "1" << "1234";
    }
    void rateOfOneRow()
    {
        QFETCH(char, position);
        QFETCH(int, row);
        QFETCH(QString, points);
        QFETCH(QString, games);
        QFETCH(QString, rate);

        auto &cells = f.cells(positionFromLetter(position), row);
        cells.P->setText(points);
        cells.W->setText(games);
        QCOMPARE(cells.PW->text(), rate);

        // The same result whichever field is set last.
        cells.P->clear();
        cells.W->clear();
        cells.W->setText(games);
        cells.P->setText(points);
        QCOMPARE(cells.PW->text(), rate);
    }

    void pointsChangeRecomputesEveryRow_data()
    {
        QTest::addColumn<char>("position");
        QTest::addColumn<int>("row");
        QTest::newRow("Centres row 1") << 'C' << 1;
        QTest::newRow("Wingers row 20") << 'W' << 20;
        QTest::newRow("Defence row 15") << 'D' << 15;
        QTest::newRow("Goalies row 7") << 'G' << 7;
    }
    void pointsChangeRecomputesEveryRow()
    {
        QFETCH(char, position);
        QFETCH(int, row);
        fillRowsBehindHandlers();

        f.cells(positionFromLetter(position), row).P->setText(QStringLiteral("9"));

        for (Position p : roster::AllPositions) {
            for (int r = 1; r <= roster::rowCount(p); ++r) {
                const auto &cells = f.cells(p, r);
                QCOMPARE(cells.PW->text(), expectedRate(cells.P->text(), cells.W->text()));
                QVERIFY(!cells.PW->text().isEmpty());
            }
        }
    }

    void gamesChangeRecomputesItsRowOnly_data() { pointsChangeRecomputesEveryRow_data(); }
    void gamesChangeRecomputesItsRowOnly()
    {
        QFETCH(char, position);
        QFETCH(int, row);
        fillRowsBehindHandlers();
        const Position changed = positionFromLetter(position);

        f.cells(changed, row).W->setText(QStringLiteral("9"));

        for (Position p : roster::AllPositions) {
            for (int r = 1; r <= roster::rowCount(p); ++r) {
                const auto &cells = f.cells(p, r);
                if (p == changed && r == row)
                    QCOMPARE(cells.PW->text(), expectedRate(cells.P->text(), QStringLiteral("9")));
                else
                    QCOMPARE(cells.PW->text(), QString());
            }
        }
    }

    // Names, costs and the rate itself have no change handling: nothing is recomputed.
    void namesAndCostsRecomputeNothing()
    {
        fillRowsBehindHandlers();
        f.cells(Position::C, 3).N->setText(QStringLiteral("Smith, John"));
        f.cells(Position::G, 2).C->setText(QStringLiteral("12"));
        for (Position p : roster::AllPositions)
            for (int r = 1; r <= roster::rowCount(p); ++r)
                QCOMPARE(f.cells(p, r).PW->text(), QString());
    }

    void minimumPercentage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("minPerc");
        QTest::addColumn<bool>("red");
        QTest::addColumn<int>("beeps");

        QTest::newRow("85") << "85" << 85.0f << false << 0;
        QTest::newRow("abc") << "abc" << 90.0f << true << 1;
        QTest::newRow("empty") << "" << 90.0f << true << 1;
        QTest::newRow("150, no range test") << "150" << 150.0f << false << 0;
        QTest::newRow("negative") << "-5" << -5.0f << false << 0;
        QTest::newRow("blanks around") << " 95.5 " << 95.5f << false << 0;
        QTest::newRow("two points") << "1.2.3" << 90.0f << true << 1;
    }
    void minimumPercentage()
    {
        QFETCH(QString, text);
        QFETCH(float, minPerc);
        QFETCH(bool, red);
        QFETCH(int, beeps);

        // Start from a value other than 90 so that the fallback shows.
        f.window->txtPerc->setText(QStringLiteral("80"));
        QCOMPARE(f.window->MinPerc, 80.0f);
        QCOMPARE(f.beeps, 0);

        f.window->txtPerc->setText(text);
        QCOMPARE(f.window->MinPerc, minPerc);
        QCOMPARE(textColour(f.window->txtPerc), red ? QColor(255, 0, 0) : QColor(0, 0, 0));
        QCOMPARE(f.beeps, beeps);
    }

    // Every keystroke is a change: clearing the field beeps once, and typing 95 passes through 9.
    void typingMinimumPercentage()
    {
        QLineEdit *perc = f.window->txtPerc;
        perc->selectAll();
        QTest::keyClick(perc, Qt::Key_Backspace);
        QCOMPARE(f.beeps, 1);
        QCOMPARE(textColour(perc), QColor(255, 0, 0));
        QCOMPARE(f.window->MinPerc, 90.0f);

        QTest::keyClick(perc, Qt::Key_9);
        QCOMPARE(f.window->MinPerc, 9.0f);
        QCOMPARE(textColour(perc), QColor(0, 0, 0));
        QTest::keyClick(perc, Qt::Key_5);
        QCOMPARE(f.window->MinPerc, 95.0f);
        QCOMPARE(f.beeps, 1);
    }
};

QTEST_MAIN(TestRates)
#include "tst_rates.moc"
