// SPDX-License-Identifier: MIT
#pragma once
// The main window's buttons that wrap their caption onto further lines when it is wider than the
// button, as "   Auto Save   Before Searching" and "Compact Window" do: the push buttons, and the
// two mode buttons.

#include <QPushButton>
#include <QRadioButton>

class CaptionButton : public QPushButton {
public:
    CaptionButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent) {}

protected:
    void paintEvent(QPaintEvent *) override;
};

// One of the two mode buttons: a radio button of an exclusive pair, so that a screen reader
// hears a choice of two, drawn as a push button that stays pressed while it is selected. Both
// buttons stay stops of the Tab key, as the layout orders them: as a button of a group gains the
// focus, Qt takes the others out of the Tab chain, and after a click on "Pts/G" the Tab key would
// never reach "Pts/W". Every arrow key goes to the other button and selects it.
class OptionButton : public QRadioButton {
public:
    OptionButton(const QString &caption, QWidget *parent) : QRadioButton(caption, parent) {}

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *) override;
};
