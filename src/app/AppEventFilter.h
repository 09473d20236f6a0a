#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QEvent;

// Application-wide event filter of the main loop. It sends every key press and release
// aimed at the main window's own widgets to the key target (the photo view), so that the
// view's key map works whichever child has the focus; and it lets the splash window
// swallow the first key press or mouse press anywhere in the program.
//
// Left alone: keys of other top-level windows (menus and popups, dialogs, message boxes),
// keys while the main window is not the active window, the menu bar's own keys and Alt
// combinations (menu mnemonics).
class AppEventFilter : public QObject {
    Q_OBJECT

public:
    explicit AppEventFilter(QWidget* mainWindow, QObject* parent = nullptr);

    // The widget that receives the main window's keys; null sends keys nowhere special.
    void setKeyTarget(QWidget* target);
    [[nodiscard]] QWidget* keyTarget() const { return m_target; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool shouldReaddress(const QWidget* receiver, const QEvent* event) const;

    QPointer<QWidget> m_mainWindow;
    QPointer<QWidget> m_target;
    bool m_forwarding = false; // a copy is on its way to the target
};
