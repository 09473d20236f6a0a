#include "view/FullScreenWnd.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QWheelEvent>
#include <memory>

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

bool CFullScreenWnd::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        Forward(event);
        return true;
    default:
        return QWidget::event(event);
    }
}

void CFullScreenWnd::Forward(QEvent* event) {
    if (inputTarget == nullptr) {
        event->ignore();
        return;
    }
    // Keys go as they are; pointer events are moved into the target's coordinates.
    std::unique_ptr<QEvent> moved;
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<const QWheelEvent*>(event);
        const QPointF local = inputTarget->mapFromGlobal(wheel->globalPosition());
        moved = std::make_unique<QWheelEvent>(local, wheel->globalPosition(), wheel->pixelDelta(),
                                              wheel->angleDelta(), wheel->buttons(),
                                              wheel->modifiers(), wheel->phase(), wheel->inverted(),
                                              wheel->source(), wheel->pointingDevice());
    } else if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        const QPointF local = inputTarget->mapFromGlobal(mouse->globalPosition());
        moved = std::make_unique<QMouseEvent>(mouse->type(), local, local, mouse->globalPosition(),
                                              mouse->button(), mouse->buttons(), mouse->modifiers(),
                                              mouse->pointingDevice());
    }
    QEvent* forwarded = moved ? moved.get() : event;
    QCoreApplication::sendEvent(inputTarget, forwarded);
    event->setAccepted(forwarded->isAccepted());
}
