// SPDX-License-Identifier: MIT
#pragma once
// The few platform behaviours the handlers rely on that Qt does not give as they are, or that
// tests must replace: the Yes/No question, the message, the beep, the program's folder, the
// "process pending events" call and ending the program at once.

#include <QFile>
#include <QString>
#include <functional>

class QWidget;

namespace toolkit {

// Modal Yes/No question, Yes the default button, no icon. True for Yes.
bool askYesNo(QWidget *parent, const QString &text, const QString &caption);
// A plain message the user acknowledges with OK (a failure told, never silent).
void showMessage(QWidget *parent, const QString &text, const QString &caption);
void beep();
// The file of that name in the folder that holds the program.
QString programFile(const QString &name);
// Opens one of the program's files for reading when it is a regular file or a link to one: a
// pipe would wait for ever and a device might never end. Missing when there is none by that
// name (a link that points nowhere included); Refused otherwise. `reason` says why not.
enum class FileOpen { Opened, Missing, Refused };
FileOpen openProgramFile(QFile &file, QString &reason);
void processPendingEvents();
// Ends the program at once: no further event of any window is handled. (Under a test's
// replacement it returns, and the caller returns at once too.)
void endProgram();

// Replacements for tests and tools. An empty function restores the real behaviour.
void setQuestionAnswerer(std::function<bool(const QString &text, const QString &caption)> answer);
void setMessageSink(std::function<void(const QString &text, const QString &caption)> sink);
void setBeeper(std::function<void()> beeper);
void setProgramFolder(const QString &folder);
// Tests replace the end of the program by a throw or a flag; it must not return to the caller
// in the real program.
void setProgramEnder(std::function<void()> ender);

} // namespace toolkit
