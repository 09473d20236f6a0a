#include "view/PictureWnd.h"

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
#include "view/FullScreenWnd.h"

CPictureWnd::CPictureWnd(const CSettings& settings, PhotoDocument& document, QWidget* parent)
    : QWidget(parent), settings(settings), document(document) {
    // Every pixel is painted from the composed buffer: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The mouse belongs to the view beneath, or to the full-screen window around.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    document.setClientSize(width(), height());
    connect(&document, &PhotoDocument::photoChanged, this, &CPictureWnd::Redraw);
    connect(&document, &PhotoDocument::frameChanged, this, &CPictureWnd::Redraw);
    connect(&document, &PhotoDocument::flagsChanged, this, &CPictureWnd::Redraw);
}

CPictureWnd::~CPictureWnd() = default;

void CPictureWnd::Redraw() {
    repaint();
}

void CPictureWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    document.setClientSize(width(), height());
}

QImage CPictureWnd::RenderToImage() {
    return renderer.Compose(document, settings, size()).copy();
}

void CPictureWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    renderer.Paint(painter, document, settings, size());
    if (!hint.isEmpty()) {
        DrawHint(painter);
    }
}

void CPictureWnd::SetHint(const QString& text) {
    if (text == hint) {
        return;
    }
    hint = text;
    update();
}

void CPictureWnd::DrawHint(QPainter& painter) const {
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
    QRect text = painter.boundingRect(QRect(0, 0, textWidth, height()), flags, hint);
    text.moveCenter(rect().center());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(text.adjusted(-kPaddingX, -kPaddingY, kPaddingX, kPaddingY), 8, 8);
    painter.setPen(QColor(0, 0, 100));
    painter.drawText(text, flags, hint);
    painter.restore();
}

QWidget* CPictureWnd::FullScreenWindow() const {
    return fullScreenWnd.data();
}

void CPictureWnd::SetFullScreen(bool on) {
    if (on) {
        if (!fullScreen) {
            QWidget* parent = parentWidget();
            if (parent == nullptr) {
                return;
            }
            // Remembered only by the first enter, so that leaving always finds the view.
            savedParent = parent;
            savedGeometry = geometry();
            savedLayout = nullptr;
            savedLayoutIndex = -1;
            if (QLayout* layout = parent->layout(); layout != nullptr) {
                savedLayoutIndex = layout->indexOf(this);
                if (savedLayoutIndex >= 0) {
                    savedLayout = layout;
                    layout->removeWidget(this);
                }
            }
            if (fullScreenWnd == nullptr) {
                fullScreenWnd = new CFullScreenWnd(parent);
                connect(fullScreenWnd, &CFullScreenWnd::closeRequested, this,
                        &CPictureWnd::CloseProgramFromFullScreen);
            }
            fullScreenWnd->SetInputTarget(forwardTarget);
            savedMainWindow = parent->window();
            savedMainWindow->installEventFilter(this);
            // Moved as a plain child: this widget never becomes a window of its own. A widget
            // made a window while transparent for the mouse gets a window that takes no input
            // at all on X11, and going back would destroy that window from within its own key
            // event (Space).
            setParent(fullScreenWnd);
            fullScreen = true;
        }
        fullScreenWnd->Cover(this);
        Redraw();
        return;
    }

    if (!fullScreen) {
        return;
    }
    if (savedMainWindow != nullptr) {
        savedMainWindow->removeEventFilter(this);
    }
    QWidget* parent = savedParent.data();
    setParent(parent);
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
    savedMainWindow = nullptr;
    savedLayout = nullptr;
    savedLayoutIndex = -1;
    show();
    if (fullScreenWnd != nullptr) {
        fullScreenWnd->hide();
    }
    Redraw();
}

bool CPictureWnd::eventFilter(QObject* watched, QEvent* event) {
    // The main window closes (its close button, the window manager, Quit): the picture comes
    // back from full screen first, so that nothing of the program stays on the screen.
    if (fullScreen && watched == savedMainWindow && event->type() == QEvent::Close) {
        SetFullScreen(false);
    }
    return QWidget::eventFilter(watched, event);
}

void CPictureWnd::CloseProgramFromFullScreen() {
    const QPointer<QWidget> mainWindow = savedMainWindow;
    SetFullScreen(false);
    if (mainWindow != nullptr) {
        mainWindow->close();
    }
}
