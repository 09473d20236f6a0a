#include "view/FullScreenWnd.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QWheelEvent>

CFullScreenWnd::CFullScreenWnd(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Lumicut"));
    setFocusPolicy(Qt::StrongFocus);
    // The content paints every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

CFullScreenWnd::~CFullScreenWnd() = default;

void CFullScreenWnd::Cover(QWidget* widget) {
    content = widget;
    // Placed on the primary screen first, so that full screen means that screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(screen->geometry());
    }
    if (content != nullptr) {
        content->setGeometry(rect());
        content->show();
    }
    showFullScreen();
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void CFullScreenWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (content != nullptr) {
        content->setGeometry(rect());
    }
}

void CFullScreenWnd::closeEvent(QCloseEvent* event) {
    // Closing this window is closing the program; the owner leaves full screen and closes the
    // main window, which ends the program as usual.
    event->ignore();
    emit closeRequested();
}

void CFullScreenWnd::ForwardKey(QKeyEvent* event) {
    if (inputTarget == nullptr) {
        event->ignore();
        return;
    }
    QCoreApplication::sendEvent(inputTarget, event);
}

void CFullScreenWnd::ForwardMouse(QMouseEvent* event) {
    if (inputTarget == nullptr) {
        event->ignore();
        return;
    }
    const QPointF local = inputTarget->mapFromGlobal(event->globalPosition());
    QMouseEvent forwarded(event->type(), local, local, event->globalPosition(), event->button(),
                          event->buttons(), event->modifiers(), event->pointingDevice());
    QCoreApplication::sendEvent(inputTarget, &forwarded);
    event->setAccepted(forwarded.isAccepted());
}

void CFullScreenWnd::keyPressEvent(QKeyEvent* event) {
    ForwardKey(event);
}

void CFullScreenWnd::keyReleaseEvent(QKeyEvent* event) {
    ForwardKey(event);
}

void CFullScreenWnd::mousePressEvent(QMouseEvent* event) {
    ForwardMouse(event);
}

void CFullScreenWnd::mouseReleaseEvent(QMouseEvent* event) {
    ForwardMouse(event);
}

void CFullScreenWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    ForwardMouse(event);
}

void CFullScreenWnd::mouseMoveEvent(QMouseEvent* event) {
    ForwardMouse(event);
}

void CFullScreenWnd::wheelEvent(QWheelEvent* event) {
    if (inputTarget == nullptr) {
        event->ignore();
        return;
    }
    const QPointF local = inputTarget->mapFromGlobal(event->globalPosition());
    QWheelEvent forwarded(local, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                          event->buttons(), event->modifiers(), event->phase(), event->inverted(),
                          event->source(), event->pointingDevice());
    QCoreApplication::sendEvent(inputTarget, &forwarded);
    event->setAccepted(forwarded.isAccepted());
}
