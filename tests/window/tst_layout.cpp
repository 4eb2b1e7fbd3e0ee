// The main window as it opens (places, captions, hints, widths, fonts, first values, focus
// order, wiring), the input lock of a search, and the arrangement commands.
#include "window/frmchoose30.h"
#include "window/resultlistbox.h"
#include "window/toolkit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using roster::Position;

namespace {

// The window in an empty program folder, every question, message, beep and the end caught.
struct Harness {
    QTemporaryDir folder;
    QStringList questions;
    int messages = 0;
    int beeps = 0;
    std::unique_ptr<frmChoose30> window;

    Harness()
    {
        toolkit::setProgramFolder(folder.path());
        toolkit::setQuestionAnswerer([this](const QString &text, const QString &) {
            questions << text;
            return false;
        });
        toolkit::setMessageSink([this](const QString &, const QString &) { ++messages; });
        toolkit::setBeeper([this] { ++beeps; });
        toolkit::setProgramEnder([] {});
        window = std::make_unique<frmChoose30>();
    }
    ~Harness()
    {
        window.reset();
        toolkit::setProgramFolder({});
        toolkit::setQuestionAnswerer({});
        toolkit::setMessageSink({});
        toolkit::setBeeper({});
        toolkit::setProgramEnder({});
    }
};

// The 497 controls a search locks, by name.
QSet<QString> lockedNames()
{
    QSet<QString> names{"txtCash", "txtTarget", "cmdSave", "cmdReload", "cmdDo", "optM_0", "optM_1"};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            for (const char *array : {"%1N_%2", "%1C_%2", "%1P_%2", "%1W_%2", "%1PW_%2", "chk%1_%2", "cmd%1M_%2"})
                names << QString::fromLatin1(array).arg(QLatin1Char(roster::letter(p))).arg(r);
    return names;
}

QSet<QString> disabledNames(const QWidget &window)
{
    QSet<QString> names;
    for (const QWidget *widget : window.findChildren<QWidget *>())
        if (!widget->isEnabled())
            names << widget->objectName();
    return names;
}

// What a lock must leave alone: texts, check values, text colours.
QStringList snapshot(const QWidget &window)
{
    QStringList state;
    for (const QLineEdit *field : window.findChildren<QLineEdit *>())
        state << field->text() + field->palette().color(QPalette::Active, QPalette::Text).name()
                     + field->palette().color(QPalette::Inactive, QPalette::Text).name();
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>())
        state << button->text() + QString::number(button->isChecked());
    return state;
}

using Places = QList<QPoint>; // fraC, fraW, fraD, fraG

} // namespace

class tst_layout : public QObject {
    Q_OBJECT

private slots:
    void init() { h = std::make_unique<Harness>(); }
    void cleanup() { h.reset(); }

    void geometry_data();
    void geometry();
    void captions_data();
    void captions();
    void cells_data();
    void cells();
    void fonts_data();
    void fonts();
    void rowArrays_data();
    void rowArrays();
    void initialState();
    void focusOrderHead();
    void handlersRunAsTheValueChanges();
    void lock_data();
    void lock();
    void lockChangesNothingElse();
    void arrangement_data();
    void arrangement();

private:
    QWidget *control(const QString &name) { return h->window->findChild<QWidget *>(name); }

    std::unique_ptr<Harness> h;
};

// Pixels of the container: the design's twips divided by 15.
void tst_layout::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");

    QTest::newRow("cmdVSwitch") << "cmdVSwitch" << QRect(4, 4, 39, 42);
    QTest::newRow("Frame1 above the client area") << "Frame1" << QRect(159, -2, 118, 48);
    QTest::newRow("txtCash") << "txtCash" << QRect(165, 22, 39, 19);
    QTest::newRow("NN(49)") << "NN_49" << QRect(210, 8, 61, 14);
    QTest::newRow("optM(1)") << "optM_1" << QRect(498, 25, 99, 21);
    QTest::newRow("txtPerc") << "txtPerc" << QRect(663, 106, 20, 19);
    QTest::newRow("List1") << "List1" << QRect(496, 159, 201, 411);
    QTest::newRow("fraW") << "fraW" << QRect(243, 55, 235, 344);
    QTest::newRow("fraD") << "fraD" << QRect(3, 411, 235, 264);
    QTest::newRow("Goalies title") << "Text2" << QRect(34, 0, 45, 16);
    QTest::newRow("Centres row 2, above the line") << "CC_2" << QRect(125, 32, 27, 16);
    QTest::newRow("Centres row 3, below the line") << "CP_3" << QRect(152, 50, 27, 16);
    QTest::newRow("Goalies row 2, below the line") << "GN_2" << QRect(53, 34, 72, 16);
    QTest::newRow("Wingers row 20 rate") << "WPW_20" << QRect(199, 322, 29, 16);
    QTest::newRow("Defence row 15 games") << "DW_15" << QRect(181, 242, 18, 16);
    QTest::newRow("Goalies box is narrower") << "chkG_1" << QRect(17, 16, 14, 16);
    QTest::newRow("Defence row button") << "cmdDM_4" << QRect(34, 66, 16, 16);
    QTest::newRow("line under Centres row 2") << "separatorC" << QRect(18, 48, 210, 1);
    QTest::newRow("line under Wingers row 4") << "separatorW" << QRect(17, 80, 211, 1);
    QTest::newRow("line under Defence row 3") << "separatorD" << QRect(17, 65, 211, 1);
    QTest::newRow("line under Goalies row 1") << "separatorG" << QRect(17, 32, 211, 1);
}

void tst_layout::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QVERIFY(control(name));
    QCOMPARE(control(name)->geometry(), place);
}

void tst_layout::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");

    QTest::newRow("cmdHSwitch") << "cmdHSwitch" << "C->W D->G"
                                << "Switch the position of the Centres with the Wingers, and the Defence with the Goalies";
    QTest::newRow("cmdCompact") << "cmdCompact" << "Compact Window"
                                << "Shrink the window, showing only the top left set of players";
    QTest::newRow("txtCash") << "txtCash" << "50" << "The amount of money available to spent on players";
    QTest::newRow("txtTarget") << "txtTarget" << "30" << "Do not show results with fewer than this amount of points";
    QTest::newRow("Money") << "NN_0" << "Money" << "";
    QTest::newRow("chkASave, three spaces each") << "chkASave" << "   Auto Save   Before Searching" << "";
    QTest::newRow("optM(0)") << "optM_0" << "Pts/G Mode" << "Points per Game mode.";
    QTest::newRow("optM(1)") << "optM_1" << "Pts/W Mode" << "Points per Week mode";
    QTest::newRow("lblNum") << "lblNum" << "Time Remaining" << "";
    QTest::newRow("Label3") << "Label3" << "Minimum %age of money to use"
                            << "The higher you set this value, the faster the program will work, since it will "
                               "ignore combinations with low total costs (ie: it ignores combos of all cheap players)";
    QTest::newRow("txtPerc") << "txtPerc" << "90" << "";
    QTest::newRow("cmdDo") << "cmdDo" << "Find Best Team" << "";
    QTest::newRow("chkAlwaysOnTop") << "chkAlwaysOnTop" << "Always On Top" << "";
    QTest::newRow("Text4") << "Text4" << "Wingers" << "";
    QTest::newRow("Text3") << "Text3" << "Defence" << "";
    QTest::newRow("row number 20") << "NN_20" << "20" << "";
}

void tst_layout::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    QVERIFY(control(name));
    QCOMPARE(control(name)->property("text").toString(), text);
    QCOMPARE(control(name)->toolTip(), hint);
}

// The width rule: text set by the program is cut to the field's width.
void tst_layout::cells_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("assigned");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("cost 12345") << "CC_1" << "12345" << "1234" << int(Qt::AlignRight) << false;
    QTest::newRow("points") << "WP_20" << "1.255" << "1.25" << int(Qt::AlignRight) << false;
    QTest::newRow("games 10.5") << "DW_15" << "10.5" << "10." << int(Qt::AlignRight) << false;
    QTest::newRow("rate") << "GPW_1" << "1232766" << "12327" << int(Qt::AlignRight) << true;
    QTest::newRow("name, no limit") << "CN_7" << "Smith, John \"Jack\" Longname-Longername"
                                    << "Smith, John \"Jack\" Longname-Longername" << int(Qt::AlignLeft) << false;
    QTest::newRow("money") << "txtCash" << "123456789" << "123456789" << int(Qt::AlignHCenter) << false;
    QTest::newRow("percentage") << "txtPerc" << "95" << "95" << int(Qt::AlignLeft) << false;
}

void tst_layout::cells()
{
    QFETCH(QString, name);
    QFETCH(QString, assigned);
    QFETCH(QString, kept);
    QFETCH(int, alignment);
    QFETCH(bool, readOnly);
    auto *cell = qobject_cast<QLineEdit *>(control(name));
    QVERIFY(cell);
    cell->setText(assigned);
    QCOMPARE(cell->text(), kept);
    QCOMPARE(int(cell->alignment() & Qt::AlignHorizontal_Mask), alignment);
    QCOMPARE(cell->isReadOnly(), readOnly);
}

void tst_layout::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("family");

    QTest::newRow("money box") << "txtCash" << 8.25 << false << "MS Sans Serif";
    QTest::newRow("Target Pts caption") << "NN_49" << 8.25 << true << "MS Sans Serif";
    QTest::newRow("button") << "cmdDo" << 8.25 << false << "MS Sans Serif";
    QTest::newRow("position title") << "Text1" << 8.25 << false << "MS Sans Serif";
    QTest::newRow("name cell") << "CN_1" << 6.75 << false << "Small Fonts";
    QTest::newRow("row number") << "NN_1" << 6.75 << false << "Small Fonts";
    QTest::newRow("result list") << "List1" << 6.75 << false << "Small Fonts";
}

void tst_layout::fonts()
{
    QFETCH(QString, name);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QFETCH(QString, family);
    QVERIFY(control(name));
    QCOMPARE(control(name)->font().pointSizeF(), points);
    QCOMPARE(control(name)->font().bold(), bold);
    QCOMPARE(control(name)->font().families().value(0), family);
}

// Rows 1 to 20 for Centres and Wingers, 1 to 15 for Defence and Goalies, no row 0 anywhere.
void tst_layout::rowArrays_data()
{
    QTest::addColumn<QString>("array");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");

    for (const char *array : {"CN", "CPW", "chkC", "cmdCM", "WW", "chkW"})
        QTest::newRow(array) << QString::fromLatin1(array) << 1 << 20;
    for (const char *array : {"DC", "chkD", "GP", "GPW", "cmdGM"})
        QTest::newRow(array) << QString::fromLatin1(array) << 1 << 15;
    QTest::newRow("NN") << QStringLiteral("NN") << 0 << 71;
}

void tst_layout::rowArrays()
{
    QFETCH(QString, array);
    QFETCH(int, first);
    QFETCH(int, last);
    const QRegularExpression element(QStringLiteral("^%1_(\\d+)$").arg(array));
    QList<int> indexes, expected;
    for (QWidget *widget : h->window->findChildren<QWidget *>(element))
        indexes << element.match(widget->objectName()).captured(1).toInt();
    std::sort(indexes.begin(), indexes.end());
    for (int i = first; i <= last; ++i)
        expected << i;
    QCOMPARE(indexes, expected);
}

void tst_layout::initialState()
{
    frmChoose30 &w = *h->window;
    QCOMPARE(w.size(), QSize(705, 680));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QCOMPARE(w.windowTitle(), QStringLiteral("Korvane"));
    QCOMPARE(w.pos().y(), 0);
    QVERIFY(w.chkASave->isChecked() && w.chkTop35->isChecked() && w.chkAlwaysOnTop->isChecked());
    QVERIFY(!w.optM[0]->isChecked() && w.optM[1]->isChecked());
    QVERIFY(!w.Timer1->isActive());
    QCOMPARE(w.Timer1->interval(), 2000);
    QCOMPARE(w.List1->count(), 0);
    QCOMPARE(w.MinPerc, 90.0f);
    QVERIFY(disabledNames(w).isEmpty());
    QCOMPARE(h->messages, 0);
    const std::array<int, 4> ticked{4, 6, 5, 2};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            QCOMPARE(w.row(p, r).chk->isChecked(), r <= ticked[std::size_t(roster::index(p))]);
            QCOMPARE(w.row(p, r).number->text(), QString::number(r));
            QCOMPARE(w.row(p, r).cmdM->y(), w.row(p, r).number->y());
        }
    // The row button's arrow: black, outlined in white, the corners clear.
    const QImage arrow = w.row(Position::G, 7).cmdM->icon().pixmap(QSize(7, 11)).toImage();
    QCOMPARE(arrow.pixelColor(3, 0), QColor(Qt::white));
    QCOMPARE(arrow.pixelColor(1, 3), QColor(Qt::black));
    QCOMPARE(arrow.pixelColor(0, 7), QColor(Qt::white));
    QCOMPARE(arrow.pixelColor(0, 0).alpha(), 0);
}

// The Tab key from txtCash: Centres rows 1-15, Defence 1-12, Wingers 1-15, Goalies 1-12, cell by
// cell, then the settings and commands.
void tst_layout::focusOrderHead()
{
    QStringList expected{QStringLiteral("txtCash")};
    for (const auto &[letter, rows] : {std::pair{u'C', 15}, std::pair{u'D', 12}, std::pair{u'W', 15},
                                       std::pair{u'G', 12}})
        for (int r = 1; r <= rows; ++r)
            for (const char *field : {"N", "C", "P", "W"})
                expected << QStringLiteral("%1%2_%3").arg(QChar(letter)).arg(QLatin1String(field)).arg(r);
    expected << "txtTarget" << "cmdCompact" << "cmdSave" << "cmdReload" << "chkASave" << "optM_0" << "optM_1"
             << "chkTop35" << "cmdDo" << "cmdStop" << "List1" << "txtPerc" << "cmdVSwitch";

    QStringList walked;
    QWidget *widget = h->window.get();
    while (walked.size() < expected.size()) {
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        walked << widget->objectName();
    }
    QCOMPARE(walked, expected);
}

// Setting a value from code runs its handler before the setting statement returns.
void tst_layout::handlersRunAsTheValueChanges()
{
    frmChoose30 &w = *h->window;
    w.row(Position::D, 4).P->setText(QStringLiteral("1.5"));
    w.row(Position::D, 4).W->setText(QStringLiteral("3"));
    QCOMPARE(w.row(Position::D, 4).PW->text(), QStringLiteral("4.5"));
    QCOMPARE(w.row(Position::G, 15).PW->text(), QStringLiteral("0")); // a points change rates every row
    w.row(Position::C, 2).chk->setChecked(false);
    QVERIFY(!w.row(Position::C, 1).chk->isChecked());
    w.txtPerc->setText(QStringLiteral("abc"));
    QCOMPARE(h->beeps, 1);
    w.txtPerc->setText(QStringLiteral("85"));
    QCOMPARE(w.MinPerc, 85.0f);
    w.row(Position::G, 3).N->setText(QStringLiteral("Keeper"));
    w.row(Position::G, 3).cmdM->click();
    w.row(Position::G, 5).cmdM->click();
    QCOMPARE(w.row(Position::G, 5).N->text(), QStringLiteral("Keeper"));
    w.optM[0]->click();
    QVERIFY(!w.optM[1]->isChecked());
    w.chkAlwaysOnTop->setChecked(false);
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    w.cmdReload->click();
    QCOMPARE(h->questions.size(), 1);
}

void tst_layout::lock_data()
{
    QTest::addColumn<QString>("calls"); // L: LockInputs, U: UnlockInputs
    QTest::addColumn<bool>("running");  // search.Running while the calls are made
    QTest::addColumn<QSet<QString>>("disabled");

    QTest::newRow("lock") << "LL" << false << lockedNames();
    QTest::newRow("lock, unlock") << "LU" << false << QSet<QString>();
    QTest::newRow("stopped search unlocks twice") << "LUU" << false << QSet<QString>();
    QTest::newRow("unlock without a lock") << "U" << false << QSet<QString>();
    QTest::newRow("Stop while the search still returns: Find Best Team waits")
        << "LU" << true << QSet<QString>{QStringLiteral("cmdDo")};
}

void tst_layout::lock()
{
    QFETCH(QString, calls);
    QFETCH(bool, running);
    QFETCH(QSet<QString>, disabled);
    frmChoose30 &w = *h->window;
    QCOMPARE(lockedNames().size(), 497);
    w.search.Running = running;
    for (QChar call : calls)
        call == u'L' ? w.LockInputs() : w.UnlockInputs();
    QCOMPARE(disabledNames(w), disabled);
    w.search.Running = false;
}

void tst_layout::lockChangesNothingElse()
{
    frmChoose30 &w = *h->window;
    w.row(Position::C, 2).chk->setChecked(false); // blue, black and red rows
    w.row(Position::D, 1).N->setText(QStringLiteral("Smith, John"));
    w.txtPerc->setText(QStringLiteral("x"));
    const QStringList before = snapshot(w);
    w.LockInputs();
    QCOMPARE(snapshot(w), before);
    w.UnlockInputs();
    QCOMPARE(snapshot(w), before);
}

// H: cmdHSwitch, V: cmdVSwitch, C: cmdCompact. Outer sizes in pixels of the twips asked for
// (3685 twips are 245.67 pixels: 246).
void tst_layout::arrangement_data()
{
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<Places>("places");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("outer"); // invalid: never asked for
    QTest::addColumn<QPoint>("at");

    const Places design{{3, 55}, {243, 55}, {3, 411}, {243, 411}};
    const Places upsideDown{{3, 337}, {243, 337}, {3, 55}, {243, 55}};
    const QString compact = QStringLiteral("Compact Window"), full = QStringLiteral("Full Window");
    const QPoint start(300, 40);

    QTest::newRow("one horizontal switch")
        << "H" << Places{{249, 55}, {3, 55}, {249, 411}, {3, 411}} << compact << QSize() << start;
    QTest::newRow("two: right column at 249, not 243")
        << "HH" << Places{{3, 55}, {249, 55}, {3, 411}, {249, 411}} << compact << QSize() << start;
    QTest::newRow("one vertical switch") << "V" << upsideDown << compact << QSize() << start;
    QTest::newRow("two vertical switches") << "VV" << design << compact << QSize() << start;
    QTest::newRow("compact, 20-row frames on top") << "C" << design << full << QSize(246, 425) << start;
    QTest::newRow("compact, 15-row frames on top") << "VC" << upsideDown << full << QSize(246, 347) << start;
    QTest::newRow("switching rows while compact keeps the height")
        << "CV" << upsideDown << full << QSize(246, 425) << start;
    QTest::newRow("full again, at the left edge") << "CC" << design << compact << QSize(708, 705) << QPoint(10, 40);
    QTest::newRow("both switches") << "HV" << Places{{249, 337}, {3, 337}, {249, 55}, {3, 55}} << compact
                                   << QSize() << start;
}

void tst_layout::arrangement()
{
    QFETCH(QString, clicks);
    QFETCH(Places, places);
    QFETCH(QString, caption);
    QFETCH(QSize, outer);
    QFETCH(QPoint, at);
    frmChoose30 &w = *h->window;
    w.move(300, 40);
    for (QChar click : clicks)
        (click == u'H' ? w.cmdHSwitch : click == u'V' ? w.cmdVSwitch : w.cmdCompact)->click();
    QCOMPARE((Places{w.fraC->pos(), w.fraW->pos(), w.fraD->pos(), w.fraG->pos()}), places);
    QCOMPARE(w.cmdCompact->text(), caption);
    QCOMPARE(w.requestedOuterSize(), outer);
    QCOMPARE(w.pos(), at);
    QVERIFY(!w.fraC->isHidden() && !w.fraW->isHidden() && !w.fraD->isHidden() && !w.fraG->isHidden());
    QVERIFY(w.updatesEnabled());
    // Fixed at the outer size less the window system's frame.
    QCOMPARE(w.minimumSize(), w.maximumSize());
    const QSize margins = w.frameGeometry().size() - w.geometry().size();
    QCOMPARE(w.size(), outer.isValid() ? outer - margins : QSize(705, 680));
    QCOMPARE(w.row(Position::D, 1).N->parentWidget(), static_cast<QWidget *>(w.fraD));
}

QTEST_MAIN(tst_layout)
#include "tst_layout.moc"
