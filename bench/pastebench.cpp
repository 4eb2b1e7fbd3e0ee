// SPDX-License-Identifier: MIT
// korvane-paste-bench: puts a clipboard of the given size on the offscreen platform's clipboard,
// presses Ctrl+V in the name cell of Wingers row 1 as a user would, and prints the peak memory
// of the process (VmHWM of /proc/self/status) before and after, and the message the window gave.
// Not part of the program.

#include "frmchoose30.h"
#include "quiettoolkit.h"
#include "toolkit.h"

#include <QApplication>
#include <QClipboard>
#include <QCommandLineParser>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace {

// The process's peak resident memory in MB, as the kernel counts it.
long peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QByteArray("/tmp/korvane-bench-") + QByteArray::number(getuid()));
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Pastes a large clipboard and prints the peak memory."));
    parser.addHelpOption();
    const QCommandLineOption megabytes(QStringLiteral("mb"), QStringLiteral("Clipboard size in MB (default 100)."),
                                       QStringLiteral("N"), QStringLiteral("100"));
    const QCommandLineOption shape(QStringLiteral("shape"),
                                   QStringLiteral("rows: lines of name, cost, points, games; line: one line of a "
                                                  "name; tabs: one line of tabs (default rows)."),
                                   QStringLiteral("SHAPE"), QStringLiteral("rows"));
    parser.addOptions({megabytes, shape});
    parser.process(app);
    const qsizetype bytes = qsizetype(parser.value(megabytes).toDouble() * (1 << 20));
    const QString kind = parser.value(shape);

    QTemporaryDir folder; // no players.txt: an empty roster
    toolkit::setProgramFolder(folder.path());
    QStringList messages;
    quietToolkit(messages);

    frmChoose30 window;
    QLineEdit *cell = window.findChild<QLineEdit *>(QStringLiteral("WN_1"));
    if (!cell) {
        std::fprintf(stderr, "korvane-paste-bench: no Wingers row 1 name cell\n");
        return 1;
    }
    const QByteArray line = kind == u"line"   ? QByteArray("n")
                            : kind == u"tabs" ? QByteArray("\t")
                                              : QByteArray("Zed\t19\t1.35\t2\n");
    QByteArray clipboard = line.repeated(bytes / line.size() + 1);
    clipboard.truncate(bytes);
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), clipboard);
    clipboard.clear(); // the clipboard alone holds the bytes now, as another program's would
    QGuiApplication::clipboard()->setMimeData(data);
    const long before = peakMegabytes();

    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(cell, &press);

    std::printf("clipboard %.1f MB (%s): peak %ld MB before the paste, %ld MB after (VmHWM)\n", double(bytes) / (1 << 20),
                qPrintable(kind), before, peakMegabytes());
    for (const QString &message : messages)
        std::printf("message: %s\n", qPrintable(message.left(300)));
    std::printf("Wingers row 1 name now holds %lld characters\n", static_cast<long long>(cell->text().size()));
    return 0;
}
