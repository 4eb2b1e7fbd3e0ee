// SPDX-License-Identifier: MIT
#include "toolkit.h"

#include <QFileInfo>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace toolkit {

namespace {

std::function<bool(const QString &, const QString &)> &questionAnswerer()
{
    static std::function<bool(const QString &, const QString &)> answerer;
    return answerer;
}

std::function<void(const QString &, const QString &)> &messageSink()
{
    static std::function<void(const QString &, const QString &)> sink;
    return sink;
}

std::function<void()> &beeper()
{
    static std::function<void()> replacement;
    return replacement;
}

std::function<void()> &programEnder()
{
    static std::function<void()> replacement;
    return replacement;
}

QString &chosenProgramFolder()
{
    static QString folder;
    return folder;
}

} // namespace

bool askYesNo(QWidget *parent, const QString &text, const QString &caption)
{
    if (const auto &answer = questionAnswerer())
        return answer(text, caption);
    QMessageBox box(parent);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(caption);
    box.setText(text);
    // The box picks its buttons' keys by their roles: Enter answers Yes; Escape, or closing the
    // box from its title bar, answers No, never leaving the question unanswered.
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void showMessage(QWidget *parent, const QString &text, const QString &caption)
{
    if (const auto &sink = messageSink()) {
        sink(text, caption);
        return;
    }
    QMessageBox box(parent);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void beep()
{
    if (const auto &replacement = beeper()) {
        replacement();
        return;
    }
    QApplication::beep();
}

namespace {

// The folder that holds the program, without a trailing separator.
QString programFolder()
{
    QString folder = chosenProgramFolder();
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(QDir::separator())))
        folder.chop(1);
    return folder;
}

} // namespace

QString programFile(const QString &name) { return programFolder() + u'/' + name; }

FileOpen openProgramFile(QFile &file, QString &reason)
{
    const QFileInfo info(file.fileName());
    if (!info.exists()) {
        reason = QStringLiteral("No such file or directory");
        return FileOpen::Missing;
    }
    if (!info.isFile()) {
        reason = QStringLiteral("it is not a file");
        return FileOpen::Refused;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return FileOpen::Refused;
    }
    return FileOpen::Opened;
}

void processPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void endProgram()
{
    if (const auto &replacement = programEnder()) {
        replacement();
        return;
    }
    // Ending at once means no handler runs again, not even the search this close interrupted:
    // leaving the event loop would return into it. The roster save, when asked for, was
    // committed before this point (QSaveFile renames only a complete file), so nothing is lost.
    std::fflush(nullptr);
    std::_Exit(0);
}

void setQuestionAnswerer(std::function<bool(const QString &, const QString &)> answer)
{
    questionAnswerer() = std::move(answer);
}

void setMessageSink(std::function<void(const QString &, const QString &)> sink) { messageSink() = std::move(sink); }

void setBeeper(std::function<void()> replacement) { beeper() = std::move(replacement); }

void setProgramFolder(const QString &folder) { chosenProgramFolder() = folder; }

void setProgramEnder(std::function<void()> ender) { programEnder() = std::move(ender); }

} // namespace toolkit
