// The main window as it opens, its focus order, the input lock of a search, and the arrangement
// commands.
#include "rowsfixture.h"

using namespace rowstest;

class TestLayout : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    // "control.property", the window itself when the name is empty. Places in pixels of the
    // container (the design's twips divided by 15).
    void facts_data()
    {
        QTest::addColumn<QString>("fact");
        QTest::addColumn<QVariant>("value");
        const std::pair<const char *, QVariant> facts[] = {
            {".size", QSize(705, 680)}, {"txtCash.geometry", QRect(165, 22, 39, 19)}, {"chkTop35.checked", true},
            {"List1.geometry", QRect(496, 159, 201, 411)}, {"CP_3.geometry", QRect(152, 50, 27, 16)},
            {"cmdHSwitch.text", "C->W D->G"}, {"optM_1.checked", true}, {"chkW_7.checked", false},
            {"txtTarget.toolTip", "Do not show results with fewer than this amount of points"},
            {"CC_1.maxLength", 4}, {"DW_15.maxLength", 3}, {"GPW_1.maxLength", 5}, {"GPW_1.readOnly", true},
            {"txtCash.text", "50"}, {"txtTarget.text", "30"}, {"txtPerc.text", "90"}, {"chkW_6.checked", true},
        };
        for (const auto &[fact, value] : facts)
            QTest::newRow(fact) << QString::fromLatin1(fact) << value;
    }
    void facts()
    {
        QFETCH(QString, fact);
        QFETCH(QVariant, value);
        const QString name = fact.section(u'.', 0, 0), property = fact.section(u'.', 1);
        const QWidget *control = name.isEmpty() ? f.window.get() : f.window->findChild<QWidget *>(name);
        QCOMPARE(control ? control->property(qPrintable(property)) : QVariant(QStringLiteral("no control")), value);
    }

    // The Tab key from txtCash: Centres rows 1-15 cell by cell (name, cost, points, games), then
    // Defence 1-12, then Wingers.
    void focusOrder()
    {
        QStringList walked;
        for (const QWidget *next = f.window->nextInFocusChain(); walked.size() < 110; next = next->nextInFocusChain())
            if (next->focusPolicy() & Qt::TabFocus)
                walked << next->objectName();
        QCOMPARE(walked.first(6), (QStringList{"txtCash", "CN_1", "CC_1", "CP_1", "CW_1", "CN_2"}));
        QCOMPARE(walked.sliced(60, 2) + walked.sliced(108), (QStringList{"CW_15", "DN_1", "DW_12", "WN_1"}));
    }

    // The lock disables exactly the 497 controls, once however often it is asked, and changes no
    // text, check value or colour; a Stop that unlocks while the search has not yet returned
    // leaves Find Best Team disabled.
    void lock()
    {
        frmChoose30 &w = *f.window;
        QSet<QString> locked{"txtCash", "txtTarget", "cmdSave", "cmdReload", "cmdDo", "optM_0", "optM_1"};
        for (Position p : roster::AllPositions)
            for (int r = 1; r <= roster::rowCount(p); ++r)
                for (const char *cell : {"%1N_%2", "%1C_%2", "%1P_%2", "%1W_%2", "%1PW_%2", "chk%1_%2", "cmd%1M_%2"})
                    locked << QString::fromLatin1(cell).arg(roster::letter(p)).arg(r);
        // The disabled controls, then every control's text, tick and text colour.
        const auto state = [&w] {
            std::pair<QSet<QString>, QStringList> state;
            for (const QWidget *widget : w.findChildren<QWidget *>()) {
                if (!widget->isEnabled())
                    state.first << widget->objectName();
                state.second << widget->property("text").toString() + widget->property("checked").toString()
                                    + widget->palette().color(QPalette::Active, QPalette::Text).name();
            }
            return state;
        };
        w.row(Position::C, 2).chk->setChecked(false); // blue, black and red rows
        const QStringList unchanged = state().second;
        w.LockInputs();
        w.LockInputs();
        QCOMPARE(state(), std::pair(locked, unchanged));
        w.UnlockInputs();
        QCOMPARE(state(), std::pair(QSet<QString>(), unchanged));
        w.LockInputs();
        w.search.Running = true;
        w.UnlockInputs();
        QCOMPARE(state().first, QSet<QString>{QStringLiteral("cmdDo")});
    }

    // H: cmdHSwitch, V: cmdVSwitch, C: cmdCompact; places of fraC, fraW, fraD, fraG. Outer sizes in
    // pixels of the twips asked for (3685 by 6380 twips are 246 by 425 pixels).
    void arrangement_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QList<QPoint>>("places");
        QTest::addColumn<QSize>("outer"); // invalid: never asked for
        const QList<QPoint> design{{3, 55}, {243, 55}, {3, 411}, {243, 411}};
        QTest::newRow("HH: right column at 249") << "HH" << QList<QPoint>{{3, 55}, {249, 55}, {3, 411}, {249, 411}}
                                                 << QSize();
        QTest::newRow("C: 20-row frames on top") << "C" << design << QSize(246, 425);
        QTest::newRow("VC: 15-row frames on top") << "VC" << QList<QPoint>{{3, 337}, {243, 337}, {3, 55}, {243, 55}}
                                                  << QSize(246, 347);
        QTest::newRow("CC: full, at the left edge") << "CC" << design << QSize(708, 705);
    }
    void arrangement()
    {
        QFETCH(QString, clicks);
        QFETCH(QList<QPoint>, places);
        QFETCH(QSize, outer);
        frmChoose30 &w = *f.window;
        w.move(300, 40);
        for (QChar click : clicks)
            (click == u'H' ? w.cmdHSwitch : click == u'V' ? w.cmdVSwitch : w.cmdCompact)->click();
        QCOMPARE((QList<QPoint>{w.fraC->pos(), w.fraW->pos(), w.fraD->pos(), w.fraG->pos()}), places);
        QCOMPARE(w.cmdCompact->text(), clicks.count(u'C') == 1 ? "Full Window" : "Compact Window");
        QCOMPARE(w.requestedOuterSize(), outer);
        QCOMPARE(w.pos(), clicks == u"CC" ? QPoint(10, 40) : QPoint(300, 40));
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
