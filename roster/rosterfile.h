#pragma once
// players.txt: 282 lines ended by CR LF — money, target, then name, cost, points and games of
// Centres 1-20, Wingers 1-20, Defence 1-15 and Goalies 1-15.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace roster {

inline constexpr int RosterValueCount = 282;

// The values in file order, exactly as the fields hold them.
struct RosterTexts {
    QStringList values; // RosterValueCount texts
};

// What a load hands to the window, value by value in file order. Numeric field values are
// already in their shortest form (007.50 -> 7.5); nothing is cut to width here.
struct RosterRead {
    QStringList values;   // at most RosterValueCount
    QString problem;      // empty when every value was read, else one sentence for the user
};

// UTF-8 when valid, else Windows-1252 (one byte one character). A leading UTF-8 BOM is dropped.
QString decodeRosterBytes(const QByteArray &bytes);

// CR LF, a lone LF and a lone CR all end a line. A quoted field ends at its closing quote or at
// the line end, never on a later line. No bytes give no values and no problem; a text that runs
// out before all values are read gives the values read so far and a problem.
RosterRead readRoster(const QByteArray &bytes);

// UTF-8, CR LF after every value. A line break inside a value is written as a blank, so that
// every value stays on its own line.
QByteArray writeRoster(const RosterTexts &roster);

// Writes through QSaveFile: the old file stays whole unless every byte reached the disk.
// On failure returns false and sets *error to a sentence for the user.
bool saveRosterFile(const QString &path, const RosterTexts &roster, QString *error);

} // namespace roster
