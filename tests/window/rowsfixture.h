// SPDX-License-Identifier: MIT
#pragma once
// A main window for the window tests: the program's folder is a fresh temporary folder, and the
// question, the message, the beep and the end of the program are replaced and counted.

#include "frmchoose30.h"
#include "resultlistbox.h"
#include "toolkit.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>

namespace rowstest {

using roster::Position;

// The main window with its handlers, controls and search fields open to the tests, and the
// plain nested loops in place of the window's own search when a test needs a slow one.
class TestWindow : public frmChoose30 {
public:
    using frmChoose30::cmdVSwitch, frmChoose30::cmdHSwitch, frmChoose30::cmdCompact, frmChoose30::txtCash,
        frmChoose30::txtTarget, frmChoose30::cmdSave, frmChoose30::cmdReload, frmChoose30::chkASave, frmChoose30::optM,
        frmChoose30::chkTop35, frmChoose30::lblNum, frmChoose30::txtPerc, frmChoose30::cmdDo, frmChoose30::cmdStop,
        frmChoose30::List1, frmChoose30::cmdHelp, frmChoose30::chkAlwaysOnTop, frmChoose30::Timer1, frmChoose30::fraC,
        frmChoose30::fraW, frmChoose30::fraD, frmChoose30::fraG;
    using frmChoose30::Form_Load, frmChoose30::Timer1_Timer, frmChoose30::BuildCandidates, frmChoose30::pasteRows,
        frmChoose30::cellMenu, frmChoose30::helpWindow, frmChoose30::MinPerc, frmChoose30::search;

    bool useReferenceEngine = false;

    // Sets texts given as "txtCash=50 CN_1=Ann" ("_" in a text stands for a blank).
    void setTexts(const QString &settings)
    {
        for (const QString &setting : settings.split(u' ', Qt::SkipEmptyParts))
            findChild<QLineEdit *>(setting.section(u'=', 0, 0))->setText(setting.section(u'=', 1).replace(u'_', u' '));
    }
    // Every row's name, cost, points and games by row ("W3"), and its rate if asked for (an
    // empty row's rate shows 0 once its texts have changed).
    QMap<QString, QStringList> rowTexts(bool rates = false)
    {
        QMap<QString, QStringList> texts;
        for (Position p : roster::AllPositions)
            for (int r = 1; r <= roster::rowCount(p); ++r) {
                QStringList &values = texts[QLatin1Char(roster::letter(p)) + QString::number(r)];
                for (const QLineEdit *field : row(p, r).editableFields())
                    values << field->text();
                if (rates)
                    values << row(p, r).PW->text();
            }
        return texts;
    }
    QStringList listLines() const
    {
        QStringList lines;
        for (int i = 0; i < List1->count(); ++i)
            lines << List1->item(i);
        return lines;
    }
    // Clicks Find Best Team; at the first pass of events once the search has examined a team,
    // calls `atPass`, then presses Stop.
    void searchUntilFirstPass(const std::function<void()> &atPass)
    {
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (search.state.Examined == 0)
                return;
            watch.stop();
            atPass();
            cmdStop->click();
        });
        watch.start(0);
        QTest::mouseClick(cmdDo, Qt::LeftButton); // the focus goes with the click, as a user's does
    }
    // Every row's box ticked: every player a candidate, 6,282,753,750 teams.
    void tickEveryRow()
    {
        for (Position p : roster::AllPositions)
            row(p, roster::rowCount(p)).chk->setChecked(true);
    }

protected:
    void runSearch(const search::CandidateTables &tables, search::SearchState &state, search::SearchHost &host) override
    {
        useReferenceEngine ? search::pickDefenceReference(tables, state, host) : frmChoose30::runSearch(tables, state, host);
    }
};

struct WindowFixture {
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<TestWindow> window;
    int beeps = 0;
    int ends = 0;
    QStringList messages;
    bool answer = false; // the reply to every question
    QString asked;       // the last question, "text|caption"

    // A fresh window with its program folder empty, or holding the sample roster loaded as at
    // start-up with auto-save unticked.
    void start(bool sample = false)
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        toolkit::setProgramFolder(folder->path() + u'/'); // a trailing separator is no part of the paths shown
        toolkit::setQuestionAnswerer([this](const QString &text, const QString &caption) {
            asked = text + u'|' + caption;
            return answer;
        });
        toolkit::setMessageSink([this](const QString &text, const QString &) { messages << text; });
        toolkit::setBeeper([this] { ++beeps; });
        toolkit::setProgramEnder([this] { ++ends; });
        window = std::make_unique<TestWindow>();
        if (!sample)
            return;
        loadSample();
        window->chkASave->setChecked(false);
    }

    // The sample roster in the program folder, loaded as at start-up.
    void loadSample()
    {
        QVERIFY(QFile::copy(QStringLiteral(KORVANE_DATA_DIR "/players.txt"), folder->filePath("players.txt")));
        window->Form_Load();
    }

    // The window shown and exposed, or active too: key events go to the active window only.
    bool show(bool active = false)
    {
        window->show();
        if (!active)
            return QTest::qWaitForWindowExposed(window.get());
        QApplication::setActiveWindow(window.get());
        return QTest::qWaitForWindowActive(window.get());
    }

    void stop()
    {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        folder.reset();
        *this = {}; // the counts and the reply as they start the next test
    }
};

// A click on the list's line at `row`, with these keys held.
inline void clickLine(ResultListBox &list, int row, Qt::KeyboardModifiers keys = {})
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, keys, list.visualRect(list.model()->index(row, 0)).center());
}

// A file's bytes, or "(unreadable)".
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The clipboard holds these bytes as its plain text, as another program offers them.
inline void setClipboardBytes(const QByteArray &bytes)
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

// While `watch` runs, each popup menu that opens is handed to `act` and then closed.
inline void watchMenus(QTimer &watch, const std::function<void(QMenu &)> &act)
{
    QObject::connect(&watch, &QTimer::timeout, [act] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            act(*menu);
            menu->close();
        }
    });
    watch.start(0);
}

// The action of a menu that shows this text, or null.
inline QAction *menuAction(const QMenu &menu, const QString &text)
{
    for (QAction *action : menu.actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

// A field's text colour, the same whether the window is active or not (else an invalid colour).
inline QColor textColour(const QLineEdit *field)
{
    const QPalette &palette = field->palette();
    const QColor colour = palette.color(QPalette::Active, QPalette::Text);
    return palette.color(QPalette::Inactive, QPalette::Text) == colour ? colour : QColor();
}

// One letter per colour: K black (candidate), B blue (held), R red (left out), ? anything else.
inline QChar colourLetter(const QColor &colour)
{
    return QStringLiteral("?KBR").at(QList{QColor(0, 0, 0), QColor(0, 0, 255), QColor(255, 0, 0)}.indexOf(colour) + 1);
}

// The rows a result line names, read from its text: "51.6 -- 98 -- 1 3 - 1 2 3 5 - 2 3 4 - 1".
inline QList<std::pair<Position, int>> rowsNamed(const QString &line)
{
    QList<std::pair<Position, int>> rows;
    const QStringList groups = line.section(QStringLiteral(" -- "), 2).split(QStringLiteral(" - "));
    for (Position p : roster::AllPositions)
        for (const QString &r : groups.value(roster::index(p)).split(u' ', Qt::SkipEmptyParts))
            rows.append({p, r.toInt()});
    return rows;
}

inline Position positionFromLetter(QChar letter) { return Position(QStringLiteral("CWDG").indexOf(letter)); }

} // namespace rowstest
