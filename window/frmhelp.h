#pragma once
// The help window: help.rtf from the program's folder in a read-only viewer. It is created on
// the first click on Help and unloaded (deleted) when the user closes it.

#include <QWidget>

class QLabel;
class QTextBrowser;
class frmChoose30;

class frmHelp : public QWidget {
    Q_OBJECT
public:
    // A top-level window of its own: the main window is read at load, never made its owner.
    explicit frmHelp(frmChoose30 *mainWindow);

    // The load step: the keep-above state from the main window's box, then the help document.
    void Form_Load();

    QTextBrowser *RichTextBox1 = nullptr;
    QLabel *lblCredit = nullptr;

private:
    void loadHelpDocument();

    frmChoose30 *mainWindow_ = nullptr;
};
