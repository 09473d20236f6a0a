#pragma once

#include <QBrush>
#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>

class CSettings;
class PhotoDocument;
class QPainter;

// Draws the photo display: the canvas tile around the photo, the photo fitted into the
// window with nearest-neighbour scaling, and the crop-frame overlay (tint outside the frame
// in the quality colour, thirds guides, white-border preview, thin outline). All
// coordinates are window client pixels.
//
// Moving the frame must stay fast on large photos, so the photo is not rescaled on every
// paint: the background with the photo at display size is kept and rebuilt only when the
// photo (its generation) or the client size changes. Each paint copies that layer into an
// off-screen buffer, draws the overlay on it and hands the buffer over in one piece.
class PictureRenderer {
public:
    PictureRenderer();

    // The whole client area, composed; valid until the next call.
    [[nodiscard]] const QImage& Compose(const PhotoDocument& model, const CSettings& settings,
                                        QSize client);
    // Composes and draws the result onto painter at (0, 0).
    void Paint(QPainter& painter, const PhotoDocument& model, const CSettings& settings,
               QSize client);

    // Forgets the background layer (the next paint rebuilds it).
    void Invalidate() { baseValid = false; }

private:
    void RebuildBase(const PhotoDocument& model, QSize client, const QRect& imageRect);
    void DrawOverlay(QPainter& painter, const PhotoDocument& model, const CSettings& settings);
    static void DrawThirds(QPainter& painter, const QRect& frame, uint32_t argb);
    static void DrawOutline(QPainter& painter, const QRect& frame, const QRect& image,
                            uint32_t argb);

    QBrush tileBrush;
    // Canvas and photo at display size, client size, premultiplied ARGB.
    QImage base;
    bool baseValid = false;
    uint64_t baseGeneration = 0;
    QRect baseImageRect;
    // The paint buffer, reused between paints of the same size.
    QImage composed;
};
