#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include "view/PictureRenderer.h"

class FullScreenWindow;
class Settings;
class PhotoDocument;
class QLayout;
class QPainter;

// The photo display window: shows the photo document with the crop frame laid over it,
// repaints when the document announces a change and tells it the client size the frame is
// laid out in. The document belongs to whoever made the window.
//
// Input: the view handles every key and mouse gesture. The window is always transparent for
// the mouse: inside the view, drags, wheel and double-clicks land on the view beneath it;
// full screen, it sits in a FullScreenWindow that takes the keys and the mouse and hands them to
// the forward target (the view).
class PhotoView : public QWidget {
    Q_OBJECT

public:
    PhotoView(const Settings& settings, PhotoDocument& document, QWidget* parent);
    ~PhotoView() override;

    // Full screen: the window leaves its parent for a window of its own that covers the
    // primary screen above all others; leaving puts it back at its former place. Entering
    // again while already full screen keeps the place remembered first. A window without a
    // parent widget has no place to come back to and is never shown full screen. Closing
    // the main window leaves full screen first; closing the full-screen window (by the
    // window manager) leaves it and closes the main window, which ends the program.
    void setFullScreen(bool on);
    [[nodiscard]] bool isFullScreen() const { return m_fullScreen; }
    // The window that covers the screen while full screen; null before the first enter.
    [[nodiscard]] QWidget* fullScreenWindow() const;

    // Where key and mouse events go while the window is full screen (normally the view).
    void setKeyForwardTarget(QWidget* target) { m_forwardTarget = target; }
    // A short text drawn over the middle of the picture (the first steps while no working
    // folder is set); empty draws nothing.
    void setHint(const QString& text);
    [[nodiscard]] const QString& hint() const { return m_hint; }

    // Invalidates, erases and repaints the whole window now.
    void redraw();

    // The picture the next paint would show, client size; for tests and benchmarks.
    [[nodiscard]] QImage renderToImage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void closeProgramFromFullScreen();
    void drawHint(QPainter& painter) const;

    const Settings& m_settings;
    PhotoDocument& m_document;
    PictureRenderer m_renderer;
    QPointer<QWidget> m_forwardTarget;
    QString m_hint;

    bool m_fullScreen = false;
    // Created at the first enter, as a child of the parent widget.
    QPointer<FullScreenWindow> m_fullScreenWnd;
    QPointer<QWidget> m_savedParent;
    // The main window, watched for its close while full screen.
    QPointer<QWidget> m_savedMainWindow;
    QRect m_savedGeometry;
    QPointer<QLayout> m_savedLayout;
    int m_savedLayoutIndex = -1;
};
