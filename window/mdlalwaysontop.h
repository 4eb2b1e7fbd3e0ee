#pragma once
// Keeping a window above the ordinary windows of the desktop. On Linux the nearest thing to a
// topmost band is the window manager's keep-above state; both calls also bring the window to
// the front and activate it, as putting a window into its band always has.

class QWidget;

void MakeTopmost(QWidget *window);
void MakeNotTopmost(QWidget *window);
