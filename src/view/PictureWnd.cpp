#include "view/PictureWnd.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QString>
#include <QWheelEvent>

CPictureWnd::CPictureWnd(const CSettings& settings, QWidget* parent)
    : QWidget(parent), PictureModel(settings, *this), settings(settings) {
    // Every pixel is painted from the composed buffer: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Inside the view the mouse belongs to the view beneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    warnHandler = [this](const std::string& text, const std::string& caption) {
        ShowWarningBox(text, caption);
    };
}

CPictureWnd::~CPictureWnd() = default;

void CPictureWnd::Redraw() {
    repaint();
}

void CPictureWnd::Warn(const std::string& text, const std::string& caption) {
    if (warnHandler) {
        warnHandler(text, caption);
    }
}

void CPictureWnd::ShowWarningBox(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, window());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

QImage CPictureWnd::RenderToImage() {
    return renderer.Compose(*this, settings, size()).copy();
}

void CPictureWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    renderer.Paint(painter, *this, settings, size());
}

void CPictureWnd::SetFullScreen(bool on) {
    if (on) {
        if (!fullScreen) {
            // Remembered only by the first enter, so that leaving always finds the view.
            savedParent = parentWidget();
            savedGeometry = geometry();
            savedLayout = nullptr;
            savedLayoutIndex = -1;
            if (savedParent != nullptr && savedParent->layout() != nullptr) {
                QLayout* layout = savedParent->layout();
                savedLayoutIndex = layout->indexOf(this);
                if (savedLayoutIndex >= 0) {
                    savedLayout = layout;
                    layout->removeWidget(this);
                }
            }
            setParent(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
            // A window of its own: it receives the input and hands it to the view.
            setAttribute(Qt::WA_TransparentForMouseEvents, false);
            setFocusPolicy(Qt::StrongFocus);
            fullScreen = true;
        }
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            setGeometry(screen->geometry());
        }
        show();
        raise();
        activateWindow();
        setFocus(Qt::OtherFocusReason);
        Redraw();
        return;
    }

    if (!fullScreen) {
        return;
    }
    QWidget* parent = savedParent.data();
    setParent(parent, Qt::Widget);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(savedGeometry);
    if (savedLayout != nullptr) {
        if (auto* box = qobject_cast<QBoxLayout*>(savedLayout.data())) {
            box->insertWidget(savedLayoutIndex, this);
        } else {
            savedLayout->addWidget(this);
        }
    }
    fullScreen = false;
    savedParent = nullptr;
    savedLayout = nullptr;
    savedLayoutIndex = -1;
    show();
    Redraw();
}

bool CPictureWnd::ForwardKey(QKeyEvent* event) {
    if (forwardTarget == nullptr) {
        return false;
    }
    QCoreApplication::sendEvent(forwardTarget, event);
    return true;
}

bool CPictureWnd::ForwardMouse(QMouseEvent* event) {
    if (!fullScreen || forwardTarget == nullptr) {
        return false;
    }
    const QPointF local = forwardTarget->mapFromGlobal(event->globalPosition());
    QMouseEvent forwarded(event->type(), local, local, event->globalPosition(), event->button(),
                          event->buttons(), event->modifiers(), event->pointingDevice());
    QCoreApplication::sendEvent(forwardTarget, &forwarded);
    event->setAccepted(forwarded.isAccepted());
    return true;
}

void CPictureWnd::keyPressEvent(QKeyEvent* event) {
    if (!ForwardKey(event)) {
        QWidget::keyPressEvent(event);
    }
}

void CPictureWnd::keyReleaseEvent(QKeyEvent* event) {
    if (!ForwardKey(event)) {
        QWidget::keyReleaseEvent(event);
    }
}

void CPictureWnd::mousePressEvent(QMouseEvent* event) {
    if (!ForwardMouse(event)) {
        QWidget::mousePressEvent(event);
    }
}

void CPictureWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (!ForwardMouse(event)) {
        QWidget::mouseReleaseEvent(event);
    }
}

void CPictureWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!ForwardMouse(event)) {
        QWidget::mouseDoubleClickEvent(event);
    }
}

void CPictureWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!ForwardMouse(event)) {
        QWidget::mouseMoveEvent(event);
    }
}

void CPictureWnd::wheelEvent(QWheelEvent* event) {
    if (!fullScreen || forwardTarget == nullptr) {
        QWidget::wheelEvent(event);
        return;
    }
    const QPointF local = forwardTarget->mapFromGlobal(event->globalPosition());
    QWheelEvent forwarded(local, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                          event->buttons(), event->modifiers(), event->phase(), event->inverted(),
                          event->source(), event->pointingDevice());
    QCoreApplication::sendEvent(forwardTarget, &forwarded);
    event->setAccepted(forwarded.isAccepted());
}
