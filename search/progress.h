// SPDX-License-Identifier: MIT
#pragma once
// The progress caption: teams examined out of how many, the rate per second and the minutes left.

#include <QString>
#include <QtGlobal>

namespace search {

// The window's progress timer ticks every TickSeconds; the rate and the estimate count on it.
inline constexpr int TickSeconds = 2;

// Three lines as the window shows them. A tick with nothing examined since the last one shows the
// rate 0 and no estimate.
QString progressCaption(qint64 examined, qint64 previousExamined, float teamCount, const QString &teamCountText);

} // namespace search
