#include "app/SplashWindow.h"

#include "app/SplashArtwork.h"
#include "tools/ToolsApp.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QRect>
#include <QScreen>

namespace {

// Class-wide state: the window may be shown at all, and the one window now shown.
struct SplashState {
    bool enabled = false;
    QPointer<SplashWindow> instance;
};

SplashState& state() {
    static SplashState state;
    return state;
}

} // namespace

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_picture(makeSplashPicture()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.size());
    m_lifetime.setSingleShot(true);
    m_lifetime.setTimerType(Qt::PreciseTimer);
    m_lifetime.setInterval(kLifetimeMs);
    connect(&m_lifetime, &QTimer::timeout, this, [] { hideSplash(); });
}

SplashWindow::~SplashWindow() {
    if (state().instance == this)
        state().instance = nullptr;
}

void SplashWindow::enableSplash(bool enable) {
    state().enabled = enable;
}

void SplashWindow::showSplash(QWidget* parent) {
    if (!state().enabled || state().instance)
        return;
    auto* splash = new SplashWindow(parent); // deletes itself when closed
    state().instance = splash;
    splash->centreOverOwner();
    splash->show();
    splash->raise();
    splash->repaint();
    splash->m_lifetime.start();
}

void SplashWindow::hideSplash() {
    SplashWindow* splash = state().instance;
    if (!splash)
        return;
    state().instance = nullptr;
    splash->m_lifetime.stop();
    QWidget* owner = splash->parentWidget();
    // Some window systems activate the splash when shown; hand activation back so that
    // keys reach the main window again.
    const bool wasActive = QApplication::activeWindow() == splash;
    splash->close();
    if (owner && owner->isVisible()) {
        if (wasActive)
            owner->activateWindow();
        owner->repaint();
    }
}

SplashWindow* SplashWindow::instance() {
    return state().instance;
}

bool SplashWindow::preTranslateSplashEvent(const QEvent* event) {
    if (!state().instance || !event)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
        hideSplash();
        return true;
    default:
        return false;
    }
}

QString SplashWindow::versionText() {
    const ProgramVersion version = ToolsApp::programVersion();
    return QString("Version %1.%2").arg(version.major).arg(version.minor);
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
    // The version in the band 30 to 5 pixels above the bottom edge, 15 pixels from the
    // right edge, in the window's own font and text colour.
    const QRect client = rect();
    const QRect band(QPoint(client.left(), client.bottom() + 1 - 30),
                     QPoint(client.right() - 15, client.bottom() - 5));
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, versionText());
}

void SplashWindow::centreOverOwner() {
    QWidget* owner = parentWidget();
    QRect area;
    if (owner && owner->isVisible()) {
        area = owner->frameGeometry();
    } else {
        // The owner is about to be shown maximized on its screen: centre on that screen.
        QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        if (screen)
            area = screen->availableGeometry();
    }
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}
