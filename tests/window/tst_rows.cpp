// SPDX-License-Identifier: MIT
// The player rows through the window's fields: the include boxes and their colours, and the row
// buttons that exchange two players, ticks, colours and rates staying with the row numbers.
#include "rowsfixture.h"

using namespace rowstest;

// The rate of a row whose points are halves and whose games are whole (or empty): their product
// is exact in any precision and short enough for the rate field.
static QString expectedRate(const QString &points, const QString &games)
{
    return QString::number(points.toDouble() * games.toDouble());
}

// One string per position, one letter per row, row 1 first: K ticked and black, B unticked and
// blue, R unticked and red. A box that disagrees with its colour gives the lower-case letter;
// name, cost and points that disagree among themselves, games or a rate not in black, or a rate
// that is not the product of the row's points and games, give "!".
static QStringList rowMarks(WindowFixture &f)
{
    QStringList marks;
    for (Position p : roster::AllPositions) {
        marks << QString();
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            const auto &c = f.window->row(p, r);
            QChar mark = colourLetter(textColour(c.N));
            if (colourLetter(textColour(c.C)) != mark || colourLetter(textColour(c.P)) != mark
                || colourLetter(textColour(c.W)) != u'K' || colourLetter(textColour(c.PW)) != u'K'
                || c.PW->text() != expectedRate(c.P->text(), c.W->text()))
                mark = u'!';
            marks.back() += c.chk->isChecked() == (mark == u'K') ? mark : mark.toLower();
        }
    }
    return marks;
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
                auto &c = f.window->row(p, r);
                c.N->setText(QStringLiteral("Player %1%2, \"Jr\"").arg(roster::letter(p)).arg(r));
                c.C->setText(QString::number(10 + r));
                c.P->setText(QStringLiteral("%1.5").arg(r % 7));
                c.W->setText(QString::number(2 + r % 3));
            }
    }
    void cleanup() { f.stop(); }

    // The two row buttons clicked, position letter and row; an exchange lies within the position
    // of the second click.
    void exchange_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<bool>("exchanges");
        QTest::newRow("first row with empty row, ticked with unticked") << "C1 C7" << true;
        QTest::newRow("cross-position pick: Wingers 5 and 1") << "C5 W1" << true;
        QTest::newRow("last row picked second") << "C19 C20" << true;
        QTest::newRow("last row picked first") << "G15 G1" << true;
        QTest::newRow("same row twice") << "C4 C4" << false;
        QTest::newRow("Centres 18 then Defence 2: no such row") << "C18 D2" << false;
    }
    void exchange()
    {
        QFETCH(QString, clicks);
        QFETCH(bool, exchanges);
        auto expected = f.window->rowTexts();
        const QStringList marks = rowMarks(f);
        const QStringList picks = clicks.split(u' ');
        if (exchanges)
            std::swap(expected[picks[1].left(1) + picks[0].mid(1)], expected[picks[1]]);
        // While a move waits for its second row, the pointer shows it over every cell too; then each
        // cell shows its own again.
        const auto pointers = [&] {
            const auto &cells = f.window->row(Position::G, 1);
            return QList{f.window->cursor().shape(), cells.N->cursor().shape(), cells.PW->cursor().shape()};
        };
        const QList<Qt::CursorShape> move(3, Qt::SizeVerCursor), own{Qt::ArrowCursor, Qt::IBeamCursor, Qt::ArrowCursor};
        for (const QString &pick : picks) {
            f.window->row(positionFromLetter(pick[0]), pick.mid(1).toInt()).cmdM->click();
            QCOMPARE(pointers(), &pick == &picks.front() ? move : own);
        }
        QCOMPARE(f.window->rowTexts(), expected);
        QCOMPARE(rowMarks(f), marks); // no "!" either: every rate moved with its points and games
    }

    // The include boxes keep the ticked rows one run around each position's boundary and colour
    // held, candidate and left-out rows, clicked as a user clicks them.
    void clicks_data()
    {
        QTest::addColumn<QChar>("position");
        QTest::addColumn<QString>("clicks"); // rows clicked in turn: -r unticks row r, +r ticks it
        QTest::addColumn<QString>("marks");  // runs of rowMarks letters: "2B 2K 16R"
        // clang-format off
        QTest::newRow("first start C") << QChar('C') << "" << "4K 16R";
        QTest::newRow("first start W") << QChar('W') << "" << "6K 14R";
        QTest::newRow("first start D") << QChar('D') << "" << "5K 10R";
        QTest::newRow("first start G") << QChar('G') << "" << "2K 13R";
        QTest::newRow("C untick 2") << QChar('C') << "-2" << "2B 2K 16R";
        QTest::newRow("C untick 3, then tick 9") << QChar('C') << "-3 +9" << "9K 11R";
        QTest::newRow("C upper block never affects lower") << QChar('C') << "+9 -2" << "2B 7K 11R";
        QTest::newRow("C untick the last row") << QChar('C') << "+20 -20" << "19K 1R";
        QTest::newRow("W untick 1 only") << QChar('W') << "-1" << "1B 5K 14R";
        QTest::newRow("W tick 1 ticks 2 to 4") << QChar('W') << "-4 +1" << "6K 14R";
        QTest::newRow("W untick 5 with 5 to 20 ticked") << QChar('W') << "+20 -5" << "4K 16R";
        QTest::newRow("D untick 3") << QChar('D') << "-3" << "3B 2K 10R";
        QTest::newRow("D untick 3 and 4") << QChar('D') << "-3 -4" << "3B 12R";
        QTest::newRow("G tick 15") << QChar('G') << "+15" << "15K";
        // clang-format on
    }
    void clicks()
    {
        QFETCH(QChar, position);
        QFETCH(QString, clicks);
        QFETCH(QString, marks);
        const Position p = positionFromLetter(position);
        QStringList expected = rowMarks(f); // the other positions stay
        expected[roster::index(p)].clear();
        for (const QString &run : marks.split(u' '))
            expected[roster::index(p)] += QString(run.chopped(1).toInt(), run.back());
        // The handling runs once per change of a box: no box may change twice in one click.
        std::vector<int> changes(roster::rowCount(p) + 1);
        QObject counting;
        for (int r = 1; r <= roster::rowCount(p); ++r)
            connect(f.window->row(p, r).chk, &QCheckBox::toggled, &counting, [&changes, r] { ++changes[r]; });

        for (const QString &click : clicks.split(u' ', Qt::SkipEmptyParts)) {
            QCheckBox *box = f.window->row(p, click.mid(1).toInt()).chk;
            QCOMPARE(box->isChecked(), click.front() == u'-');
            std::fill(changes.begin(), changes.end(), 0);
            QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
            QCOMPARE(box->isChecked(), click.front() == u'+');
            QCOMPARE(*std::max_element(changes.begin(), changes.end()), 1);
        }
        QCOMPARE(rowMarks(f), expected);
    }
};

QTEST_MAIN(TestRows)
#include "tst_rows.moc"
