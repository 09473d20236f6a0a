#include "view/PhotoView.h"

#include <QBoxLayout>
#include <QColor>
#include <QEvent>
#include <QFont>
#include <QLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QString>
#include <algorithm>

#include "engine/PhotoDocument.h"
#include "view/FullScreenWindow.h"

PhotoView::PhotoView(const Settings& settings, PhotoDocument& document, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_document(document) {
    // Every pixel is painted from the composed buffer: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The mouse belongs to the view beneath, or to the full-screen window around.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    document.setClientSize(width(), height());
    connect(&document, &PhotoDocument::photoChanged, this, &PhotoView::redraw);
    connect(&document, &PhotoDocument::frameChanged, this, &PhotoView::redraw);
    connect(&document, &PhotoDocument::flagsChanged, this, &PhotoView::redraw);
}

PhotoView::~PhotoView() = default;

void PhotoView::redraw() {
    repaint();
}

void PhotoView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_document.setClientSize(width(), height());
}

QImage PhotoView::renderToImage() {
    return m_renderer.compose(m_document, m_settings, size()).copy();
}

void PhotoView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    m_renderer.paint(painter, m_document, m_settings, size());
    if (!m_hint.isEmpty()) {
        drawHint(painter);
    }
}

void PhotoView::setHint(const QString& text) {
    if (text == m_hint) {
        return;
    }
    m_hint = text;
    update();
}

void PhotoView::drawHint(QPainter& painter) const {
    // Window client pixels: a light card in the middle, the text left-aligned in it, at most
    // 760 pixels wide so that the lines stay short on a wide window.
    constexpr int kMargin = 24;
    constexpr int kPaddingX = 20;
    constexpr int kPaddingY = 16;
    constexpr int kMaxTextWidth = 760;
    painter.save();
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.25);
    painter.setFont(font);
    const int textWidth = std::max(1, std::min(kMaxTextWidth, width() - 2 * (kMargin + kPaddingX)));
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    QRect text = painter.boundingRect(QRect(0, 0, textWidth, height()), flags, m_hint);
    text.moveCenter(rect().center());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(text.adjusted(-kPaddingX, -kPaddingY, kPaddingX, kPaddingY), 8, 8);
    painter.setPen(QColor(0, 0, 100));
    painter.drawText(text, flags, m_hint);
    painter.restore();
}

QWidget* PhotoView::fullScreenWindow() const {
    return m_fullScreenWnd.data();
}

void PhotoView::setFullScreen(bool on) {
    if (on) {
        if (!m_fullScreen) {
            QWidget* parent = parentWidget();
            if (parent == nullptr) {
                return;
            }
            // Remembered only by the first enter, so that leaving always finds the view.
            m_savedParent = parent;
            m_savedGeometry = geometry();
            m_savedLayout = nullptr;
            m_savedLayoutIndex = -1;
            if (QLayout* layout = parent->layout(); layout != nullptr) {
                m_savedLayoutIndex = layout->indexOf(this);
                if (m_savedLayoutIndex >= 0) {
                    m_savedLayout = layout;
                    layout->removeWidget(this);
                }
            }
            if (m_fullScreenWnd == nullptr) {
                m_fullScreenWnd = new FullScreenWindow(parent);
                connect(m_fullScreenWnd, &FullScreenWindow::closeRequested, this,
                        &PhotoView::closeProgramFromFullScreen);
            }
            m_fullScreenWnd->setInputTarget(m_forwardTarget);
            m_savedMainWindow = parent->window();
            m_savedMainWindow->installEventFilter(this);
            // Moved as a plain child: this widget never becomes a window of its own. A widget
            // made a window while transparent for the mouse gets a window that takes no input
            // at all on X11, and going back would destroy that window from within its own key
            // event (Space).
            setParent(m_fullScreenWnd);
            m_fullScreen = true;
        }
        m_fullScreenWnd->cover(this);
        redraw();
        return;
    }

    if (!m_fullScreen) {
        return;
    }
    if (m_savedMainWindow != nullptr) {
        m_savedMainWindow->removeEventFilter(this);
    }
    QWidget* parent = m_savedParent.data();
    setParent(parent);
    setGeometry(m_savedGeometry);
    if (m_savedLayout != nullptr) {
        if (auto* box = qobject_cast<QBoxLayout*>(m_savedLayout.data())) {
            box->insertWidget(m_savedLayoutIndex, this);
        } else {
            m_savedLayout->addWidget(this);
        }
    }
    m_fullScreen = false;
    m_savedParent = nullptr;
    m_savedMainWindow = nullptr;
    m_savedLayout = nullptr;
    m_savedLayoutIndex = -1;
    show();
    if (m_fullScreenWnd != nullptr) {
        m_fullScreenWnd->hide();
    }
    redraw();
}

bool PhotoView::eventFilter(QObject* watched, QEvent* event) {
    // The main window closes (its close button, the window manager, Quit): the picture comes
    // back from full screen first, so that nothing of the program stays on the screen.
    if (m_fullScreen && watched == m_savedMainWindow && event->type() == QEvent::Close) {
        setFullScreen(false);
    }
    return QWidget::eventFilter(watched, event);
}

void PhotoView::closeProgramFromFullScreen() {
    const QPointer<QWidget> mainWindow = m_savedMainWindow;
    setFullScreen(false);
    if (mainWindow != nullptr) {
        mainWindow->close();
    }
}
