#include "panel/GradientLabel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

namespace {

int ChannelAt(int start, int end, int band) {
    constexpr float kStep = 1.0f / 255.0f;
    return static_cast<int>(static_cast<float>(start) +
                            static_cast<float>(end - start) * static_cast<float>(band) * kStep);
}

} // namespace

std::vector<GradientBand> GradientBands(int left, int right, QColor start, QColor end) {
    const float step = static_cast<float>(right - left) * (1.0f / 255.0f);
    std::vector<GradientBand> bands;
    bands.reserve(255);
    for (int i = 0; i < 255; ++i) {
        GradientBand band;
        band.x0 = left + static_cast<int>(static_cast<float>(i) * step);
        band.x1 = left + static_cast<int>(static_cast<float>(i + 1) * step);
        band.color =
            QColor(ChannelAt(start.red(), end.red(), i), ChannelAt(start.green(), end.green(), i),
                   ChannelAt(start.blue(), end.blue(), i));
        bands.push_back(band);
    }
    return bands;
}

CGradientLabel::CGradientLabel(QWidget* parent) : QWidget(parent) {
    m_font.setFamily(QStringLiteral("Times New Roman"));
    m_font.setPixelSize(16);
    m_font.setWeight(QFont::Bold);
    m_font.setItalic(true);
    const QPalette systemColors = palette();
    m_start = systemColors.color(QPalette::Active, QPalette::Highlight);
    m_end = systemColors.color(QPalette::Active, QPalette::Button);
    m_textColor = systemColors.color(QPalette::Active, QPalette::HighlightedText);
    // The gradient covers every pixel: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CGradientLabel::SetText(const QString& text) {
    m_text = text;
    update();
}

void CGradientLabel::SetLabelFont(const QString& face, int heightPx, bool bold, bool italic) {
    QFont font(face);
    font.setPixelSize(heightPx);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(italic);
    m_font = font;
    update();
}

void CGradientLabel::SetColors(QColor start, QColor end) {
    m_start = start;
    m_end = end;
}

void CGradientLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QRect rect = this->rect();
    DrawLabel(painter, rect);
}

void CGradientLabel::DrawLabel(QPainter& painter, QRect& rect) const {
    for (const GradientBand& band : GradientBands(rect.left(), rect.right() + 1, m_start, m_end)) {
        if (band.x1 > band.x0) {
            painter.fillRect(QRect(band.x0, rect.top(), band.x1 - band.x0, rect.height()),
                             band.color);
        }
    }
    const QFont previous = painter.font();
    painter.setFont(m_font);
    painter.setPen(m_textColor);
    painter.setBackgroundMode(Qt::TransparentMode);
    rect.adjust(10, 2, 0, -2);
    const bool oneLine = !m_text.contains(QLatin1Char('\n'));
    const int flags =
        Qt::AlignLeft | (oneLine ? Qt::AlignVCenter | Qt::TextSingleLine : Qt::AlignTop);
    painter.drawText(rect, flags, m_text);
    painter.setFont(previous);
}
