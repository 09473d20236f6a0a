#include "panel/PhotoPreview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>

#include "engine/FrameGeometry.h"
#include "engine/PanelRules.h"

PhotoPreview::PhotoPreview(QWidget* parent)
    : QWidget(parent), m_backgroundBrush(QPixmap(QStringLiteral(":/res/canvas-tile.png"))) {
    // Background and thumbnail together cover every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PhotoPreview::setPreview(const QImage& photo) {
    const QSize size = previewCopySize(photo.width(), photo.height());
    if (size.width() > 0 && size.height() > 0) {
        // Nearest neighbour: a smooth scale of a 24-bit photo first converts all of it to
        // 32 bits, several times the photo's own decode time on a 24-megapixel photo, and
        // the thumbnail is drawn much smaller than this copy anyway.
        m_preview = photo.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                        .convertToFormat(QImage::Format_RGB888);
    } else {
        m_preview = QImage();
    }
    repaint();
}

QRect PhotoPreview::previewRect() const {
    // Same fitting as the display window's photo rectangle.
    FrameGeometry fit;
    fit.setPhotoSize(m_preview.width(), m_preview.height());
    fit.setClientSize(width(), height());
    const QRect r = fit.imageRect();
    if (r.width() <= 0 || r.height() <= 0) {
        return {};
    }
    return r;
}

void PhotoPreview::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect target = previewRect();
    QRegion background(rect());
    if (!target.isEmpty()) {
        background -= QRegion(target);
    }
    painter.setClipRegion(background);
    painter.fillRect(rect(), m_backgroundBrush);
    painter.setClipping(false);
    if (!target.isEmpty()) {
        // Nearest neighbour: SmoothPixmapTransform stays off.
        painter.drawImage(target, m_preview);
    }
}

void PhotoPreview::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QWidget::mouseReleaseEvent(event);
}
