#include "widgets/GradientLabel.h"

#include <QPainter>
#include <QPalette>
#include <algorithm>

#include "engine/PanelRules.h"

namespace {

LabelRgb ToRgb(const QColor& c) {
    return {c.red(), c.green(), c.blue()};
}

} // namespace

CGradientLabel::CGradientLabel(QWidget* parent)
    : QWidget(parent), labelFont(QStringLiteral("Times New Roman")),
      startColor(palette().color(QPalette::Active, QPalette::Highlight)),
      endColor(palette().color(QPalette::Active, QPalette::Button)),
      textColor(palette().color(QPalette::Active, QPalette::HighlightedText)) {
    labelFont.setPixelSize(16);
    labelFont.setWeight(QFont::Bold);
    labelFont.setItalic(true);
    // The gradient covers every pixel: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGradientLabel::SetText(const QString& value) {
    text = value;
    update();
}

void CGradientLabel::SetLabelFont(const QString& face, int heightPx, bool bold, bool italic) {
    labelFont = QFont(face);
    labelFont.setPixelSize(std::max(1, heightPx));
    labelFont.setWeight(bold ? QFont::Bold : QFont::Normal);
    labelFont.setItalic(italic);
    update();
}

void CGradientLabel::SetColors(const QColor& start, const QColor& end) {
    startColor = start;
    endColor = end;
}

void CGradientLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    DrawLabel(painter);
}

QRect CGradientLabel::DrawLabel(QPainter& painter) const {
    const QRect client = rect();
    for (const LabelBand& band : LabelGradientBands(client.left(), client.left() + client.width(),
                                                    ToRgb(startColor), ToRgb(endColor))) {
        painter.fillRect(QRect(band.left, client.top(), band.right - band.left, client.height()),
                         QColor(band.red, band.green, band.blue));
    }

    const QRect area = client.adjusted(10, 2, 0, -2);
    painter.setPen(textColor);
    if (!text.isEmpty()) {
        const QFont previous = painter.font();
        painter.setFont(labelFont);
        const bool severalLines = text.contains(QLatin1Char('\n'));
        const int flags = severalLines ? Qt::AlignLeft | Qt::AlignTop
                                       : Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        painter.drawText(area, flags, text);
        painter.setFont(previous);
    }
    return area;
}
