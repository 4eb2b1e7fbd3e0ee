// The include boxes: the run of ticked rows around each position's boundary and the colours of
// held, candidate and left-out rows, driven by clicking the window's own boxes.
#include "rowsfixture.h"

using namespace rowstest;

// One letter per row, row 1 first: K ticked and black, B unticked and blue, R unticked and red.
// A box that disagrees with its colour gives the lower-case letter; name, cost and points that
// disagree among themselves give "!".
static QString rowMarks(WindowFixture &f, Position position)
{
    QString marks;
    for (int r = 1; r <= roster::rowCount(position); ++r) {
        const auto &c = f.cells(position, r);
        QChar mark = colourLetter(textColour(c.N));
        if (colourLetter(textColour(c.C)) != mark || colourLetter(textColour(c.P)) != mark)
            mark = u'!';
        marks += c.chk->isChecked() == (mark == u'K') ? mark : mark.toLower();
    }
    return marks;
}

class TestSelection : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    void clicks_data()
    {
        QTest::addColumn<char>("position");
        QTest::addColumn<QString>("clicks"); // rows clicked in turn: -r unticks row r, +r ticks it
        QTest::addColumn<QString>("marks");  // runs of rowMarks letters: "2B 2K 16R"
        // clang-format off
        QTest::newRow("first start C") << 'C' << "" << "4K 16R";
        QTest::newRow("first start W") << 'W' << "" << "6K 14R";
        QTest::newRow("first start D") << 'D' << "" << "5K 10R";
        QTest::newRow("first start G") << 'G' << "" << "2K 13R";
        QTest::newRow("C untick 2") << 'C' << "-2" << "2B 2K 16R";
        QTest::newRow("C untick 2, then tick 1") << 'C' << "-2 +1" << "4K 16R";
        QTest::newRow("C untick 3") << 'C' << "-3" << "2K 18R";
        QTest::newRow("C untick 3, then tick 9") << 'C' << "-3 +9" << "9K 11R";
        QTest::newRow("C upper block never affects lower") << 'C' << "+9 -2" << "2B 7K 11R";
        QTest::newRow("C untick the last row") << 'C' << "+20 -20" << "19K 1R";
        QTest::newRow("W untick 1 only") << 'W' << "-1" << "1B 5K 14R";
        QTest::newRow("W tick 1 ticks 2 to 4") << 'W' << "-4 +1" << "6K 14R";
        QTest::newRow("W untick 5 with 5 to 20 ticked") << 'W' << "+20 -5" << "4K 16R";
        QTest::newRow("D untick 3") << 'D' << "-3" << "3B 2K 10R";
        QTest::newRow("D untick 4") << 'D' << "-4" << "3K 12R";
        QTest::newRow("D untick 3 and 4") << 'D' << "-3 -4" << "3B 12R";
        QTest::newRow("G untick 1") << 'G' << "-1" << "1B 1K 13R";
        QTest::newRow("G tick 15") << 'G' << "+15" << "15K";
        // clang-format on
    }
    void clicks()
    {
        QFETCH(char, position);
        QFETCH(QString, clicks);
        QFETCH(QString, marks);
        const Position p = positionFromLetter(position);
        QStringList others;
        for (Position other : roster::AllPositions)
            others << (other == p ? QString() : rowMarks(f, other));
        const QColor gamesColour = textColour(f.cells(p, 1).W), rateColour = textColour(f.cells(p, 1).PW);
        // The handling runs once per change of a box: no box may change twice in one click.
        std::vector<int> changes(roster::rowCount(p) + 1);
        QObject counting;
        for (int r = 1; r <= roster::rowCount(p); ++r)
            connect(f.cells(p, r).chk, &QCheckBox::toggled, &counting, [&changes, r] { ++changes[r]; });

        for (const QString &click : clicks.split(u' ', Qt::SkipEmptyParts)) {
            QCheckBox *box = f.cells(p, click.mid(1).toInt()).chk;
            QCOMPARE(box->isChecked(), click.front() == u'-');
            std::fill(changes.begin(), changes.end(), 0);
            QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
            QCOMPARE(box->isChecked(), click.front() == u'+');
            QCOMPARE(*std::max_element(changes.begin(), changes.end()), 1);
        }
        QString expected;
        for (const QString &run : marks.split(u' '))
            expected += QString(run.chopped(1).toInt(), run.back());
        QCOMPARE(rowMarks(f, p), expected);
        for (Position other : roster::AllPositions)
            QCOMPARE(other == p ? QString() : rowMarks(f, other), others[roster::index(other)]);
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            QCOMPARE(textColour(f.cells(p, r).W), gamesColour);
            QCOMPARE(textColour(f.cells(p, r).PW), rateColour);
        }
    }
};

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
