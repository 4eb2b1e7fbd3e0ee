// SPDX-License-Identifier: MIT
#pragma once
// Keeping a window above the ordinary windows of the desktop. On Linux the nearest thing to a
// topmost band is the window manager's keep-above state; both calls also bring the window to
// the front and activate it, so that the window the user asked to keep in view is the one in view.

class QWidget;

void MakeTopmost(QWidget *window);
void MakeNotTopmost(QWidget *window);
