// SPDX-License-Identifier: MIT
// help.rtf as any bytes at all: the reader must fill the document without crashing, leaking or
// hanging, and refuse exactly what does not begin like an RTF document.

#include "rtfreader.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void require(bool kept)
{
    if (!kept)
        std::abort();
}

// Qt's warnings about odd fonts or sizes would drown libFuzzer's own lines; a fatal one still
// ends the run.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type == QtFatalMsg)
        std::abort();
}

bool looksLikeRtf(const QByteArray &bytes)
{
    qsizetype start = 0;
    while (start < bytes.size() && QByteArrayView(" \t\r\n").contains(bytes[start]))
        ++start;
    return QByteArrayView(bytes).sliced(start).startsWith("{\\rtf");
}

} // namespace

// QTextDocument measures text with real fonts, which need a QGuiApplication; the offscreen
// platform gives one without a display. It lives until the process ends.
// NOLINTNEXTLINE(readability-identifier-naming): libFuzzer calls it by this name
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    static int argc = 1;
    static char name[] = "fuzz_rtf";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *application = new QGuiApplication(argc, argv);
    (void)application;
    return 0;
}

// NOLINTNEXTLINE(readability-identifier-naming): libFuzzer calls it by this name
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QTextDocument document;
    document.setPlainText(QStringLiteral("left over from the last document"));
    QString error;
    const bool read = rtf::readRtf(bytes, &document, &error);

    require(read == looksLikeRtf(bytes));
    require(read == error.isEmpty());
    // A refused file leaves nothing of the previous document behind either.
    if (!read)
        require(document.isEmpty());

    // The help window lays the text out to show it; so does this.
    document.setTextWidth(400);
    require(document.size().height() >= 0);

    // Qt trims its font caches on a timer; without an event loop they would grow for the whole
    // run and end it as out of memory, with no fault of the reader's.
    QCoreApplication::processEvents();
    return 0;
}
