#include "resultlistbox.h"

#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

ResultListBox::ResultListBox(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

int ResultListBox::count() const { return static_cast<int>(lines_.size()); }

QString ResultListBox::item(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return QString::fromStdString(lines_.at(static_cast<std::size_t>(index)));
}

void ResultListBox::addItem(const std::string &line)
{
    lines_.insert(line);
    linesChanged();
}

void ResultListBox::clear()
{
    lines_.clear();
    linesChanged();
}

void ResultListBox::linesChanged()
{
    updateScrollBar();
    viewport()->update();
}

void ResultListBox::setToolTipProvider(std::function<QString(const std::string &)> provider)
{
    toolTipProvider_ = std::move(provider);
}

int ResultListBox::lineHeight() const { return fontMetrics().height(); }

void ResultListBox::updateScrollBar()
{
    const int visible = std::max(1, viewport()->height() / lineHeight());
    verticalScrollBar()->setPageStep(visible);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(0, std::max(0, count() - visible));
}

void ResultListBox::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void ResultListBox::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    const int h = lineHeight();
    const int first = verticalScrollBar()->value();
    const int rows = viewport()->height() / h + 1;
    for (int i = 0; i < rows && first + i < count(); ++i) {
        const QRect line(2, i * h, viewport()->width() - 4, h);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, item(first + i));
    }
}

bool ResultListBox::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int index = verticalScrollBar()->value() + help->pos().y() / lineHeight();
        QString tip;
        if (toolTipProvider_ && index >= 0 && index < count())
            tip = toolTipProvider_(lines_.at(static_cast<std::size_t>(index)));
        if (tip.isEmpty())
            tip = toolTip(); // the list's own, over lines without one and below the last line
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
