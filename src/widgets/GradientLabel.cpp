#include "widgets/GradientLabel.h"

#include <QPainter>
#include <QPalette>
#include <algorithm>

#include "engine/PanelRules.h"

namespace {

LabelRgb toRgb(const QColor& c) {
    return {c.red(), c.green(), c.blue()};
}

} // namespace

GradientLabel::GradientLabel(QWidget* parent)
    : QWidget(parent), m_labelFont(QStringLiteral("Times New Roman")),
      m_startColor(palette().color(QPalette::Active, QPalette::Highlight)),
      m_endColor(palette().color(QPalette::Active, QPalette::Button)),
      m_textColor(palette().color(QPalette::Active, QPalette::HighlightedText)) {
    m_labelFont.setPixelSize(16);
    m_labelFont.setWeight(QFont::Bold);
    m_labelFont.setItalic(true);
    // The gradient covers every pixel: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GradientLabel::setText(const QString& value) {
    m_text = value;
    update();
}

void GradientLabel::setLabelFont(const QString& face, int heightPx, bool bold, bool italic) {
    m_labelFont = QFont(face);
    m_labelFont.setPixelSize(std::max(1, heightPx));
    m_labelFont.setWeight(bold ? QFont::Bold : QFont::Normal);
    m_labelFont.setItalic(italic);
    update();
}

void GradientLabel::setColors(const QColor& start, const QColor& end) {
    m_startColor = start;
    m_endColor = end;
}

void GradientLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawLabel(painter);
}

QRect GradientLabel::drawLabel(QPainter& painter) const {
    const QRect client = rect();
    for (const LabelBand& band : labelGradientBands(client.left(), client.left() + client.width(),
                                                    toRgb(m_startColor), toRgb(m_endColor))) {
        painter.fillRect(QRect(band.left, client.top(), band.right - band.left, client.height()),
                         QColor(band.red, band.green, band.blue));
    }

    const QRect area = client.adjusted(10, 2, 0, -2);
    painter.setPen(m_textColor);
    if (!m_text.isEmpty()) {
        const QFont previous = painter.font();
        painter.setFont(m_labelFont);
        const bool severalLines = m_text.contains(QLatin1Char('\n'));
        const int flags = severalLines ? Qt::AlignLeft | Qt::AlignTop
                                       : Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        painter.drawText(area, flags, m_text);
        painter.setFont(previous);
    }
    return area;
}
