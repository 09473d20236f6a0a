#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <string>

#include "engine/PictureHost.h"
#include "engine/PictureModel.h"
#include "view/PictureRenderer.h"

class CSettings;
class QLayout;

// The photo display window: shows the photo with the crop frame laid over it and owns the
// photo model. The host base comes first so that it exists before the model that keeps a
// reference to it.
//
// Input: the view handles every key and mouse gesture. While the window sits inside the
// view it is transparent for the mouse (drags, wheel and double-clicks land on the view
// beneath it). Shown full screen it is a window of its own, so it hands its key and mouse
// events to the forward target (the view), mouse positions mapped into the target's
// coordinates.
class CPictureWnd : public QWidget, private PictureHost, public PictureModel {
    Q_OBJECT

public:
    using WarnHandler = std::function<void(const std::string& text, const std::string& caption)>;

    CPictureWnd(const CSettings& settings, QWidget* parent);
    ~CPictureWnd() override;

    // Full screen: the window leaves its parent and covers the primary screen above all
    // others; leaving puts it back at its former place. Entering again while already full
    // screen keeps the place remembered first.
    void SetFullScreen(bool on);
    [[nodiscard]] bool IsFullScreen() const { return fullScreen; }

    // Where key and mouse events go while the window is full screen (normally the view).
    void SetKeyForwardTarget(QWidget* target) { forwardTarget = target; }
    // Replaces the message box of warnings (tests record the texts instead).
    void SetWarnHandler(WarnHandler handler) { warnHandler = std::move(handler); }

    // Invalidates, erases and repaints the whole window now (also the host's redraw).
    void Redraw() override;

    // The picture the next paint would show, client size; for tests and benchmarks.
    [[nodiscard]] QImage RenderToImage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // PictureHost
    [[nodiscard]] int ClientWidth() const override { return width(); }
    [[nodiscard]] int ClientHeight() const override { return height(); }
    void Warn(const std::string& text, const std::string& caption) override;

    bool ForwardKey(QKeyEvent* event);
    bool ForwardMouse(QMouseEvent* event);
    void ShowWarningBox(const std::string& text, const std::string& caption);

    const CSettings& settings;
    PictureRenderer renderer;
    WarnHandler warnHandler;
    QPointer<QWidget> forwardTarget;

    bool fullScreen = false;
    QPointer<QWidget> savedParent;
    QRect savedGeometry;
    QPointer<QLayout> savedLayout;
    int savedLayoutIndex = -1;
};
