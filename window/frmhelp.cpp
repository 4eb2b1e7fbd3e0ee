// SPDX-License-Identifier: MIT
#include "frmhelp.h"

#include "mdlalwaysontop.h"
#include "rosterfile.h"
#include "rtfreader.h"
#include "toolkit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTextBrowser>
#include <QTextCursor>

frmHelp::frmHelp(bool alwaysOnTop) : QWidget(nullptr), alwaysOnTop_(alwaysOnTop)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Help"));
    resize(312, 422);

    // The viewer keeps its place and size when the window is resized: the help is laid out for it.
    RichTextBox1 = new QTextBrowser(this);
    RichTextBox1->setGeometry(1, 9, 310, 396);
    RichTextBox1->setOpenLinks(false);
    RichTextBox1->setAccessibleName(QStringLiteral("Help document"));

    lblCredit = new QLabel(QStringLiteral("Korvane team picker"), this);
    lblCredit->setGeometry(200, 408, 110, 13);
    QFont small = lblCredit->font();
    small.setPointSizeF(7);
    lblCredit->setFont(small);

    Form_Load();
}

void frmHelp::Form_Load()
{
    if (alwaysOnTop_)
        MakeTopmost(this);
    else
        MakeNotTopmost(this);
    loadHelpDocument();
}

// A help document that cannot be shown is told in the viewer itself, in one line with its path;
// the main window and its roster are never touched. Only a regular file is read, and at most
// MaxHelpBytes of it: a pipe would wait for ever, and /dev/zero would never end.
void frmHelp::loadHelpDocument()
{
    constexpr qint64 MaxHelpBytes = roster::MaxFileBytes;
    const QString path = toolkit::programFile(QStringLiteral("help.rtf"));
    const auto unreadable = [&](const QString &reason) {
        RichTextBox1->setPlainText(
            QStringLiteral("The help document could not be read: %1 (%2)").arg(QDir::toNativeSeparators(path), reason));
    };

    QFile file(path);
    QString reason;
    if (toolkit::openProgramFile(file, reason) != toolkit::FileOpen::Opened) {
        unreadable(reason);
        return;
    }
    const QString tooLarge = QStringLiteral("it is larger than %1 MB").arg(MaxHelpBytes >> 20);
    if (file.size() > MaxHelpBytes) {
        unreadable(tooLarge);
        return;
    }
    // The file may have grown since it was looked at: one byte more than the limit tells.
    const QByteArray bytes = file.read(MaxHelpBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        unreadable(file.errorString());
        return;
    }
    if (bytes.size() > MaxHelpBytes) {
        unreadable(tooLarge);
        return;
    }
    QString error;
    if (!rtf::readRtf(bytes, RichTextBox1->document(), &error)) {
        unreadable(error.isEmpty() ? QStringLiteral("not a Rich Text Format document") : error);
        return;
    }
    // Filling the document carries the viewer's own cursor along to its end; the reader starts
    // at the top.
    RichTextBox1->moveCursor(QTextCursor::Start);
}
