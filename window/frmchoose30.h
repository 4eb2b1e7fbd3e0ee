// SPDX-License-Identifier: MIT
#pragma once
// frmChoose30: the main window. The roster lives in its controls; every handler reads and
// writes them directly, and setting a text or a check box from code runs its handler at once.

#include "frmhelp.h" // helpWindow() hands out the QPointer: the type must be complete
#include "grid.h"
#include "searchfields.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class ResultListBox;

class frmChoose30 : public QWidget {
    Q_OBJECT
public:
    explicit frmChoose30(QWidget *parent = nullptr);
    ~frmChoose30() override;

    // One player row: name, cost, points per game, games, points for the week, include box, row button.
    struct RowControls {
        QLineEdit *N = nullptr;
        QLineEdit *C = nullptr;
        QLineEdit *P = nullptr;
        QLineEdit *W = nullptr;
        QLineEdit *PW = nullptr;
        QCheckBox *chk = nullptr;
        QPushButton *cmdM = nullptr;
        // The four fields the user types, in the order of players.txt and of a pasted row:
        // name, cost, points per game, games.
        std::array<QLineEdit *, 4> editableFields() const { return {N, C, P, W}; }
    };
    // Rows are numbered from 1, as the file and the result lines number them.
    RowControls &row(roster::Position position, int row);
    const RowControls &row(roster::Position position, int row) const;

protected:
    // The form's handlers, controls and fields under the form's own names, so that a reader who
    // knows the form finds each one.
    // Nothing outside the window calls them: the tests and the benchmark reach them through
    // small subclasses of their own.

    QGroupBox *frame(roster::Position position) const;

    // ---- start-up and shutdown
    void Form_Load();
    void Form_Unload();

    // ---- roster file
    void cmdSave_Click();
    void cmdReload_Click();
    bool saveRoster(); // the save itself; false (after telling the user) when it failed

    // ---- rate column
    void RecalcRates();
    void recalcRate(roster::Position position, int row);
    void CP_Change(int row);
    void WP_Change(int row);
    void DP_Change(int row);
    void GP_Change(int row);
    void CW_Change(int row);
    void WW_Change(int row);
    void DW_Change(int row);
    void GW_Change(int row);
    void txtPerc_Change();

    // ---- row selection
    void chkC_Click(int row);
    void chkW_Click(int row);
    void chkD_Click(int row);
    void chkG_Click(int row);
    void selectionClick(roster::Position position, int row);
    void markRows(roster::Position position);
    // The team of the one selected result line, tinted on the roster; never a text, tick or colour.
    void markTeam(const QString &line);
    bool isTeamMarked(roster::Position position, int row) const;

    // ---- row move
    void cmdCM_Click(int row);
    void cmdWM_Click(int row);
    void cmdDM_Click(int row);
    void cmdGM_Click(int row);
    void rowMoveClick(roster::Position position, int row);

    // ---- input lock
    void LockInputs();
    void UnlockInputs();

    // ---- window arrangement
    void cmdCompact_Click();
    void cmdHSwitch_Click();
    void cmdVSwitch_Click();

    // ---- always on top and help
    void chkAlwaysOnTop_Click();
    void cmdHelp_Click();
    frmHelp *helpWindow() const { return helpWindow_; }

    // ---- search (the search wiring)
    void cmdDo_Click();
    void cmdStop_Click();
    void Timer1_Timer();
    void chkTop35_Click();
    void optM_Click(int index);
    void BuildCandidates();
    void CountTeams();
    QString searchRefusal() const; // why the money, target or percentage cannot be searched; empty when fine
    std::optional<qint16> minimumSpend(qint16 cashLimit) const;
    QString teamToolTip(const std::string &line) const;
    QStringList teamNames(const std::string &line) const; // the ten names, C, W, D, G; none for no team
    // The enumeration a click on Find Best Team runs, and what happens at each of its Winger-pair
    // yields: the tests and the benchmark put the plain nested loops, or their own clicks, here.
    virtual void runSearch(const search::CandidateTables &tables, search::SearchState &state, search::SearchHost &host);
    virtual void atPairYield() {}

    // ---- paste and copy rows: a block of cells from a spreadsheet, and a position's rows out
    // Fills the roster from `cell` rightwards and downwards with the clipboard's plain text, given
    // as its bytes; false, after telling why, when the block does not fit or holds a character no
    // cell may hold (or, with the inputs locked, silently).
    bool pasteRows(QLineEdit *cell, const QByteArray &clipboardBytes);
    bool undoPasteRows(); // false when no block paste is the last change to the roster
    void copyRows(roster::Position position);
    QMenu *cellMenu(QLineEdit *cell);            // the cell's usual menu and "Paste rows"
    QMenu *titleMenu(roster::Position position); // "Copy rows"

    // ---- form-level settings
    qint16 NumCW = roster::NumCW;
    qint16 NumDG = roster::NumDG;
    // The minimum percentage the window starts with, and the one a search uses while the box
    // does not hold a number.
    static constexpr float DefaultMinPerc = 90;
    float MinPerc = DefaultMinPerc;
    qint16 PendingMoveRow = 0;
    SearchFields search;

    // ---- controls, under the form's own names
    QPushButton *cmdVSwitch = nullptr;
    QPushButton *cmdHSwitch = nullptr;
    QPushButton *cmdCompact = nullptr;
    QFrame *Frame1 = nullptr;
    QLineEdit *txtCash = nullptr;
    QLineEdit *txtTarget = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdReload = nullptr;
    QPushButton *chkASave = nullptr;      // check box drawn as a push button that stays pressed
    std::array<QRadioButton *, 2> optM{}; // option pair drawn as push buttons; exactly one checked
    QPushButton *chkTop35 = nullptr;      // check box drawn as a push button
    QLabel *lblNum = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txtPerc = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *cmdDo = nullptr;
    QPushButton *cmdStop = nullptr;
    ResultListBox *List1 = nullptr;
    QPushButton *cmdHelp = nullptr;
    QCheckBox *chkAlwaysOnTop = nullptr;
    QTimer *Timer1 = nullptr;
    QLabel *lblCredit = nullptr;
    QGroupBox *fraC = nullptr;
    QGroupBox *fraW = nullptr;
    QGroupBox *fraD = nullptr;
    QGroupBox *fraG = nullptr;

    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class CellClipboardKeys; // Ctrl+V, Ctrl+Z and the menu of the roster's cells

    void buildLayout();
    void nameControls();
    void connectHandlers();
    void connectRosterClipboard();
    void connectTeamMarks();
    void clearTeamMarks();
    void loadRoster();
    void setFocusOrder();
    void sizeCandidateTables();
    int lastRow(roster::Position position) const;
    void showMessage(const QString &text);   // told once, captioned with the program's name
    QList<QWidget *> lockedControls() const; // the inputs a running search must not see change
    void setOuterSize(int widthTwips, int heightTwips);
    void placeAtTop();

    QButtonGroup *optMGroup_ = nullptr;

    std::array<std::array<RowControls, roster::NumCW + 1>, 4> rows_{};
    QPointer<frmHelp> helpWindow_;
    std::vector<std::pair<QLineEdit *, QString>> pasteUndo_; // cells the last block paste changed, texts before
    bool pasting_ = false;
    std::vector<std::pair<roster::Position, int>> teamMarks_; // rows tinted for the selected line
    bool placeAtTopWhenShown_ = false;
};
