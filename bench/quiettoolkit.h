// SPDX-License-Identifier: MIT
#pragma once
// The benchmarks run the real window with no one to answer it: messages are collected for the
// report, every question is answered No, and the beep and the end of the program do nothing.

#include "toolkit.h"

#include <QStringList>

inline void quietToolkit(QStringList &messages)
{
    toolkit::setMessageSink([&messages](const QString &text, const QString &) { messages << text; });
    toolkit::setQuestionAnswerer([](const QString &, const QString &) { return false; });
    toolkit::setBeeper([] {});
    toolkit::setProgramEnder([] {});
}
