// One player row through the window's fields: the points-for-the-week column, the minimum
// percentage, and the row buttons that exchange two players, ticks, colours and rates staying
// with the row numbers.
#include "rowsfixture.h"

using namespace rowstest;

// Every row's four texts by row ("W3"); then every row's box, colour, and "!" where its rate is
// not the rule's product of its points and games, positions in order.
static std::pair<QMap<QString, QString>, QString> rows(WindowFixture &f)
{
    std::pair<QMap<QString, QString>, QString> state;
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            const auto &c = f.cells(p, r);
            state.first[QLatin1Char(roster::letter(p)) + QString::number(r)] =
                QStringList{c.N->text(), c.C->text(), c.P->text(), c.W->text()}.join(u'|');
            state.second += QString::number(c.chk->isChecked()) + colourLetter(textColour(c.N))
                            + (c.PW->text() == expectedRate(c.P->text(), c.W->text()) ? "" : "!");
        }
    return state;
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
                if (r == 7)
                    continue;
                auto &c = f.cells(p, r);
                c.N->setText(QStringLiteral("Player %1%2, \"Jr\"").arg(roster::letter(p)).arg(r));
                c.C->setText(QString::number(10 + r));
                c.P->setText(QStringLiteral("%1.5").arg(r % 7));
                c.W->setText(QString::number(2 + r % 3));
            }
    }
    void cleanup() { f.stop(); }

    // Text typed into a field, through the field's own handling: the rate of Defence row 3 (the
    // product of its points and games, cut to the field's five characters), or the minimum
    // percentage, which stays at 90 with a beep and red text when it is no number, and is not
    // held to any range.
    void entry_data()
    {
        QTest::addColumn<QString>("entries"); // field=text ...
        QTest::addColumn<QString>("result");  // DPW_3's text, or MinPerc
        QTest::addColumn<int>("beeps");
        // clang-format off
        QTest::newRow("1.5 x 3") << "DP_3=1.5 DW_3=3" << "4.5" << 0;
        QTest::newRow("1.1 x 3, in double precision") << "DP_3=1.1 DW_3=3" << "3.3" << 0;
        QTest::newRow("empty points x 3") << "DP_3= DW_3=3" << "0" << 0;
        QTest::newRow("-1 x 2") << "DP_3=-1 DW_3=2" << "-2" << 0;
        QTest::newRow(".333 x 2.5") << "DP_3=.333 DW_3=2.5" << "0.832" << 0;
        QTest::newRow("1234 x 999") << "DP_3=1234 DW_3=999" << "12327" << 0;
        QTest::newRow("85%") << "txtPerc=85" << "85" << 0;
        QTest::newRow("abc%") << "txtPerc=80 txtPerc=abc" << "90" << 1;
        QTest::newRow("empty percentage") << "txtPerc=80 txtPerc=" << "90" << 1;
        QTest::newRow("150%") << "txtPerc=150" << "150" << 0;
        QTest::newRow("abc% mended to 85%: black again") << "txtPerc=abc txtPerc=85" << "85" << 1;
        // clang-format on
    }
    void entry()
    {
        QFETCH(QString, entries);
        QFETCH(QString, result);
        QFETCH(int, beeps);
        for (const QString &entry : entries.split(u' '))
            f.window->findChild<QLineEdit *>(entry.section(u'=', 0, 0))->setText(entry.section(u'=', 1));
        const bool percentage = entries.startsWith(u"txtPerc");
        QCOMPARE(percentage ? QString::number(f.window->MinPerc) : f.cells(Position::D, 3).PW->text(), result);
        QCOMPARE(colourLetter(textColour(f.window->txtPerc)), percentage && result == u"90" ? u'R' : u'K');
        QCOMPARE(f.beeps, beeps);
    }

    // With every rate emptied, a games change rates its own row only, a points change all 70 rows.
    void changeRecomputes()
    {
        for (QLineEdit *rate : f.window->findChildren<QLineEdit *>(QRegularExpression("^.PW_")))
            rate->clear();
        f.cells(Position::D, 15).W->setText(QStringLiteral("9"));
        QCOMPARE(rows(f).second.count(u'!'), 69);
        QCOMPARE(f.cells(Position::D, 15).PW->text(), expectedRate(f.cells(Position::D, 15).P->text(), "9"));
        f.cells(Position::G, 7).P->setText(QStringLiteral("9"));
        QCOMPARE(rows(f).second.count(u'!'), 0);
    }

    // The two row buttons clicked, position letter and row; an exchange lies within the position
    // of the second click.
    void exchange_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<bool>("exchanges");
        QTest::newRow("filled row with empty row, ticked with unticked") << "C3 C7" << true;
        QTest::newRow("cross-position pick: Wingers 3 and 5") << "C3 W5" << true;
        QTest::newRow("same row twice") << "C4 C4" << false;
        QTest::newRow("Centres 18 then Defence 2: no such row") << "C18 D2" << false;
    }
    void exchange()
    {
        QFETCH(QString, clicks);
        QFETCH(bool, exchanges);
        auto [texts, marks] = rows(f);
        const QStringList picks = clicks.split(u' ');
        if (exchanges)
            std::swap(texts[picks[1].left(1) + picks[0].mid(1)], texts[picks[1]]);
        for (const QString &pick : picks)
            f.cells(positionFromLetter(pick[0].toLatin1()), pick.mid(1).toInt()).cmdM->click();
        QCOMPARE(f.window->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(rows(f).first.values(), texts.values());
        QCOMPARE(rows(f).second, marks); // no "!" either: every rate moved with its points and games
    }
};

QTEST_MAIN(TestRows)
#include "tst_rows.moc"
