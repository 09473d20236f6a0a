#include "app/AppEventFilter.h"

#include "app/SplashWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenuBar>

#include <memory>

AppEventFilter::AppEventFilter(QWidget* mainWindow, QObject* parent)
    : QObject(parent), m_mainWindow(mainWindow) {}

void AppEventFilter::setKeyTarget(QWidget* target) {
    m_target = target;
}

bool AppEventFilter::eventFilter(QObject* watched, QEvent* event) {
    // Key and mouse events reach the window (QWindow) first, then the widget; acting on
    // the widget delivery only handles each event once.
    if (!watched->isWidgetType())
        return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
        type != QEvent::MouseButtonPress && type != QEvent::NonClientAreaMouseButtonPress)
        return false;

    if (SplashWindow::preTranslateSplashEvent(event))
        return true;
    if (type == QEvent::MouseButtonPress || type == QEvent::NonClientAreaMouseButtonPress)
        return false;
    if (!shouldReaddress(static_cast<QWidget*>(watched), event))
        return false;
    // A key the target ignores goes on to the target's parents as usual; those deliveries
    // pass through here again and must not be re-addressed a second time. The original
    // is accepted so that Qt does not hand it to the focus widget's parents as well.
    std::unique_ptr<QEvent> copy(event->clone());
    m_forwarding = true;
    QCoreApplication::sendEvent(m_target, copy.get());
    m_forwarding = false;
    event->accept();
    return true;
}

bool AppEventFilter::shouldReaddress(const QWidget* receiver, const QEvent* event) const {
    if (m_forwarding || !m_target || !m_mainWindow || receiver == m_target)
        return false;
    if (receiver->window() != m_mainWindow || QApplication::activeWindow() != m_mainWindow)
        return false;
    // The menu bar keeps its own keyboard navigation, and Alt combinations are the menu
    // mnemonics.
    for (const QWidget* widget = receiver; widget; widget = widget->parentWidget()) {
        if (qobject_cast<const QMenuBar*>(widget))
            return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() != Qt::Key_Alt && !(key->modifiers() & Qt::AltModifier);
}
