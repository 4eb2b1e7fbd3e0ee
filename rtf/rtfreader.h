// SPDX-License-Identifier: MIT
#pragma once
// A small Rich Text Format reader for the help document: tokens, a group state stack, and a
// QTextDocument written through a QTextCursor.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {

// Fills `document` (cleared first) from `bytes`. Returns false, with a sentence in *error, when the
// input is not RTF at all; never crashes or hangs on any input.
bool readRtf(const QByteArray &bytes, QTextDocument *document, QString *error);

} // namespace rtf
