// What a spreadsheet, a CSV file or a web page puts on the clipboard, and "Copy rows" read back.
#include "cellblock.h"

#include <QTest>

using namespace roster;

class TestCellBlock : public QObject {
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<CellBlock>("rows");
        QTest::newRow("spreadsheet: tabs, CR LF, empty cells, last line end")
            << "Ng, JJ\t12\t\t3\r\nOle\t8\t.5\t4\r\n"
            << CellBlock{{"Ng, JJ", "12", "", "3"}, {"Ole", "8", ".5", "4"}};
        QTest::newRow("tabs keep blanks; lone CR and LF")
            << " Al \t 7\rBo\t8\nCy" << CellBlock{{" Al ", " 7"}, {"Bo", "8"}, {"Cy"}};
        QTest::newRow("quoted over tabs and line ends, doubled quotes")
            << "\"Smith \"\"Ace\"\"\"\t1\n\"two\r\nlines\"\t\"a\tb\"\n"
            << CellBlock{{"Smith \"Ace\"", "1"}, {"two\r\nlines", "a\tb"}};
        QTest::newRow("CSV: quoted commas, blanks around values dropped")
            << "\"Ng, JJ\", 12 ,1.5\n Ole ,\"8\" ,\n"
            << CellBlock{{"Ng, JJ", "12", "1.5"}, {"Ole", "8", ""}};
        QTest::newRow("a column of lines: one value each") << "12\n13\n\n14" << CellBlock{{"12"}, {"13"}, {""}, {"14"}};
        QTest::newRow("one line without a tab: one value, commas and all") << "Ng, JJ\r\n" << CellBlock{{"Ng, JJ"}};
        QTest::newRow("text after a closing quote kept; a quote never closed is a character")
            << "\"Bo\"b\t1\n\"Ace\tx" << CellBlock{{"Bob", "1"}, {"\"Ace", "x"}};
        QTest::newRow("nothing") << "" << CellBlock{};
        QTest::newRow("one line end: one empty value") << "\n" << CellBlock{{""}};
    }
    void read()
    {
        QFETCH(QString, text);
        QTEST(readCellBlock(text), "rows");
    }

    // Quoted only where a spreadsheet needs it, and read back as it was, whatever the values hold.
    void writeThenRead()
    {
        QCOMPARE(writeCellBlock({{"Ng, JJ", "Smith \"Ace\"", "a\tb"}, {"", "7"}}),
                 "Ng, JJ\t\"Smith \"\"Ace\"\"\"\t\"a\tb\"\n\t7\n");
        const CellBlock rows{{"Ng, JJ", "12", "1.5", "3", "4.5"},
                             {"\"Ace\" Bo", "", "", "", "0"},
                             {" lead", "a\tb", "x\"y", "two\nlines", "\r"},
                             {"", "", "", "", ""}};
        QCOMPARE(readCellBlock(writeCellBlock(rows)), rows);
    }
};

QTEST_GUILESS_MAIN(TestCellBlock)
#include "tst_cellblock.moc"
