// SPDX-License-Identifier: MIT
// The main window without a mouse and without sight: the Tab cycle and the mode buttons' arrow
// keys driven by key events, the menus the keyboard opens, the names a screen reader hears, and
// result lines that fit the list at the scale the test runs at.
#include "rowsfixture.h"

using namespace rowstest;

static QString name(const QWidget *w) { return w ? w->objectName() : QStringLiteral("(none)"); }

// The controls the Tab key must reach: shown, enabled, taking focus from the Tab key.
static QSet<QString> tabStops(const QWidget &window)
{
    QSet<QString> stops;
    for (const QWidget *w : window.findChildren<QWidget *>())
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isVisibleTo(&window) && w->isEnabled())
            stops << w->objectName();
    return stops;
}

class TestAccess : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    void init() { f.start(true); } // the sample roster
    void cleanup() { f.stop(); }

    // Tab pressed on whatever has the focus, as many times as there are stops, from the money,
    // where a fresh window opens with the focus: every stop once, the layout's head in its order,
    // and back to the money.
    void tabCycle()
    {
        QVERIFY(f.show(true));
        TestWindow &w = *f.window;
        const QString start = QStringLiteral("txtCash");
        QCOMPARE(name(QApplication::focusWidget()), start);

        const QSet<QString> stops = tabStops(w);
        QStringList walked{start};
        for (qsizetype i = 0; i < stops.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << name(QApplication::focusWidget());
        }
        QCOMPARE(walked.takeLast(), start);
        QVERIFY(QSet<QString>(walked.begin(), walked.end()) == stops && walked.size() == stops.size());
        // The first Centre's name, then each row's name, cost, points and games one after
        // another, and a position's rows in order.
        QCOMPARE(walked.value(1), "CN_1");
        QMap<QChar, int> lastRow;
        QString blocks; // the position of each run of name cells
        for (qsizetype i = 0; i < walked.size(); ++i) {
            const auto name = QRegularExpression("^(.)N_(\\d+)$").match(walked[i]);
            if (!name.hasMatch())
                continue;
            const QString letter = name.captured(1), row = name.captured(2);
            if (!blocks.endsWith(letter))
                blocks += letter;
            QCOMPARE(walked.mid(i + 1, 3), QStringList({letter + "C_" + row, letter + "P_" + row, letter + "W_" + row}));
            QVERIFY(row.toInt() > lastRow.value(letter[0]));
            lastRow[letter[0]] = row.toInt();
        }
        // The first rows position by position, as the columns of frames read down; the later rows
        // after the search's controls, in the same order.
        QCOMPARE(blocks, "CDWGCDWG");
        // The rates, the include boxes and the row buttons: each one run through all 70 rows.
        for (const char *kind : {"%1PW_%2", "chk%1_%2", "cmd%1M_%2"}) {
            QStringList run;
            for (Position p : roster::AllPositions)
                for (int r = 1; r <= roster::rowCount(p); ++r)
                    run << QString::fromLatin1(kind).arg(roster::letter(p)).arg(r);
            QCOMPARE(walked.mid(walked.indexOf(run.front()), run.size()), run);
        }
    }

    // The arrow keys move between the two mode buttons and select the one they reach, whichever
    // was clicked last; Space selects the one Tab has reached. The mode follows.
    void modeArrows_data()
    {
        QTest::addColumn<int>("clicked");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("selected");
        QTest::newRow("Pts/W, Up") << 1 << int(Qt::Key_Up) << 0;
        QTest::newRow("Pts/G, Right") << 0 << int(Qt::Key_Right) << 1;
        QTest::newRow("Pts/G, Space on Pts/W") << 0 << int(Qt::Key_Space) << 1;
    }
    void modeArrows()
    {
        QFETCH(int, clicked);
        QFETCH(int, key);
        QFETCH(int, selected);
        QVERIFY(f.show(true));
        TestWindow &w = *f.window;
        w.chkTop35->setChecked(false);
        QTest::mouseClick(w.optM[std::size_t(clicked)], Qt::LeftButton);
        if (key == Qt::Key_Space)
            w.optM[std::size_t(selected)]->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(QApplication::focusWidget(), w.optM[std::size_t(selected)]);
        QVERIFY(w.optM[std::size_t(selected)]->isChecked() && !w.optM[std::size_t(1 - selected)]->isChecked());
        // The week mode reached by a key ticks Top 35, as a click does.
        QCOMPARE(w.chkTop35->isChecked(), selected == 1);
    }

    // The menu key and Shift+F10 open one menu, a roster cell's or the list's, on the focus. The
    // menu key arrives as the window system sends it: a context-menu event, then the key itself.
    // With the clipboard empty there is nothing to paste, and with no line selected nothing to copy.
    // Another key held with Shift opens none.
    void menuKeys_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("menus");
        const QStringList cell{"|Paste rows (off)|Copy rows"}, list{"Copy (off)"};
        // clang-format off
        QTest::newRow("name cell, menu key") << "DN_4" << "menu" << cell;
        QTest::newRow("games cell, Shift+F10") << "GW_15" << "Shift+F10" << cell;
        QTest::newRow("result list, Shift+F10") << "List1" << "Shift+F10" << list;
        QTest::newRow("result list, menu key") << "List1" << "menu" << list;
        QTest::newRow("F10 alone opens nothing") << "CC_2" << "F10" << QStringList();
        QTest::newRow("Shift+A opens nothing") << "CN_2" << "Shift+A" << QStringList();
        // clang-format on
    }
    void menuKeys()
    {
        QFETCH(QString, control);
        QFETCH(QString, keys);
        QVERIFY(f.show(true));
        QGuiApplication::clipboard()->clear();
        f.window->findChild<QWidget *>(control)->setFocus(Qt::TabFocusReason);
        QWidget *focus = QApplication::focusWidget();
        // Each popup menu that opens, closed as soon as it runs, as its texts: the cell's menu
        // from its own "Paste rows" on, after the line edit's actions; " (off)" marks one disabled.
        QStringList opened;
        QPoint openedAt; // where the last one opened, as a point of the focus
        QTimer watch;
        watchMenus(watch, [&](QMenu &menu) {
            QStringList texts;
            for (const QAction *action : menu.actions())
                if (!action->isSeparator())
                    texts << action->text() + (action->isEnabled() ? "" : " (off)");
            const QString line = texts.join(u'|');
            opened << line.mid(line.lastIndexOf(QStringLiteral("|Paste rows")));
            openedAt = focus->mapFromGlobal(menu.pos());
        });
        if (keys == u"menu") {
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(-50, -50), focus->mapToGlobal(QPoint(-50, -50)));
            QApplication::sendEvent(focus, &menu);
            QTest::keyClick(focus, Qt::Key_Menu);
        } else {
            const QKeyCombination key = QKeySequence(keys)[0];
            QTest::keyClick(focus, key.key(), key.keyboardModifiers());
        }
        QCoreApplication::processEvents();
        QTEST(opened, "menus");
        // The list's menu opens on the list, at its current line, not where the event says.
        QVERIFY(control != u"List1" || focus->rect().contains(openedAt));
    }

    // Every control a user can focus has a name of its own a listener understands; the mode
    // buttons are radio buttons; each frame is named by its position, and the box of the money
    // and target by what it holds.
    void screenReaderNames()
    {
        QVERIFY(f.show(true));
        TestWindow &w = *f.window;
        QStringList named, frames; // every shown control's name a user can focus; the frames' names
        QMap<QString, QAccessible::Role> roles;
        QString percentageHelp;
        for (QList nodes{QAccessible::queryAccessibleInterface(&w)}; !nodes.isEmpty();) {
            QAccessibleInterface *node = nodes.takeFirst();
            if (!node)
                continue;
            for (int i = 0; i < node->childCount(); ++i)
                nodes << node->child(i);
            const QString id = node->object() ? node->object()->objectName() : QString();
            roles[id] = node->role();
            const bool frame = node->role() == QAccessible::Grouping || node->role() == QAccessible::Border;
            if (frame && !node->text(QAccessible::Name).isEmpty()) // lines drawn between controls are no frames
                frames << node->text(QAccessible::Name);
            if (node->state().focusable && !node->state().invisible)
                named << node->text(QAccessible::Name);
            if (id == u"txtPerc")
                percentageHelp = node->text(QAccessible::Description);
        }
        QVERIFY(percentageHelp.contains("faster")); // what the percentage does, as its caption's tooltip says
        // No name is empty, none repeats, and none carries the blanks a caption is laid out with.
        const bool plain = std::ranges::all_of(named, [](const QString &n) { return n == n.simplified(); });
        QVERIFY2(plain && !named.contains("") && named.removeDuplicates() == 0, qPrintable(named.join(u'|')));
        QCOMPARE(named.size(), tabStops(w).size());
        for (const char *spoken :
             {"Centres row 3 name", "Wingers row 7 cost", "Defence row 15 points", "Goalies row 1 games",
              "Centres row 20 points for the week", "Centres row 3 include", "Move Goalies row 15", "Money", "Target points",
              "Switch Centres with Wingers", "Switch Centres with Defence", "Minimum percentage of money", "Find Best Team",
              "Pts/G Mode", "Pts/W Mode", "Result list", "Auto Save Before Searching"})
            QVERIFY2(named.contains(spoken), spoken);
        QVERIFY(roles["optM_0"] == QAccessible::RadioButton && roles["optM_1"] == QAccessible::RadioButton);
        QCOMPARE(QAccessible::queryAccessibleInterface(&w)->text(QAccessible::Name), "Korvane"); // the window's title
        frames.sort();
        QCOMPARE(frames, (QStringList{"Centres", "Defence", "Goalies", "Money and target", "Wingers"}));
    }

    // A line's players reach a screen reader as its description, and the pointer as its tooltip.
    // A search that lists no team says why in the list's tooltip, over the closing lines and the
    // space below them, and as the list's description; the next search that lists teams leaves none.
    void descriptions()
    {
        TestWindow &w = *f.window;
        QWidget *viewport = w.List1->viewport();
        const auto tipAt = [&](QPoint point) { // the tooltip the pointer resting there shows
            QHelpEvent help(QEvent::ToolTip, point, viewport->mapToGlobal(point));
            QApplication::sendEvent(viewport, &help);
            const QString tip = QToolTip::text();
            QToolTip::hideText();
            return tip;
        };
        const QString money = w.txtCash->text();
        w.txtCash->setText(QStringLiteral("5"));
        w.cmdDo->click();
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(w.List1);
        QVERIFY(w.List1->count() == 2 && w.List1->toolTip().startsWith("No team's cost lies inside the spending band"));
        QCOMPARE(list->text(QAccessible::Description), w.List1->toolTip());
        QCOMPARE(tipAt(QPoint(5, viewport->height() - 2)), w.List1->toolTip());

        w.setTexts("txtCash=" + money + " txtTarget=0");
        w.cmdDo->click(); // the week's points: each row's points times its games
        QVERIFY(w.List1->count() == 37 && w.List1->toolTip().isEmpty());
        QAccessibleTableInterface *table = list->tableInterface();
        QVERIFY(table && table->rowCount() == 37);
        QCOMPARE(w.List1->item(34), "51.6 -- 98 -- 1 3 - 1 2 3 5 - 2 3 4 - 1"); // the best team, then the counts
        QCOMPARE(table->cellAt(34, 0)->text(QAccessible::Name), w.List1->item(34));
        const QString described = table->cellAt(34, 0)->text(QAccessible::Description);
        const auto n = [&](Position p, int r) { return w.row(p, r).N->text(); };
        QCOMPARE(described,
                 QStringLiteral("C: %1, %2 \u00b7 W: %3, %4, %5, %6 \u00b7 D: %7, %8, %9 \u00b7 G: %10")
                     .arg(n(Position::C, 1), n(Position::C, 3), n(Position::W, 1), n(Position::W, 2), n(Position::W, 3),
                          n(Position::W, 5), n(Position::D, 2), n(Position::D, 3), n(Position::D, 4), n(Position::G, 1)));
        QCOMPARE(tipAt(w.List1->visualRect(w.List1->model()->index(34, 0)).center()), described);
        // The last row of every position is named too.
        const QString lastRowsLine = "70. -- 96 -- 19 20 - 17 18 19 20 - 13 14 15 - 15";
        w.List1->addItem(lastRowsLine.toStdString());
        const QString lastRows = table->cellAt(int(w.listLines().indexOf(lastRowsLine)), 0)->text(QAccessible::Description);
        QVERIFY(lastRows.endsWith(n(Position::D, 15) + QStringLiteral(" \u00b7 G: ") + n(Position::G, 15)));
    }

    // The widest line a roster of plain numbers can list (two-digit rows everywhere; points and
    // cost of seven significant digits, with or without sign and point), every digit as wide as
    // the list's widest, fits the viewport: no horizontal scroll bar. CTest runs this at 1x and 2x.
    void widestLineFits()
    {
        QVERIFY(f.show(true));
        ResultListBox &list = *f.window->List1;
        const auto width = [&](const QString &text) { return list.fontMetrics().horizontalAdvance(text); };
        const auto wider = [&](const auto &a, const auto &b) { return width(a) < width(b); };
        const QChar digit = std::ranges::max(QStringLiteral("0123456789"), wider);
        QStringList lines;
        for (const char *head :
             {"888888.8 -- -8888.888", "888888.8 -- 88888.88", "-88888.88 -- -8888.888", "-88888.88 -- 88888.88"})
            lines << QString(head).replace(u'8', digit) + " -- 19 20 - 17 18 19 20 - 13 14 15 - 15";
        const QString widestLine = *std::max_element(lines.begin(), lines.end(), wider);
        const int margins = 2 * (list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1);
        QVERIFY2(width(widestLine) + margins <= list.viewport()->width(), qPrintable(widestLine));
        list.addItem(widestLine.toStdString());
        list.addItem("40.04 -- 60.5 -- 2 17 - 4 10 11 17 - 10 12 15 - 9");
        QCoreApplication::processEvents();
        QVERIFY(!list.horizontalScrollBar()->isVisible());
        // A line wider than the list widens its column, and the scroll bar reaches its end.
        list.addItem(std::string(300, '8'));
        QCoreApplication::processEvents();
        QVERIFY(list.horizontalScrollBar()->isVisible());
    }
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
