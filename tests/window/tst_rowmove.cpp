// The row buttons: two clicks exchange two players' rows; ticks, colours and rates stay with
// the row numbers.
#include "rowsfixture.h"

#include <QPushButton>
#include <array>

using namespace rowstest;

namespace {

struct Snapshot {
    std::array<QStringList, 4> texts;   // per position: N|C|P|W of every row
    std::array<QString, 4> ticks;
    std::array<QString, 4> colours;
};

QString rowText(WindowFixture &f, Position p, int r)
{
    const auto &cells = f.cells(p, r);
    return QStringList{cells.N->text(), cells.C->text(), cells.P->text(), cells.W->text()}.join(u'|');
}

Snapshot snapshot(WindowFixture &f)
{
    Snapshot s;
    for (Position p : roster::AllPositions) {
        const int i = roster::index(p);
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            s.texts[i] << rowText(f, p, r);
            s.ticks[i] += f.cells(p, r).chk->isChecked() ? u'1' : u'0';
            s.colours[i] += colourLetter(textColour(f.cells(p, r).N));
        }
    }
    return s;
}

void clickRowButton(WindowFixture &f, Position p, int r)
{
    QPushButton *button = f.cells(p, r).cmdM;
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

} // namespace

class TestRowMove : public QObject {
    Q_OBJECT
private:
    WindowFixture f;

    // Fills the roster through the fields' own handling, leaving a few rows empty and giving
    // two Wingers rows the same texts.
    void fillRoster()
    {
        for (Position p : roster::AllPositions) {
            for (int r = 1; r <= roster::rowCount(p); ++r) {
                if (r == 7 || r == 12)
                    continue;
                auto &cells = f.cells(p, r);
                const bool twin = p == Position::W && r == 9;
                const QString tag = QString(QChar::fromLatin1(roster::letter(p))) + QString::number(twin ? 8 : r);
                cells.N->setText(QStringLiteral("Player ") + tag + QStringLiteral(", \"Jr\""));
                cells.C->setText(QString::number(10 + (twin ? 8 : r)));
                cells.P->setText(QStringLiteral("1.") + QString::number(twin ? 8 : r));
                cells.W->setText(QString::number(2 + (twin ? 8 : r) % 3));
            }
        }
    }

private slots:
    void init()
    {
        f.start();
        fillRoster();
    }
    void cleanup() { f.stop(); }

    void exchange_data()
    {
        QTest::addColumn<char>("firstPosition");
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<char>("secondPosition");
        QTest::addColumn<int>("secondRow");
        QTest::addColumn<bool>("exchanges");

        QTest::newRow("filled row with empty row") << 'C' << 3 << 'C' << 7 << true;
        QTest::newRow("empty row with filled row") << 'D' << 12 << 'D' << 2 << true;
        QTest::newRow("ticked with unticked") << 'W' << 2 << 'W' << 15 << true;
        QTest::newRow("Goalies first and last") << 'G' << 1 << 'G' << 15 << true;
        QTest::newRow("cross-position pick") << 'C' << 3 << 'W' << 5 << true;
        QTest::newRow("Defence row into Wingers") << 'D' << 15 << 'W' << 20 << true;
        QTest::newRow("same row twice") << 'C' << 4 << 'C' << 4 << false;
        QTest::newRow("identical texts") << 'W' << 8 << 'W' << 9 << true;
        QTest::newRow("Centres 18 then Defence 2") << 'C' << 18 << 'D' << 2 << false;
        QTest::newRow("Wingers 16 then Goalies 1") << 'W' << 16 << 'G' << 1 << false;
        QTest::newRow("Centres 20 then Goalies 15") << 'C' << 20 << 'G' << 15 << false;
    }
    void exchange()
    {
        QFETCH(char, firstPosition);
        QFETCH(int, firstRow);
        QFETCH(char, secondPosition);
        QFETCH(int, secondRow);
        QFETCH(bool, exchanges);
        const Position first = positionFromLetter(firstPosition);
        const Position second = positionFromLetter(secondPosition);
        const Snapshot before = snapshot(f);

        QCOMPARE(f.window->cursor().shape(), Qt::ArrowCursor);
        clickRowButton(f, first, firstRow);
        QCOMPARE(f.window->cursor().shape(), Qt::SizeVerCursor);
        QCOMPARE(f.window->PendingMoveRow, qint16(firstRow));
        QVERIFY(snapshot(f).texts == before.texts);

        clickRowButton(f, second, secondRow);
        QCOMPARE(f.window->cursor().shape(), Qt::ArrowCursor);

        Snapshot expected = before;
        if (exchanges) {
            QStringList &rows = expected.texts[roster::index(second)];
            rows.swapItemsAt(firstRow - 1, secondRow - 1);
        }
        const Snapshot after = snapshot(f);
        for (Position p : roster::AllPositions) {
            const int i = roster::index(p);
            QCOMPARE(after.texts[i], expected.texts[i]);
            QCOMPARE(after.ticks[i], before.ticks[i]);
            QCOMPARE(after.colours[i], before.colours[i]);
            for (int r = 1; r <= roster::rowCount(p); ++r) {
                const auto &cells = f.cells(p, r);
                QCOMPARE(cells.PW->text(), expectedRate(cells.P->text(), cells.W->text()));
            }
        }
    }

    // The worked example: the players change rows, the ticks and colours do not.
    void playersMoveTicksStay()
    {
        QCOMPARE(rowText(f, Position::C, 3), QStringLiteral("Player C3, \"Jr\"|13|1.3|2"));
        clickRowButton(f, Position::C, 7);
        clickRowButton(f, Position::C, 3);

        QCOMPARE(rowText(f, Position::C, 3), QStringLiteral("|||"));
        QCOMPARE(rowText(f, Position::C, 7), QStringLiteral("Player C3, \"Jr\"|13|1.3|2"));
        QCOMPARE(f.cells(Position::C, 7).PW->text(), QStringLiteral("2.6"));
        QCOMPARE(f.cells(Position::C, 3).PW->text(), QStringLiteral("0"));
        QVERIFY(f.cells(Position::C, 3).chk->isChecked());
        QVERIFY(!f.cells(Position::C, 7).chk->isChecked());
        QCOMPARE(textColour(f.cells(Position::C, 3).N), QColor(0, 0, 0));
        QCOMPARE(textColour(f.cells(Position::C, 7).N), QColor(255, 0, 0));
    }

    // After a move has ended, the next click starts a new one.
    void moveAfterMove()
    {
        clickRowButton(f, Position::G, 2);
        clickRowButton(f, Position::G, 3);
        clickRowButton(f, Position::G, 5);
        QCOMPARE(f.window->cursor().shape(), Qt::SizeVerCursor);
        QCOMPARE(f.window->PendingMoveRow, qint16(5));
        clickRowButton(f, Position::G, 2);
        QCOMPARE(rowText(f, Position::G, 2).left(10), QStringLiteral("Player G5,"));
        QCOMPARE(rowText(f, Position::G, 3).left(10), QStringLiteral("Player G2,"));
        QCOMPARE(rowText(f, Position::G, 5).left(10), QStringLiteral("Player G3,"));
    }

    // Any pointer but the default and the move pointer leaves the click without effect.
    void otherPointerDoesNothing()
    {
        const Snapshot before = snapshot(f);
        f.window->setCursor(Qt::WaitCursor);
        clickRowButton(f, Position::C, 1);
        clickRowButton(f, Position::C, 2);
        QCOMPARE(f.window->cursor().shape(), Qt::WaitCursor);
        QVERIFY(snapshot(f).texts == before.texts);
        QCOMPARE(f.window->PendingMoveRow, qint16(0));
    }
};

QTEST_MAIN(TestRowMove)
#include "tst_rowmove.moc"
