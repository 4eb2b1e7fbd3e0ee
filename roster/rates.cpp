// SPDX-License-Identifier: MIT
#include "rates.h"

#include "numbers.h"

#include <cmath>

namespace roster {

QString rateText(const QString &points, const QString &games)
{
    if (!IsNumericText(games) || !IsNumericText(points))
        return QStringLiteral("0");
    // A numeric text may still be too large to hold (1E400), and only uncut texts can make
    // the product overflow; neither may show as a rate, so both count as no rate at all.
    const std::optional<double> perGame = toDouble(points);
    const std::optional<double> gameCount = toDouble(games);
    if (!perGame || !gameCount)
        return QStringLiteral("0");
    const double week = *perGame * *gameCount;
    if (!std::isfinite(week))
        return QStringLiteral("0");
    return numberToText(week);
}

} // namespace roster
