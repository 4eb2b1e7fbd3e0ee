// SPDX-License-Identifier: MIT
#include "captionbuttons.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// Draws a button's face and its caption, wrapped onto further lines when it is wider than the
// button.
void paintCaptionButton(QWidget *button, QStyleOptionButton &option)
{
    QStylePainter painter(button);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect area = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    if (option.state & (QStyle::State_Sunken | QStyle::State_On))
        area.translate(button->style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, button),
                       button->style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, button));
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap, button->palette(), button->isEnabled(), caption,
                         QPalette::ButtonText);
}

} // namespace

void CaptionButton::paintEvent(QPaintEvent *)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    paintCaptionButton(this, option);
}

void OptionButton::focusInEvent(QFocusEvent *event)
{
    QRadioButton::focusInEvent(event); // here Qt leaves only this button of the group a Tab stop
    if (group())
        for (QAbstractButton *button : group()->buttons())
            button->setFocusPolicy(Qt::StrongFocus);
}

void OptionButton::keyPressEvent(QKeyEvent *event)
{
    const QList<QAbstractButton *> pair = group() ? group()->buttons() : QList<QAbstractButton *>();
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (pair.size() == 2) {
            QAbstractButton *other = pair[pair[0] == this ? 1 : 0];
            other->setFocus(Qt::TabFocusReason);
            other->click();
            return; // the event stays accepted, as it came
        }
        break;
    default: break;
    }
    QRadioButton::keyPressEvent(event);
}

void OptionButton::paintEvent(QPaintEvent *)
{
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = text();
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (isChecked())
        option.state |= QStyle::State_On;
    paintCaptionButton(this, option);
}
