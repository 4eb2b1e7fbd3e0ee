// The include boxes: the run of ticked rows around each position's boundary and the colours of
// held, candidate and left-out rows, driven by clicking the window's own boxes.
#include "rowsfixture.h"

#include <QSignalBlocker>
#include <vector>

using namespace rowstest;

namespace {

// "1" for a ticked row, "0" for an unticked one, row 1 first.
QString ticks(WindowFixture &f, Position position)
{
    QString result;
    for (int r = 1; r <= roster::rowCount(position); ++r)
        result += f.cells(position, r).chk->isChecked() ? u'1' : u'0';
    return result;
}

// One colour letter per row; the name, cost and points of a row must agree.
QString colours(WindowFixture &f, Position position)
{
    QString result;
    for (int r = 1; r <= roster::rowCount(position); ++r) {
        const auto &cells = f.cells(position, r);
        const QChar name = colourLetter(textColour(cells.N));
        if (colourLetter(textColour(cells.C)) != name || colourLetter(textColour(cells.P)) != name)
            result += u'!';
        else
            result += name;
    }
    return result;
}

// Expands "2B 2K 16R" to "BBKKRRRRRRRRRRRRRRRR" (and likewise for ticks: "4:1 16:0").
QString expand(const char *runs)
{
    QString result;
    for (const QString &run : QString::fromLatin1(runs).split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype split = run.indexOf(u':') >= 0 ? run.indexOf(u':') : run.size() - 1;
        const int count = run.left(split).toInt();
        const QChar value = run.back();
        result += QString(count, value);
    }
    return result;
}

// The design selection: C rows 1-4, W 1-6, D 1-5, G 1-2 ticked; ticked black, the rest red.
QString firstStartTicks(Position position)
{
    const int ticked = QStringLiteral("4652").at(roster::index(position)).digitValue();
    return QString(ticked, u'1') + QString(roster::rowCount(position) - ticked, u'0');
}

QString firstStartColours(Position position)
{
    return firstStartTicks(position).replace(u'1', u'K').replace(u'0', u'R');
}

} // namespace

class TestSelection : public QObject {
    Q_OBJECT
private:
    WindowFixture f;

    // Puts a selection into the boxes without running any handling, then marks the rows.
    void setSelection(Position position, int firstUpper, int lastLower)
    {
        for (int r = 1; r <= roster::rowCount(position); ++r) {
            QCheckBox *box = f.cells(position, r).chk;
            const QSignalBlocker block(box);
            const bool upper = r <= roster::anchorRow(position);
            box->setChecked(upper ? r >= firstUpper : r <= lastLower);
        }
        f.window->MarkRows(position);
    }

private slots:
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    // At the first start every ticked row is black, every other row red, none blue.
    void firstStart()
    {
        QCOMPARE(ticks(f, Position::C), expand("4:1 16:0"));
        QCOMPARE(colours(f, Position::C), expand("4K 16R"));
        QCOMPARE(ticks(f, Position::W), expand("6:1 14:0"));
        QCOMPARE(colours(f, Position::W), expand("6K 14R"));
        QCOMPARE(ticks(f, Position::D), expand("5:1 10:0"));
        QCOMPARE(colours(f, Position::D), expand("5K 10R"));
        QCOMPARE(ticks(f, Position::G), expand("2:1 13:0"));
        QCOMPARE(colours(f, Position::G), expand("2K 13R"));
    }

    void clicks_data()
    {
        QTest::addColumn<char>("position");
        QTest::addColumn<QString>("clicks"); // rows clicked in turn: -r unticks row r, +r ticks it
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<QString>("colours");

        QTest::newRow("C untick 2") << 'C' << "-2" << expand("2:0 2:1 16:0") << expand("2B 2K 16R");
        QTest::newRow("C untick 2, tick 1") << 'C' << "-2 +1" << expand("4:1 16:0") << expand("4K 16R");
        QTest::newRow("C untick 3") << 'C' << "-3" << expand("2:1 18:0") << expand("2K 18R");
        QTest::newRow("C tick 9") << 'C' << "+9" << expand("9:1 11:0") << expand("9K 11R");
        QTest::newRow("C upper leaves lower") << 'C' << "+9 -2" << expand("2:0 7:1 11:0") << expand("2B 7K 11R");
        QTest::newRow("C tick last row") << 'C' << "+20" << expand("20:1") << expand("20K");
        QTest::newRow("C untick last row") << 'C' << "+20 -20" << expand("19:1 1:0") << expand("19K 1R");
        QTest::newRow("C untick 1") << 'C' << "-1" << expand("1:0 3:1 16:0") << expand("1B 3K 16R");
        QTest::newRow("W untick 1 only") << 'W' << "-1" << expand("1:0 5:1 14:0") << expand("1B 5K 14R");
        QTest::newRow("W tick 1 after 4") << 'W' << "-4 +1" << expand("6:1 14:0") << expand("6K 14R");
        QTest::newRow("W untick 4") << 'W' << "-4" << expand("4:0 2:1 14:0") << expand("4B 2K 14R");
        QTest::newRow("W untick 5") << 'W' << "-5" << expand("4:1 16:0") << expand("4K 16R");
        QTest::newRow("D untick 3") << 'D' << "-3" << expand("3:0 2:1 10:0") << expand("3B 2K 10R");
        QTest::newRow("D untick 4") << 'D' << "-4" << expand("3:1 12:0") << expand("3K 12R");
        QTest::newRow("D rows 3 and 4") << 'D' << "-3 -4" << expand("15:0") << expand("3B 12R");
        QTest::newRow("D tick 1 after 3") << 'D' << "-3 +1" << expand("5:1 10:0") << expand("5K 10R");
        QTest::newRow("D untick 15 reaches nothing") << 'D' << "+15 -15" << expand("14:1 1:0") << expand("14K 1R");
        QTest::newRow("G untick 1") << 'G' << "-1" << expand("1:0 1:1 13:0") << expand("1B 1K 13R");
        QTest::newRow("G tick 1 again") << 'G' << "-1 +1" << expand("2:1 13:0") << expand("2K 13R");
        QTest::newRow("G untick 2") << 'G' << "-2" << expand("1:1 14:0") << expand("1K 14R");
        QTest::newRow("G tick 15") << 'G' << "+15" << expand("15:1") << expand("15K");
    }
    void clicks()
    {
        QFETCH(char, position);
        QFETCH(QString, clicks);
        QFETCH(QString, ticks);
        QFETCH(QString, colours);
        const Position p = positionFromLetter(position);
        const QColor gamesColour = textColour(f.cells(p, 1).W);
        const QColor rateColour = textColour(f.cells(p, 1).PW);

        for (const QString &click : clicks.split(u' ')) {
            const int r = click.mid(1).toInt();
            QCheckBox *box = f.cells(p, r).chk;
            QCOMPARE(box->isChecked(), click.front() == u'-');
            QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
            QCOMPARE(box->isChecked(), click.front() == u'+');
        }
        QCOMPARE(::ticks(f, p), ticks);
        QCOMPARE(::colours(f, p), colours);

        // Games and rate cells are never recoloured.
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            QCOMPARE(textColour(f.cells(p, r).W), gamesColour);
            QCOMPARE(textColour(f.cells(p, r).PW), rateColour);
        }
        // The other positions keep their first-start selection and colours.
        for (Position other : roster::AllPositions) {
            if (other == p)
                continue;
            QCOMPARE(::ticks(f, other), firstStartTicks(other));
            QCOMPARE(::colours(f, other), firstStartColours(other));
        }
    }

    // Every selection the boxes can hold, every row clicked: the run stays whole, the clicked
    // block ends at the clicked row, the other block is untouched, the colours match, and no
    // box changes more than once (so the handling runs at most once per row).
    void everySelectionEveryClick_data()
    {
        QTest::addColumn<char>("position");
        QTest::newRow("C") << 'C';
        QTest::newRow("W") << 'W';
        QTest::newRow("D") << 'D';
        QTest::newRow("G") << 'G';
    }
    void everySelectionEveryClick()
    {
        QFETCH(char, position);
        const Position p = positionFromLetter(position);
        const int anchor = roster::anchorRow(p);
        const int last = roster::rowCount(p);

        std::vector<int> changes(last + 1, 0);
        for (int r = 1; r <= last; ++r)
            connect(f.cells(p, r).chk, &QCheckBox::toggled, this, [&changes, r] { ++changes[r]; });

        int cases = 0;
        for (int firstUpper = 1; firstUpper <= anchor + 1; ++firstUpper) {
            for (int lastLower = anchor; lastLower <= last; ++lastLower) {
                for (int k = 1; k <= last; ++k) {
                    setSelection(p, firstUpper, lastLower);
                    std::fill(changes.begin(), changes.end(), 0);
                    const bool wasTicked = f.cells(p, k).chk->isChecked();

                    f.cells(p, k).chk->click();

                    int a = firstUpper;
                    int b = lastLower;
                    if (k <= anchor)
                        a = wasTicked ? k + 1 : k;
                    else
                        b = wasTicked ? k - 1 : k;
                    QString expectTicks;
                    QString expectColours;
                    for (int r = 1; r <= last; ++r) {
                        const bool ticked = r <= anchor ? r >= a : r <= b;
                        expectTicks += ticked ? u'1' : u'0';
                        expectColours += ticked ? u'K' : (r <= anchor ? u'B' : u'R');
                    }
                    const QByteArray where = QStringLiteral("rows %1..%2 ticked, row %3 clicked")
                                                 .arg(firstUpper).arg(lastLower).arg(k).toLatin1();
                    QVERIFY2(ticks(f, p) == expectTicks, where.constData());
                    QVERIFY2(colours(f, p) == expectColours, where.constData());
                    for (int r = 1; r <= last; ++r)
                        QVERIFY2(changes[r] <= 1, where.constData());
                    ++cases;
                }
            }
        }
        QCOMPARE(cases, (anchor + 1) * (last - anchor + 1) * last);
    }

    // Unticking Wingers row 5 with rows 5 to 20 ticked: sixteen boxes change, each once.
    void unticksEachRowOnce()
    {
        f.cells(Position::W, 20).chk->setChecked(true);
        QCOMPARE(ticks(f, Position::W), expand("20:1"));

        std::vector<int> changes(21, 0);
        for (int r = 1; r <= 20; ++r)
            connect(f.cells(Position::W, r).chk, &QCheckBox::toggled, this, [&changes, r] { ++changes[r]; });

        f.cells(Position::W, 5).chk->setChecked(false);

        for (int r = 1; r <= 4; ++r)
            QCOMPARE(changes[r], 0);
        for (int r = 5; r <= 20; ++r)
            QCOMPARE(changes[r], 1);
        QCOMPARE(ticks(f, Position::W), expand("4:1 16:0"));
    }

    // Start-up calls the handling for row 1 of every position directly; with a valid selection
    // that changes no box and only marks the rows.
    void directCallOnRowOneOnlyMarks()
    {
        for (Position p : roster::AllPositions) {
            for (int r = 1; r <= roster::rowCount(p); ++r) {
                f.cells(p, r).N->setPalette(QPalette());
                f.cells(p, r).C->setPalette(QPalette());
                f.cells(p, r).P->setPalette(QPalette());
            }
            f.window->selectionClick(p, 1);
            QCOMPARE(ticks(f, p), firstStartTicks(p));
            QCOMPARE(colours(f, p), firstStartColours(p));
        }
        // Row 1 ticked: its upper block is completed.
        {
            const QSignalBlocker block(f.cells(Position::W, 3).chk);
            f.cells(Position::W, 3).chk->setChecked(false);
        }
        f.window->chkW_Click(1);
        QCOMPARE(ticks(f, Position::W), expand("6:1 14:0"));
    }
};

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
