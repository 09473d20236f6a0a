#pragma once

#include <QLabel>
#include <QSize>

// A status-bar pane whose preferred width is that of a number of blanks in its font; it
// may shrink below that when the window is too narrow, clipping its text.
class StatusPane : public QLabel {
    Q_OBJECT

public:
    StatusPane(int widthInBlanks, QWidget* parent);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

private:
    int m_widthInBlanks = 0;
};
