// players.txt as any bytes at all: the load must finish, keep its promises about the values it
// hands the window, and what it read must save and load again.

#include "roster/numbers.h"
#include "roster/rosterfile.h"

#include <QByteArray>
#include <QString>

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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    // Every byte comes out as at least part of a character: nothing is lost to the decoder.
    const QString text = roster::decodeRosterBytes(bytes);
    require(bytes.isEmpty() || !text.isEmpty() || bytes == "\xEF\xBB\xBF");

    loadsAsTyped(bytes, text);

    const roster::RosterRead read = roster::readRoster(bytes);
    require(read.values.size() <= roster::RosterValueCount);
    require(read.problem.isEmpty() == (bytes.isEmpty() || read.values.size() == roster::RosterValueCount));
    for (const QString &value : read.values) {
        require(!hasLineBreak(value));
        useValue(value);
    }

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
