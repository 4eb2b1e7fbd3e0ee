// Find Best Team through the window: the spending band, refusals, auto-save, the Top 35 box,
// the mode buttons, Stop during a search, the progress caption and the result tooltips.

#include "rowsfixture.h"

#include "search/format.h"
#include "window/resultlistbox.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

using rowstest::WindowFixture;
using roster::Position;

namespace {

void loadSampleRoster(WindowFixture &f)
{
    QFile::copy(QStringLiteral(KORVANE_DATA_DIR "/players.txt"), f.folder->filePath(QStringLiteral("players.txt")));
    f.window->Form_Load();
    QVERIFY(f.messages.isEmpty());
}

void tickAll(frmChoose30 &w)
{
    for (Position p : roster::AllPositions)
        w.row(p, roster::rowCount(p)).chk->setChecked(true); // ticks the whole lower block
}

QStringList listLines(const frmChoose30 &w)
{
    QStringList lines;
    for (int i = 0; i < w.List1->count(); ++i)
        lines << w.List1->item(i);
    return lines;
}

QStringList rosterTexts(frmChoose30 &w)
{
    QStringList texts{w.txtCash->text(), w.txtTarget->text()};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            const auto &c = w.row(p, r);
            texts << c.N->text() << c.C->text() << c.P->text() << c.W->text() << QString::number(c.chk->isChecked());
        }
    return texts;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    void init()
    {
        f.start();
        loadSampleRoster(f);
        f.window->chkASave->setChecked(false);
    }
    void cleanup() { f.stop(); }

    void spendingBand_data()
    {
        QTest::addColumn<QString>("money");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<int>("cashLimit");
        QTest::addColumn<int>("minSpend");
        QTest::newRow("1000 at 90") << "1000" << "90" << 1001 << 901;
        QTest::newRow("50 at 90") << "50" << "90" << 51 << 46;
        QTest::newRow("49 at 85: 42.5 to even") << "49" << "85" << 50 << 42;
        QTest::newRow("29 at 85: 25.5 to even") << "29" << "85" << 30 << 26;
        QTest::newRow("999.5 rounds to 1000") << "999.5" << "90" << 1001 << 901;
        QTest::newRow("1000.5 rounds to 1000") << "1000.5" << "90" << 1001 << 901;
        QTest::newRow("10 at 95") << "10" << "95" << 11 << 10;
    }

    void spendingBand()
    {
        QFETCH(QString, money);
        QFETCH(QString, percent);
        QFETCH(int, cashLimit);
        QFETCH(int, minSpend);
        frmChoose30 &w = *f.window;
        w.txtCash->setText(money);
        w.txtPerc->setText(percent);
        w.cmdDo->click();
        QCOMPARE(int(w.search.state.CashLimit), cashLimit);
        QCOMPARE(int(w.search.state.MinSpend), minSpend);
        QVERIFY(f.messages.isEmpty());
        // Every search ends with its two closing lines and leaves the window usable.
        QVERIFY(w.List1->count() >= 2);
        QVERIFY(listLines(w).contains(QString::number(w.search.state.Examined)));
        QCOMPARE(w.lblNum->text(), QString::number(w.search.state.Examined));
        QVERIFY(w.cmdDo->isEnabled() && w.txtCash->isEnabled() && w.row(Position::G, 15).chk->isEnabled());
        QVERIFY(!w.Timer1->isActive());
    }

    void nothingFitsTheBand()
    {
        frmChoose30 &w = *f.window;
        w.txtCash->setText("10");
        w.txtPerc->setText("95");
        w.cmdDo->click();
        QCOMPARE(listLines(w), (QStringList{"0", "1800"}));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("told");
        QTest::newRow("money of letters") << "txtCash" << "abc" << "money";
        QTest::newRow("money empty") << "txtCash" << "" << "money";
        QTest::newRow("money 32767") << "txtCash" << "32767" << "money";
        QTest::newRow("money rounding to 32767") << "txtCash" << "32767.4" << "money";
        QTest::newRow("money beyond 16 bits") << "txtCash" << "1E400" << "money";
        QTest::newRow("target of letters") << "txtTarget" << "lots" << "target";
        QTest::newRow("percentage too large") << "txtPerc" << "1E30" << "percentage";
    }

    void refusals()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, told);
        frmChoose30 &w = *f.window;
        w.cmdDo->click(); // a list from an earlier search, which a refusal must keep
        const QStringList before = listLines(w);
        w.findChild<QLineEdit *>(field)->setText(text);
        const QStringList roster = rosterTexts(w);
        f.messages.clear();
        w.cmdDo->click();
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages.first().contains(told), qPrintable(f.messages.first()));
        QCOMPARE(listLines(w), before);
        QCOMPARE(rosterTexts(w), roster);
        QVERIFY(w.cmdDo->isEnabled() && w.txtCash->isEnabled() && w.cmdSave->isEnabled());
        QVERIFY(!w.Timer1->isActive());
    }

    void autoSave_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("ticked saves first") << true;
        QTest::newRow("unticked saves nothing") << false;
    }

    void autoSave()
    {
        QFETCH(bool, ticked);
        frmChoose30 &w = *f.window;
        const QString file = f.folder->filePath("players.txt");
        QFile::remove(file);
        w.chkASave->setChecked(ticked);
        w.row(Position::C, 1).N->setText("Renamed Before The Search");
        w.cmdDo->click();
        QCOMPARE(QFileInfo::exists(file), ticked);
        if (ticked) {
            QFile saved(file);
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QVERIFY(saved.readAll().contains("Renamed Before The Search\r\n"));
        }
        QCOMPARE(w.chkASave->text(), "   Auto Save   Before Searching");
    }

    void tickingTop35CutsTheList()
    {
        frmChoose30 &w = *f.window;
        w.chkTop35->setChecked(false);
        w.txtTarget->setText("0");
        w.cmdDo->click();
        QVERIFY(w.List1->count() >= 50);
        const QStringList before = listLines(w);
        const float target = w.search.state.Target;
        w.chkTop35->setChecked(true);
        QCOMPARE(listLines(w), before.mid(before.size() - 35));
        QCOMPARE(w.search.state.Target, target);
    }

    void weekModeTicksTop35()
    {
        frmChoose30 &w = *f.window;
        w.optM[0]->setChecked(true);
        w.chkTop35->setChecked(false);
        w.txtTarget->setText("0");
        w.cmdDo->click();
        QVERIFY(w.List1->count() > 35);
        w.optM[0]->setChecked(true); // selecting game mode again changes nothing
        QVERIFY(!w.chkTop35->isChecked());
        w.optM[1]->setChecked(true);
        QVERIFY(w.chkTop35->isChecked());
        QCOMPARE(w.List1->count(), 35);
    }

    // Stop arrives during a yield of a search over the full roster: the search unwinds, adds
    // its closing lines, and Find Best Team stays off until it has returned.
    void stopDuringSearch()
    {
        frmChoose30 &w = *f.window;
        tickAll(w);
        w.search.useReferenceEngine = true; // slow enough to be stopped for certain
        bool doEnabledWhileUnwinding = true, inputsEnabledWhileUnwinding = false;
        QTimer::singleShot(0, &w, [&] {
            w.cmdStop->click();
            inputsEnabledWhileUnwinding = w.txtCash->isEnabled() && w.row(Position::W, 7).chk->isEnabled();
            doEnabledWhileUnwinding = w.cmdDo->isEnabled();
            w.cmdDo->click(); // refused: the stopped search has not returned yet
        });
        w.cmdDo->click();
        QVERIFY(inputsEnabledWhileUnwinding);
        QVERIFY(!doEnabledWhileUnwinding);
        QVERIFY(w.search.state.Examined > 0);
        QVERIFY(w.search.state.Examined < qint64(6282753750));
        const QStringList lines = listLines(w);
        QVERIFY(lines.contains(QString::number(w.search.state.Examined)));
        QVERIFY(lines.contains(QString::number(lines.size() - 2)));
        QVERIFY(w.cmdDo->isEnabled());
        QVERIFY(!w.search.Running);
    }

    void progressCaption()
    {
        frmChoose30 &w = *f.window;
        w.search.TeamCount = 4989600;
        w.search.TeamCountText = "4,989,600";
        w.search.state.Examined = 1000000;
        w.search.PrevExamined = 800000;
        w.Timer1_Timer();
        QCOMPARE(w.lblNum->text(), "1,000,000 / 4,989,600 = 20.0%.  \n100,000 per second\n0.7min left");
        QCOMPARE(w.search.PrevExamined, qint64(1000000));
        w.Timer1_Timer(); // nothing examined since: rate 0, no estimate
        QCOMPARE(w.lblNum->text().section('\n', 1), "0 per second\n");
    }

    void resultToolTips()
    {
        frmChoose30 &w = *f.window;
        w.cmdDo->click();
        const QString line = w.List1->item(w.List1->count() - 1);
        const auto rows = search::rowsOfLine(line.toStdString());
        QVERIFY(rows);
        const QString tip = w.teamToolTip(line.toStdString());
        QVERIFY(tip.startsWith("C: " + w.row(Position::C, (*rows)[0]).N->text() + ", "));
        QVERIFY(tip.contains(" \u00b7 G: " + w.row(Position::G, (*rows)[9]).N->text()));
        // The names as the rows hold them now.
        w.row(Position::C, (*rows)[0]).N->setText("Moved Elsewhere");
        QVERIFY(w.teamToolTip(line.toStdString()).startsWith("C: Moved Elsewhere, "));
        QCOMPARE(w.teamToolTip("35"), QString());
        QCOMPARE(w.teamToolTip(std::to_string(w.search.state.Examined)), QString());
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
