// SPDX-License-Identifier: MIT
// Find Best Team through the window: the spending band, refusals, the help's examples, Stop
// during a search, the list keeping up during one, its keys and copies, and the team it marks.
// The result lines themselves are the search library's tests'.
#include "rowsfixture.h"

#include <cmath>

using namespace rowstest;

static int selectedRows(const ResultListBox &list) { return int(list.selectionModel()->selectedRows().size()); }

class TestSearch : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    // The sample roster, loaded as at start-up, then its file removed: it comes back only through
    // an auto-save.
    void init()
    {
        f.start(true);
        QVERIFY(QFile::remove(f.folder->filePath(QStringLiteral("players.txt"))));
    }
    void cleanup() { f.stop(); }

    // The money, target and percentage a search is asked with: the band it searches
    // ("CashLimit/MinSpend"), or the refusal.
    void settings_data()
    {
        QTest::addColumn<QString>("settings"); // field=text ...
        QTest::addColumn<QString>("outcome");
        const QString money = "The money \"%1\" is not a number the search can use. Type the money available, up to 32766.";
        const QString percentage =
            "The minimum percentage of money to use (%1) asks for %2 than the search can count. %3 the percentage.";
        // clang-format off
        QTest::newRow("999.5 at 90: rounds to 1000") << "txtCash=999.5" << "1001/901";
        QTest::newRow("49 at 85: 42.5 to even") << "txtCash=49 txtPerc=85" << "50/42";
        QTest::newRow("29 at 85: 25.5 to even") << "txtCash=29 txtPerc=85" << "30/26";
        QTest::newRow("124 at 2.8: 3.5 in single precision") << "txtCash=124 txtPerc=2.8" << "125/4";
        QTest::newRow("32766: the last money that holds") << "txtCash=32766" << "32767/29490";
        QTest::newRow("32767: beyond 16 bits") << "txtCash=32767" << money.arg("32767");
        QTest::newRow("money rounding to 32767") << "txtCash=32766.6" << money.arg("32766.6");
        QTest::newRow("target of letters") << "txtTarget=lots" << "The target \"lots\" is not a number. Type the points a team must beat.";
        // The floor is the share of the money plus one: 32767 x 1.00001 rounds to 32767, x 1.00003 past it.
        QTest::newRow("32766 at 100.001") << "txtCash=32766 txtPerc=100.001" << "32767/32767";
        QTest::newRow("32766 at 100.003") << "txtCash=32766 txtPerc=100.003" << percentage.arg("100.003", "more", "Lower");
        QTest::newRow("percentage far below 0") << "txtCash=32766 txtPerc=-1000" << percentage.arg("-1000", "less", "Raise");
        // clang-format on
    }
    void settings()
    {
        QFETCH(QString, settings);
        QFETCH(QString, outcome);
        TestWindow &w = *f.window;
        w.cmdDo->click(); // a list, which a refused search leaves as it is
        const QStringList before = w.listLines();
        w.setTexts(settings);
        w.cmdDo->click();
        const QString band = QStringLiteral("%1/%2").arg(w.search.state.CashLimit).arg(w.search.state.MinSpend);
        QVERIFY2(outcome.contains(u'/') ? band == outcome : f.messages == QStringList{outcome} && w.listLines() == before,
                 qPrintable(band + u' ' + f.messages.join(u'|')));
        QVERIFY(!QFile::exists(f.folder->filePath(QStringLiteral("players.txt")))); // auto-save unticked
        QVERIFY(w.cmdDo->isEnabled() && w.row(Position::G, 15).chk->isEnabled() && !w.Timer1->isActive());
    }

    // The help's worked examples of the money and the percentage, read from help.rtf and run
    // through the window with a roster of one team of that cost: help and program agree.
    void helpExamples_data()
    {
        QTest::addColumn<QString>("money");
        QTest::addColumn<QString>("percentage");
        QTest::addColumn<QString>("cost");
        QTest::addColumn<bool>("listed");
        const QString text = QString::fromLatin1(fileBytes(QStringLiteral(KORVANE_DATA_DIR "/help.rtf"))).simplified();
        QVERIFY(text != u"(unreadable)");
        const QRegularExpression example(QStringLiteral(
            R"(with money (\d+)(?: and (\d+) %[^:]*:)? a team costing ([\d.]+) is listed and one costing ([\d.]+) is not)"));
        int examples = 0;
        for (auto match = example.globalMatch(text); match.hasNext(); ++examples) {
            const auto m = match.next();
            const QString percentage = m.captured(2).isEmpty() ? QStringLiteral("90") : m.captured(2);
            QTest::addRow("money %s, %s listed", qPrintable(m.captured(1)), qPrintable(m.captured(3)))
                << m.captured(1) << percentage << m.captured(3) << true;
            QTest::addRow("money %s, %s not", qPrintable(m.captured(1)), qPrintable(m.captured(4)))
                << m.captured(1) << percentage << m.captured(4) << false;
        }
        QCOMPARE(examples, 2); // the money's and the percentage's
    }

    void helpExamples()
    {
        QFETCH(QString, money);
        QFETCH(QString, percentage);
        QFETCH(QString, cost);
        TestWindow &w = *f.window;
        // Every box unticked: the first rows of each position are the one team. A first cost
        // counts as a whole number, so the fraction goes to the second Centre.
        for (Position p : roster::AllPositions)
            for (int r = roster::rowCount(p); r >= 1; --r) {
                w.row(p, r).chk->setChecked(false);
                w.row(p, r).C->setText(QStringLiteral("0"));
                w.row(p, r).P->setText(QStringLiteral("1"));
            }
        const double whole = std::floor(cost.toDouble());
        w.setTexts(QStringLiteral("CC_1=%1 CC_2=%2 txtCash=%3 txtPerc=%4 txtTarget=0")
                       .arg(QString::number(whole), QString::number(cost.toDouble() - whole), money, percentage));
        w.cmdDo->click();
        QVERIFY(f.messages.isEmpty());
        QTEST(w.List1->count() == 3, "listed"); // the team and the two closing counts
    }

    // Stop, or closing the window, arrives during a yield of a search over the full roster: the
    // search unwinds, adds its closing lines, and Find Best Team stays off until it has returned.
    // Meanwhile the roster takes no paste, by Ctrl+V or by Paste rows.
    void stopDuringSearch_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("Stop") << false;
        QTest::newRow("closing the window") << true;
    }
    void stopDuringSearch()
    {
        QFETCH(bool, close);
        TestWindow &w = *f.window;
        w.txtTarget->setText(QStringLiteral("1000")); // no team is listed before the stop
        w.tickEveryRow();
        w.useReferenceEngine = true; // slow enough to be stopped for certain
        // Seen during the search: the roster takes no paste (the controls locked and live are
        // in the pictures); then while the stopped search unwinds: the inputs unlocked, Find Best
        // Team held.
        bool locked = false, unwinding = false;
        setClipboardBytes("Ng\t9\n");
        QTimer::singleShot(0, &w, [&] {
            QLineEdit *name = w.row(Position::C, 1).N;
            QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
            std::unique_ptr<QMenu> menu(w.cellMenu(name));
            locked = !menuAction(*menu, "Paste rows")->isEnabled() && !w.pasteRows(name, "Ng\t9\n") && name->text() != u"Ng";
            close ? void(w.close()) : w.cmdStop->click();
            unwinding = w.txtCash->isEnabled() && w.row(Position::W, 7).chk->isEnabled() && !w.cmdDo->isEnabled();
            w.cmdDo->click(); // refused: the stopped search has not returned yet
        });
        w.cmdDo->click();
        QVERIFY(locked && unwinding && w.cmdDo->isEnabled() && !w.search.running && f.ends == int(close));
        const qint64 examined = w.search.state.Examined;
        QVERIFY(examined > 0 && examined < qint64(6282753750));
        QVERIFY(w.listLines().contains(QString::number(examined)));
        QCOMPARE(w.List1->toolTip(), "The search was stopped before it listed any team.");

        // The next search starts afresh, with a new list, and runs to its end.
        w.useReferenceEngine = false;
        w.setTexts(QStringLiteral("txtCash=10 txtPerc=95"));
        w.cmdDo->click();
        QCOMPARE(w.listLines(), (QStringList{"0", "6282753750"}));
        QTest::keyClick(w.row(Position::C, 1).N, Qt::Key_V, Qt::ControlModifier); // the roster takes pastes again
        QVERIFY(w.row(Position::C, 1).N->text() == u"Ng" && w.row(Position::C, 1).C->text() == u"9");
    }

    // Whenever the window answers events during a search, the list shows every team listed so
    // far: what the user sees and clicks is the list as it stands.
    void listKeepsUp()
    {
        TestWindow &w = *f.window;
        w.chkTop35->setChecked(false);
        w.setTexts(QStringLiteral("txtCash=32766 txtPerc=0 txtTarget=-1")); // every team examined is listed
        w.tickEveryRow();
        w.useReferenceEngine = true;
        qint64 examined = 0, shown = -1;
        w.searchUntilFirstPass([&] {
            examined = w.search.state.Examined;
            shown = w.List1->model()->rowCount(); // the rows the view and a screen reader have
        });
        QCOMPARE(shown, examined);
    }

    // A click selects a line, the keys move, Ctrl+C copies the selection with the players' names;
    // lines listed above the top line leave the view where it was.
    void listBox()
    {
        TestWindow &w = *f.window;
        w.chkTop35->setChecked(false);
        w.optM[0]->setChecked(true);
        w.txtTarget->setText(QStringLiteral("0"));
        ResultListBox &list = *w.List1;
        QVERIFY(f.show());
        // The lines' model keeps the rules every view relies on through all that follows.
        QAbstractItemModelTester modelRules(list.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Many lines at once into a list never cleared, and into one cleared while scrolled to its
        // end: each shows its first line.
        const auto fillAndTop = [&] {
            for (int i = 0; i < 100; ++i)
                list.lines().insert(float(i), std::to_string(i) + ". -- 1");
            list.linesChanged();
            return list.verticalScrollBar()->value();
        };
        QCOMPARE(fillAndTop(), 0);
        list.scrollToBottom();
        list.lines().clear();
        QCOMPARE(fillAndTop(), 0);
        w.cmdDo->click();
        clickLine(list, 2);
        QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);
        clickLine(list, 0, Qt::ControlModifier);
        QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
        const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(copied.size(), 3);
        // The selected lines in the list's order, whatever order they were picked in, each then
        // its ten players' names in cells of their own, in the line's order.
        for (int i = 0; i < 3; ++i) {
            QStringList expected{list.item(i == 0 ? 0 : 1 + i)};
            for (const auto &[p, r] : rowsNamed(expected[0]))
                expected << w.row(p, r).N->text();
            QCOMPARE(copied[i].split(u'\t'), expected);
        }
        // The list's menu copies the same.
        QGuiApplication::clipboard()->clear();
        QTimer watch;
        watchMenus(watch, [](QMenu &menu) { menuAction(menu, QStringLiteral("Copy"))->trigger(); });
        QTest::keyClick(&list, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts), copied);
        watch.stop();
        clickLine(list, 2);
        QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);

        list.scrollTo(list.model()->index(10, 0), QAbstractItemView::PositionAtTop);
        const auto top = [&] { return list.model()->index(list.verticalScrollBar()->value(), 0).data().toString(); };
        const QString topLine = top(), selected = list.currentIndex().data().toString();
        list.lines().insert(-1e9f, "."); // ranks before every team
        list.lines().insert(-1e9f, "..");
        list.linesChanged();
        // Row 3 before the two lines went in above it.
        QVERIFY(top() == topLine && list.currentIndex().data().toString() == selected && list.currentIndex().row() == 5);
        // Shift+End selects from the clicked line to the last; Home goes to the first.
        QTest::keyClick(&list, Qt::Key_End, Qt::ShiftModifier);
        QVERIFY(list.currentIndex().row() == list.count() - 1 && selectedRows(list) == list.count() - 4);
        QTest::keyClick(&list, Qt::Key_Home);
        QVERIFY(list.currentIndex().row() == 0 && selectedRows(list) == 1);
        list.lines().insert(1e9f, "1000000000. -- 2"); // ranks after it: the first line stays first, and selected
        list.linesChanged();
        QVERIFY(list.currentIndex().row() == 0 && selectedRows(list) == 1);
        // Week mode ticks Top 35, which keeps the 35 best lines and the closing counts.
        const QStringList before = w.listLines();
        w.optM[1]->click();
        QVERIFY(w.chkTop35->isChecked() && w.listLines() == before.mid(before.size() - 37)
                && list.model()->rowCount() == 37);
        // A better team takes the weakest's place: as many lines, and the selection stays on its
        // line, now one row up.
        list.setCurrentIndex(list.model()->index(10, 0));
        const QString chosen = list.currentIndex().data().toString();
        list.lines().insert(1e9f, "1000000000. -- 1");
        list.lines().removeFirst();
        list.linesChanged();
        QVERIFY(list.model()->rowCount() == 37 && list.currentIndex().row() == 9);
        QCOMPARE(list.currentIndex().data().toString(), chosen);
        // A larger font gives the lines room: rows as tall as its lines.
        QFont larger = list.font();
        larger.setPixelSize(3 * list.visualRect(list.currentIndex()).height());
        list.setFont(larger);
        QVERIFY(list.visualRect(list.currentIndex()).height() >= QFontMetrics(larger).height());
    }

    // Selecting one line tints the rows its numbers name, ten in all, in the name, cost and points
    // cells, and tells a screen reader; texts, ticks and text colours stay. Clicking another line
    // moves the marks; `then` takes them away: a name typed, a tick changed, the list cleared, a
    // line that is no team, or a second line added to the selection.
    void teamMarks_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("then");
        // clang-format off
        QTest::newRow("one-digit rows, a name typed") << "51.6 -- 98 -- 1 3 - 1 2 3 5 - 2 3 4 - 1" << "name";
        QTest::newRow("two-digit rows, a tick") << "80.5 -- 99 -- 11 20 - 10 13 17 20 - 12 14 15 - 15" << "tick";
        QTest::newRow("the same rows in every position, cleared") << "60. -- 97 -- 1 2 - 1 2 3 4 - 1 2 3 - 1" << "clear";
        QTest::newRow("last rows, a closing line") << "70. -- 96 -- 19 20 - 17 18 19 20 - 13 14 15 - 15" << "closing";
        QTest::newRow("two lines selected") << "70. -- 96 -- 9 10 - 5 6 7 8 - 9 10 11 - 12" << "extend";
        // clang-format on
    }
    void teamMarks()
    {
        QFETCH(QString, line);
        QFETCH(QString, then);
        TestWindow &w = *f.window;
        ResultListBox &list = *w.List1;
        const QString other = QStringLiteral("99.5 -- 95 -- 2 4 - 3 6 8 9 - 5 7 8 - 3");
        for (const QString &l :
             {line, other, QStringLiteral("35"), QStringLiteral("40.5 -- 90 -- 1 2 - 1 2 3 4 - 1 2 3 - 2")})
            list.addItem(l.toStdString());
        QVERIFY(f.show());
        const auto rowOf = [&](const QString &text) { return int(w.listLines().indexOf(text)); };
        const auto click = [&](const QString &text, Qt::KeyboardModifiers keys = {}) { clickLine(list, rowOf(text), keys); };
        // The rows as the cells show them, in roster order: (C, 3) where name, cost and points are
        // tinted and described as in the team and the games are not, (C, -1) for any other tint or
        // description. `kept` gathers every text, text colour and tick, which must stay.
        const QColor plain = w.palette().color(QPalette::Base);
        QString kept;
        const auto marked = [&] {
            QList<std::pair<Position, int>> rows;
            kept.clear();
            for (Position p : roster::AllPositions)
                for (int r = 1; r <= roster::rowCount(p); ++r) {
                    QString flags;
                    for (const QLineEdit *cell : w.row(p, r).editableFields()) {
                        flags += QString::number((cell->palette().color(QPalette::Base) != plain)
                                                 + 2 * (cell->accessibleDescription() == u"in the selected team"));
                        kept += cell->text() + textColour(cell).name() + QString::number(w.row(p, r).chk->isChecked());
                    }
                    if (flags != u"0000")
                        rows.append({p, flags == u"3330" ? r : -1});
                }
            return rows;
        };
        marked();
        const QString before = kept;
        click(line);
        QVERIFY(marked() == rowsNamed(line) && rowsNamed(line).size() == 10 && kept == before);
        QTest::keyClick(&list, rowOf(other) > rowOf(line) ? Qt::Key_Down : Qt::Key_Up); // the next line by keys
        QVERIFY(list.selectedLine() == other && marked() == rowsNamed(other));
        click(line);
        QVERIFY(marked() == rowsNamed(line));
        if (then == u"name")
            QTest::keyClicks(w.row(Position::G, 15).N, "x");
        else if (then == u"tick")
            w.row(Position::D, 15).chk->click();
        else if (then == u"clear")
            list.clear();
        else
            click(then == u"closing" ? QStringLiteral("35") : other,
                  then == u"closing" ? Qt::NoModifier : Qt::ControlModifier);
        QVERIFY(marked().isEmpty());
        // A change to the roster takes the selection away with the marks, as the line may no
        // longer be the team the rows show.
        QCOMPARE(list.selectionModel()->hasSelection(), then == u"closing" || then == u"extend");
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
