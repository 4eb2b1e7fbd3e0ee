// SPDX-License-Identifier: MIT
// The main window's life cycle, the wiring of its handlers, its roster file, the input lock and the
// arrangement commands.
#include "frmchoose30.h"

#include "frmhelp.h"
#include "mdlalwaysontop.h"
#include "numbers.h"
#include "rosterfile.h"
#include "toolkit.h"
#include "twips.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using roster::Position;

namespace {

const QString RosterFileName = QStringLiteral("players.txt");
const QString ProgramTitle = QStringLiteral("Korvane");

// Frame places of the arrangement commands, in pixels of the client area.
constexpr int LeftColumn = 3;
constexpr int RightColumn = 249;
constexpr int UpperRow = 55;
constexpr int LowerRowUnderTwenty = 411;  // Centres and Wingers on top
constexpr int LowerRowUnderFifteen = 337; // Defence and Goalies on top

const QString CompactCaption = QStringLiteral("Compact Window");
const QString FullCaption = QStringLiteral("Full Window");

} // namespace

frmChoose30::frmChoose30(QWidget *parent) : QWidget(parent)
{
    buildLayout();
    connectHandlers();
    connectRosterClipboard();
    connectTeamMarks();
    Form_Load();
}

frmChoose30::~frmChoose30() = default;

const frmChoose30::RowControls &frmChoose30::row(Position position, int r) const
{
    Q_ASSERT(r >= 1 && r <= roster::rowCount(position));
    return rows_[std::size_t(roster::index(position))][std::size_t(r)];
}

frmChoose30::RowControls &frmChoose30::row(Position position, int r)
{
    return const_cast<RowControls &>(std::as_const(*this).row(position, r));
}

QGroupBox *frmChoose30::frame(Position position) const
{
    switch (position) {
    case Position::C: return fraC;
    case Position::W: return fraW;
    case Position::D: return fraD;
    case Position::G: return fraG;
    }
    return nullptr;
}

// ---- handlers

namespace {

using RowHandler = void (frmChoose30::*)(int);

struct RowHandlers {
    RowHandler pointsChange;
    RowHandler gamesChange;
    RowHandler includeClick;
    RowHandler moveClick;
};

} // namespace

// Every handler runs at once inside the statement that set a text or a box, whether the user or
// the program made the change: the file load and the row moves rely on it. A box's toggled
// signal fires only on a real change of its value, which keeps the row selection from
// revisiting rows it is still working through.
void frmChoose30::connectHandlers()
{
    // Indexed by position: C, W, D, G.
    static constexpr RowHandlers HandlersOfPosition[] = {
        {&frmChoose30::CP_Change, &frmChoose30::CW_Change, &frmChoose30::chkC_Click, &frmChoose30::cmdCM_Click},
        {&frmChoose30::WP_Change, &frmChoose30::WW_Change, &frmChoose30::chkW_Click, &frmChoose30::cmdWM_Click},
        {&frmChoose30::DP_Change, &frmChoose30::DW_Change, &frmChoose30::chkD_Click, &frmChoose30::cmdDM_Click},
        {&frmChoose30::GP_Change, &frmChoose30::GW_Change, &frmChoose30::chkG_Click, &frmChoose30::cmdGM_Click},
    };
    for (Position p : roster::AllPositions) {
        const RowHandlers &h = HandlersOfPosition[roster::index(p)];
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            RowControls &cells = row(p, r);
            connect(cells.P, &QLineEdit::textChanged, this, [this, f = h.pointsChange, r] { (this->*f)(r); });
            connect(cells.W, &QLineEdit::textChanged, this, [this, f = h.gamesChange, r] { (this->*f)(r); });
            connect(cells.chk, &QCheckBox::toggled, this, [this, f = h.includeClick, r] { (this->*f)(r); });
            connect(cells.cmdM, &QPushButton::clicked, this, [this, f = h.moveClick, r] { (this->*f)(r); });
            // Display only, no handling: a name set by the load, a reload or a row move shows
            // its beginning, not the end the cursor is left at (even when the text is the same).
            connect(cells.N, &QLineEdit::cursorPositionChanged, cells.N, [name = cells.N] {
                if (!name->hasFocus() && name->cursorPosition() != 0)
                    name->setCursorPosition(0);
            });
        }
    }
    connect(txtPerc, &QLineEdit::textChanged, this, [this] { txtPerc_Change(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdReload, &QPushButton::clicked, this, [this] { cmdReload_Click(); });
    connect(cmdDo, &QPushButton::clicked, this, [this] { cmdDo_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStop_Click(); });
    connect(chkTop35, &QPushButton::toggled, this, [this] { chkTop35_Click(); });
    connect(optMGroup_, &QButtonGroup::idToggled, this, [this](int id, bool selected) {
        if (selected)
            optM_Click(id);
    });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(cmdCompact, &QPushButton::clicked, this, [this] { cmdCompact_Click(); });
    connect(cmdHSwitch, &QPushButton::clicked, this, [this] { cmdHSwitch_Click(); });
    connect(cmdVSwitch, &QPushButton::clicked, this, [this] { cmdVSwitch_Click(); });
    connect(chkAlwaysOnTop, &QCheckBox::toggled, this, [this] { chkAlwaysOnTop_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
}

// ---- start-up and shutdown

void frmChoose30::Form_Load()
{
    if (chkAlwaysOnTop->isChecked())
        MakeTopmost(this);
    placeAtTop();

    NumCW = roster::NumCW;
    NumDG = roster::NumDG;
    MinPerc = DefaultMinPerc;
    // A reload must not leave the search working to 90 per cent while the field shows another
    // figure; a field that is not a number already stands at 90, red.
    if (const auto percent = roster::toSingle(txtPerc->text()))
        MinPerc = *percent;

    sizeCandidateTables();
    loadRoster();

    for (Position p : roster::AllPositions)
        selectionClick(p, 1);
}

// The top edge goes to the top of the screen; the left edge stays where the window system put
// the window. Before the window is first shown it has no place yet, and moving it then would
// pin it to the left edge: the move waits until the window system has placed it on screen.
void frmChoose30::placeAtTop()
{
    if (isVisible()) {
        move(x(), 0);
        return;
    }
    if (placeAtTopWhenShown_)
        return;
    placeAtTopWhenShown_ = true;
    installEventFilter(this);
}

bool frmChoose30::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && placeAtTopWhenShown_ && event->type() == QEvent::Paint) {
        placeAtTopWhenShown_ = false;
        removeEventFilter(this);
        QTimer::singleShot(0, this, [this] { move(x(), 0); });
    }
    return QWidget::eventFilter(watched, event);
}

void frmChoose30::Form_Unload()
{
    cmdStop_Click();
    if (toolkit::askYesNo(this, QStringLiteral("Would you like to save?"), QStringLiteral("Save?")))
        saveRoster(); // a failure has been told; closing goes on all the same
    if (helpWindow_)
        helpWindow_->close();
    toolkit::endProgram();
}

// The close cannot be refused: the question offers no Cancel, and the event comes accepted.
void frmChoose30::closeEvent(QCloseEvent *) { Form_Unload(); }

// ---- roster file

// Each text is set in file order, and each setting runs its field's handling before the next value
// is read, so the rate column follows the file as it loads.
void frmChoose30::loadRoster()
{
    const QString path = toolkit::programFile(RosterFileName);
    QFile file(path);
    QString reason;
    const toolkit::FileOpen opened = toolkit::openProgramFile(file, reason);
    // No roster yet (a first start) or an empty one: the fields keep what they show.
    if (opened == toolkit::FileOpen::Missing || (opened == toolkit::FileOpen::Opened && file.size() < 1))
        return;
    // A folder or a pipe by that name is no roster, and opening a pipe would wait for ever.
    if (opened == toolkit::FileOpen::Refused) {
        showMessage(QStringLiteral("The roster %1 could not be read (%2). The fields keep what they showed.")
                        .arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    // The file streams in and only what the roster's values need is read: a huge players.txt
    // neither fills the memory nor keeps the window from opening.
    const roster::RosterRead read = roster::readRoster(file);
    file.close();

    QList<QLineEdit *> fields{txtCash, txtTarget};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            RowControls &cells = row(p, r);
            for (QLineEdit *field : cells.editableFields())
                fields << field;
        }
    const qsizetype count = std::min(read.values.size(), fields.size());
    for (qsizetype i = 0; i < count; ++i)
        fields[i]->setText(read.values[i]);

    if (read.problem.isEmpty())
        return;
    QString message = read.problem;
    if (read.values.size() < roster::RosterValueCount)
        message += u' ' + QStringLiteral("The fields after the last value read keep what they showed.");
    showMessage(message);
}

bool frmChoose30::saveRoster()
{
    roster::RosterTexts texts;
    texts.values.reserve(roster::RosterValueCount);
    texts.values << txtCash->text() << txtTarget->text();
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            const RowControls &cells = row(p, r);
            texts.values << cells.N->text() << cells.C->text() << cells.P->text() << cells.W->text();
        }

    const QString path = toolkit::programFile(RosterFileName);
    QString error;
    if (roster::saveRosterFile(path, texts, &error))
        return true;
    if (error.isEmpty())
        error = QStringLiteral("The roster was not saved to %1.").arg(QDir::toNativeSeparators(path));
    showMessage(error);
    return false;
}

void frmChoose30::cmdSave_Click() { saveRoster(); }

void frmChoose30::cmdReload_Click()
{
    if (toolkit::askYesNo(this, QStringLiteral("Are you sure you want to reload the statistics, without saving?"),
                          ProgramTitle))
        Form_Load();
}

void frmChoose30::showMessage(const QString &text) { toolkit::showMessage(this, text, ProgramTitle); }

// ---- input lock

// The money and target, the save, reload and search commands, both modes, and every field, box
// and row button of the 70 player rows. The percentage, Stop, the list options and the window
// commands stay live while a search runs.
QList<QWidget *> frmChoose30::lockedControls() const
{
    QList<QWidget *> controls{txtCash, txtTarget, cmdSave, cmdReload, cmdDo, optM[0], optM[1]};
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            const RowControls &cells = rows_[std::size_t(roster::index(p))][std::size_t(r)];
            controls << cells.N << cells.C << cells.P << cells.W << cells.PW << cells.chk << cells.cmdM;
        }
    return controls;
}

void frmChoose30::LockInputs()
{
    for (QWidget *control : lockedControls())
        control->setEnabled(false);
}

// Stop unlocks while the stopped search is still returning through its loops; Find Best Team
// stays off until it has returned, so that a second search cannot start inside the first.
void frmChoose30::UnlockInputs()
{
    for (QWidget *control : lockedControls())
        control->setEnabled(control != cmdDo || !search.running);
}

// ---- window arrangement

// The outer size is asked for in twips, borders and title bar included; the window stays fixed
// at the client size that gives it.
void frmChoose30::setOuterSize(int widthTwips, int heightTwips)
{
    const QSize outer(roster::twipsToNearestPixels(widthTwips), roster::twipsToNearestPixels(heightTwips));
    const QSize margins = frameGeometry().size() - geometry().size();
    setFixedSize((outer - margins).expandedTo(QSize(1, 1)));
}

void frmChoose30::cmdCompact_Click()
{
    if (cmdCompact->text() == CompactCaption) {
        // The upper row's frames decide the height: 20 rows when Centres and Wingers are on top.
        setOuterSize(3685, fraC->y() == UpperRow ? 6380 : 5200);
        cmdCompact->setText(FullCaption);
    } else {
        setOuterSize(10620, 10575);
        move(10, pos().y());
        cmdCompact->setText(CompactCaption);
    }
}

// The frames are painted at their new places only once all four have moved.
void frmChoose30::cmdHSwitch_Click()
{
    setUpdatesEnabled(false);
    const bool centresLeft = fraC->x() == LeftColumn;
    const int centresColumn = centresLeft ? RightColumn : LeftColumn;
    const int wingersColumn = centresLeft ? LeftColumn : RightColumn;
    fraC->move(centresColumn, fraC->y());
    fraD->move(centresColumn, fraD->y());
    fraG->move(wingersColumn, fraG->y());
    fraW->move(wingersColumn, fraW->y());
    setUpdatesEnabled(true);
}

void frmChoose30::cmdVSwitch_Click()
{
    setUpdatesEnabled(false);
    if (fraC->y() == UpperRow) {
        fraC->move(fraC->x(), LowerRowUnderFifteen);
        fraW->move(fraW->x(), LowerRowUnderFifteen);
        fraD->move(fraD->x(), UpperRow);
        fraG->move(fraG->x(), UpperRow);
    } else {
        fraC->move(fraC->x(), UpperRow);
        fraW->move(fraW->x(), UpperRow);
        fraD->move(fraD->x(), LowerRowUnderTwenty);
        fraG->move(fraG->x(), LowerRowUnderTwenty);
    }
    setUpdatesEnabled(true);
}
