#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <vector>

class QPainter;

// One solid band of a horizontal gradient, from x0 (included) to x1 (excluded), in the
// label's client coordinates (display pixels).
struct GradientBand {
    int x0 = 0;
    int x1 = 0;
    QColor color;
};

// The 255 bands of a gradient over [left, right); the last band stops at 254/255 of the
// way from start to end.
[[nodiscard]] std::vector<GradientBand> GradientBands(int left, int right, QColor start,
                                                      QColor end);

// Header label: its text painted over a horizontal colour gradient.
class CGradientLabel : public QWidget {
    Q_OBJECT
public:
    explicit CGradientLabel(QWidget* parent = nullptr);

    void SetText(const QString& text);
    void SetLabelFont(const QString& face, int heightPx, bool bold, bool italic);
    // Takes effect at the next repaint.
    void SetColors(QColor start, QColor end);

    [[nodiscard]] QString Text() const { return m_text; }
    [[nodiscard]] QFont LabelFont() const { return m_font; }
    [[nodiscard]] QColor StartColor() const { return m_start; }
    [[nodiscard]] QColor EndColor() const { return m_end; }
    [[nodiscard]] QColor TextColor() const { return m_textColor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Paints the gradient and the text into rect and leaves rect shrunk by the text
    // margins (10 left, 2 top and bottom); the painter keeps the text colour as its pen.
    void DrawLabel(QPainter& painter, QRect& rect) const;

private:
    QFont m_font;
    QString m_text;
    QColor m_start;
    QColor m_end;
    QColor m_textColor;
};
