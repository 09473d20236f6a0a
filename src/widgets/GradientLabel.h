#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class QPainter;
class QPaintEvent;

// Header label: its text over a horizontal gradient of 255 solid bands. It paints its whole
// area itself, so no background is erased under it.
class GradientLabel : public QWidget {
    Q_OBJECT
public:
    explicit GradientLabel(QWidget* parent = nullptr);

    // Replaces the text and repaints. A text holding a line feed is drawn as several lines
    // from the top; otherwise as one line, vertically centred.
    void setText(const QString& text);
    [[nodiscard]] const QString& text() const { return m_text; }
    // heightPx: character height in display pixels; weight 700 when bold, else 400.
    void setLabelFont(const QString& face, int heightPx, bool bold, bool italic);
    // Gradient from start (left) to end (right); takes effect at the next repaint.
    void setColors(const QColor& start, const QColor& end);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Paints the gradient and the text into the whole client area and leaves the painter's
    // pen set to the text colour. Returns the text area: the client area less 10 pixels on
    // the left and 2 at the top and the bottom.
    QRect drawLabel(QPainter& painter) const;

private:
    QFont m_labelFont;
    QString m_text;
    QColor m_startColor;
    QColor m_endColor;
    QColor m_textColor;
};
