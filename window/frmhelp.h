// SPDX-License-Identifier: MIT
#pragma once
// The help window: help.rtf from the program's folder in a read-only viewer. It is created on
// the first click on Help and unloaded (deleted) when the user closes it.

#include <QWidget>

class QLabel;
class QTextBrowser;

class frmHelp : public QWidget {
    Q_OBJECT
public:
    // A top-level window of its own, never owned by the main window; it stays above other
    // windows when the main window's "always on top" box was ticked as it opened.
    explicit frmHelp(bool alwaysOnTop);

    // The load step: the keep-above state, then the help document.
    void Form_Load();

    QTextBrowser *RichTextBox1 = nullptr;
    QLabel *lblCredit = nullptr;

private:
    void loadHelpDocument();

    bool alwaysOnTop_ = false;
};
