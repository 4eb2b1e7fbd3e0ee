// SPDX-License-Identifier: MIT
#pragma once
// The main window's search fields: what one search sets up, and what the nested handlers that
// run inside it (progress tick, Stop, the Top 35 box) share with it.

#include "candidates.h"
#include "enumeration.h"
#include "resultlist.h"

#include <QString>

struct SearchFields {
    search::CandidateTables tables; // CCost ... GPts, LastC ... LastG and the level ranges
    search::SearchState state;      // CashLimit, MinSpend, Target, Examined, StopRequested
    qint64 PrevExamined = 0;
    float TeamCount = 0;
    QString TeamCountText;
    bool running = false; // from the click on Find Best Team until it has returned
    // The running search's list rules; lines may wait in its batch (none while the window handles
    // events). Null between searches.
    search::ResultList *results = nullptr;
};
