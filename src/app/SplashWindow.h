#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

class QEvent;

// The borderless product picture shown at start-up and as the About box. At most one
// exists at a time; it closes after 5 s, or on the first key press or mouse press anywhere
// in the program (that key or click is swallowed, see PreTranslateSplashEvent).
class SplashWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kLifetimeMs = 5000;

    ~SplashWindow() override;

    // Whether ShowSplash may show the window. Off until the application turns it on.
    static void enableSplash(bool enable);

    // Shows the window centred over parent (over its screen while parent is not shown
    // yet, over the primary screen without parent). Does nothing when not enabled or when
    // the window is already shown.
    static void showSplash(QWidget* parent);
    // Closes the window at once and repaints the window it was shown over.
    static void hideSplash();
    // The window now shown, or null.
    [[nodiscard]] static SplashWindow* instance();

    // Called by the application's event filter for every event: while the window is
    // shown, a key press or mouse press (client or frame area) closes it and returns true,
    // meaning the event must be dropped.
    static bool preTranslateSplashEvent(const QEvent* event);

    // "Version 1.4": the text drawn in the lower right corner.
    [[nodiscard]] static QString versionText();

    // Time left before the window closes by itself, in ms.
    [[nodiscard]] int remainingLifetimeMs() const { return m_lifetime.remainingTime(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    explicit SplashWindow(QWidget* parent);
    void centreOverOwner();

    QImage m_picture;
    QTimer m_lifetime;
};
