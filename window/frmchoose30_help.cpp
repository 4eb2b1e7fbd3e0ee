// SPDX-License-Identifier: MIT
// Always on top and the help window of the main window.
#include "frmchoose30.h"

#include "frmhelp.h"
#include "mdlalwaysontop.h"

#include <QCheckBox>

// Only the main window follows the box; an open help window keeps the state it loaded with.
void frmChoose30::chkAlwaysOnTop_Click()
{
    if (chkAlwaysOnTop->isChecked())
        MakeTopmost(this);
    else
        MakeNotTopmost(this);
}

void frmChoose30::cmdHelp_Click()
{
    // A help window the user has closed is only waiting for its deletion; it must not be shown
    // again (it would vanish when the deletion comes), so a new one is loaded instead.
    if (helpWindow_ && !helpWindow_->isVisible()) {
        helpWindow_->deleteLater();
        helpWindow_ = nullptr;
    }
    if (!helpWindow_)
        helpWindow_ = new frmHelp(chkAlwaysOnTop->isChecked());
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}
