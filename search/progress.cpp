// SPDX-License-Identifier: MIT
#include "progress.h"

#include "format.h"

namespace search {

QString progressCaption(qint64 examined, qint64 previousExamined, float teamCount, const QString &teamCountText)
{
    const float percent = static_cast<float>(double(examined) / double(teamCount) * 100.0);
    const double done = double(examined - previousExamined);
    const double rate = done / TickSeconds;
    QString caption = groupedNumber(double(examined)) + QStringLiteral(" / ") + teamCountText + QStringLiteral(" = ")
                      + oneDecimal(percent) + QStringLiteral("%.  ") + QStringLiteral("\n") + groupedNumber(rate)
                      + QStringLiteral(" per second") + QStringLiteral("\n");
    if (done > 0) {
        const double minutesLeft = ((double(teamCount) - double(examined)) * TickSeconds / done) / 60;
        caption += oneDecimal(minutesLeft) + QStringLiteral("min left");
    }
    return caption;
}

} // namespace search
