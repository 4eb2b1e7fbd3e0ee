// Rows pasted from a spreadsheet into the roster, taken back with one Ctrl+Z, and a position's
// rows copied out and pasted back. The clipboard format itself is tst_cellblock's.
#include "rowsfixture.h"

using namespace rowstest;

class TestPaste : public QObject {
    Q_OBJECT
    WindowFixture f;

    QLineEdit *cell(const QString &name) { return f.window->findChild<QLineEdit *>(name); }
    void setTexts(const QString &settings)
    {
        for (const QString &setting : settings.split(u' ', Qt::SkipEmptyParts))
            cell(setting.section(u'=', 0, 0))->setText(setting.section(u'=', 1));
    }
    static void key(QLineEdit *target, Qt::Key k) { QTest::keyClick(target, k, Qt::ControlModifier); }

private slots:
    void init() { f.start(); } // no players.txt: every row empty
    void cleanup() { f.stop(); }

    // Each row: texts set first, the clipboard, then the keys on a cell (v Ctrl+V, m the menu's
    // "Paste rows", z Ctrl+Z); then texts and rates ("_" stands for a blank) and the message.
    void paste_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("at");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("spreadsheet block, tabs and CR LF")
            << "CN_3=Old" << "Ng, JJ\t12\t1.5\t3\r\nOle\t8\t.5\t4\r\n" << "CN_1" << "v"
            << "CN_1=Ng,_JJ CC_1=12 CP_1=1.5 CW_1=3 CPW_1=4.5 CN_2=Ole CPW_2=2 CN_3=Old" << "";
        QTest::newRow("CSV with quoted commas and quotes, into the last rows")
            << "" << "\"Ng, JJ\",7,2,3\n\"Smith \"\"Ace\"\"\", 9 , 1.25, 2\n" << "WN_19" << "m"
            << "WN_19=Ng,_JJ WC_19=7 WPW_19=6 WN_20=Smith_\"Ace\" WC_20=9 WP_20=1.25 WPW_20=2.5" << "";
        QTest::newRow("from the cost column; the rate column passed over")
            << "DN_14=Keep DPW_14=" << "5\t2\t3\t7\n6\t1\t1\t99\n" << "DC_14" << "v"
            << "DN_14=Keep DC_14=5 DP_14=2 DW_14=3 DPW_14=6 DC_15=6 DPW_15=1" << "";
        QTest::newRow("too many rows")
            << "DN_1=Keep" << QString("x\n").repeated(16) << "DN_1" << "v" << "DN_1=Keep DN_15="
            << "Nothing was pasted: the clipboard holds 16 rows and 1 column, but from the name cell of Defence row 1 "
               "only 15 rows and 5 columns fit (name, cost, points, games, and the points for the week, which are "
               "worked out and never pasted).";
        QTest::newRow("too many columns from the points cell")
            << "" << "1\t2\t3\t4\n" << "GP_15" << "m" << "GP_15= GW_15="
            << "Nothing was pasted: the clipboard holds 1 row and 4 columns, but from the points cell of Goalies row "
               "15 only 1 row and 3 columns fit (points, games, and the points for the week, which are worked out "
               "and never pasted).";
        QTest::newRow("values cut by the width rule, the rate from the cut values")
            << "" << "Al\t12345\t1.2345\t10.5\nBo\t7\t2\t1234\n" << "GN_1" << "v"
            << "GN_1=Al GC_1=1234 GP_1=1.23 GW_1=10. GPW_1=12.3 GC_2=7 GW_2=123 GPW_2=246"
            << "4 values were too long for their cells and were cut; the first: \"12345\" in Goalies row 1 cost "
               "became \"1234\".";
        QTest::newRow("one value cut") << "" << "a\t1.125\n" << "CN_1" << "v" << "CN_1=a CC_1=1.12"
                                       << "1 value was too long for its cell and was cut: \"1.125\" in Centres row 1 "
                                          "cost became \"1.12\".";
        // clang-format on
        // A single value is pasted at the cursor, as the cell always has; Paste rows sets the cell.
        // clang-format off
        QTest::newRow("single value, Ctrl+V") << "CC_5=1" << "5\r\n" << "CC_5" << "v" << "CC_5=15" << "";
        QTest::newRow("single value, Paste rows") << "CC_5=1" << "5\r\n" << "CC_5" << "m" << "CC_5=5" << "";
        QTest::newRow("Ctrl+Z after a block paste")
            << "CN_1=Ann CC_1=4 CP_1=2 CW_1=2" << "Bo\t5\t3\t1\nCy\t6\t1\t1\n" << "CN_1" << "vz"
            << "CN_1=Ann CC_1=4 CP_1=2 CW_1=2 CPW_1=4 CN_2= CC_2= CPW_2=0" << "";
        // clang-format on
    }
    void paste()
    {
        QFETCH(QString, before);
        QFETCH(QString, clipboard);
        QFETCH(QString, at);
        QFETCH(QString, keys);
        QFETCH(QString, after);
        QFETCH(QString, message);
        setTexts(before);
        QGuiApplication::clipboard()->setText(clipboard);
        QLineEdit *target = cell(at);
        for (QChar k : keys) {
            if (k == u'm') {
                std::unique_ptr<QMenu> menu(f.window->cellMenu(target));
                const QList<QAction *> actions = menu->actions();
                const auto paste = std::find_if(actions.begin(), actions.end(),
                                                [](QAction *a) { return a->text() == "Paste rows"; });
                QVERIFY(paste != actions.end() && (*paste)->isEnabled());
                (*paste)->trigger();
            } else {
                key(target, k == u'v' ? Qt::Key_V : Qt::Key_Z);
            }
        }
        for (const QString &pair : after.split(u' '))
            QCOMPARE(cell(pair.section(u'=', 0, 0))->text(), pair.section(u'=', 1).replace(u'_', u' '));
        QCOMPARE(f.messages, message.isEmpty() ? QStringList() : QStringList{message});
    }

    // An edit after the paste ends what Ctrl+Z takes back: it then undoes the edit only.
    void undoOnlyRightAfter()
    {
        QGuiApplication::clipboard()->setText("Bo\t5\nCy\t6\n");
        key(cell("WN_1"), Qt::Key_V);
        QLineEdit *games = cell("WW_2");
        games->setFocus();
        QTest::keyClicks(games, "4");
        key(games, Qt::Key_Z);
        QCOMPARE(games->text(), "");
        key(cell("WN_1"), Qt::Key_Z);
        QCOMPARE(cell("WN_1")->text(), "Bo");
        QCOMPARE(cell("WC_2")->text(), "6");
    }

    // Every position copied out with names that hold commas, quotes, tabs and blanks, emptied, and
    // pasted back into row 1: the same texts.
    void copyThenPaste()
    {
        const QStringList names{"Ng, JJ", "Smith \"Ace\"", "\"Q\" Bo", " lead", "tab\there", "", "a,b,\"c\""};
        const auto texts = [&](Position p) {
            QStringList texts;
            for (int r = 1; r <= roster::rowCount(p); ++r)
                for (QLineEdit *field :
                     {f.cells(p, r).N, f.cells(p, r).C, f.cells(p, r).P, f.cells(p, r).W, f.cells(p, r).PW})
                    texts << field->text();
            return texts;
        };
        for (Position p : roster::AllPositions) {
            for (int r = 1; r <= roster::rowCount(p); ++r) {
                const auto &c = f.cells(p, r);
                c.N->setText(names[r % names.size()] + QString::number(r));
                c.C->setText(QStringList{"1,00", "12", "", "-.5"}[r % 4]);
                c.P->setText(QString::number(r * 0.25));
                c.W->setText(QString::number(r % 4));
            }
            const QStringList before = texts(p);
            std::unique_ptr<QMenu> menu(f.window->titleMenu(p));
            QVERIFY(menu->actions().size() == 1 && menu->actions()[0]->text() == "Copy rows");
            menu->actions()[0]->trigger();
            QCOMPARE(QGuiApplication::clipboard()->text().count(u'\n'), roster::rowCount(p));
            for (int r = 1; r <= roster::rowCount(p); ++r)
                for (QLineEdit *field : {f.cells(p, r).N, f.cells(p, r).C, f.cells(p, r).P, f.cells(p, r).W})
                    field->clear();
            key(f.cells(p, 1).N, Qt::Key_V);
            QCOMPARE(texts(p), before);
        }
        QVERIFY(f.messages.isEmpty());
    }

    // During a search the cells are locked: neither Ctrl+V nor Paste rows reaches them. After it,
    // the same paste goes through.
    void lockedDuringSearch()
    {
        TestWindow &w = *f.window;
        for (Position p : roster::AllPositions)
            w.row(p, roster::rowCount(p)).chk->setChecked(true);
        w.useReferenceEngine = true;   // slow enough to be inside for certain
        w.chkASave->setChecked(false); // its yield comes before the lock
        QGuiApplication::clipboard()->setText("Ng\t9\n");
        QLineEdit *name = cell("CN_1");
        bool locked = false;
        QTimer::singleShot(0, &w, [&] {
            key(name, Qt::Key_V);
            std::unique_ptr<QMenu> menu(w.cellMenu(name));
            const QList<QAction *> actions = menu->actions();
            const auto paste = std::find_if(actions.begin(), actions.end(),
                                            [](QAction *a) { return a->text() == "Paste rows"; });
            locked = !name->isEnabled() && !(*paste)->isEnabled() && !w.pasteRows(name, "Ng\t9\n") && name->text().isEmpty()
                     && cell("CC_1")->text().isEmpty();
            w.cmdStop->click();
        });
        w.cmdDo->click();
        QVERIFY(locked);
        key(name, Qt::Key_V);
        QCOMPARE(name->text(), "Ng");
        QCOMPARE(cell("CC_1")->text(), "9");
    }
};

QTEST_MAIN(TestPaste)
#include "tst_paste.moc"
