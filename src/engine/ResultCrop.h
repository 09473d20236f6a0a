#pragma once

#include <QImage>
#include <QRect>
#include <optional>

class FrameGeometry;
class Photo;

// How a photo becomes a result: the frame's pixels, a white ring when a border is asked, and
// the resolution at which the result prints at the format's size. Shared by the window's
// document and the batch, so that both write the same result for the same frame.
class ResultCrop {
public:
    // The pixels of rect (photo pixels), one photo pixel per result pixel. A rect inside the
    // image shares the image's buffer (copied only when written to); parts outside come out
    // black.
    [[nodiscard]] static QImage cutOut(const QImage& image, const QRect& rect);

    // The photo cut to the frame (photo pixels), with a white ring borderCm wide on the print
    // when borderCm is above 0, stating the print resolution of the format. Nothing without
    // a format, a photo or a frame of at least one pixel, or when memory runs out.
    [[nodiscard]] static std::optional<Photo> make(const Photo& photo, const FrameGeometry& frame,
                                                   double borderCm);

    // Width in result pixels of a borderCm white ring on a frame of rect's size: the format's
    // height goes with the frame side that prints as that height.
    [[nodiscard]] static int borderPixels(const FrameGeometry& frame, const QRect& rect,
                                          double borderCm);
};
