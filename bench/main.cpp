// SPDX-License-Identifier: MIT
// korvane-bench: drives the real main window on the offscreen platform as a user would, and
// prints what the result list shows. Not part of the program.

#include "format.h"
#include "frmchoose30.h"
#include "quiettoolkit.h"
#include "resultlistbox.h"
#include "selection.h"
#include "toolkit.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <unistd.h>

using roster::Position;

namespace {

// The main window as the benchmark drives it: its controls open, the engine picked on the
// command line, and the clicks planned for the Winger-pair yields.
class BenchWindow : public frmChoose30 {
public:
    using frmChoose30::txtCash, frmChoose30::txtTarget, frmChoose30::txtPerc, frmChoose30::optM, frmChoose30::chkTop35,
        frmChoose30::chkASave, frmChoose30::cmdDo, frmChoose30::cmdStop, frmChoose30::List1, frmChoose30::search;

    bool useReferenceEngine = false;
    std::function<void()> onPairYield;

protected:
    void runSearch(const search::CandidateTables &tables, search::SearchState &state, search::SearchHost &host) override
    {
        (useReferenceEngine ? search::pickDefenceReference : search::PickDefence)(tables, state, host);
    }
    void atPairYield() override { onPairYield(); }
};

[[noreturn]] void fail(int code, const QString &message)
{
    std::fprintf(stderr, "korvane-bench: %s\n", qPrintable(message));
    std::exit(code);
}

// "1-4", "2-2,3-9" or "" (no row ticked).
std::optional<std::set<int>> parseRanges(const QString &text, int rowCount)
{
    std::set<int> rows;
    for (const QString &run : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool okFrom = false, okTo = false;
        const int from = run.section(QLatin1Char('-'), 0, 0).trimmed().toInt(&okFrom);
        const int to = run.contains(QLatin1Char('-')) ? run.section(QLatin1Char('-'), 1, 1).trimmed().toInt(&okTo)
                                                      : (okTo = okFrom, from);
        if (!okFrom || !okTo || from < 1 || to > rowCount || from > to)
            return std::nullopt;
        for (int r = from; r <= to; ++r)
            rows.insert(r);
    }
    return rows;
}

// The ticked rows of a position stay one unbroken run through the boundary under the anchor row,
// so that the held players are the first rows and the candidates one run after them.
// ticked(r) tells whether row r (1..lastRow) is ticked.
template <typename Ticked>
bool ticksFormOneRun(Position position, int lastRow, Ticked ticked)
{
    const int anchor = roster::anchorRow(position);
    bool seen = false;
    for (int r = anchor; r >= 1; --r) {
        if (ticked(r) && seen && !ticked(r + 1))
            return false;
        seen = seen || ticked(r);
    }
    for (int r = anchor + 2; r <= lastRow; ++r)
        if (ticked(r) && !ticked(r - 1))
            return false;
    return true;
}

// Ticked rows form one run through the separator: rows a..anchor above it, anchor+1..b below.
// The clicks a user makes to get exactly `rows` ticked; each click runs the selection handling.
void tickAsUser(BenchWindow &window, Position p, const std::set<int> &rows)
{
    const int anchor = roster::anchorRow(p), count = roster::rowCount(p);
    auto box = [&](int r) { return window.row(p, r).chk; };
    int last = anchor; // lower block: rows anchor+1..last
    while (last < count && rows.count(last + 1))
        ++last;
    if (last > anchor)
        box(last)->setChecked(true);
    if (last < count)
        box(last + 1)->setChecked(false);
    int first = anchor + 1; // upper block: rows first..anchor
    while (first > 1 && rows.count(first - 1))
        --first;
    if (first <= anchor)
        box(first)->setChecked(true);
    if (first > 1)
        box(first - 1)->setChecked(false);
}

// The least any search listing these lines must spend on them: each team's line written, then all
// ranked at once, with nothing enumerated and no window to keep answering.
void reportFloor(const search::SortedLines &listed, double searchSeconds)
{
    struct Team {
        float pts, cost;
        search::TeamRows rows;
    };
    std::vector<Team> teams;
    for (std::size_t i = 0; i < listed.teamCount(); ++i) {
        const std::string line(listed.at(i));
        const auto rows = search::rowsOfLine(line);
        const QStringList parts = QString::fromStdString(line).split(QStringLiteral(" -- "));
        if (rows && parts.size() == 3)
            teams.push_back({parts[0].toFloat(), parts[1].toFloat(), *rows});
    }
    // The order the search met them in is unknown here; a fixed shuffle stands for it.
    std::mt19937 rng(1);
    std::shuffle(teams.begin(), teams.end(), rng);
    QElapsedTimer clock;
    clock.start();
    std::string text;
    std::vector<std::pair<float, std::size_t>> ends;
    for (const Team &t : teams) {
        search::LineText line;
        line.startWithPoints(t.pts);
        line.finish(t.cost, t.rows);
        text.append(line.text());
        ends.emplace_back(t.pts, text.size());
    }
    std::vector<search::SortedLines::TeamLine> batch;
    for (std::size_t i = 0, from = 0; i < ends.size(); from = ends[i++].second)
        batch.push_back({ends[i].first, std::string_view(text).substr(from, ends[i].second - from)});
    search::SortedLines lines;
    lines.insertBatch(batch);
    const double floorSeconds = double(clock.nsecsElapsed()) / 1e9;
    std::fprintf(stderr, "floor: %zu lines formatted and ranked alone in %.3f s; the search took %.1fx that\n", lines.size(),
                 floorSeconds, floorSeconds > 0 ? searchSeconds / floorSeconds : 0.0);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) // keeps Qt's warning about it off stderr
        qputenv("XDG_RUNTIME_DIR", QByteArray("/tmp/korvane-bench-") + QByteArray::number(getuid()));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvane-bench"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs one search in the real window and prints the result list."));
    parser.addHelpOption();
    const QCommandLineOption money(QStringLiteral("money"), QStringLiteral("Typed into the money box."),
                                   QStringLiteral("TEXT"));
    const QCommandLineOption target(QStringLiteral("target"), QStringLiteral("Typed into the target box."),
                                    QStringLiteral("TEXT"));
    const QCommandLineOption percent(QStringLiteral("percent"), QStringLiteral("Typed into the percentage box."),
                                     QStringLiteral("TEXT"));
    const QCommandLineOption mode(QStringLiteral("mode"), QStringLiteral("game or week."), QStringLiteral("MODE"),
                                  QStringLiteral("week"));
    const QCommandLineOption top35(QStringLiteral("top35"), QStringLiteral("on or off."), QStringLiteral("STATE"),
                                   QStringLiteral("on"));
    const QCommandLineOption engine(QStringLiteral("engine"), QStringLiteral("fast or reference."), QStringLiteral("ENGINE"),
                                    QStringLiteral("fast"));
    const QCommandLineOption repeat(QStringLiteral("repeat"),
                                    QStringLiteral("Runs of the search; the median time is reported."), QStringLiteral("N"),
                                    QStringLiteral("1"));
    const QCommandLineOption clickTop35(QStringLiteral("click-top35"),
                                        QStringLiteral("Clicks \"Only Show Top 35\" at the first Winger-pair yield at which "
                                                       "the teams examined have reached N, for each N in turn."),
                                        QStringLiteral("N[,N...]"));
    const QCommandLineOption stopAt(QStringLiteral("stop-at"),
                                    QStringLiteral("Presses Stop at the first Winger-pair yield at which the teams "
                                                   "examined have reached N."),
                                    QStringLiteral("N"));
    const QCommandLineOption floor(QStringLiteral("floor"),
                                   QStringLiteral("Also time formatting and ranking the listed lines alone."));
    parser.addOptions({money, target, percent, mode, top35, engine, repeat, clickTop35, stopAt, floor});
    std::array<QCommandLineOption, 4> ticks{
        QCommandLineOption(QStringLiteral("C"), QStringLiteral("Ticked Centre rows."), QStringLiteral("RANGES")),
        QCommandLineOption(QStringLiteral("W"), QStringLiteral("Ticked Winger rows."), QStringLiteral("RANGES")),
        QCommandLineOption(QStringLiteral("D"), QStringLiteral("Ticked Defence rows."), QStringLiteral("RANGES")),
        QCommandLineOption(QStringLiteral("G"), QStringLiteral("Ticked Goalie rows."), QStringLiteral("RANGES"))};
    for (const auto &option : ticks)
        parser.addOption(option);
    parser.addPositionalArgument(QStringLiteral("ROSTER_FILE"), QStringLiteral("The roster to load (never written)."));
    parser.process(app);

    if (parser.positionalArguments().size() != 1)
        fail(1, QStringLiteral("give exactly one ROSTER_FILE (see --help)"));
    const QString modeText = parser.value(mode), top35Text = parser.value(top35), engineText = parser.value(engine);
    bool repeatOk = false;
    const int runs = parser.value(repeat).toInt(&repeatOk);
    if ((modeText != "game" && modeText != "week") || (top35Text != "on" && top35Text != "off")
        || (engineText != "fast" && engineText != "reference") || !repeatOk || runs < 1)
        fail(1, QStringLiteral("--mode is game|week, --top35 on|off, --engine fast|reference, --repeat a count from 1"));

    // The roster loads the way start-up loads it, from a copy: the file given is never written.
    QTemporaryDir folder;
    if (!folder.isValid()
        || !QFile::copy(parser.positionalArguments().first(), folder.filePath(QStringLiteral("players.txt"))))
        fail(1, QStringLiteral("cannot read %1").arg(parser.positionalArguments().first()));
    toolkit::setProgramFolder(folder.path());
    QStringList messages;
    quietToolkit(messages);

    BenchWindow window;
    window.show();
    for (const QString &message : messages) // a short roster still loads what it has
        std::fprintf(stderr, "korvane-bench: %s\n", qPrintable(message));
    window.chkASave->setChecked(false);
    if (parser.isSet(money))
        window.txtCash->setText(parser.value(money));
    if (parser.isSet(target))
        window.txtTarget->setText(parser.value(target));
    if (parser.isSet(percent))
        window.txtPerc->setText(parser.value(percent));
    window.optM[modeText == "game" ? 0 : 1]->setChecked(true);
    window.chkTop35->setChecked(top35Text == "on");
    for (Position p : roster::AllPositions) {
        const auto &option = ticks[std::size_t(roster::index(p))];
        if (!parser.isSet(option))
            continue;
        const auto rows = parseRanges(parser.value(option), roster::rowCount(p));
        if (!rows || !ticksFormOneRun(p, roster::rowCount(p), [&](int r) { return rows->count(r) > 0; }))
            fail(1, QStringLiteral("--%1 %2: the ticked rows must be one run through the separator under row %3")
                        .arg(QLatin1Char(roster::letter(p)))
                        .arg(parser.value(option))
                        .arg(roster::anchorRow(p)));
        tickAsUser(window, p, *rows);
    }
    window.useReferenceEngine = engineText == "reference";

    std::vector<qint64> clickAt;
    for (const QString &n : parser.value(clickTop35).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        clickAt.push_back(n.trimmed().toLongLong(&ok));
        if (!ok || clickAt.back() < 0)
            fail(1, QStringLiteral("--click-top35 takes counts of teams, as 1000 or 1000,5000"));
    }
    qint64 stopAtCount = -1;
    if (parser.isSet(stopAt)) {
        bool ok = false;
        stopAtCount = parser.value(stopAt).toLongLong(&ok);
        if (!ok || stopAtCount < 0)
            fail(1, QStringLiteral("--stop-at takes a count of teams"));
    }
    std::size_t nextClick = 0;
    bool stopped = false;
    window.onPairYield = [&] {
        const qint64 examined = window.search.state.Examined;
        // A user's click is handled only after the waiting lines have gone in: the same here, so
        // that a replay lists the same teams whenever the window's event passes fall.
        if (window.search.results)
            window.search.results->mergePending();
        for (; nextClick < clickAt.size() && examined >= clickAt[nextClick]; ++nextClick)
            window.chkTop35->click();
        if (!stopped && stopAtCount >= 0 && examined >= stopAtCount) {
            stopped = true;
            window.cmdStop->click();
        }
    };

    // With KORVANE_BENCH_EVENT_GAPS set, a 5 ms timer measures the longest time the window went
    // without handling its events during the searches.
    QTimer heartbeat;
    QElapsedTimer sinceBeat;
    qint64 longestGap = 0;
    const bool measureGaps = qEnvironmentVariableIsSet("KORVANE_BENCH_EVENT_GAPS");
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceBeat.nsecsElapsed());
        sinceBeat.restart();
    });
    heartbeat.setInterval(5);

    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        messages.clear();
        nextClick = 0;
        stopped = false;
        window.chkTop35->setChecked(top35Text == "on");
        QElapsedTimer clock;
        clock.start();
        if (measureGaps) {
            sinceBeat.start();
            heartbeat.start();
        }
        window.cmdDo->click();
        heartbeat.stop();
        seconds.push_back(double(clock.nsecsElapsed()) / 1e9);
        if (window.List1->count() == 0) // a search always ends with its two closing lines
            fail(2, messages.join(QLatin1Char(' ')));
    }
    for (int i = 0; i < window.List1->count(); ++i)
        std::printf("%s\n", qPrintable(window.List1->item(i)));
    std::fflush(stdout);
    for (const QString &message : messages)
        std::fprintf(stderr, "%s\n", qPrintable(message));

    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    const qint64 examined = window.search.state.Examined;
    std::fprintf(stderr, "examined %lld teams in %.3f s (%.0f teams/s)\n", static_cast<long long>(examined), median,
                 median > 0 ? double(examined) / median : 0.0);
    if (measureGaps)
        std::fprintf(stderr, "longest time without handling events: %.1f ms\n", double(longestGap) / 1e6);
    if (parser.isSet(floor))
        reportFloor(window.List1->lines(), median);
    return 0;
}
