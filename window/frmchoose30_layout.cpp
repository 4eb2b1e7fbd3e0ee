// SPDX-License-Identifier: MIT
// The main window's controls, built from the design tables below: every place is given in twips,
// the unit of the window's design, and turned into whole pixels (twips.h).
#include "frmchoose30.h"

#include "captionbuttons.h"
#include "format.h"
#include "progress.h"
#include "resultlistbox.h"
#include "twips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <string_view>

using roster::Position;
using roster::twipsToWholePixels;

namespace {

struct Design {
    std::string_view name;
    const char *text;
    int left, top, width, height; // twips
    const char *hint;
};

// The top band and the search column.
constexpr Design WindowDesign[] = {
    {"cmdVSwitch", "C ->D W->G", 60, 60, 585, 630,
     "Switch the position of the Centres with the Defence, and the Wingers with the Goalies"},
    {"cmdHSwitch", "C->W D->G", 705, 60, 585, 630,
     "Switch the position of the Centres with the Wingers, and the Defence with the Goalies"},
    {"cmdCompact", "Compact Window", 1350, 60, 960, 630, "Shrink the window, showing only the top left set of players"},
    {"Frame1", "", 2385, -30, 1770, 720, ""},
    {"NN_0", "Money", 2490, 105, 585, 210, ""},
    {"txtCash", "50", 2475, 330, 585, 285, "The amount of money available to spent on players"},
    {"NN_49", "Target Pts", 3150, 120, 915, 210, ""},
    {"txtTarget", "30", 3150, 315, 915, 285, "Do not show results with fewer than this amount of points"},
    {"cmdSave", "Save", 4230, 60, 630, 630, ""},
    {"cmdReload", "Reload", 4920, 60, 765, 630, ""},
    {"chkASave", "   Auto Save   Before Searching", 5745, 60, 1485, 630, ""},
    {"optM_0", "Pts/G Mode", 7470, 60, 1485, 315, "Points per Game mode."},
    {"optM_1", "Pts/W Mode", 7470, 375, 1485, 315, "Points per Week mode"},
    {"chkTop35", "Only Show Top 35", 9000, 60, 1485, 630, ""},
    // The progress line grows to three lines during a search: its box reaches to the window's
    // right edge and down to the percentage row.
    {"lblNum", "Time Remaining", 7470, 720, 3015, 870, ""},
    // Begins under the progress line rather than 12 pixels further right, so that the caption
    // keeps to one line with the stand-in font.
    {"Label3", "Minimum %age of money to use", 7470, 1620, 2475, 225,
     "The higher you set this value, the faster the program will work, since it will ignore "
     "combinations with low total costs (ie: it ignores combos of all cheap players)"},
    {"txtPerc", "90", 9945, 1590, 300, 285, ""}, // frmChoose30::DefaultMinPerc
    {"Label2", "%", 10275, 1620, 120, 195, ""},
    {"cmdDo", "Find Best Team", 7455, 1935, 1485, 375, ""},
    {"cmdStop", "Stop", 8985, 1935, 1485, 375, ""},
    {"List1", "", 7440, 2385, 3015, 6165, ""},
    {"cmdHelp", "Help", 9105, 9240, 1305, 525, ""},
    {"chkAlwaysOnTop", "Always On Top", 7455, 9525, 1470, 225, ""},
    {"lblCredit", "Korvane \u00b7 pool helper", 8760, 9915, 1800, 195, ""},
};

const Design &design(std::string_view name)
{
    for (const Design &d : WindowDesign)
        if (d.name == name)
            return d;
    qFatal("no design for %.*s", int(name.size()), name.data());
}

QRect pixels(int left, int top, int width, int height)
{
    return QRect(twipsToWholePixels(left), twipsToWholePixels(top), twipsToWholePixels(width), twipsToWholePixels(height));
}

QRect pixels(const Design &d) { return pixels(d.left, d.top, d.width, d.height); }

struct FrameDesign {
    Position position;
    QGroupBox *frmChoose30::*frame;
    const char *frameName;
    const char *titleName;
    int left, top, width, height; // twips
    int separatorTop;
    int separatorLeft;
};

constexpr int SeparatorRight = 3420;
constexpr int RowHeight = 240;
constexpr int SeparatorGap = 30;

// The text cells of a row, left to right; a width of 0 means no limit.
struct CellDesign {
    QLineEdit *frmChoose30::RowControls::*cell;
    const char *field;  // the array's name after the position letter
    const char *spoken; // what a screen reader calls it
    int left, width;    // twips
    int maxLength;
    Qt::Alignment alignment;
    bool readOnly;
};

constexpr CellDesign CellDesigns[] = {
    {&frmChoose30::RowControls::N, "N", "name", 795, 1080, roster::TextWidth, Qt::AlignLeft, false},
    {&frmChoose30::RowControls::C, "C", "cost", 1875, 405, roster::CostWidth, Qt::AlignRight, false},
    {&frmChoose30::RowControls::P, "P", "points", 2280, 405, roster::PointsWidth, Qt::AlignRight, false},
    {&frmChoose30::RowControls::W, "W", "games", 2715, 270, roster::GamesWidth, Qt::AlignRight, false},
    {&frmChoose30::RowControls::PW, "PW", "points for the week", 2985, 435, roster::RateWidth, Qt::AlignRight, true},
};
constexpr int NumberLeft = 60, NumberWidth = 150;
constexpr int IncludeLeft = 255, IncludeWidth = 240, GoalieIncludeWidth = 210;
constexpr int MoveLeft = 510, MoveWidth = 240;
constexpr int TitleLeft = 510, TitleWidth = 675;

// Rows ticked when the window opens: a sensible first selection around each boundary.
constexpr int initiallyTicked(Position p)
{
    switch (p) {
    case Position::C: return 4;
    case Position::W: return 6;
    case Position::D: return 5;
    case Position::G: return 2;
    }
    return 0;
}

// The row buttons' up-and-down arrow: B black, W white, a dot light grey.
constexpr const char *ArrowPixels[] = {
    "...W...", "..WBW..", ".WBBBW.", "WBBBBBW", "WWWBWWW", "..WBW..", "WWWBWWW", "WBBBBBW", ".WBBBW.", "..WBW..", "...W...",
};

QIcon arrowIcon()
{
    QImage image(7, 11, QImage::Format_RGB32);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 7; ++x) {
            const char c = ArrowPixels[y][x];
            image.setPixel(x, y, c == 'B' ? qRgb(0, 0, 0) : c == 'W' ? qRgb(255, 255, 255) : qRgb(192, 192, 192));
        }
    return QIcon(QPixmap::fromImage(image));
}

// The fonts the window was designed with. Where they are not installed the desktop's sans serif
// stands in, narrowed to about their width, so that captions and cells keep to the boxes drawn
// for them ("12327" in a rate cell, "Minimum %age of money to use" on one line).
QFont designFont(const QString &family, qreal points, bool bold = false)
{
    QFont font;
    font.setFamilies({family, QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    if (QFontInfo(font).family().compare(family, Qt::CaseInsensitive) != 0)
        font.setStretch(85);
    return font;
}

QFont captionFont(bool bold = false) { return designFont(QStringLiteral("MS Sans Serif"), 8.25, bold); }
QFont cellFont() { return designFont(QStringLiteral("Small Fonts"), 6.75); }

// The result lines are wider than the roster's cells: where the design's font is missing, the
// desktop's sans serif at the design's small size in pixels, narrowed by the list itself until
// the widest line fits (ResultListBox::fitFont). A pixel more between words keeps the row
// numbers apart once the face is narrowed: "4 7 8 12", not "47812".
QFont listFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(8);
    font.setWordSpacing(1);
    return font;
}

// The widest line a roster of plain numbers can list: two-digit rows in every position, and
// points and cost of seven significant digits, each with its sign and point (rates of five
// characters, costs of four). Points written with an exponent ("1E30" in a cell) run longer and
// scroll.
QString widestResultLine()
{
    return QString::fromStdString(
        search::resultLine(-89991.25f, -8990.875f, search::TeamRows{19, 20, 17, 18, 19, 20, 13, 14, 15, 15}));
}

// While a row move is pending the window shows the move pointer, and so must its text cells,
// which otherwise keep their own text pointer.
class MovePointerFollower : public QObject {
public:
    explicit MovePointerFollower(QWidget *window) : QObject(window), window_(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override // the window's events only
    {
        if (event->type() == QEvent::CursorChange) {
            const bool moving = window_->cursor().shape() == Qt::SizeVerCursor;
            for (QLineEdit *cell : window_->findChildren<QLineEdit *>()) {
                if (moving)
                    cell->setCursor(Qt::SizeVerCursor);
                else
                    cell->setCursor(cell->isReadOnly() ? Qt::ArrowCursor : Qt::IBeamCursor);
            }
        }
        return false;
    }

private:
    QWidget *window_;
};

template <typename Widget>
Widget *placed(Widget *widget, const QString &name, const QRect &geometry, const char *hint = "")
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    if (*hint)
        widget->setToolTip(QString::fromUtf8(hint));
    return widget;
}

template <typename Widget>
Widget *placed(Widget *widget, const Design &d)
{
    return placed(widget, QString::fromUtf8(d.name.data(), qsizetype(d.name.size())), pixels(d), d.hint);
}

QPushButton *button(const Design &d, QWidget *parent, bool checkable = false)
{
    auto *b = placed(new CaptionButton(QString::fromUtf8(d.text), parent), d);
    b->setCheckable(checkable);
    return b;
}

QRadioButton *optionButton(const Design &d, QWidget *parent)
{
    return placed(new OptionButton(QString::fromUtf8(d.text), parent), d);
}

QLineEdit *textBox(const Design &d, QWidget *parent, Qt::Alignment alignment)
{
    auto *box = placed(new QLineEdit(QString::fromUtf8(d.text), parent), d);
    box->setAlignment(alignment | Qt::AlignVCenter);
    return box;
}

QLabel *label(const Design &d, QWidget *parent) { return placed(new QLabel(QString::fromUtf8(d.text), parent), d); }

// The position titles, the row numbers and the "Money" and "Target Pts" captions: read-only
// boxes on the button face, out of the Tab key's way.
QLabel *labelBox(const QString &text, QWidget *parent, Qt::Alignment alignment)
{
    auto *box = new QLabel(text, parent);
    box->setAlignment(alignment | Qt::AlignVCenter);
    box->setBackgroundRole(QPalette::Button);
    box->setAutoFillBackground(true);
    return box;
}

} // namespace

void frmChoose30::buildLayout()
{
    setObjectName(QStringLiteral("frmChoose30"));
    setWindowTitle(QStringLiteral("Korvane"));
    setFont(captionFont());
    setFixedSize(705, 680);

    // Made first so that it lies beneath the money and target fields it surrounds.
    Frame1 = placed(new QFrame(this), design("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    cmdVSwitch = button(design("cmdVSwitch"), this);
    cmdHSwitch = button(design("cmdHSwitch"), this);
    cmdCompact = button(design("cmdCompact"), this);

    QLabel *money = placed(labelBox(QStringLiteral("Money"), this, Qt::AlignRight), design("NN_0"));
    money->setFont(captionFont(true));
    txtCash = textBox(design("txtCash"), this, Qt::AlignHCenter);
    txtCash->setMaxLength(roster::TextWidth);
    QLabel *target = placed(labelBox(QStringLiteral("Target Pts"), this, Qt::AlignRight), design("NN_49"));
    target->setFont(captionFont(true));
    txtTarget = textBox(design("txtTarget"), this, Qt::AlignHCenter);
    txtTarget->setMaxLength(roster::TextWidth);

    cmdSave = button(design("cmdSave"), this);
    cmdReload = button(design("cmdReload"), this);
    chkASave = button(design("chkASave"), this, true);
    chkASave->setChecked(true);
    optM[0] = optionButton(design("optM_0"), this);
    optM[1] = optionButton(design("optM_1"), this);
    optMGroup_ = new QButtonGroup(this);
    optMGroup_->addButton(optM[0], 0);
    optMGroup_->addButton(optM[1], 1);
    optM[1]->setChecked(true);
    chkTop35 = button(design("chkTop35"), this, true);
    chkTop35->setChecked(true);

    lblNum = label(design("lblNum"), this);
    lblNum->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblNum->setWordWrap(true);
    Label3 = label(design("Label3"), this);
    Label3->setWordWrap(true);
    txtPerc = textBox(design("txtPerc"), this, Qt::AlignLeft);
    Label2 = label(design("Label2"), this);
    cmdDo = button(design("cmdDo"), this);
    cmdStop = button(design("cmdStop"), this);
    List1 = placed(new ResultListBox(this), design("List1"));
    List1->fitFont(listFont(), widestResultLine());
    List1->setToolTipProvider([this](const std::string &line) { return teamToolTip(line); });
    List1->setNamesProvider([this](const std::string &line) { return teamNames(line); });
    cmdHelp = button(design("cmdHelp"), this);
    chkAlwaysOnTop = placed(new QCheckBox(QString::fromUtf8(design("chkAlwaysOnTop").text), this), design("chkAlwaysOnTop"));
    chkAlwaysOnTop->setChecked(true);
    if (chkAlwaysOnTop->sizeHint().width() > chkAlwaysOnTop->width())
        chkAlwaysOnTop->resize(chkAlwaysOnTop->sizeHint().width(), chkAlwaysOnTop->height());
    lblCredit = label(design("lblCredit"), this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(search::TickSeconds * 1000);

    const QIcon arrow = arrowIcon();
    const QFont small = cellFont();
    static constexpr FrameDesign FrameDesigns[] = {
        {Position::C, &frmChoose30::fraC, "fraC", "Text1", 45, 825, 3525, 5160, 720, 270},
        {Position::W, &frmChoose30::fraW, "fraW", "Text4", 3645, 825, 3525, 5160, 1200, 255},
        {Position::D, &frmChoose30::fraD, "fraD", "Text3", 45, 6165, 3525, 3960, 975, 255},
        {Position::G, &frmChoose30::fraG, "fraG", "Text2", 3645, 6165, 3525, 3960, 480, 255},
    };
    int nextNumberIndex = 1;
    for (const FrameDesign &f : FrameDesigns) {
        QGroupBox *frame = placed(new QGroupBox(this), QString::fromUtf8(f.frameName),
                                  pixels(f.left, f.top, f.width, f.height));
        this->*f.frame = frame;
        const QString caption = QString::fromLatin1(roster::caption(f.position));
        frame->setAccessibleName(caption);

        const QString letter(QChar::fromLatin1(roster::letter(f.position)));
        const int anchor = roster::anchorRow(f.position);
        const int rows = roster::rowCount(f.position);
        for (int r = 1; r <= rows; ++r) {
            RowControls &cells = row(f.position, r);
            const int top = RowHeight * r + (r > anchor ? SeparatorGap : 0);
            const QString index = QString::number(r);

            if (nextNumberIndex == 49)
                ++nextNumberIndex;
            QLabel *number = placed(labelBox(index, frame, Qt::AlignRight), QStringLiteral("NN_%1").arg(nextNumberIndex++),
                                    pixels(NumberLeft, top, NumberWidth, RowHeight));
            number->setFont(small);

            const int includeWidthHere = f.position == Position::G ? GoalieIncludeWidth : IncludeWidth;
            cells.chk = placed(new QCheckBox(frame), QStringLiteral("chk%1_%2").arg(letter, index),
                               pixels(IncludeLeft, top, includeWidthHere, RowHeight));
            cells.chk->setChecked(r <= initiallyTicked(f.position));
            cells.chk->setAccessibleName(QStringLiteral("%1 row %2 include").arg(caption, index));

            cells.cmdM = placed(new QPushButton(frame), QStringLiteral("cmd%1M_%2").arg(letter, index),
                                pixels(MoveLeft, top, MoveWidth, RowHeight));
            cells.cmdM->setIcon(arrow);
            cells.cmdM->setIconSize(QSize(7, 11));
            cells.cmdM->setAccessibleName(QStringLiteral("Move %1 row %2").arg(caption, index));

            for (const CellDesign &c : CellDesigns) {
                QLineEdit *cell = placed(new QLineEdit(frame), letter + QString::fromLatin1(c.field) + u'_' + index,
                                         pixels(c.left, top, c.width, RowHeight));
                cell->setFont(small);
                cell->setAlignment(c.alignment | Qt::AlignVCenter);
                cell->setMaxLength(c.maxLength);
                cell->setReadOnly(c.readOnly);
                cell->setAccessibleName(QStringLiteral("%1 row %2 %3").arg(caption, index, QString::fromUtf8(c.spoken)));
                // The cells are narrow: the text may use the two pixels the toolkit keeps clear
                // on each side, as the design's boxes did.
                cell->setTextMargins(-1, 0, -1, 0);
                cells.*c.cell = cell;
            }
        }

        // Below the title's rows so that the title box paints over the frame's top edge.
        QLabel *title = placed(labelBox(caption, frame, Qt::AlignHCenter), QString::fromUtf8(f.titleName),
                               pixels(TitleLeft, 0, TitleWidth, RowHeight));
        title->raise();

        auto *separator = placed(new QFrame(frame), QStringLiteral("separator%1").arg(letter),
                                 QRect(twipsToWholePixels(f.separatorLeft), twipsToWholePixels(f.separatorTop),
                                       twipsToWholePixels(SeparatorRight) - twipsToWholePixels(f.separatorLeft), 1));
        separator->setAutoFillBackground(true);
        QPalette black = separator->palette();
        black.setColor(QPalette::Window, Qt::black);
        separator->setPalette(black);
    }

    nameControls();
    setFocusOrder();
    new MovePointerFollower(this);
}

// What a screen reader says for the controls outside the roster: what each is, in words a
// listener understands without the screen. Buttons and boxes whose caption says it keep their
// caption; the roster's cells are named as they are built.
void frmChoose30::nameControls()
{
    Frame1->setAccessibleName(QStringLiteral("Money and target"));
    txtCash->setAccessibleName(QStringLiteral("Money"));
    txtTarget->setAccessibleName(QStringLiteral("Target points"));
    txtPerc->setAccessibleName(QStringLiteral("Minimum percentage of money"));
    txtPerc->setAccessibleDescription(Label3->toolTip());
    chkASave->setAccessibleName(QStringLiteral("Auto Save Before Searching"));
    cmdVSwitch->setAccessibleName(QStringLiteral("Switch Centres with Defence"));
    cmdHSwitch->setAccessibleName(QStringLiteral("Switch Centres with Wingers"));
}

// txtCash first, then the first rows of Centres, Defence, Wingers and Goalies cell by cell, then
// the settings and commands; the rest in a plain order after them.
void frmChoose30::setFocusOrder()
{
    QList<QWidget *> order{txtCash};
    const auto addCells = [&](Position p, int from, int to) {
        for (int r = from; r <= to; ++r) {
            RowControls &cells = row(p, r);
            for (QLineEdit *field : cells.editableFields())
                order << field;
        }
    };
    addCells(Position::C, 1, 15);
    addCells(Position::D, 1, 12);
    addCells(Position::W, 1, 15);
    addCells(Position::G, 1, 12);
    order << txtTarget << cmdCompact << cmdSave << cmdReload << chkASave << optM[0] << optM[1] << chkTop35 << cmdDo
          << cmdStop << List1 << txtPerc << cmdVSwitch;
    addCells(Position::C, 16, roster::NumCW);
    addCells(Position::D, 13, roster::NumDG);
    addCells(Position::W, 16, roster::NumCW);
    addCells(Position::G, 13, roster::NumDG);
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            order << row(p, r).PW;
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            order << row(p, r).chk;
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r)
            order << row(p, r).cmdM;
    order << cmdHSwitch << cmdHelp << chkAlwaysOnTop;

    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    txtCash->setFocus();
}
