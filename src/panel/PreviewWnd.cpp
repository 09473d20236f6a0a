#include "panel/PreviewWnd.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>

#include "engine/FrameGeometry.h"
#include "engine/PanelRules.h"

CPreviewWnd::CPreviewWnd(QWidget* parent)
    : QWidget(parent), backgroundBrush(QPixmap(QStringLiteral(":/res/canvas-tile.png"))) {
    // Background and thumbnail together cover every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPreviewWnd::SetPreview(const QImage& photo) {
    const QSize size = PreviewCopySize(photo.width(), photo.height());
    if (size.width() > 0 && size.height() > 0) {
        // Nearest neighbour: a smooth scale of a 24-bit photo first converts all of it to
        // 32 bits, several times the photo's own decode time on a 24-megapixel photo, and
        // the thumbnail is drawn much smaller than this copy anyway.
        preview = photo.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                      .convertToFormat(QImage::Format_RGB888);
    } else {
        preview = QImage();
    }
    repaint();
}

QRect CPreviewWnd::GetPreviewRect() const {
    // Same fitting as the display window's photo rectangle.
    FrameGeometry fit;
    fit.SetPhotoSize(preview.width(), preview.height());
    fit.SetClientSize(width(), height());
    const QRect r = fit.GetImageRect();
    if (r.width() <= 0 || r.height() <= 0) {
        return {};
    }
    return r;
}

void CPreviewWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect target = GetPreviewRect();
    QRegion background(rect());
    if (!target.isEmpty()) {
        background -= QRegion(target);
    }
    painter.setClipRegion(background);
    painter.fillRect(rect(), backgroundBrush);
    painter.setClipping(false);
    if (!target.isEmpty()) {
        // Nearest neighbour: SmoothPixmapTransform stays off.
        painter.drawImage(target, preview);
    }
}

void CPreviewWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QWidget::mouseReleaseEvent(event);
}
