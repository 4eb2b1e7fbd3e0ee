// SPDX-License-Identifier: MIT
// players.txt as any bytes at all: the load must finish, keep its promises about the values it
// hands the window, and what it read must save and load again.

#include "grid.h"
#include "numbers.h"
#include "rosterfile.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

// A broken promise is reported as a crash, so that libFuzzer keeps the input that broke it.
void require(bool kept)
{
    if (!kept)
        std::abort();
}

bool hasLineBreak(const QString &value) { return value.contains(u'\r') || value.contains(u'\n'); }

// What the window does next with a loaded value: reads it as money, points or games and cuts it
// to its field's width.
void useValue(const QString &value)
{
    (void)roster::toDouble(value);
    (void)roster::toSingle(value);
    (void)roster::toInt16(value);
    for (int width : {-1, 0, 1, 5, 16})
        require(roster::cutToWidth(value, width).size() <= (width < 0 ? value.size() : width));
}

// A short input read as the money field, the way the user typed it: a number loads as a number,
// and in a form that loads again unchanged, so saving and loading a roster keeps it.
void loadsAsTyped(const QByteArray &bytes, const QString &text)
{
    if (text.size() > 64 || text.contains(u',') || text.contains(u'"') || hasLineBreak(text))
        return;
    const QString money = roster::readRoster(bytes).values.value(0);
    if (roster::toDouble(text))
        require(roster::toDouble(money).has_value());
    const QByteArray saved = roster::writeRoster(roster::RosterTexts{{money}});
    require(roster::readRoster(saved).values.value(0) == money);
}

} // namespace

// NOLINTNEXTLINE(readability-identifier-naming): libFuzzer calls it by this name
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    // A line is UTF-8 exactly when Qt's own decoder finds no fault in it, and Windows-1252
    // otherwise, one byte one character: nothing is lost to the decoder.
    // The first line, as the money field would take it: without the file's byte-order mark.
    QByteArrayView line(bytes);
    if (line.startsWith("\xEF\xBB\xBF"))
        line = line.sliced(3);
    if (const qsizetype end = line.indexOf('\n'); end >= 0)
        line = line.first(end);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString asUtf8 = utf8.decode(line);
    const QString text = roster::decodeRosterLine(line);
    require(utf8.hasError() ? text.size() == line.size() : text == asUtf8);

    loadsAsTyped(bytes, text);

    const roster::RosterRead read = roster::readRoster(bytes);
    require(read.values.size() <= roster::RosterValueCount);
    // A roster cut short is told, and so is a text cut to its field's width; nothing else is.
    bool nearWidth = false;
    for (qsizetype index = 0; index < read.values.size(); ++index) {
        const QString &value = read.values[index];
        require(!hasLineBreak(value));
        require(value.size() <= roster::TextWidth);
        nearWidth = nearWidth || value.size() >= roster::TextWidth - 1;
        useValue(value);
    }
    if (read.values.size() < roster::RosterValueCount)
        require(read.problem.isEmpty() == bytes.isEmpty());
    else if (!nearWidth)
        require(read.problem.isEmpty());

    // Each value is written on a line of its own and every read takes at most one line, so a
    // complete roster saved and loaded again is still complete.
    const QByteArray written = roster::writeRoster(roster::RosterTexts{read.values});
    const roster::RosterRead again = roster::readRoster(written);
    if (read.values.size() == roster::RosterValueCount) {
        require(again.values.size() == roster::RosterValueCount);
        require(again.problem.isEmpty());
    }
    return 0;
}
