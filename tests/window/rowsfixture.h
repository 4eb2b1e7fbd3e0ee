#pragma once
// A main window for the row tests: the program's folder is a fresh temporary folder, and the
// question, the message, the beep and the end of the program are replaced and counted.

#include "roster/grid.h"
#include "roster/numbers.h"
#include "roster/rates.h"
#include "window/frmchoose30.h"
#include "window/toolkit.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace rowstest {

using roster::Position;

struct WindowFixture {
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<frmChoose30> window;
    int beeps = 0;
    int questions = 0;
    int ends = 0;
    QStringList messages;

    void start()
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        beeps = questions = ends = 0;
        messages.clear();
        toolkit::setProgramFolder(folder->path());
        toolkit::setQuestionAnswerer([this](const QString &, const QString &) {
            ++questions;
            return false;
        });
        toolkit::setMessageSink([this](const QString &text, const QString &) { messages << text; });
        toolkit::setBeeper([this] { ++beeps; });
        toolkit::setProgramEnder([this] { ++ends; });
        window = std::make_unique<frmChoose30>();
    }

    void stop()
    {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        folder.reset();
    }

    frmChoose30::RowControls &cells(Position position, int r) { return window->row(position, r); }
};

inline QColor textColour(const QLineEdit *field)
{
    return field->palette().color(QPalette::Active, QPalette::Text);
}

// One letter per colour: K black (candidate), B blue (held), R red (left out), ? anything else.
inline QChar colourLetter(const QColor &colour)
{
    if (colour == QColor(0, 0, 0))
        return u'K';
    if (colour == QColor(0, 0, 255))
        return u'B';
    if (colour == QColor(255, 0, 0))
        return u'R';
    return u'?';
}

// The expected rate text of a row: the rule's product, cut by the rate field's width.
inline QString expectedRate(const QString &points, const QString &games)
{
    return roster::rateText(points, games).left(roster::RateWidth);
}

inline Position positionFromLetter(char letter)
{
    switch (letter) {
    case 'W': return Position::W;
    case 'D': return Position::D;
    case 'G': return Position::G;
    default: return Position::C;
    }
}

} // namespace rowstest
