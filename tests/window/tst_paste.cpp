// SPDX-License-Identifier: MIT
// Rows pasted from a spreadsheet into the roster and taken back with one Ctrl+Z, and a
// position's rows copied out. The clipboard format itself is tst_cellblock's.
#include "rowsfixture.h"

using namespace rowstest;

// What the sheet behind both captures shows, row by row, written from the sheet and not from
// the program: name, cost, points per game, games.
// clang-format off
static const QList<QStringList> sheet{
    {"C\u00F4t\u00E9, Jean-Fran\u00E7ois", "12", "1.09", "4"},
    {"Pat \"The Cat\" O'Neil", "9", "0.85", "3"},
    {"\u0141ukasz \u017Bmuda", "10", "1.5", "3"},
    {"Zo\u00EB \u00C6r\u00F8sk\u00F8bing", "8", "0.75", "4"},
    {"Smith, John", "11", "1.2", "2"},
    {"007", "7", "0.5", "3"},
    {"Ng, JJ", "6", "1", "4"},
    {"M\u00FCller-L\u00FCdenscheidt", "5", "0.333", "3"},
    {"O'Brien", "13", "2.25", "3"},
    {"Dvo\u0159\u00E1k; Anton\u00EDn", "10.5", "1.75", "2"},
    {"\u00C8ve Saint-Laurent", "14", "1.9", "4"},
    {"TabInside", "4", "0.4", "1"},
    {"J\u00F6rg \"JJ\" J\u00E4ger, Jr.", "3", "0.35", "3"},
    {"S\u00F8ren Kierkegaard-Nielsen von Hohenzollern-Sigmaringen", "15", "2.1", "3"},
    {"\u00D6d\u00F6n", "2", "0.2", "4"},
    {"\u00D1and\u00FA", "1", "0.1", "2"},
    {"Ingrid \u00C5s", "16", "1.05", "3"},
    {"K\u014D Tanaka", "17", "1.15", "4"},
    {"\u00DClker, \u00DCmit", "18", "1.25", "3"},
    {"Zed", "19", "1.35", "2"},
};
// clang-format on

static const QStringList captions{"Centres", "Wingers", "Defence", "Goalies"};

class TestPaste : public QObject {
    Q_OBJECT
    WindowFixture f;

    QLineEdit *cell(const QString &name) { return f.window->findChild<QLineEdit *>(name); }
    static void key(QLineEdit *target, Qt::Key k) { QTest::keyClick(target, k, Qt::ControlModifier); }
    // All 70 names show their first character.
    bool namesShowTheirStart()
    {
        const auto names = f.window->findChildren<QLineEdit *>(QRegularExpression("^.N_"));
        return names.size() == 70 && std::ranges::all_of(names, [](auto *name) { return name->cursorPosition() == 0; });
    }

private slots:
    void init() { f.start(); } // no players.txt: every row empty
    void cleanup() { f.stop(); }

    // Each row: texts set first, the clipboard, then the keys on a cell (v Ctrl+V, m the menu's
    // "Paste rows", z Ctrl+Z); then texts and rates ("_" stands for a blank) and the messages. How
    // the text splits into values and how its bytes decode is tst_cellblock's; here, where the
    // values land and what is told.
    void paste_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QByteArray>("clipboard");
        QTest::addColumn<QString>("at");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("messages");
        const QString tooMany = "Nothing was pasted: the clipboard holds %1, but from the %2 only %3 fit (%4, and the "
                                "points for the week, which are worked out and never pasted).";
        // clang-format off
        QTest::newRow("spreadsheet block, tabs and CR LF") << "CN_3=Old" << QByteArray("Ng, JJ\t12\t1.5\t3\r\nOle\t8\t.5\t4\r\n") << "CN_1" << "v" << "CN_1=Ng,_JJ CC_1=12 CP_1=1.5 CW_1=3 CPW_1=4.5 CN_2=Ole CPW_2=2 CN_3=Old" << QStringList();
        QTest::newRow("CSV into the last rows") << "" << QByteArray("\"Ng, JJ\",7,2,3\n\"Smith \"\"Ace\"\"\", 9 , 1.25, 2\n") << "WN_19" << "m" << "WN_19=Ng,_JJ WC_19=7 WPW_19=6 WN_20=Smith_\"Ace\" WC_20=9 WP_20=1.25 WPW_20=2.5" << QStringList();
        QTest::newRow("from the cost column; the rate column passed over") << "DN_14=Keep DPW_14=" << QByteArray("5\t2\t3\t7\n6\t1\t1\t99\n") << "DC_14" << "v" << "DN_14=Keep DC_14=5 DP_14=2 DW_14=3 DPW_14=6 DC_15=6 DPW_15=1" << QStringList();
        QTest::newRow("too many columns from the points cell") << "" << QByteArray("1\t2\t3\t4\n") << "GP_15" << "m" << "GP_15= GW_15=" << QStringList{tooMany.arg("1 row and 4 columns", "points cell of Goalies row 15", "1 row and 3 columns", "points, games")};
        QTest::newRow("values cut, the rate from the cut values") << "" << QByteArray("Al\t12345\t1.2345\t10.5\nBo\t7\t2\t1234\n") << "GN_1" << "v" << "GN_1=Al GC_1=1234 GP_1=1.23 GW_1=10. GPW_1=12.3 GC_2=7 GW_2=123 GPW_2=246" << QStringList{"4 values were too long for their cells and were cut; the first: \"12345\" in Goalies row 1 cost became \"1234\"."};
        // A single value is pasted at the cursor, as in any text box; Paste rows sets the cell.
        QTest::newRow("single value, Ctrl+V") << "CC_5=1" << QByteArray("5\r\n") << "CC_5" << "v" << "CC_5=15" << QStringList();
        QTest::newRow("single value, a lone LF") << "CC_5=1" << QByteArray("5\n") << "CC_5" << "v" << "CC_5=15" << QStringList();
        QTest::newRow("single value, a lone CR") << "CC_5=1" << QByteArray("5\r") << "CC_5" << "v" << "CC_5=15" << QStringList();
        QTest::newRow("Ctrl+V on a rate, which is worked out") << "CP_1=2 CW_1=3" << QByteArray("5\n") << "CPW_1" << "v" << "CP_1=2 CPW_1=6" << QStringList();
        QTest::newRow("single value, Paste rows") << "CC_5=1" << QByteArray("5\r\n") << "CC_5" << "m" << "CC_5=5" << QStringList();
        // A paste that changes nothing leaves the one before it to take back.
        QTest::newRow("a block, the same again, Ctrl+Z") << "CN_1=Ann CC_1=4 CP_1=2 CW_1=2" << QByteArray("Bo\t5\t3\t1\nCy\t6\t1\t1\n") << "CN_1" << "vvz" << "CN_1=Ann CC_1=4 CP_1=2 CW_1=2 CPW_1=4 CN_2= CC_2= CPW_2=0" << QStringList();
        QTest::newRow("a multi-line cell is refused") << "CN_1=Old" << QByteArray("\"Ann\nLee\"\t4\nBo\t5\n") << "CN_1" << "v" << "CN_1=Old CC_1= CN_2=" << QStringList{"Nothing was pasted: the value for Centres row 1 name holds a line break (a cell of several lines), which no roster cell can hold, after \"Ann\"."};
        QTest::newRow("NUL in a name") << "CN_2=Old" << QByteArray("Al\t1\n\0b\t2\n", 10) << "CN_1" << "v" << "CN_1= CC_1= CN_2=Old" << QStringList{"Nothing was pasted: the value for Centres row 2 name holds the control character U+0000, which no roster cell can hold, at its start."};
        QTest::newRow("an escape opening one value") << "CC_1=1" << QByteArray("\x1B" "b") << "CC_1" << "v" << "CC_1=1" << QStringList{"Nothing was pasted: the value for Centres row 1 cost holds the control character U+001B, which no roster cell can hold, at its start."};
        QTest::newRow("NUL after a long value: its first 40 characters quoted") << "CC_1=1" << QByteArray(45, 'a') + QByteArray("\0b", 2) << "CC_1" << "v" << "CC_1=1" << QStringList{"Nothing was pasted: the value for Centres row 1 cost holds the control character U+0000, which no roster cell can hold, after \"" + QString(40, u'a') + "...\"."};
        QTest::newRow("one decimal comma, told") << "" << QByteArray("Al\t1\t2,5\n") << "CN_1" << "v" << "CN_1=Al CC_1=1 CP_1=2.5" << QStringList{"The block writes decimals with a comma: 1 number was read with a decimal point (1,5 as 1.5)."};
        QTest::newRow("invalid UTF-8: the line read as Windows-1252") << "" << QByteArray("Zo\xEB \x93Z\x94\t3\nC\xC3\xB4t\xC3\xA9\t4\n") << "CN_1" << "v" << "CN_1=Zo\u00EB_\u201CZ\u201D CC_1=3 CN_2=C\u00F4t\u00E9 CC_2=4" << QStringList();
        QTest::newRow("60 MB: refused by its size") << "WN_1=Ann WC_1=4" << QByteArray("Name\t10\t2\t3\n").repeated(5 << 20) << "WN_1" << "v" << "WN_1=Ann WC_1=4" << QStringList{"Nothing was pasted: the clipboard holds 60.0 MB of text, more than the roster can take; from the name cell of Wingers row 1 only 20 rows and 5 columns fit (name, cost, points, games, and the points for the week, which are worked out and never pasted), of at most 65,536 characters each."};
        QTest::newRow("an empty value over one filled cell") << "CC_1=4" << QByteArray("\t\n") << "CN_1" << "v" << "CN_1= CC_1=" << QStringList{"The paste emptied 1 cell that held a value; Ctrl+Z puts it back."};
        QTest::newRow("an empty block over filled cells") << "CN_1=Ann CC_1=4 CN_2=Bo CP_2=1" << QByteArray("\t\n\t\t\n") << "CN_1" << "v" << "CN_1= CC_1= CN_2= CC_2= CP_2=" << QStringList{"The paste emptied 4 cells that held a value; Ctrl+Z puts them back."};
        // clang-format on
    }
    void paste()
    {
        QFETCH(QString, before);
        QFETCH(QByteArray, clipboard);
        QFETCH(QString, at);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        f.window->setTexts(before);
        const auto textsBefore = f.window->rowTexts();
        setClipboardBytes(clipboard);
        QLineEdit *target = cell(at);
        for (QChar k : keys) {
            if (k != u'm') {
                key(target, k == u'v' ? Qt::Key_V : Qt::Key_Z);
                continue;
            }
            std::unique_ptr<QMenu> menu(f.window->cellMenu(target));
            QAction *paste = menuAction(*menu, QStringLiteral("Paste rows"));
            QVERIFY(paste && paste->isEnabled());
            paste->trigger();
        }
        for (const QString &pair : after.split(u' '))
            QCOMPARE(cell(pair.section(u'=', 0, 0))->text(), pair.section(u'=', 1).replace(u'_', u' '));
        QTEST(f.messages, "messages");
        // Ctrl+Z then puts back every text as it was before the paste, names shown from their start.
        key(target, Qt::Key_Z);
        QCOMPARE(f.window->rowTexts(), textsBefore);
        QVERIFY(namesShowTheirStart());
    }

    // Both real captures pasted into row 1 of each position: every cell as the sheet showed it,
    // cut to its width as typing cuts it; the English one has more rows than Defence and
    // Goalies hold, and is refused there. Windows ends the lines with CR LF. Ctrl+Z takes all back.
    void realClipboards_data()
    {
        QTest::addColumn<QString>("capture");
        QTest::addColumn<bool>("crlf");
        QTest::addColumn<QString>("position");
        for (const QString capture : {"calc-en_US.txt", "calc-de_DE.txt"})
            for (bool crlf : {false, true})
                for (const QString position : {"C", "W", "D", "G"})
                    QTest::newRow(qPrintable(capture + (crlf ? " CR LF " : " LF ") + position))
                        << capture << crlf << position;
    }
    void realClipboards()
    {
        QFETCH(QString, capture);
        QFETCH(bool, crlf);
        QFETCH(QString, position);
        const Position p = positionFromLetter(position[0]);
        const QString caption = captions[roster::index(p)];
        QByteArray bytes = fileBytes(QStringLiteral(KORVANE_CLIPBOARDS_DIR "/") + capture);
        QVERIFY2(bytes != "(unreadable)", "the real clipboards belong in shared/clipboards beside the repository");
        if (crlf)
            bytes.replace("\n", "\r\n");
        const bool german = capture.contains(u"de_DE");
        const int rows = german ? 15 : 20;
        QCOMPARE(bytes.count('\n'), rows);

        QVERIFY(f.show(true));
        QLineEdit *target = f.window->row(p, 1).N;
        target->setText(QStringLiteral("An earlier player of a long name"));
        const auto before = f.window->rowTexts();
        target->setFocus();
        QTRY_VERIFY(target->hasFocus()); // the cell pasted into shows its name's start too
        setClipboardBytes(bytes);
        key(target, Qt::Key_V);
        const bool refused = rows > roster::rowCount(p);
        // 14 points and 1 cost of the German sheet are written with a decimal comma.
        const QString comma = "The block writes decimals with a comma: 15 numbers were read with a decimal point (1,5 as "
                              "1.5). ";
        const QString told = refused ? "Nothing was pasted: the clipboard holds 20 rows and 4 columns, but from the name "
                                       "cell of %1 row 1 only 15 rows and 5 columns fit (name, cost, points, games, and "
                                       "the points for the week, which are worked out and never pasted)."
                                     : (german ? comma : "")
                                           + "1 value was too long for its cell and was cut: \"0.333\" "
                                             "in %1 row 8 points became \"0.33\".";
        QCOMPARE(f.messages, QStringList{told.arg(caption)});
        if (refused) {
            QCOMPARE(f.window->rowTexts(), before);
            return;
        }
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            const auto &c = f.window->row(p, r);
            const QStringList row = r <= rows ? sheet[r - 1] : QStringList{"", "", "", ""};
            QCOMPARE((QStringList{c.N->text(), c.C->text(), c.P->text(), c.W->text()}),
                     (QStringList{row[0], row[1].left(4), row[2].left(4), row[3].left(3)}));
        }
        QVERIFY(namesShowTheirStart() && f.window->row(p, 1).PW->text() == u"4.36");
        key(target, Qt::Key_Z);
        QCOMPARE(f.window->rowTexts(), before);
        QVERIFY(target->hasFocus() && namesShowTheirStart());
    }

    // "Copy rows" on a cell copies every row of its position, the last one too: pasted back into
    // row 1, it gives the same texts.
    void copyRows()
    {
        f.window->setTexts("WN_1=Ng,_\"JJ\" WC_1=7 WP_9=.5 WN_20=Zed WC_20=19 WP_20=1.35 WW_20=2");
        const auto before = f.window->rowTexts();
        std::unique_ptr<QMenu> menu(f.window->cellMenu(cell("WC_3")));
        menuAction(*menu, QStringLiteral("Copy rows"))->trigger();
        f.window->setTexts("WN_1=x WP_9= WN_20=y");
        key(cell("WN_1"), Qt::Key_V);
        QCOMPARE(f.window->rowTexts(), before);
    }

    // An edit after the paste ends what Ctrl+Z takes back: it then undoes the edit only. A name
    // typed into keeps its cursor where the typing goes.
    void undoOnlyRightAfter()
    {
        QVERIFY(f.show(true));
        QGuiApplication::clipboard()->setText("Bo\t5\nCy\t6\n");
        key(cell("WN_1"), Qt::Key_V);
        QLineEdit *name = cell("WN_2");
        name->setFocus();
        QTRY_VERIFY(name->hasFocus());
        QTest::keyClick(name, Qt::Key_End);
        QTest::keyClicks(name, " Jr");
        QCOMPARE(name->text(), "Cy Jr");
        key(name, Qt::Key_Z);
        QCOMPARE(name->text(), "Cy");
        key(cell("WN_1"), Qt::Key_Z);
        QCOMPARE(cell("WN_1")->text(), "Bo");
        QCOMPARE(cell("WC_2")->text(), "6");
    }
};

QTEST_MAIN(TestPaste)
#include "tst_paste.moc"
