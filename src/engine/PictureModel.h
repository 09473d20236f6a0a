#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/FrameGeometry.h"
#include "naming/ResultIndex.h"

class CSettings;
class QImage;
class Photo;
class PictureHost;

// Everything the photo display window owns, without the window: the photo (a private
// 24-bit copy with its EXIF data), the print format and crop frame, the option flags, the
// source path and the result index, and the operations on them (load, edits, frame moves,
// crop, white border, identity sheet, save). The window's client size, redraws and
// message boxes go through the PictureHost.
class PictureModel {
public:
    PictureModel(const CSettings& settings, PictureHost& host);
    virtual ~PictureModel();
    PictureModel(const PictureModel&) = delete;
    PictureModel& operator=(const PictureModel&) = delete;

    // Loading. A file that does not decode keeps the previous photo, frame and path; only
    // the result index is taken. Returns whether the photo was replaced.
    bool LoadPicture(const std::string& path, int32_t resultIndex);
    bool ReloadPicture();
    [[nodiscard]] const Photo* GetImage() const { return image.get(); }
    [[nodiscard]] bool HasImage() const { return image != nullptr; }
    [[nodiscard]] const std::string& GetSourcePath() const { return sourcePath; }
    // Grows by one whenever the photo's pixels or size change (load, edit, crop, border,
    // sheet), so a view can tell that a copy it keeps at display size is stale.
    [[nodiscard]] uint64_t PhotoGeneration() const { return photoGeneration; }

    // In-place edits of the pixels; no redraw, `modified` untouched (the caller does both).
    void RotateLeft();
    void RotateRight();
    void FlipHorizontal();
    void FlipVertical();
    void ToGrayscale();
    void ToSepia();

    [[nodiscard]] bool IsModified() const { return modified; }
    void SetModified(bool value) { modified = value; }
    [[nodiscard]] int32_t GetResultIndex() const { return resultIndex; }
    void SetResultIndex(int32_t value) { resultIndex = value; }
    [[nodiscard]] bool IsWhiteBorderEnabled() const { return whiteBorder; }
    void EnableWhiteBorder(bool value) { whiteBorder = value; }
    // mm: the format's white border, an unsigned 16-bit value. Redraws when the border is on.
    void SetWhiteBorderSize(uint16_t mm);
    [[nodiscard]] double GetBorderCm() const { return borderCm; }
    [[nodiscard]] bool IsIdPhotoMode() const { return frame.IsIdPhotoMode(); }
    void SetIdPhotoMode(bool value) { frame.SetIdPhotoMode(value); }
    [[nodiscard]] bool IsThirdsShown() const { return thirds; }
    void ShowThirds(bool value) { thirds = value; }

    // Frame. Moves, zooms and turns keep the frame on the photo and mark the photo modified;
    // d is in display pixels.
    void SetFormat(double heightCm, double widthCm, const std::string& label);
    void MoveFrameX(int d, bool redraw);
    void MoveFrameY(int d, bool redraw);
    void ZoomFrame(int d, bool redraw);
    void ClampFrame(bool redraw);
    void RotateFrame();
    void AutoOrient();
    [[nodiscard]] QRect GetImageRect() const;
    [[nodiscard]] QRect GetFrameRect(bool photoPixels) const;
    [[nodiscard]] QSize GetFrameSize() const;
    [[nodiscard]] int GetPrintQuality() const;
    // ARGB colour of the frame overlay: the print-quality colour (red, orange, green; red
    // whatever the quality when the quality colours are off), or the dark grey of the tint
    // when the thin outline option is on and outline is not set. Alpha from the opacity
    // setting when opacity is set, else opaque.
    [[nodiscard]] uint32_t GetFrameColor(bool outline, bool opacity) const;
    // The frame state with the host's current client size applied.
    [[nodiscard]] const FrameGeometry& Geometry() const;

    // Results.
    void CropToFrame();
    void ApplyWhiteBorder();
    void MakeIdSheet();
    // Writes the photo as JPEG at the result path; clears `modified` on success, warns and
    // keeps it on failure.
    bool SaveResult();
    // Full path of the result file; empty (after warning the user) when no destination
    // folder is set. May take a free "%i" index into the result index.
    std::string GetResultPath();

    void Redraw();

private:
    void SyncClientSize() const;
    void ReplaceImage(std::unique_ptr<Photo> next);
    // Replaces the photo by a result made from it (crop, border, sheet) that prints at dpi.
    void ReplaceWithResult(QImage pixels, std::optional<PrintDpi> dpi);
    // The frame's rectangle in photo pixels when a format is chosen and a photo is loaded
    // and the frame is not empty; else nothing.
    [[nodiscard]] std::optional<QRect> CropRect() const;
    void PhotoChanged();

    const CSettings& settings;
    PictureHost& host;

    std::unique_ptr<Photo> image;
    mutable FrameGeometry frame;
    bool thirds = false;
    bool modified = false;
    bool whiteBorder = false;
    double borderCm = 0.0;
    std::string sourcePath;
    int32_t resultIndex = NO_RESULT_INDEX;
    uint64_t photoGeneration = 0;
};
