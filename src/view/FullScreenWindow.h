#pragma once

#include <QPointer>
#include <QWidget>

class QCloseEvent;
class QResizeEvent;
class QEvent;

// The frameless window above all others that covers the primary screen while the photo
// display is shown full screen. The display is moved into it as its only child (and stays
// transparent for the mouse), so this window takes every key and mouse action and hands it
// to the input target (the view), mouse positions mapped into the target's coordinates:
// the view's keys, drags and wheel work full screen as in the main window.
//
// A child of the view for ownership, and so a secondary window of the main window: it
// never keeps the program alive on its own.
class FullScreenWindow : public QWidget {
    Q_OBJECT

public:
    explicit FullScreenWindow(QWidget* parent);
    ~FullScreenWindow() override;

    // Where keys and mouse actions go (the view).
    void setInputTarget(QWidget* target) { m_inputTarget = target; }

    // Puts content (already a child of this window) over the whole window, shows the window
    // full screen on the primary screen and gives it the keyboard.
    void cover(QWidget* content);

signals:
    // The window manager asked to close this window (Alt+F4, a close button of a task bar).
    void closeRequested();

protected:
    // Keys, mouse and wheel go to the input target.
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Sends a key, mouse or wheel event to the input target and takes its answer.
    void forward(QEvent* event);

    QPointer<QWidget> m_inputTarget;
    QPointer<QWidget> m_content;
};
