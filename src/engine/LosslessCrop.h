#pragma once

#include <QByteArray>
#include <QRect>
#include <string>

// How a cut from the coded blocks ended.
enum class LosslessOutcome {
    Written,      // the result is at the path
    TargetExists, // a file was already at the path; it is left as it is
    NeedsDecode,  // the blocks cannot give this result (a turn the block grid does not allow,
                  // a layout the transform refuses, CMYK or RGB coding, a grid coarser than
                  // 16 pixels): crop through a decode instead
    Failed,       // the bytes are no readable JPEG, or the result could not be written
};

struct LosslessResult {
    LosslessOutcome outcome = LosslessOutcome::Failed;
    // For NeedsDecode and Failed: a short English text saying why.
    std::string reason;
    // The orientation tag's turn was made on the coded blocks.
    bool turned = false;
    // The region cut, upright photo pixels.
    QRect crop;
};

// Crops a JPEG to a print format without decoding and encoding it again: libjpeg-turbo's
// lossless transform with its crop option, so every pixel keeps the source's quality.
class LosslessCrop {
public:
    // Cuts the largest centred frame of a heightCm x widthCm print from the photo as it
    // shows upright (FrameGeometry::centredFrame), its top-left corner moved back to the block
    // grid (at most one block, 15 photo pixels, per side; the size stays the frame's), turning
    // the blocks upright when the EXIF orientation asks for it, and writes it to path with the
    // metadata a saved result carries (orientation 1, nothing of the uncropped photo, profile
    // kept, the resolution at which the frame prints at the format's size). Never replaces a
    // file at path. A turn that mirrors a side cannot move the photo's partial blocks at its
    // right or bottom edge: it is made only when the frame lies clear of them.
    [[nodiscard]] static LosslessResult write(const QByteArray& jpeg, double heightCm,
                                              double widthCm, const std::string& path);
};
