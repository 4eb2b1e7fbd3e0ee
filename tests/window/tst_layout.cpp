// The main window as it opens, its focus order, the input lock of a search, and the arrangement
// commands.
#include "rowsfixture.h"

using namespace rowstest;

// The 497 controls a search locks, by name.
static QSet<QString> lockedNames()
{
    QSet<QString> names{"txtCash", "txtTarget", "cmdSave", "cmdReload", "cmdDo", "optM_0", "optM_1"};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            for (const char *array : {"%1N_%2", "%1C_%2", "%1P_%2", "%1W_%2", "%1PW_%2", "chk%1_%2", "cmd%1M_%2"})
                names << QString::fromLatin1(array).arg(QLatin1Char(roster::letter(p))).arg(r);
    return names;
}

// What the lock changes (which controls are disabled) and what it must leave alone (texts, check
// values, text colours).
static std::pair<QSet<QString>, QStringList> lockState(const QWidget &window)
{
    std::pair<QSet<QString>, QStringList> state;
    for (const QWidget *widget : window.findChildren<QWidget *>())
        if (!widget->isEnabled())
            state.first << widget->objectName();
    for (const QLineEdit *field : window.findChildren<QLineEdit *>())
        state.second << field->text() + textColour(field).name();
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
        state.second << button->text() + QString::number(button->isChecked());
    return state;
}

class TestLayout : public QObject {
    Q_OBJECT
    WindowFixture f;

private slots:
    void init() { f.start(); }
    void cleanup() { f.stop(); }

    // "control.property", the window itself when the name is empty. Places in pixels of the
    // container (the design's twips divided by 15); pointSizeF is the control's font's.
    void facts_data()
    {
        QTest::addColumn<QString>("fact");
        QTest::addColumn<QVariant>("value");
        const std::pair<const char *, QVariant> facts[] = {
            {".size", QSize(705, 680)}, {"cmdVSwitch.geometry", QRect(4, 4, 39, 42)},
            {"txtCash.geometry", QRect(165, 22, 39, 19)}, {"List1.geometry", QRect(496, 159, 201, 411)},
            {"CC_2.geometry", QRect(125, 32, 27, 16)}, {"CP_3.geometry", QRect(152, 50, 27, 16)},
            {"separatorW.geometry", QRect(17, 80, 211, 1)}, {"cmdHSwitch.text", "C->W D->G"},
            {"cmdHSwitch.toolTip",
             "Switch the position of the Centres with the Wingers, and the Defence with the Goalies"},
            {"txtTarget.toolTip", "Do not show results with fewer than this amount of points"},
            {"optM_0.toolTip", "Points per Game mode."}, {"chkASave.text", "   Auto Save   Before Searching"},
            {"Label3.text", "Minimum %age of money to use"}, {"cmdDo.text", "Find Best Team"},
            {"CC_1.maxLength", 4}, {"WP_20.maxLength", 4}, {"DW_15.maxLength", 3}, {"GPW_1.maxLength", 5},
            {"txtCash.text", "50"}, {"txtTarget.text", "30"}, {"txtPerc.text", "90"}, {"chkASave.checked", true},
            {"chkTop35.checked", true}, {"chkAlwaysOnTop.checked", true}, {"optM_0.checked", false},
            {"optM_1.checked", true}, {"chkW_6.checked", true}, {"chkW_7.checked", false},
            {"txtCash.pointSizeF", 8.25}, {"CN_1.pointSizeF", 6.75}, {"GPW_1.readOnly", true}, {"CP_1.readOnly", false},
        };
        for (const auto &[fact, value] : facts)
            QTest::newRow(fact) << QString::fromLatin1(fact) << value;
    }
    void facts()
    {
        QFETCH(QString, fact);
        QFETCH(QVariant, value);
        const QString name = fact.section(u'.', 0, 0), property = fact.section(u'.', 1);
        QWidget *control = name.isEmpty() ? f.window.get() : f.window->findChild<QWidget *>(name);
        QVERIFY(control);
        const QVariant actual = property == u"pointSizeF" ? QVariant(control->font().pointSizeF())
                                                          : control->property(qPrintable(property));
        QCOMPARE(actual, value);
    }

    // The Tab key from txtCash: Centres rows 1-15, then Defence 1-12, Wingers 1-15, Goalies 1-12,
    // cell by cell.
    void focusOrder()
    {
        QStringList expected{QStringLiteral("txtCash")};
        for (char letter : {'C', 'D', 'W', 'G'})
            for (int r = 1; r <= (letter == 'C' || letter == 'W' ? 15 : 12); ++r)
                for (char field : {'N', 'C', 'P', 'W'})
                    expected << QStringLiteral("%1%2_%3").arg(letter).arg(field).arg(r);
        QStringList walked;
        for (QWidget *widget = f.window->nextInFocusChain(); walked.size() < expected.size();
             widget = widget->nextInFocusChain())
            if (widget->focusPolicy() & Qt::TabFocus)
                walked << widget->objectName();
        QCOMPARE(walked, expected);
    }

    // The lock disables exactly the 497 controls and changes no text, check value or colour; a
    // Stop that unlocks while the search has not yet returned leaves Find Best Team disabled.
    void lock()
    {
        frmChoose30 &w = *f.window;
        w.row(Position::C, 2).chk->setChecked(false); // blue, black and red rows
        w.txtPerc->setText(QStringLiteral("x"));
        const QStringList unchanged = lockState(w).second;
        QVERIFY(lockState(w).first.isEmpty());
        w.LockInputs();
        w.LockInputs();
        QCOMPARE(lockState(w).first, lockedNames());
        QCOMPARE(lockState(w).second, unchanged);
        w.UnlockInputs();
        QVERIFY(lockState(w).first.isEmpty());
        QCOMPARE(lockState(w).second, unchanged);
        w.LockInputs();
        w.search.Running = true;
        w.UnlockInputs();
        QCOMPARE(lockState(w).first, QSet<QString>{QStringLiteral("cmdDo")});
    }

    // H: cmdHSwitch, V: cmdVSwitch, C: cmdCompact; places of fraC, fraW, fraD, fraG. Outer sizes in
    // pixels of the twips asked for (3685 by 6380 twips are 246 by 425 pixels).
    void arrangement_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QList<QPoint>>("places");
        QTest::addColumn<QSize>("outer"); // invalid: never asked for
        const QList<QPoint> design{{3, 55}, {243, 55}, {3, 411}, {243, 411}};
        const QList<QPoint> upsideDown{{3, 337}, {243, 337}, {3, 55}, {243, 55}};
        QTest::newRow("H") << "H" << QList<QPoint>{{249, 55}, {3, 55}, {249, 411}, {3, 411}} << QSize();
        QTest::newRow("HH: right column at 249")
            << "HH" << QList<QPoint>{{3, 55}, {249, 55}, {3, 411}, {249, 411}} << QSize();
        QTest::newRow("V") << "V" << upsideDown << QSize();
        QTest::newRow("C: 20-row frames on top") << "C" << design << QSize(246, 425);
        QTest::newRow("VC: 15-row frames on top") << "VC" << upsideDown << QSize(246, 347);
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
