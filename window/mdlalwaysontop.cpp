// SPDX-License-Identifier: MIT
#include "mdlalwaysontop.h"

#include <QWidget>
#include <QWindow>

namespace {

void setKeepAbove(QWidget *window, bool above)
{
    if (!window)
        return;
    window = window->window();
    if (QWindow *handle = window->windowHandle()) {
        // The native window already exists: change its hint in place (on X11 this updates the
        // keep-above state of the mapped window) rather than through QWidget::setWindowFlag,
        // which would hide and re-create the window and lose its place.
        handle->setFlag(Qt::WindowStaysOnTopHint, above);
        Qt::WindowFlags flags = window->windowFlags();
        flags.setFlag(Qt::WindowStaysOnTopHint, above);
        window->overrideWindowFlags(flags);
    } else {
        // Not shown yet: the hint is taken when the window first appears.
        window->setWindowFlag(Qt::WindowStaysOnTopHint, above);
    }
    if (window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}

} // namespace

void MakeTopmost(QWidget *window) { setKeepAbove(window, true); }

void MakeNotTopmost(QWidget *window) { setKeepAbove(window, false); }
