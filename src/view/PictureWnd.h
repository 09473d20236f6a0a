#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include "view/PictureRenderer.h"

class CFullScreenWnd;
class CSettings;
class PhotoDocument;
class QLayout;
class QPainter;

// The photo display window: shows the photo document with the crop frame laid over it,
// repaints when the document announces a change and tells it the client size the frame is
// laid out in. The document belongs to whoever made the window.
//
// Input: the view handles every key and mouse gesture. The window is always transparent for
// the mouse: inside the view, drags, wheel and double-clicks land on the view beneath it;
// full screen, it sits in a CFullScreenWnd that takes the keys and the mouse and hands them to
// the forward target (the view).
class CPictureWnd : public QWidget {
    Q_OBJECT

public:
    CPictureWnd(const CSettings& settings, PhotoDocument& document, QWidget* parent);
    ~CPictureWnd() override;

    // Full screen: the window leaves its parent for a window of its own that covers the
    // primary screen above all others; leaving puts it back at its former place. Entering
    // again while already full screen keeps the place remembered first. A window without a
    // parent widget has no place to come back to and is never shown full screen. Closing
    // the main window leaves full screen first; closing the full-screen window (by the
    // window manager) leaves it and closes the main window, which ends the program.
    void SetFullScreen(bool on);
    [[nodiscard]] bool IsFullScreen() const { return fullScreen; }
    // The window that covers the screen while full screen; null before the first enter.
    [[nodiscard]] QWidget* FullScreenWindow() const;

    // Where key and mouse events go while the window is full screen (normally the view).
    void SetKeyForwardTarget(QWidget* target) { forwardTarget = target; }
    // A short text drawn over the middle of the picture (the first steps while no working
    // folder is set); empty draws nothing.
    void SetHint(const QString& text);
    [[nodiscard]] const QString& Hint() const { return hint; }

    // Invalidates, erases and repaints the whole window now.
    void Redraw();

    // The picture the next paint would show, client size; for tests and benchmarks.
    [[nodiscard]] QImage RenderToImage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CloseProgramFromFullScreen();
    void DrawHint(QPainter& painter) const;

    const CSettings& settings;
    PhotoDocument& document;
    PictureRenderer renderer;
    QPointer<QWidget> forwardTarget;
    QString hint;

    bool fullScreen = false;
    // Created at the first enter, as a child of the parent widget.
    QPointer<CFullScreenWnd> fullScreenWnd;
    QPointer<QWidget> savedParent;
    // The main window, watched for its close while full screen.
    QPointer<QWidget> savedMainWindow;
    QRect savedGeometry;
    QPointer<QLayout> savedLayout;
    int savedLayoutIndex = -1;
};
