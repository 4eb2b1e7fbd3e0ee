// SPDX-License-Identifier: MIT
#pragma once
// Points for the week: points per game times games.

#include <QString>

namespace roster {

// The product written in the shortest general form, or "0" when either text is not a number.
// Not cut: the rate field's width (5) cuts it when it is assigned.
QString rateText(const QString &points, const QString &games);

} // namespace roster
