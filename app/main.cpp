// SPDX-License-Identifier: MIT
// Korvane: one main window; the roster and the help document live beside the program.
#include "frmchoose30.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));

    // The window loads the roster as it is made, before it is first shown.
    frmChoose30 window;
    window.show();
    return app.exec();
}
