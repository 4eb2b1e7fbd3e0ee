// SPDX-License-Identifier: MIT
// The cell blocks of the clipboard: how a pasted text splits into rows and values, its decimal
// mark, and the clipboard's bytes decoded line by line. What lands in the window is tst_paste's.
#include "cellblock.h"

#include <QTest>

using namespace roster;

Q_DECLARE_METATYPE(roster::BlockColumn)

class TestCellBlock : public QObject {
    Q_OBJECT
private slots:
    void cellBlock_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BlockColumn>("first"); // the cell the first column lands in
        QTest::addColumn<CellBlock>("rows");
        QTest::addColumn<int>("decimalCommas");
        const auto name = BlockColumn::Name;
        // clang-format off
        QTest::newRow("spreadsheet") << "Ng, JJ\t12\t\t3\r\nOle\t8\t.5\t4\r\n" << name << CellBlock{{"Ng, JJ", "12", "", "3"}, {"Ole", "8", ".5", "4"}} << 0;
        QTest::newRow("lone CR, LF") << " Al \t 7\rBo\t8\nCy" << name << CellBlock{{" Al ", " 7"}, {"Bo", "8"}, {"Cy"}} << 0;
        QTest::newRow("quoted tabs, line ends and quotes") << "\"Smith \"\"Ace\"\"\"\t1\n\"two\r\nlines\"\t\"a\tb\"\n" << name << CellBlock{{"Smith \"Ace\"", "1"}, {"two\r\nlines", "a\tb"}} << 0;
        QTest::newRow("tabs: commas never split") << "Smith, John\t1,5\t2\n" << name << CellBlock{{"Smith, John", "1.5", "2"}} << 1;
        QTest::newRow("CSV lines, blanks dropped") << "\"Ng, JJ\", 12 ,1.5, 3\n Ole ,\"8\" , .5 ,4\n" << name << CellBlock{{"Ng, JJ", "12", "1.5", "3"}, {"Ole", "8", ".5", "4"}} << 0;
        QTest::newRow("CSV lines from the cost cell") << "12,1.5\n8,2\n" << BlockColumn::Cost << CellBlock{{"12", "1.5"}, {"8", "2"}} << 0;
        QTest::newRow("a column of Last, First names") << "Smith, John\nNg, JJ\n" << name << CellBlock{{"Smith, John"}, {"Ng, JJ"}} << 0;
        QTest::newRow("Last, First names from the cost cell") << "Smith, John\nNg, JJ\n" << BlockColumn::Cost << CellBlock{{"Smith, John"}, {"Ng, JJ"}} << 0;
        QTest::newRow("lines of unequal commas") << "Ng, 12\nOle, 8, 2\n" << name << CellBlock{{"Ng, 12"}, {"Ole, 8, 2"}} << 0;
        QTest::newRow("a CSV line with an empty cost is a name") << "Ng,,1.5,3\n" << name << CellBlock{{"Ng,,1.5,3"}} << 0;
        QTest::newRow("a CSV line with letters for games is a name") << "Ng,12,1.5,x\n" << name << CellBlock{{"Ng,12,1.5,x"}} << 0;
        QTest::newRow("a decimal comma in the games column") << "Al\t1\t2\t3,5\n" << name << CellBlock{{"Al", "1", "2", "3.5"}} << 1;
        QTest::newRow("a column") << "12\n13\n\n14" << name << CellBlock{{"12"}, {"13"}, {""}, {"14"}} << 0;
        QTest::newRow("one value, commas and all") << "Ng, JJ\r\n" << name << CellBlock{{"Ng, JJ"}} << 0;
        // A quote is a quoted value's only when its closing quote ends the value.
        QTest::newRow("text after a closing quote") << "\"Bo\"b\t1\n" << name << CellBlock{{"\"Bo\"b", "1"}} << 0;
        QTest::newRow("\"Moose\" Miller") << "\"Moose\" Miller\t5\n" << name << CellBlock{{"\"Moose\" Miller", "5"}} << 0;
        QTest::newRow("\"Moose\" Miller, a column") << "\"Moose\" Miller\nBo\n" << name << CellBlock{{"\"Moose\" Miller"}, {"Bo"}} << 0;
        QTest::newRow("\"Unclosed swallows nothing") << "\"Unclosed\t1\nBo\t2\nCy\t3\n" << name << CellBlock{{"\"Unclosed", "1"}, {"Bo", "2"}, {"Cy", "3"}} << 0;
        QTest::newRow("\"Unclosed in a column") << "\"Unclosed\nBo\nCy \"Q\" Z\n" << name << CellBlock{{"\"Unclosed"}, {"Bo"}, {"Cy \"Q\" Z"}} << 0;
        QTest::newRow("\"Unclosed before a quoted value") << "\"Unclosed\t1\n\"Q\"\t2\n" << name << CellBlock{{"\"Unclosed", "1"}, {"Q", "2"}} << 0;
        QTest::newRow("a real multi-line cell") << "\"Ann\nLee\"\t4\nBo\t5\n" << name << CellBlock{{"Ann\nLee", "4"}, {"Bo", "5"}} << 0;
        QTest::newRow("quoted, a column") << "\"Ng, JJ\"\n\"a \"\"b\"\"\"\n" << name << CellBlock{{"Ng, JJ"}, {"a \"b\""}} << 0;
        QTest::newRow("a column keeps its blanks: no CSV") << "  Bo \n Cy\n" << name << CellBlock{{"  Bo "}, {" Cy"}} << 0;
        QTest::newRow("no line end: a lone CR last") << "Al\t7\r" << name << CellBlock{{"Al", "7"}} << 0;
        QTest::newRow("no line end: a closing quote last") << "Al\t\"7\"" << name << CellBlock{{"Al", "7"}} << 0;
        QTest::newRow("no line end: CSV, blanks after a closing quote") << "Ng, 12, 1.5, \"3\" " << name << CellBlock{{"Ng", "12", "1.5", "3"}} << 0;
        QTest::newRow("nothing") << "" << name << CellBlock{} << 0;
        QTest::newRow("one line end: one empty value") << "\n" << name << CellBlock{{""}} << 0;
        QTest::newRow("empty cells") << "\t\t\n\t\t\n" << name << CellBlock{{"", "", ""}, {"", "", ""}} << 0;
        // The decimal mark, decided by the numbers of the block alone.
        QTest::newRow("German decimals") << "Al\t10,5\t1,09\t4\nBo\t12\t0,333\t3\n" << name << CellBlock{{"Al", "10.5", "1.09", "4"}, {"Bo", "12", "0.333", "3"}} << 3;
        QTest::newRow("German groups") << "Al\t1.234,5\n" << name << CellBlock{{"Al", "1234.5"}} << 1;
        QTest::newRow("German, from the points cell") << "1,5\t3\n-0,25\t2\n" << BlockColumn::Points << CellBlock{{"1.5", "3"}, {"-0.25", "2"}} << 2;
        QTest::newRow("German, a name's comma is no decimal") << "Ng, J\t12\t1\n" << name << CellBlock{{"Ng, J", "12", "1"}} << 0;
        QTest::newRow("English groups stay") << "Al\t1,500\t2\nBo\t3,000\t1\n" << name << CellBlock{{"Al", "1,500", "2"}, {"Bo", "3,000", "1"}} << 0;
        QTest::newRow("English: 1,500 beside a decimal point") << "Al\t1,500\t1.5\n" << name << CellBlock{{"Al", "1,500", "1.5"}} << 0;
        QTest::newRow("English: 1,234.5") << "Al\t1,234.5\t1,09\n" << name << CellBlock{{"Al", "1,234.5", "1,09"}} << 0;
        QTest::newRow("rate column not looked at") << "Al\t1\t2\t3\t4,5\n" << name << CellBlock{{"Al", "1", "2", "3", "4,5"}} << 0;
        // clang-format on
    }
    void cellBlock()
    {
        QFETCH(QString, text);
        QFETCH(BlockColumn, first);
        const CellBlockRead read = readCellBlock(text, first);
        QTEST(read.rows, "rows");
        QTEST(int(read.decimalCommas), "decimalCommas");
    }

    // "Copy rows" quotes only where a spreadsheet needs it, and reads back as it was.
    void cellBlockWritten()
    {
        const CellBlock rows{{"Ng, JJ", "Smith \"Ace\"", "a\tb"}, {"", "7", "two\nlines"}, {" lead", "\r", ""}};
        QCOMPARE(writeCellBlock({rows[0], {"", "7"}}), "Ng, JJ\t\"Smith \"\"Ace\"\"\"\t\"a\tb\"\n\t7\n");
        QCOMPARE(readCellBlock(writeCellBlock(rows)).rows, rows);
    }

    // Line by line: UTF-8 where the line is, Windows-1252 where it is not (an overlong form, a
    // surrogate, a code point past U+10FFFF, a missing continuation byte); never a replacement
    // character. The rows stand at the edges of each lead byte's range.
    void decoded_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("lines of either") << QByteArray("C\xC3\xB4t\xC3\xA9\t1\rZo\xEB\r\n\x93Q\x94 \xC3\xA9\n\nx") << "C\u00F4t\u00E9\t1\rZo\u00EB\r\n\u201CQ\u201D \u00C3\u00A9\n\nx";
        QTest::newRow("NUL") << QByteArray("a\0b\n", 4) << QString::fromUtf8("a\0b\n", 4);
        QTest::newRow("nothing") << QByteArray() << QString();
        QTest::newRow("a lone continuation byte") << QByteArray("\x80 x") << "\u20AC x";
        QTest::newRow("\\xC0: overlong") << QByteArray("\xC0\x80\n\xC0\xBF") << "\u00C0\u20AC\n\u00C0\u00BF";
        QTest::newRow("\\xC1: overlong") << QByteArray("\xC1\xA9") << "\u00C1\u00A9";
        QTest::newRow("\\xC2 to \\xDF") << QByteArray("\xC2\x80\xDF\xBF") << "\u0080\u07FF";
        QTest::newRow("a lead byte at the end") << QByteArray("ok \xC3\nok") << "ok \u00C3\nok";
        QTest::newRow("\\xE0 and \\xE1") << QByteArray("\xE0\xA0\x80\xE1\x80\x80\xEF\xBF\xBC") << "\u0800\u1000\uFFFC";
        QTest::newRow("\\xE0: overlong") << QByteArray("\xE0\x9F\xBF") << "\u00E0\u0178\u00BF";
        QTest::newRow("\\xED: below the surrogates") << QByteArray("\xED\x9F\xBF") << "\uD7FF";
        QTest::newRow("\\xED: a surrogate") << QByteArray("\xED\xA0\x80") << "\u00ED\u00A0\u20AC";
        QTest::newRow("\\xF0 to \\xF4") << QByteArray("\xF0\x90\x80\x80\xF4\x8F\xBF\xBF") << "\U00010000\U0010FFFF";
        QTest::newRow("\\xF0: overlong") << QByteArray("\xF0\x8E\xBF\xBF") << "\u00F0\u017D\u00BF\u00BF";
        QTest::newRow("\\xF4: past U+10FFFF") << QByteArray("\xF4\x91\x80\x80") << "\u00F4\u2018\u20AC\u20AC";
        QTest::newRow("\\xF5") << QByteArray("\xF5\x80\x80\x80") << "\u00F5\u20AC\u20AC\u20AC";
        // clang-format on
    }
    void decoded()
    {
        QFETCH(QByteArray, bytes);
        QTEST(decodeClipboard(bytes), "text");
    }
};

QTEST_GUILESS_MAIN(TestCellBlock)
#include "tst_cellblock.moc"
