#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace BenchKeys {

// A key pressed and released on the widget, as typing delivers it.
inline void press(QWidget &widget, Qt::Key key, const QString &text = {})
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&widget, &up);
}

} // namespace BenchKeys
