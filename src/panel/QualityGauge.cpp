#include "panel/QualityGauge.h"

#include <QPainter>
#include <QPen>
#include <QPoint>
#include <iterator>

#include "engine/PanelRules.h"

QualityGauge::QualityGauge(QWidget* parent) : GradientLabel(parent) {}

void QualityGauge::setCropSize(int width, int height) {
    m_cropWidth = width;
    m_cropHeight = height;
    repaint();
}

void QualityGauge::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = drawLabel(painter);

    // The size text uses the widget's own font, not the label font, in the label's text
    // colour that DrawLabel left on the pen.
    const std::string size = gaugeSizeText(m_cropWidth, m_cropHeight, m_showFactor);
    if (!size.empty()) {
        painter.setFont(font());
        painter.drawText(area, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine,
                         QString::fromStdString(size));
    }

    // Downward triangle 10 pixels wide and 5 high on the top edge, with a tick from its base
    // down to y = 10; x = 0 is the client area's left edge.
    const int x = gaugePointerX(width(), m_quality);
    const QPoint pointer[] = {{x - 5, 2}, {x, 7}, {x + 5, 2}, {x - 5, 2}, {x, 2}, {x, 10}};
    painter.setPen(QPen(Qt::white, 1));
    painter.drawPolyline(pointer, static_cast<int>(std::size(pointer)));
}
