// A search that lists no team says why in the list's tooltip; one that lists teams, or the next
// search, leaves no such tooltip. The sentences themselves are the search library's tests'.
#include "rowsfixture.h"

#include "resultlistbox.h"

using namespace rowstest;

class TestEmptyResult : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    // Row r of every position costs r and scores r for the week, so a team scores what it costs:
    // with the first ticks, 20 (Centres 1 2, Wingers 1-4, Defence 1-3, Goalie 1) up to 39.
    void init()
    {
        f.start();
        f.window->chkASave->setChecked(false);
        for (Position p : roster::AllPositions)
            for (int r = 1; r <= roster::rowCount(p); ++r) {
                f.cells(p, r).C->setText(QString::number(r));
                f.cells(p, r).P->setText(QString::number(r));
                f.cells(p, r).W->setText(QStringLiteral("1"));
            }
    }
    void cleanup() { f.stop(); }

    void tooltip_data()
    {
        QTest::addColumn<QString>("money");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("stop"); // every row ticked, Stop at the first chance
        QTest::addColumn<QString>("tooltip");
        // clang-format off
        QTest::newRow("no team in the band") << "19" << "0" << false
                                             << "No team's cost lies inside the spending band (above 18 and below "
                                                "20): the cheapest possible team costs 20.";
        QTest::newRow("teams in the band, none above the target")
            << "30" << "35" << false
            << "The best team inside the spending band (above 28 and below 31) scores 30, not above the target 35.";
        QTest::newRow("stopped") << "1000" << "1000" << true << "The search was stopped before it listed any team.";
        QTest::newRow("teams listed") << "30" << "0" << false << "";
        // clang-format on
    }
    void tooltip()
    {
        QFETCH(QString, money);
        QFETCH(QString, target);
        QFETCH(bool, stop);
        QFETCH(QString, tooltip);
        TestWindow &w = *f.window;
        // A search that listed nothing goes first: its tooltip must not outlive the next search.
        w.txtCash->setText(QStringLiteral("5"));
        w.cmdDo->click();
        QVERIFY(!w.List1->toolTip().isEmpty());

        w.txtCash->setText(money);
        w.txtTarget->setText(target);
        if (stop) {
            for (Position p : roster::AllPositions)
                w.row(p, roster::rowCount(p)).chk->setChecked(true);
            w.useReferenceEngine = true; // slow enough to be stopped for certain
            QTimer::singleShot(0, &w, [&w] { w.cmdStop->click(); });
        }
        w.cmdDo->click();
        QCOMPARE(w.List1->count() == 2, !tooltip.isEmpty());
        QCOMPARE(w.List1->toolTip(), tooltip);

        // Shown over the closing lines and the empty space below them.
        if (tooltip.isEmpty())
            return;
        QWidget *viewport = w.List1->viewport();
        const QPoint below(5, viewport->height() - 2);
        QHelpEvent help(QEvent::ToolTip, below, viewport->mapToGlobal(below));
        QApplication::sendEvent(viewport, &help);
        QCOMPARE(QToolTip::text(), tooltip);
        QToolTip::hideText();
    }
};

QTEST_MAIN(TestEmptyResult)
#include "tst_emptyresult.moc"
