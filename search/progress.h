#pragma once
// The progress caption: teams examined out of how many, the rate per second and the minutes left.

#include <QString>
#include <QtGlobal>

namespace search {

// Ticks come every two seconds; a tick with nothing examined since the last one shows the rate 0
// and no estimate.
QString progressCaption(qint64 examined, qint64 previousExamined, float teamCount, const QString &teamCountText);

} // namespace search
