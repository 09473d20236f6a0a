#pragma once

#include <QBrush>
#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>

class Settings;
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
    [[nodiscard]] const QImage& compose(const PhotoDocument& model, const Settings& settings,
                                        QSize client);
    // Composes and draws the result onto painter at (0, 0).
    void paint(QPainter& painter, const PhotoDocument& model, const Settings& settings,
               QSize client);

    // Forgets the background layer (the next paint rebuilds it).
    void invalidate() { m_baseValid = false; }

private:
    void rebuildBase(const PhotoDocument& model, QSize client, const QRect& imageRect);
    void drawOverlay(QPainter& painter, const PhotoDocument& model, const Settings& settings);
    static void drawThirds(QPainter& painter, const QRect& frame, uint32_t argb);
    static void drawOutline(QPainter& painter, const QRect& frame, const QRect& image,
                            uint32_t argb);

    QBrush m_tileBrush;
    // Canvas and photo at display size, client size, premultiplied ARGB.
    QImage m_base;
    bool m_baseValid = false;
    uint64_t m_baseGeneration = 0;
    QRect m_baseImageRect;
    // The paint buffer, reused between paints of the same size.
    QImage m_composed;
};
