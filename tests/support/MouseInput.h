// Left-button mouse events sent to a widget as the window system sends them, for GUI tests
// that press, drag and double-click at exact points.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace testsupport {

inline void sendMouse(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButtons held) {
    QMouseEvent e(type, p, target->mapToGlobal(p),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}
inline void press(QWidget* target, QPoint p) {
    sendMouse(target, QEvent::MouseButtonPress, p, Qt::LeftButton);
}
inline void moveTo(QWidget* target, QPoint p) {
    sendMouse(target, QEvent::MouseMove, p, Qt::LeftButton);
}
inline void release(QWidget* target, QPoint p) {
    sendMouse(target, QEvent::MouseButtonRelease, p, Qt::NoButton);
}
// A double click: press, release, press, the double click, release.
inline void doubleClick(QWidget* target, QPoint p) {
    press(target, p);
    release(target, p);
    press(target, p);
    sendMouse(target, QEvent::MouseButtonDblClick, p, Qt::LeftButton);
    release(target, p);
}

} // namespace testsupport
