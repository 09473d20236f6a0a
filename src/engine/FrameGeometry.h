#pragma once

#include <QRect>
#include <QSize>
#include <optional>
#include <string>

// State and arithmetic of the crop frame laid over the displayed photo. The frame is never
// stored as a rectangle: only the print format, its orientation and two offsets and an
// inset in display pixels are kept, and the rectangle is worked out on demand, either in
// window client coordinates (for drawing) or in photo pixels (for cropping).
//
// The owner (the display window) feeds in the photo's pixel size and its client size, and
// wraps the operations: after MoveFrameX, MoveFrameY, ZoomFrame, ClampFrame and RotateFrame
// the photo counts as modified (even when nothing moved) and a redraw is due when the caller
// asked for one; after SetFormat a redraw is due. This class itself draws nothing.
// Horizontal and vertical resolution of a print, dots per inch.
struct PrintDpi {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const PrintDpi&, const PrintDpi&) = default;
};

class FrameGeometry {
public:
    // Height / width of a 35 x 45 mm identity photo.
    static constexpr double kIdPhotoRatio = 9.0 / 7.0;

    // Inputs from outside. A 0 x 0 photo means that no photo is loaded.
    void setPhotoSize(int width, int height);
    void setClientSize(int width, int height);
    [[nodiscard]] bool hasPhoto() const { return m_photoWidth > 0 && m_photoHeight > 0; }
    [[nodiscard]] int photoWidth() const { return m_photoWidth; }
    [[nodiscard]] int photoHeight() const { return m_photoHeight; }
    [[nodiscard]] int clientWidth() const { return m_clientWidth; }
    [[nodiscard]] int clientHeight() const { return m_clientHeight; }

    // Print format: height and width in cm, label shown to the user ("15x10"). Orients the
    // frame to the photo when one is loaded; offsets and inset are kept.
    void setFormat(double height, double width, const std::string& label);
    [[nodiscard]] double ratio() const { return m_ratio; }
    [[nodiscard]] double heightCm() const { return m_heightCm; }
    [[nodiscard]] double widthCm() const { return m_widthCm; }
    [[nodiscard]] const std::string& formatLabel() const { return m_formatLabel; }

    [[nodiscard]] bool isFrameRotated() const { return m_frameRotated; }
    [[nodiscard]] bool isIdPhotoMode() const { return m_idPhotoMode; }
    void setIdPhotoMode(bool on) { m_idPhotoMode = on; }

    // Offsets of the frame's centre and inset of its shorter side, display pixels.
    [[nodiscard]] int offsetX() const { return m_offsetX; }
    [[nodiscard]] int offsetY() const { return m_offsetY; }
    [[nodiscard]] int shrink() const { return m_shrink; }
    // Back to the largest centred frame (offsets and inset 0); orientation is kept.
    void reset();

    // Height / width of the frame as laid out (identity photo, turned or plain format).
    [[nodiscard]] double effectiveRatio() const;
    // The displayed photo inside the client area (5 px margin, never enlarged, centred).
    // An empty rectangle without a photo.
    [[nodiscard]] QRect imageRect() const;
    // The frame in client coordinates, or in photo pixels when photoPixels is set; an empty
    // rectangle without a photo.
    [[nodiscard]] QRect frameRect(bool photoPixels) const;
    // Width and height of the frame in photo pixels.
    [[nodiscard]] QSize frameSize() const;
    // 0..100 from the frame's pixels per cm along each side (60 or fewer: 0, 100 or more: 100).
    [[nodiscard]] int printQuality() const;

    // Resolution, in whole dots per inch, of a result of width x height photo pixels that
    // prints at the format's size: the format's height lies along the frame's height
    // (along its width when the frame is turned). Nothing without a format.
    [[nodiscard]] std::optional<PrintDpi> printResolution(int width, int height) const;
    // The same for a print of widthCm x heightCm.
    [[nodiscard]] static std::optional<PrintDpi> printResolution(int width, int height,
                                                                 double widthCm, double heightCm);

    // The largest centred frame of a heightCm x widthCm print on an upright photo of photo
    // pixels, turned to the photo's orientation as autoOrient turns it; photo pixels. Empty
    // for an empty photo or format.
    [[nodiscard]] static QRect centredFrame(QSize photo, double heightCm, double widthCm);
    // The geometry behind centredFrame: a window that shows the photo at full size, so that
    // display pixels are photo pixels, with the format set and the frame auto-oriented. Has
    // no photo for an empty photo and no format for an empty format.
    [[nodiscard]] static FrameGeometry centred(QSize photo, double heightCm, double widthCm);

    // Turns the frame to the photo's orientation (landscape photo with an upright format, or
    // the reverse, gives a turned frame; square photo or square format, an unturned one).
    void autoOrient();
    // Moves the frame by d display pixels, then keeps it on the photo.
    void moveFrameX(int d);
    void moveFrameY(int d);
    // Makes the frame smaller by d display pixels per side of its shorter side (negative d
    // enlarges it, up to inset 0); refused when the frame would lose all its height or width.
    void zoomFrame(int d);
    // Pushes the frame back inside the displayed photo by adjusting the offsets.
    void clampFrame();
    // Turns the frame a quarter, keeping offsets and inset, then keeps it on the photo.
    void rotateFrame();

private:
    int m_photoWidth = 0;
    int m_photoHeight = 0;
    int m_clientWidth = 0;
    int m_clientHeight = 0;

    double m_ratio = 0.0; // heightCm / widthCm; 0 when no format is set
    double m_heightCm = 0.0;
    double m_widthCm = 0.0;
    std::string m_formatLabel;
    bool m_frameRotated = false;
    bool m_idPhotoMode = false;
    int m_offsetX = 0;
    int m_offsetY = 0;
    int m_shrink = 0;
};
