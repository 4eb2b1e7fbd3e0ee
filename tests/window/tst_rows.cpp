// One player row through the window's fields: the points-for-the-week column, the minimum
// percentage, and the row buttons that exchange two players, ticks, colours and rates staying
// with the row numbers.
#include "rowsfixture.h"

using namespace rowstest;

// Every row's four texts by row ("W3"), and every row's box and colour, positions in order.
static std::pair<QMap<QString, QString>, QString> rows(WindowFixture &f)
{
    std::pair<QMap<QString, QString>, QString> state;
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            const auto &c = f.cells(p, r);
            state.first[QLatin1Char(roster::letter(p)) + QString::number(r)] =
                QStringList{c.N->text(), c.C->text(), c.P->text(), c.W->text()}.join(u'|');
            state.second += QString::number(c.chk->isChecked()) + colourLetter(textColour(c.N));
        }
    return state;
}

// The rows whose rate shows the rule's product of their points and games.
static int rowsRatedByTheRule(WindowFixture &f)
{
    int rated = 0;
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            const auto &c = f.cells(p, r);
            rated += c.PW->text() == expectedRate(c.P->text(), c.W->text());
        }
    return rated;
}

class TestRows : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    // Every row but row 7 holds a player, entered through the fields' own handling.
    void init()
    {
        f.start();
        for (Position p : roster::AllPositions)
            for (int r = 1; r <= roster::rowCount(p); ++r) {
                auto &c = f.cells(p, r);
                if (r == 7)
                    continue;
                c.N->setText(QStringLiteral("Player %1%2, \"Jr\"").arg(roster::letter(p)).arg(r));
                c.C->setText(QString::number(10 + r));
                c.P->setText(QStringLiteral("%1.5").arg(r % 7));
                c.W->setText(QString::number(2 + r % 3));
            }
    }
    void cleanup() { f.stop(); }

    void rateOfOneRow_data()
    {
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("games");
        QTest::addColumn<QString>("rate");
        const char *rows[][3] = {{"1.5", "3", "4.5"}, {"", "3", "0"}, {"2", "", "0"}, {"abc", "3", "0"},
                                 {"-1", "2", "-2"}, {".333", "2.5", "0.832"}, {".667", "2.5", "1.667"},
                                 {"1234", "999", "12327"}, {".1", "3", "0.3"}, {"2", "10.5", "20"}};
        for (const auto &row : rows)
            QTest::newRow(qPrintable(QStringLiteral("%1 x %2").arg(row[0], row[1]))) << row[0] << row[1] << row[2];
    }
    void rateOfOneRow()
    {
        QFETCH(QString, points);
        QFETCH(QString, games);
        QFETCH(QString, rate);
        auto &cells = f.cells(Position::D, 3);
        cells.P->setText(points);
        cells.W->setText(games);
        QCOMPARE(cells.PW->text(), rate);
    }

    // With every rate emptied, a games change rates its own row only, a points change all 70 rows.
    void changeRecomputes()
    {
        for (QLineEdit *rate : f.window->findChildren<QLineEdit *>(QRegularExpression("^.PW_")))
            rate->clear();
        f.cells(Position::D, 15).W->setText(QStringLiteral("9"));
        QCOMPARE(rowsRatedByTheRule(f), 1);
        QCOMPARE(f.cells(Position::D, 15).PW->text(), expectedRate(f.cells(Position::D, 15).P->text(), "9"));
        f.cells(Position::G, 7).P->setText(QStringLiteral("9"));
        QCOMPARE(rowsRatedByTheRule(f), 70);
    }

    void minimumPercentage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("minPerc");
        QTest::addColumn<int>("beeps"); // a beep and red text, or black text and no beep
        QTest::newRow("85") << "85" << 85.0f << 0;
        QTest::newRow("abc") << "abc" << 90.0f << 1;
        QTest::newRow("empty") << "" << 90.0f << 1;
        QTest::newRow("150, no range test") << "150" << 150.0f << 0;
    }
    void minimumPercentage()
    {
        QFETCH(QString, text);
        QFETCH(float, minPerc);
        QFETCH(int, beeps);
        f.window->txtPerc->setText(QStringLiteral("80")); // so that the fallback to 90 shows
        f.window->txtPerc->setText(text);
        QCOMPARE(f.window->MinPerc, minPerc);
        QCOMPARE(textColour(f.window->txtPerc), beeps ? QColor(255, 0, 0) : QColor(0, 0, 0));
        QCOMPARE(f.beeps, beeps);
    }

    void exchange_data()
    {
        QTest::addColumn<QString>("clicks"); // the two row buttons clicked: position letter and row
        QTest::addColumn<bool>("exchanges");
        QTest::newRow("filled row with empty row, ticked with unticked") << "C3 C7" << true;
        QTest::newRow("Goalies first and last") << "G1 G15" << true;
        QTest::newRow("cross-position pick: Wingers 3 and 5") << "C3 W5" << true;
        QTest::newRow("same row twice") << "C4 C4" << false;
        QTest::newRow("Centres 18 then Defence 2: no such row") << "C18 D2" << false;
        QTest::newRow("Wingers 16 then Goalies 1: no such row") << "W16 G1" << false;
    }
    void exchange()
    {
        QFETCH(QString, clicks);
        QFETCH(bool, exchanges);
        auto [texts, marks] = rows(f);
        const QStringList picks = clicks.split(u' ');
        if (exchanges) // within the position of the second click
            std::swap(texts[picks[1].left(1) + picks[0].mid(1)], texts[picks[1]]);

        for (const QString &pick : picks)
            f.cells(positionFromLetter(pick[0].toLatin1()), pick.mid(1).toInt()).cmdM->click();
        QCOMPARE(f.window->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(rows(f).first.values(), texts.values());
        QCOMPARE(rows(f).second, marks);
        QCOMPARE(rowsRatedByTheRule(f), 70);
    }
};

QTEST_MAIN(TestRows)
#include "tst_rows.moc"
