// The main window as it opens: every control at its place with its caption, hint, width, font and
// first value, the focus order, and each control wired to its handler.
#include "window/frmchoose30.h"
#include "window/resultlistbox.h"
#include "window/toolkit.h"

#include <QCheckBox>
#include <QFrame>
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

// The window in an empty program folder, with every question, message, beep and the end of the
// program caught.
struct Harness {
    QTemporaryDir folder;
    QStringList messages;
    int beeps = 0;
    bool ended = false;
    std::unique_ptr<frmChoose30> window;

    Harness()
    {
        toolkit::setProgramFolder(folder.path());
        toolkit::setQuestionAnswerer([](const QString &, const QString &) { return false; });
        toolkit::setMessageSink([this](const QString &text, const QString &) { messages << text; });
        toolkit::setBeeper([this] { ++beeps; });
        toolkit::setProgramEnder([this] { ended = true; });
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

QString textOf(const QWidget *widget) { return widget->property("text").toString(); }

} // namespace

class tst_layout : public QObject {
    Q_OBJECT

private slots:
    void init() { h = std::make_unique<Harness>(); }
    void cleanup() { h.reset(); }

    void window();
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
    void rowNumbersReadDownEachFrame();
    void initialState();
    void initialTicks();
    void focusOrderHead();
    void arrowPicture();
    void optionPairIsExclusive();
    void handlersRunAsTheValueChanges();

private:
    template <typename T = QWidget>
    T *control(const QString &name)
    {
        auto *found = h->window->findChild<T *>(name);
        if (!found)
            qWarning("no control %s", qPrintable(name));
        return found;
    }

    std::unique_ptr<Harness> h;
};

void tst_layout::window()
{
    frmChoose30 &w = *h->window;
    QCOMPARE(w.size(), QSize(705, 680));
    QCOMPARE(w.minimumSize(), QSize(705, 680));
    QCOMPARE(w.maximumSize(), QSize(705, 680));
    QCOMPARE(w.windowTitle(), QStringLiteral("Korvane"));
    QCOMPARE(w.pos().y(), 0);
    QVERIFY(h->messages.isEmpty());
}

// Places in pixels of the container: twips of the design divided by 15.
void tst_layout::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");

    QTest::newRow("cmdVSwitch") << "cmdVSwitch" << QRect(4, 4, 39, 42);
    QTest::newRow("cmdCompact") << "cmdCompact" << QRect(90, 4, 64, 42);
    QTest::newRow("Frame1 above the client area") << "Frame1" << QRect(159, -2, 118, 48);
    QTest::newRow("txtCash") << "txtCash" << QRect(165, 22, 39, 19);
    QTest::newRow("NN(49)") << "NN_49" << QRect(210, 8, 61, 14);
    QTest::newRow("chkASave") << "chkASave" << QRect(383, 4, 99, 42);
    QTest::newRow("optM(1)") << "optM_1" << QRect(498, 25, 99, 21);
    QTest::newRow("txtPerc") << "txtPerc" << QRect(663, 106, 20, 19);
    QTest::newRow("cmdDo") << "cmdDo" << QRect(497, 129, 99, 25);
    QTest::newRow("cmdStop") << "cmdStop" << QRect(599, 129, 99, 25);
    QTest::newRow("List1") << "List1" << QRect(496, 159, 201, 411);
    QTest::newRow("cmdHelp") << "cmdHelp" << QRect(607, 616, 87, 35);
    QTest::newRow("fraC") << "fraC" << QRect(3, 55, 235, 344);
    QTest::newRow("fraW") << "fraW" << QRect(243, 55, 235, 344);
    QTest::newRow("fraD") << "fraD" << QRect(3, 411, 235, 264);
    QTest::newRow("fraG") << "fraG" << QRect(243, 411, 235, 264);
    QTest::newRow("Centres title") << "Text1" << QRect(34, 0, 45, 16);
    QTest::newRow("Goalies title") << "Text2" << QRect(34, 0, 45, 16);
    QTest::newRow("Centres row 1") << "CN_1" << QRect(53, 16, 72, 16);
    QTest::newRow("Centres row 2, last above the line") << "CC_2" << QRect(125, 32, 27, 16);
    QTest::newRow("Centres row 3, below the line") << "CP_3" << QRect(152, 50, 27, 16);
    QTest::newRow("Goalies row 2, below the line") << "GN_2" << QRect(53, 34, 72, 16);
    QTest::newRow("Wingers row 20") << "WPW_20" << QRect(199, 322, 29, 16);
    QTest::newRow("Defence row 15 games") << "DW_15" << QRect(181, 242, 18, 16);
    QTest::newRow("Goalies box is narrower") << "chkG_1" << QRect(17, 16, 14, 16);
    QTest::newRow("Wingers box") << "chkW_5" << QRect(17, 82, 16, 16);
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
    QWidget *widget = control(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), place);
}

void tst_layout::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");

    QTest::newRow("cmdVSwitch") << "cmdVSwitch" << "C ->D W->G"
                                << "Switch the position of the Centres with the Defence, and the Wingers with the Goalies";
    QTest::newRow("cmdHSwitch") << "cmdHSwitch" << "C->W D->G"
                                << "Switch the position of the Centres with the Wingers, and the Defence with the Goalies";
    QTest::newRow("cmdCompact") << "cmdCompact" << "Compact Window"
                                << "Shrink the window, showing only the top left set of players";
    QTest::newRow("Money") << "NN_0" << "Money" << "";
    QTest::newRow("txtCash") << "txtCash" << "50" << "The amount of money available to spent on players";
    QTest::newRow("Target Pts") << "NN_49" << "Target Pts" << "";
    QTest::newRow("txtTarget") << "txtTarget" << "30" << "Do not show results with fewer than this amount of points";
    QTest::newRow("cmdSave") << "cmdSave" << "Save" << "";
    QTest::newRow("cmdReload") << "cmdReload" << "Reload" << "";
    QTest::newRow("chkASave, three spaces each") << "chkASave" << "   Auto Save   Before Searching" << "";
    QTest::newRow("optM(0)") << "optM_0" << "Pts/G Mode" << "Points per Game mode.";
    QTest::newRow("optM(1)") << "optM_1" << "Pts/W Mode" << "Points per Week mode";
    QTest::newRow("chkTop35") << "chkTop35" << "Only Show Top 35" << "";
    QTest::newRow("lblNum") << "lblNum" << "Time Remaining" << "";
    QTest::newRow("Label3") << "Label3" << "Minimum %age of money to use"
                            << "The higher you set this value, the faster the program will work, since it will "
                               "ignore combinations with low total costs (ie: it ignores combos of all cheap players)";
    QTest::newRow("txtPerc") << "txtPerc" << "90" << "";
    QTest::newRow("Label2") << "Label2" << "%" << "";
    QTest::newRow("cmdDo") << "cmdDo" << "Find Best Team" << "";
    QTest::newRow("cmdStop") << "cmdStop" << "Stop" << "";
    QTest::newRow("cmdHelp") << "cmdHelp" << "Help" << "";
    QTest::newRow("chkAlwaysOnTop") << "chkAlwaysOnTop" << "Always On Top" << "";
    QTest::newRow("Text1") << "Text1" << "Centres" << "";
    QTest::newRow("Text4") << "Text4" << "Wingers" << "";
    QTest::newRow("Text3") << "Text3" << "Defence" << "";
    QTest::newRow("Text2") << "Text2" << "Goalies" << "";
    QTest::newRow("row cell empty") << "GW_15" << "" << "";
}

void tst_layout::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    QWidget *widget = control(name);
    QVERIFY(widget);
    QCOMPARE(textOf(widget), text);
    QCOMPARE(widget->toolTip(), hint);
}

// The width rule: typing stops at the width, and text set by the program is cut to it.
void tst_layout::cells_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("assigned");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("readOnly");

    const int right = Qt::AlignRight, left = Qt::AlignLeft, centre = Qt::AlignHCenter;
    QTest::newRow("cost 12345") << "CC_1" << "12345" << "1234" << right << false;
    QTest::newRow("points") << "WP_20" << "1.255" << "1.25" << right << false;
    QTest::newRow("games 10.5") << "DW_15" << "10.5" << "10." << right << false;
    QTest::newRow("rate, read-only") << "GPW_1" << "1232766" << "12327" << right << true;
    QTest::newRow("name, no limit") << "CN_7" << "Smith, John \"Jack\" of the long name"
                                    << "Smith, John \"Jack\" of the long name" << left << false;
    QTest::newRow("money") << "txtCash" << "123456789" << "123456789" << centre << false;
    QTest::newRow("target") << "txtTarget" << "35.5" << "35.5" << centre << false;
    QTest::newRow("percentage") << "txtPerc" << "95" << "95" << left << false;
}

void tst_layout::cells()
{
    QFETCH(QString, name);
    QFETCH(QString, assigned);
    QFETCH(QString, kept);
    QFETCH(int, alignment);
    QFETCH(bool, readOnly);
    auto *cell = control<QLineEdit>(name);
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
    QTest::addColumn<QString>("designFamily");

    QTest::newRow("money box") << "txtCash" << 8.25 << false << "MS Sans Serif";
    QTest::newRow("percentage box") << "txtPerc" << 8.25 << false << "MS Sans Serif";
    QTest::newRow("Money caption") << "NN_0" << 8.25 << true << "MS Sans Serif";
    QTest::newRow("Target Pts caption") << "NN_49" << 8.25 << true << "MS Sans Serif";
    QTest::newRow("button") << "cmdDo" << 8.25 << false << "MS Sans Serif";
    QTest::newRow("position title") << "Text3" << 8.25 << false << "MS Sans Serif";
    QTest::newRow("progress") << "lblNum" << 8.25 << false << "MS Sans Serif";
    QTest::newRow("name cell") << "CN_1" << 6.75 << false << "Small Fonts";
    QTest::newRow("rate cell") << "GPW_15" << 6.75 << false << "Small Fonts";
    QTest::newRow("row number") << "NN_1" << 6.75 << false << "Small Fonts";
    QTest::newRow("result list") << "List1" << 6.75 << false << "Small Fonts";
}

void tst_layout::fonts()
{
    QFETCH(QString, name);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QFETCH(QString, designFamily);
    QWidget *widget = control(name);
    QVERIFY(widget);
    QCOMPARE(widget->font().pointSizeF(), points);
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().families().value(0), designFamily);
}

// Rows 1 to 20 for Centres and Wingers, 1 to 15 for Defence and Goalies, no row 0 anywhere.
void tst_layout::rowArrays_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");

    for (const char *array : {"CN", "CC", "CP", "CW", "CPW", "chkC", "cmdCM", "WN", "WPW", "chkW", "cmdWM"})
        QTest::newRow(array) << QString::fromLatin1(array) << 1 << 20;
    for (const char *array : {"DN", "DC", "DP", "DW", "DPW", "chkD", "cmdDM", "GN", "GW", "chkG", "cmdGM"})
        QTest::newRow(array) << QString::fromLatin1(array) << 1 << 15;
    QTest::newRow("NN") << QStringLiteral("NN") << 0 << 71;
}

void tst_layout::rowArrays()
{
    QFETCH(QString, pattern);
    QFETCH(int, first);
    QFETCH(int, last);
    const QRegularExpression element(QStringLiteral("^%1_(\\d+)$").arg(pattern));
    QList<int> indexes;
    for (QWidget *widget : h->window->findChildren<QWidget *>(element))
        indexes << element.match(widget->objectName()).captured(1).toInt();
    std::sort(indexes.begin(), indexes.end());
    QList<int> expected;
    for (int i = first; i <= last; ++i)
        expected << i;
    QCOMPARE(indexes, expected);
}

void tst_layout::rowNumbersReadDownEachFrame()
{
    frmChoose30 &w = *h->window;
    for (Position p : roster::AllPositions) {
        int previousTop = -1;
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            QLabel *number = w.row(p, r).number;
            QVERIFY(number);
            QCOMPARE(number->parentWidget(), static_cast<QWidget *>(w.frame(p)));
            QCOMPARE(number->text(), QString::number(r));
            QVERIFY(number->y() > previousTop);
            // Number, box and button share the row's top.
            QCOMPARE(w.row(p, r).chk->y(), number->y());
            QCOMPARE(w.row(p, r).cmdM->y(), number->y());
            previousTop = number->y();
        }
    }
    QCOMPARE(w.NN[0], control("NN_0"));
    QCOMPARE(w.NN[49], control("NN_49"));
    QSet<QWidget *> distinct(w.NN.begin(), w.NN.end());
    QCOMPARE(distinct.size(), 72);
    QVERIFY(!distinct.contains(nullptr));
}

void tst_layout::initialState()
{
    frmChoose30 &w = *h->window;
    QVERIFY(w.chkASave->isCheckable() && w.chkASave->isChecked());
    QVERIFY(w.chkTop35->isCheckable() && w.chkTop35->isChecked());
    QVERIFY(w.chkAlwaysOnTop->isChecked());
    QVERIFY(!w.optM[0]->isChecked());
    QVERIFY(w.optM[1]->isChecked());
    QVERIFY(!w.Timer1->isActive());
    QCOMPARE(w.Timer1->interval(), 2000);
    QCOMPARE(w.List1->count(), 0);
    QCOMPARE(w.MinPerc, 90.0f);
    QCOMPARE(w.NumCW, qint16(20));
    QCOMPARE(w.NumDG, qint16(15));
    QCOMPARE(w.cmdCompact->text(), QStringLiteral("Compact Window"));
    QVERIFY(w.row(Position::C, 1).PW->text().isEmpty());
    const QList<QWidget *> all = w.findChildren<QWidget *>();
    for (QWidget *widget : all)
        QVERIFY2(widget->isEnabled(), qPrintable(widget->objectName()));
    QCOMPARE(w.row(Position::D, 3).cmdM->iconSize(), QSize(7, 11));
    QVERIFY(w.row(Position::D, 3).cmdM->text().isEmpty());
    QVERIFY(w.row(Position::D, 3).chk->text().isEmpty());
}

void tst_layout::initialTicks()
{
    const std::array<int, 4> ticked{4, 6, 5, 2};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            QCOMPARE(h->window->row(p, r).chk->isChecked(), r <= ticked[std::size_t(roster::index(p))]);
}

// txtCash first, then the cells of Centres rows 1-15, Defence 1-12, Wingers 1-15, Goalies 1-12,
// then the settings and commands.
void tst_layout::focusOrderHead()
{
    QStringList expected{QStringLiteral("txtCash")};
    const auto cells = [&](QChar letter, int last) {
        for (int r = 1; r <= last; ++r)
            for (const char *field : {"N", "C", "P", "W"})
                expected << QStringLiteral("%1%2_%3").arg(letter).arg(QLatin1String(field)).arg(r);
    };
    cells(u'C', 15);
    cells(u'D', 12);
    cells(u'W', 15);
    cells(u'G', 12);
    expected << "txtTarget" << "cmdCompact" << "cmdSave" << "cmdReload" << "chkASave" << "optM_0" << "optM_1"
             << "chkTop35" << "cmdDo" << "cmdStop" << "List1" << "txtPerc" << "cmdVSwitch";

    // The Tab key walks the focus chain and stops at the controls that take focus by Tab.
    QStringList walked;
    QWidget *widget = h->window->txtCash;
    QVERIFY(widget);
    while (walked.size() < expected.size()) {
        walked << widget->objectName();
        do {
            widget = widget->nextInFocusChain();
        } while (!(widget->focusPolicy() & Qt::TabFocus) && widget != h->window->txtCash);
        if (widget == h->window->txtCash)
            break;
    }
    QCOMPARE(walked, expected);

    // Nothing before txtCash takes the focus first.
    widget = h->window.get();
    do {
        widget = widget->nextInFocusChain();
    } while (!(widget->focusPolicy() & Qt::TabFocus));
    QCOMPARE(widget, static_cast<QWidget *>(h->window->txtCash));
}

// A black arrow outlined in white, the corners left clear.
void tst_layout::arrowPicture()
{
    const QImage image = h->window->row(Position::G, 7).cmdM->icon().pixmap(QSize(7, 11)).toImage();
    QCOMPARE(image.size(), QSize(7, 11));
    QCOMPARE(image.pixelColor(3, 0), QColor(Qt::white));
    QCOMPARE(image.pixelColor(3, 1), QColor(Qt::black));
    QCOMPARE(image.pixelColor(0, 3), QColor(Qt::white));
    QCOMPARE(image.pixelColor(1, 3), QColor(Qt::black));
    QCOMPARE(image.pixelColor(3, 5), QColor(Qt::black));
    QCOMPARE(image.pixelColor(0, 7), QColor(Qt::white));
    QCOMPARE(image.pixelColor(3, 10), QColor(Qt::white));
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(image.pixelColor(6, 10).alpha(), 0);
}

void tst_layout::optionPairIsExclusive()
{
    frmChoose30 &w = *h->window;
    w.optM[0]->click();
    QVERIFY(w.optM[0]->isChecked());
    QVERIFY(!w.optM[1]->isChecked());
    w.optM[0]->click(); // clicking the selected one keeps it selected
    QVERIFY(w.optM[0]->isChecked());
    w.optM[1]->click();
    QVERIFY(!w.optM[0]->isChecked());
    QVERIFY(w.optM[1]->isChecked());
}

// Setting a value from code runs its handler before the setting statement returns.
void tst_layout::handlersRunAsTheValueChanges()
{
    frmChoose30 &w = *h->window;
    // Games change: that row's rate.
    w.row(Position::D, 4).P->setText(QStringLiteral("1.5"));
    w.row(Position::D, 4).W->setText(QStringLiteral("3"));
    QCOMPARE(w.row(Position::D, 4).PW->text(), QStringLiteral("4.5"));
    // Points change: every row's rate, here Goalies row 15 from empty to "0".
    w.row(Position::W, 9).P->setText(QStringLiteral("2"));
    QCOMPARE(w.row(Position::G, 15).PW->text(), QStringLiteral("0"));
    // Include box: unticking Centres row 2 unticks row 1 as well.
    w.row(Position::C, 2).chk->setChecked(false);
    QVERIFY(!w.row(Position::C, 1).chk->isChecked());
    // Percentage: not a number turns it red with one beep.
    w.txtPerc->setText(QStringLiteral("abc"));
    QCOMPARE(h->beeps, 1);
    QCOMPARE(w.MinPerc, 90.0f);
    w.txtPerc->setText(QStringLiteral("85"));
    QCOMPARE(w.MinPerc, 85.0f);
    // Row buttons: two clicks exchange two players.
    w.row(Position::G, 3).N->setText(QStringLiteral("Keeper"));
    w.row(Position::G, 3).cmdM->click();
    w.row(Position::G, 5).cmdM->click();
    QCOMPARE(w.row(Position::G, 5).N->text(), QStringLiteral("Keeper"));
    QVERIFY(w.row(Position::G, 3).N->text().isEmpty());
    // Arrangement commands.
    w.cmdHSwitch->click();
    QCOMPARE(w.fraC->x(), 249);
    w.cmdVSwitch->click();
    QCOMPARE(w.fraC->y(), 337);
    w.cmdCompact->click();
    QCOMPARE(w.cmdCompact->text(), QStringLiteral("Full Window"));
    // Always on top follows its box.
    w.chkAlwaysOnTop->setChecked(false);
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    w.chkAlwaysOnTop->setChecked(true);
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    // Reload asks first.
    QStringList asked;
    toolkit::setQuestionAnswerer([&](const QString &text, const QString &) {
        asked << text;
        return false;
    });
    w.cmdReload->click();
    QCOMPARE(asked.size(), 1);
}

QTEST_MAIN(tst_layout)
#include "tst_layout.moc"
