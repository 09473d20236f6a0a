#include "view/FullScreenWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QWheelEvent>
#include <memory>

FullScreenWindow::FullScreenWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Lumicut"));
    setFocusPolicy(Qt::StrongFocus);
    // The content paints every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

FullScreenWindow::~FullScreenWindow() = default;

void FullScreenWindow::cover(QWidget* widget) {
    m_content = widget;
    // Placed on the primary screen first, so that full screen means that screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(screen->geometry());
    }
    if (m_content != nullptr) {
        m_content->setGeometry(rect());
        m_content->show();
    }
    showFullScreen();
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void FullScreenWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_content != nullptr) {
        m_content->setGeometry(rect());
    }
}

void FullScreenWindow::closeEvent(QCloseEvent* event) {
    // Closing this window is closing the program; the owner leaves full screen and closes the
    // main window, which ends the program as usual.
    event->ignore();
    emit closeRequested();
}

bool FullScreenWindow::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        forward(event);
        return true;
    default:
        return QWidget::event(event);
    }
}

void FullScreenWindow::forward(QEvent* event) {
    if (m_inputTarget == nullptr) {
        event->ignore();
        return;
    }
    // Keys go as they are; pointer events are moved into the target's coordinates.
    std::unique_ptr<QEvent> moved;
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<const QWheelEvent*>(event);
        const QPointF local = m_inputTarget->mapFromGlobal(wheel->globalPosition());
        moved = std::make_unique<QWheelEvent>(local, wheel->globalPosition(), wheel->pixelDelta(),
                                              wheel->angleDelta(), wheel->buttons(),
                                              wheel->modifiers(), wheel->phase(), wheel->inverted(),
                                              wheel->source(), wheel->pointingDevice());
    } else if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        const QPointF local = m_inputTarget->mapFromGlobal(mouse->globalPosition());
        moved = std::make_unique<QMouseEvent>(mouse->type(), local, local, mouse->globalPosition(),
                                              mouse->button(), mouse->buttons(), mouse->modifiers(),
                                              mouse->pointingDevice());
    }
    QEvent* forwarded = moved ? moved.get() : event;
    QCoreApplication::sendEvent(m_inputTarget, forwarded);
    event->setAccepted(forwarded->isAccepted());
}
