// SPDX-License-Identifier: MIT
#include "rates.h"

#include "numbers.h"

#include <cmath>

namespace roster {

QString rateText(const QString &points, const QString &games)
{
    // A text that is no number, or one too large to hold (1E400), has no value; and only uncut
    // texts can make the product overflow. None may show as a rate: each counts as no rate at all.
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
