// SPDX-License-Identifier: MIT
// The search wiring of the main window: Find Best Team, Stop, the progress tick, the Top 35 box
// and the mode buttons. The search itself runs inside cmdDo_Click on the window's thread and
// yields to the window's events as it goes.
#include "frmchoose30.h"

#include "emptyresult.h"
#include "format.h"
#include "numbers.h"
#include "progress.h"
#include "resultlist.h"
#include "resultlistbox.h"
#include "toolkit.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <functional>

using roster::Position;

namespace {

const QString AutoSaveCaption = QStringLiteral("   Auto Save   Before Searching");

// Processing the window's events costs far more than listing a team, so a yield hands over to
// the events only when their next pass is due: the window answers at once, and a million lines
// still list in a second or two.
class EventYield {
public:
    explicit EventYield(ResultListBox *list) : list_(list) { clock_.start(); }

    void operator()()
    {
        if (clock_.nsecsElapsed() < nextPass_)
            return;
        // The list view catches up with every line listed since the last pass before any event
        // is handled, so that whatever the user sees or clicks is the list as it stands.
        if (beforeEvents)
            beforeEvents();
        const qint64 passStart = clock_.nsecsElapsed();
        if (listDirty_) {
            list_->linesChanged();
            listDirty_ = false;
        }
        toolkit::processPendingEvents();
        const qint64 passEnd = clock_.nsecsElapsed();
        // Passes begin at most 20 ms apart, so that a click is answered at once; a pass that
        // took long itself (the first paint, a long list to follow) is followed by listing for
        // a quarter of its time, so that the search always goes on. Merging the waiting lines is
        // listing work, not the window's.
        nextPass_ = std::max(passStart + MaxPassInterval, passEnd + (passEnd - passStart) / 4);
    }
    void listChanged() { listDirty_ = true; }
    std::function<void()> beforeEvents;

private:
    static constexpr qint64 MaxPassInterval = 20'000'000; // ns
    ResultListBox *list_;
    QElapsedTimer clock_;
    qint64 nextPass_ = 1'000'000; // the first pass a millisecond into the search
    bool listDirty_ = false;
};

} // namespace

QString frmChoose30::searchRefusal() const
{
    const auto money = roster::toInt16(txtCash->text());
    if (!money || *money >= 32767)
        return QStringLiteral("The money \"%1\" is not a number the search can use. "
                              "Type the money available, up to 32766.")
            .arg(txtCash->text());
    if (!roster::toSingle(txtTarget->text()))
        return QStringLiteral("The target \"%1\" is not a number. Type the points a team must beat.").arg(txtTarget->text());
    if (!minimumSpend(qint16(*money + 1))) {
        // The minimum spend lies beyond 16 bits on the side of the percentage's sign, whatever
        // the money: a percentage nearer 0 brings it back.
        const bool tooLow = MinPerc < 0;
        return QStringLiteral("The minimum percentage of money to use (%1) asks for %2 than the search "
                              "can count. %3 the percentage.")
            .arg(txtPerc->text(), tooLow ? QStringLiteral("less") : QStringLiteral("more"),
                 tooLow ? QStringLiteral("Raise") : QStringLiteral("Lower"));
    }
    return {};
}

std::optional<qint16> frmChoose30::minimumSpend(qint16 cashLimit) const
{
    return roster::roundToInt16(double(float(cashLimit) * MinPerc / 100.0f));
}

void frmChoose30::cmdDo_Click()
{
    if (search.running)
        return;
    // A wrong field is told before anything changes: the list, the roster and the inputs stay.
    if (const QString refusal = searchRefusal(); !refusal.isEmpty()) {
        showMessage(refusal);
        return;
    }
    search.running = true;
    search::SearchState &s = search.state;

    Timer1->start();
    List1->clear();
    List1->setToolTip(QString());
    s.CashLimit = qint16(*roster::toInt16(txtCash->text()) + 1);
    s.Target = *roster::toSingle(txtTarget->text());
    s.MinSpend = *minimumSpend(s.CashLimit);
    s.Examined = 0;
    search.PrevExamined = 0;
    if (chkASave->isChecked()) {
        chkASave->setText(QStringLiteral("Saving..."));
        toolkit::processPendingEvents();
        cmdSave_Click();
    }
    LockInputs();
    BuildCandidates();
    chkASave->setText(AutoSaveCaption);

    search::ResultList results(List1->lines(), s);
    EventYield yield(List1);
    results.top35Ticked = [this] { return chkTop35->isChecked(); };
    results.yield = [&yield] { yield(); };
    results.linesChanged = [&yield] { yield.listChanged(); };
    results.pairYield = [this, &yield] {
        yield();
        atPairYield();
    };
    results.batchLines = true;
    yield.beforeEvents = [&results] { results.mergePending(); };

    s.StopRequested = false;
    search.results = &results;
    runSearch(search.tables, s, results);
    results.mergePending();
    search.results = nullptr;
    lblNum->setText(QString::number(s.Examined));

    Timer1->stop();
    List1->addItem(std::to_string(List1->count()));
    List1->addItem(std::to_string(s.Examined));
    // Only the two closing lines: the list's tooltip says why no team was listed.
    if (List1->count() == 2)
        List1->setToolTip(search::emptyResultExplanation(search.tables, s, [&yield] { yield(); }));
    search.running = false;
    UnlockInputs();
    if (results.full())
        showMessage(QStringLiteral("The result list is full: it holds %1 teams, so the search stopped there. "
                                   "Tick \"Only Show Top 35\" or raise the target to see the best teams.")
                        .arg(search::groupedNumber(double(search::MaxResultLines))));
}

void frmChoose30::runSearch(const search::CandidateTables &tables, search::SearchState &state, search::SearchHost &host)
{
    search::PickDefence(tables, state, host);
}

void frmChoose30::cmdStop_Click()
{
    search.state.StopRequested = true;
    UnlockInputs();
}

void frmChoose30::Timer1_Timer()
{
    const QString caption = search::progressCaption(search.state.Examined, search.PrevExamined, search.TeamCount,
                                                    search.TeamCountText);
    lblNum->setText(caption);
    search.PrevExamined = search.state.Examined;
    toolkit::processPendingEvents();
}

void frmChoose30::chkTop35_Click()
{
    if (chkTop35->isChecked() && List1->lines().teamCount() > search::TopLines) {
        search::cutToTop35(List1->lines());
        List1->linesChanged();
    }
}

void frmChoose30::optM_Click(int index)
{
    if (index == 1)
        chkTop35->setChecked(true);
}

void frmChoose30::BuildCandidates()
{
    search::RosterInput input;
    input.mode = optM[0]->isChecked() ? search::Mode::PointsPerGame : search::Mode::PointsPerWeek;
    for (Position p : roster::AllPositions)
        for (int r = 1; r <= roster::rowCount(p); ++r) {
            const RowControls &cells = row(p, r);
            input.rows[std::size_t(roster::index(p))].push_back(
                search::RowInput{cells.C->text(), cells.P->text(), cells.PW->text(), cells.chk->isChecked()});
        }
    search.tables = search::buildCandidates(input);
    CountTeams();
}

void frmChoose30::CountTeams()
{
    search.TeamCount = static_cast<float>(search::exactTeamCount(search.tables));
    search.TeamCountText = search::groupedNumber(search.TeamCount);
}

void frmChoose30::sizeCandidateTables() { search.tables = search::CandidateTables{}; }

// "C: name, name · W: name, name, name, name · D: name, name, name · G: name", from the names the
// rows hold now; the closing lines have no tooltip.
QString frmChoose30::teamToolTip(const std::string &line) const
{
    const QStringList names = teamNames(line);
    if (names.isEmpty())
        return {};
    QStringList groups;
    qsizetype first = 0;
    for (Position p : roster::AllPositions) {
        const int share = search::teamShare(p);
        groups << QString(QLatin1Char(roster::letter(p))) + QStringLiteral(": ")
                      + names.mid(first, share).join(QStringLiteral(", "));
        first += share;
    }
    return groups.join(QStringLiteral(" \u00b7 "));
}

QStringList frmChoose30::teamNames(const std::string &line) const
{
    const auto rows = search::rowsOfLine(line);
    if (!rows)
        return {};
    QStringList names;
    search::forEachPlayer(
        *rows, [&](Position p, int r) { names << (r >= 1 && r <= roster::rowCount(p) ? row(p, r).N->text() : QString()); });
    return names;
}
