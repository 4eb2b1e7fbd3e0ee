// Find Best Team through the window: the spending band, refusals, auto-save, the Top 35 box,
// the mode buttons, Stop during a search, the progress caption and the result tooltips.
#include "rowsfixture.h"

#include "search/format.h"
#include "window/resultlistbox.h"

using namespace rowstest;

static QStringList listLines(const frmChoose30 &w)
{
    QStringList lines;
    for (int i = 0; i < w.List1->count(); ++i)
        lines << w.List1->item(i);
    return lines;
}

// Every text and every check value of the window.
static QStringList windowState(const QWidget &w)
{
    QStringList state;
    for (const QLineEdit *field : w.findChildren<QLineEdit *>())
        state << field->text();
    for (const QAbstractButton *button : w.findChildren<QAbstractButton *>())
        state << QString::number(button->isChecked());
    return state;
}

class TestSearch : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    // The sample roster, loaded as at start-up; no save before a search unless a test asks.
    void init()
    {
        f.start();
        QFile::copy(QStringLiteral(KORVANE_DATA_DIR "/players.txt"), f.folder->filePath(QStringLiteral("players.txt")));
        f.window->Form_Load();
        f.window->chkASave->setChecked(false);
    }
    void cleanup() { f.stop(); }

    // The money, target and percentage a search is asked with: the spending band it searches, or
    // a refusal that keeps the list of the search before, the roster and the inputs as they were.
    void settings_data()
    {
        QTest::addColumn<QString>("settings"); // field=text ...
        QTest::addColumn<QString>("band");     // CashLimit/MinSpend searched with
        QTest::addColumn<QString>("told");     // the refusal's subject
        QTest::addColumn<QString>("lines");    // the whole list, when it is known
        QTest::newRow("1000 at 90") << "txtCash=1000 txtPerc=90" << "1001/901" << "" << "";
        QTest::newRow("49 at 85: 42.5 to even") << "txtCash=49 txtPerc=85" << "50/42" << "" << "";
        QTest::newRow("29 at 85: 25.5 to even") << "txtCash=29 txtPerc=85" << "30/26" << "" << "";
        QTest::newRow("999.5 rounds to 1000") << "txtCash=999.5" << "1001/901" << "" << "";
        QTest::newRow("10 at 95: nothing fits") << "txtCash=10 txtPerc=95" << "11/10" << "" << "0 1800";
        QTest::newRow("money of letters") << "txtCash=abc" << "" << "money" << "";
        QTest::newRow("money 32767") << "txtCash=32767" << "" << "money" << "";
        QTest::newRow("money rounding to 32767") << "txtCash=32767.4" << "" << "money" << "";
        QTest::newRow("target of letters") << "txtTarget=lots" << "" << "target" << "";
        QTest::newRow("percentage too large") << "txtPerc=1E30" << "" << "percentage" << "";
    }
    void settings()
    {
        QFETCH(QString, settings);
        QFETCH(QString, band);
        QFETCH(QString, told);
        QFETCH(QString, lines);
        frmChoose30 &w = *f.window;
        w.cmdDo->click(); // a list from an earlier search, which a refusal must keep
        const QStringList before = listLines(w);
        for (const QString &setting : settings.split(u' '))
            w.findChild<QLineEdit *>(setting.section(u'=', 0, 0))->setText(setting.section(u'=', 1));
        const QStringList state = windowState(w);
        w.cmdDo->click();
        if (told.isEmpty()) {
            QCOMPARE(QStringLiteral("%1/%2").arg(w.search.state.CashLimit).arg(w.search.state.MinSpend), band);
            if (!lines.isEmpty())
                QCOMPARE(listLines(w).join(u' '), lines);
        } else {
            QCOMPARE(f.messages.size(), 1);
            QVERIFY2(f.messages.first().contains(told), qPrintable(f.messages.first()));
            QCOMPARE(listLines(w), before);
            QCOMPARE(windowState(w), state);
        }
        QVERIFY(w.cmdDo->isEnabled() && w.row(Position::G, 15).chk->isEnabled() && !w.Timer1->isActive());
    }

    void autoSave()
    {
        frmChoose30 &w = *f.window;
        QFile file(f.folder->filePath(QStringLiteral("players.txt")));
        file.remove();
        w.row(Position::C, 1).N->setText(QStringLiteral("Renamed Before The Search"));
        w.cmdDo->click();
        QVERIFY(!file.exists()); // unticked: nothing saved
        w.chkASave->setChecked(true);
        w.cmdDo->click();
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains("\r\nRenamed Before The Search\r\n"));
        QCOMPARE(w.chkASave->text(), "   Auto Save   Before Searching");
    }

    // After a search that listed 50 lines or more, choosing week mode ticks Top 35, which keeps
    // the last (best) 35 lines and leaves the target alone. Game mode changes nothing.
    void weekModeTicksTop35()
    {
        frmChoose30 &w = *f.window;
        w.chkTop35->setChecked(false);
        w.optM[0]->setChecked(true);
        w.txtTarget->setText(QStringLiteral("0"));
        w.cmdDo->click();
        QVERIFY(!w.chkTop35->isChecked());
        const QStringList before = listLines(w);
        QVERIFY(before.size() >= 50);
        const float target = w.search.state.Target;
        w.optM[1]->setChecked(true);
        QVERIFY(w.chkTop35->isChecked());
        QCOMPARE(listLines(w), before.mid(before.size() - 35));
        QCOMPARE(w.search.state.Target, target);
    }

    // Stop arrives during a yield of a search over the full roster: the search unwinds, adds
    // its closing lines, and Find Best Team stays off until it has returned.
    void stopDuringSearch()
    {
        frmChoose30 &w = *f.window;
        for (Position p : roster::AllPositions)
            w.row(p, roster::rowCount(p)).chk->setChecked(true); // every row a candidate
        w.search.useReferenceEngine = true;                     // slow enough to be stopped for certain
        bool doEnabled = true, inputsEnabled = false;           // while the stopped search unwinds
        QTimer::singleShot(0, &w, [&] {
            w.cmdStop->click();
            inputsEnabled = w.txtCash->isEnabled() && w.row(Position::W, 7).chk->isEnabled();
            doEnabled = w.cmdDo->isEnabled();
            w.cmdDo->click(); // refused: the stopped search has not returned yet
        });
        w.cmdDo->click();
        QVERIFY(inputsEnabled && !doEnabled && w.cmdDo->isEnabled() && !w.search.Running);
        QVERIFY(w.search.state.Examined > 0 && w.search.state.Examined < qint64(6282753750));
        QVERIFY(listLines(w).contains(QString::number(w.search.state.Examined)));
        QVERIFY(listLines(w).contains(QString::number(w.List1->count() - 2)));
    }

    void progressCaption()
    {
        frmChoose30 &w = *f.window;
        w.search.TeamCount = 4989600;
        w.search.TeamCountText = QStringLiteral("4,989,600");
        w.search.state.Examined = 1000000;
        w.search.PrevExamined = 800000;
        w.Timer1_Timer();
        QCOMPARE(w.lblNum->text(), "1,000,000 / 4,989,600 = 20.0%.  \n100,000 per second\n0.7min left");
        w.Timer1_Timer(); // nothing examined since: rate 0, no estimate
        QCOMPARE(w.lblNum->text().section(u'\n', 1), "0 per second\n");
    }

    void resultToolTips()
    {
        frmChoose30 &w = *f.window;
        w.cmdDo->click();
        const std::string line = w.List1->item(w.List1->count() - 1).toStdString();
        const auto rows = search::rowsOfLine(line);
        QVERIFY(rows);
        QVERIFY(w.teamToolTip(line).startsWith("C: " + w.row(Position::C, (*rows)[0]).N->text() + ", "));
        QVERIFY(w.teamToolTip(line).contains(" \u00b7 G: " + w.row(Position::G, (*rows)[9]).N->text()));
        // The names as the rows hold them now.
        w.row(Position::C, (*rows)[0]).N->setText(QStringLiteral("Moved Elsewhere"));
        QVERIFY(w.teamToolTip(line).startsWith(QStringLiteral("C: Moved Elsewhere, ")));
        QVERIFY(w.teamToolTip("35").isEmpty() && w.teamToolTip(std::to_string(w.search.state.Examined)).isEmpty());
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
