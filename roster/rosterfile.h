// SPDX-License-Identifier: MIT
#pragma once
// players.txt: 282 lines ended by CR LF — money, target, then name, cost, points and games of
// Centres 1-20, Wingers 1-20, Defence 1-15 and Goalies 1-15.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

namespace roster {

inline constexpr int RosterValueCount = 282;

// Whether the value at this place of the file (0 the money, 1 the target) is a player's name.
inline constexpr bool isNameValue(qsizetype index) { return index >= 2 && (index - 2) % 4 == 0; }

// The most the program reads of one of its files, players.txt or help.rtf. Every roster the
// program writes is smaller (72 texts of TextWidth characters at most, the rest a few characters
// each), and the help is some 20 KB; anything beyond is neither.
inline constexpr qint64 MaxFileBytes = qint64(16) << 20;
// A number text longer than this came from no field; it is loaded cut, as a field cuts it anyway.
inline constexpr int NumberTextLimit = 1024;

// The values in file order, exactly as the fields hold them.
struct RosterTexts {
    QStringList values; // RosterValueCount texts
};

// What a load hands to the window, value by value in file order. Numeric field values are
// already in their shortest form (007.50 -> 7.5). The money, the target and the names are cut
// to TextWidth characters, other values to NumberTextLimit; the window's fields cut them further.
struct RosterRead {
    QStringList values; // at most RosterValueCount
    QString problem;    // empty when every value was read whole, else sentences for the user
};

// One line of players.txt, without its line end: UTF-8 when the whole line is, else
// Windows-1252, so that one name typed in an old editor spoils no other line.
QString decodeRosterLine(QByteArrayView line);

// Streams players.txt from `device`, line by line, and stops once every value is read or
// MaxFileBytes have been. CR LF, a lone LF and a lone CR all end a line; a leading UTF-8 BOM is
// dropped. A quoted field ends at its closing quote or at the line end, never on a later line.
// No bytes give no values and no problem; a file that runs out, or stops being read, before all
// values are read gives the values read so far and a problem, and so does a text cut.
RosterRead readRoster(QIODevice &device);
RosterRead readRoster(const QByteArray &bytes);

// UTF-8, CR LF after every value. A line break inside a value is written as a blank, so that
// every value stays on its own line, and half a character of two UTF-16 units (what is left when
// a text box cuts one) is dropped. Names are written whole. Every other value is written so
// that reading it back into its field gives it again:
// - a value holding a comma, with a blank (space or tab) at either end or beginning with a
//   byte-order mark is written inside double quotes, and so is a number whose shortest form, cut to its field's width, would
//   read as another number (a cost of .125 would come back as 0.12, games of 1E4 as 100);
// - a value that begins with a double quote, or must be quoted and holds one, cannot be read
//   back as it stands: it is written without its double quotes.
// Any other value is written exactly as the field holds it.
QByteArray writeRoster(const RosterTexts &roster);

// Writes through QSaveFile: the old file stays whole unless every byte reached the disk, and the
// folder is synced after the rename. A link is followed to the regular file it points to, which
// is written; the link stays. A path that is, or links to, a pipe, a device, a folder or nothing
// is refused before anything is written. On failure returns false and sets *error to a sentence
// for the user.
bool saveRosterFile(const QString &path, const RosterTexts &roster, QString *error);

// A seam for tests, to interrupt a save at each point where a real one can fail. While set,
// saveRosterFile asks it after opening the file, after each value written and once more just
// before the commit; when it returns true the save is cancelled there (the old file stays as it
// was) and reported as failed. An empty function restores plain saving.
void setSaveFaultForTests(std::function<bool()> failBeforeCommit);

} // namespace roster
