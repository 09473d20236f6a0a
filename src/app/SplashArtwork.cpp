#include "app/SplashArtwork.h"

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRadialGradient>
#include <QRectF>
#include <QString>
#include <QUrl>

namespace {

// The photo: a landscape drawn in its own coordinates (0..240 x 0..170 pixels).
void drawLandscape(QPainter& p, const QRectF& area) {
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0.0, QColor(40, 90, 170));
    sky.setColorAt(0.55, QColor(250, 180, 120));
    sky.setColorAt(1.0, QColor(250, 210, 150));
    p.fillRect(area, sky);

    QRadialGradient sun(area.left() + 165, area.top() + 70, 40);
    sun.setColorAt(0.0, QColor(255, 250, 210));
    sun.setColorAt(0.3, QColor(255, 220, 120));
    sun.setColorAt(1.0, QColor(255, 200, 120, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(area.left() + 165, area.top() + 70), 40, 40);

    const auto at = [&area](double x, double y) {
        return QPointF(area.left() + x, area.top() + y);
    };
    p.setBrush(QColor(70, 80, 120));
    p.drawPolygon(QPolygonF({at(0, 110), at(45, 55), at(80, 90), at(120, 40), at(175, 100),
                             at(240, 70), at(240, 125), at(0, 125)}));
    p.setBrush(QColor(40, 70, 70));
    p.drawPolygon(QPolygonF({at(0, 120), at(60, 95), at(130, 115), at(200, 100), at(240, 110),
                             at(240, 130), at(0, 130)}));
    QLinearGradient lake(at(0, 125), at(0, 170));
    lake.setColorAt(0.0, QColor(230, 170, 120));
    lake.setColorAt(1.0, QColor(40, 80, 140));
    p.fillRect(QRectF(at(0, 125), at(240, 170)), lake);
    p.setPen(QPen(QColor(255, 240, 200, 160), 2));
    for (int line = 0; line < 4; ++line)
        p.drawLine(at(150 + line * 4, 132 + line * 9), at(180 - line * 4, 132 + line * 9));

    // A tree on the left shore.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 40, 30));
    p.drawRect(QRectF(at(28, 105), at(32, 135)));
    p.drawPolygon(QPolygonF({at(30, 70), at(44, 112), at(16, 112)}));
}

// A portrait crop frame laid over the photo: the outside darkened, thirds guides inside,
// small handles at the corners.
void drawCropFrame(QPainter& p, const QRectF& photo, const QRectF& crop) {
    QPainterPath outside;
    outside.addRect(photo);
    outside.addRect(crop);
    outside.setFillRule(Qt::OddEvenFill);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawPath(outside);

    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    for (int third = 1; third <= 2; ++third) {
        const double x = crop.left() + crop.width() * third / 3.0;
        const double y = crop.top() + crop.height() * third / 3.0;
        p.drawLine(QPointF(x, crop.top()), QPointF(x, crop.bottom()));
        p.drawLine(QPointF(crop.left(), y), QPointF(crop.right(), y));
    }
    p.setPen(QPen(QColor(120, 230, 120), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(crop);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 230, 120));
    for (const QPointF& corner :
         {crop.topLeft(), crop.topRight(), crop.bottomLeft(), crop.bottomRight()})
        p.drawRect(QRectF(corner.x() - 3, corner.y() - 3, 6, 6));
}

QString siteHost() {
    const QUrl site(QStringLiteral(LUMICUT_SITE));
    return site.host().isEmpty() ? QStringLiteral(LUMICUT_SITE) : site.host();
}

} // namespace

QImage makeSplashPicture() {
    QImage picture(kSplashWidth, kSplashHeight, QImage::Format_RGB888);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient background(0, 0, kSplashWidth, kSplashBandTop);
    background.setColorAt(0.0, QColor(20, 30, 60));
    background.setColorAt(1.0, QColor(30, 110, 120));
    p.fillRect(0, 0, kSplashWidth, kSplashBandTop, background);

    // The photo as a print, slightly turned, with a white margin and a soft shadow.
    p.save();
    p.translate(140, 150);
    p.rotate(-4);
    const QRectF print(-128, -93, 256, 186);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRect(print.translated(5, 6));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(print);
    const QRectF photo = print.adjusted(8, 8, -8, -8);
    p.setClipRect(photo);
    drawLandscape(p, photo);
    drawCropFrame(p, photo, QRectF(photo.left() + 70, photo.top() + 14, 96, 144));
    p.restore();

    QFont nameFont(QStringLiteral("Liberation Sans"));
    nameFont.setPixelSize(50);
    nameFont.setBold(true);
    p.setFont(nameFont);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QRectF(283, 62, 210, 70), Qt::AlignLeft | Qt::AlignVCenter, "Lumicut");
    p.setPen(Qt::white);
    p.drawText(QRectF(280, 60, 210, 70), Qt::AlignLeft | Qt::AlignVCenter, "Lumicut");

    QFont sloganFont(QStringLiteral("Liberation Sans"));
    sloganFont.setPixelSize(15);
    sloganFont.setItalic(true);
    p.setFont(sloganFont);
    p.setPen(QColor(200, 235, 235));
    p.drawText(QRectF(282, 135, 205, 80), Qt::AlignLeft | Qt::AlignTop,
               QString::fromUtf8("Vos photos recadrées\nau format d'impression,\nune à une."));

    QLinearGradient band(0, kSplashBandTop, 0, kSplashHeight);
    band.setColorAt(0.0, QColor(245, 245, 242));
    band.setColorAt(1.0, QColor(218, 222, 226));
    p.fillRect(0, kSplashBandTop, kSplashWidth, kSplashHeight - kSplashBandTop, band);
    p.fillRect(0, kSplashBandTop, kSplashWidth, 3, QColor(120, 230, 120));

    QFont siteFont(QStringLiteral("Liberation Sans"));
    siteFont.setPixelSize(13);
    p.setFont(siteFont);
    p.setPen(QColor(60, 70, 80));
    p.drawText(QRectF(15, kSplashBandTop + 8, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
               siteHost());
    return picture;
}
