#include "engine/PictureModel.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "engine/IdSheetLayout.h"
#include "engine/Photo.h"
#include "engine/PictureHost.h"
#include "engine/PixelMath.h"
#include "naming/ResultName.h"
#include "settings/Settings.h"

namespace {

constexpr char kNoDestinationText[] = "Veuillez définir un répertoire de destination...";
constexpr char kNoDestinationCaption[] = "Attention!!!";
constexpr char kSaveFailedText[] = "Impossible de sauvegarder l'image";
constexpr char kSaveFailedCaption[] = "Attention !!!";

// Overlay colours, RGB without alpha.
constexpr uint32_t kTintGrey = 0x141414;
constexpr uint32_t kQualityRed = 0xFF0000;
constexpr uint32_t kQualityOrange = 0xFA9600;
constexpr uint32_t kQualityGreen = 0x326432;
// Print-quality scores where the colour changes.
constexpr int kOrangeFrom = 30;
constexpr int kGreenAbove = 60;

// Background of an identity sheet, opaque.
constexpr QRgb kSheetBackground = 0xFFEEF2CC;
constexpr char kBannerResource[] = ":/res/id-banner.png";

// The pixels of rect, one photo pixel per result pixel. A frame covering the whole photo
// (the usual crop when the photo already has the format's proportions) shares the pixels
// instead of copying tens of megabytes; they are copied only if written to later.
QImage CopyRect(const QImage& image, const QRect& rect) {
    if (rect == image.rect()) {
        return image;
    }
    return image.copy(rect);
}

// Paints the ring between the image's edges and the rectangle b pixels inside them opaque
// white. A ring wider than half a side whitens the whole image.
void PaintWhiteRing(QImage& image, int b) {
    if (b <= 0) {
        return;
    }
    const int w = image.width();
    const int h = image.height();
    const int bx = std::min(b, w);
    const size_t rowBytes = static_cast<size_t>(w) * 3;
    const size_t sideBytes = static_cast<size_t>(bx) * 3;
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        if (y < b || y >= h - b) {
            std::memset(row, 0xFF, rowBytes);
        } else {
            std::memset(row, 0xFF, sideBytes);
            std::memset(row + rowBytes - sideBytes, 0xFF, sideBytes);
        }
    }
}

} // namespace

PictureModel::PictureModel(const CSettings& settings, PictureHost& host)
    : settings(settings), host(host) {}

PictureModel::~PictureModel() = default;

void PictureModel::SyncClientSize() const {
    frame.SetClientSize(host.ClientWidth(), host.ClientHeight());
}

void PictureModel::PhotoChanged() {
    frame.SetPhotoSize(image ? image->Width() : 0, image ? image->Height() : 0);
    ++photoGeneration;
}

void PictureModel::ReplaceImage(std::unique_ptr<Photo> next) {
    image = std::move(next);
    PhotoChanged();
}

void PictureModel::ReplaceWithResult(QImage pixels, std::optional<PrintDpi> dpi) {
    // A result states the size it prints at; without a format the photo's resolution stays.
    const PrintDpi resolution = dpi.value_or(PrintDpi{image->DpiX(), image->DpiY()});
    ReplaceImage(
        std::make_unique<Photo>(image->WithImage(std::move(pixels), resolution.x, resolution.y)));
}

bool PictureModel::LoadPicture(const std::string& path, int32_t index) {
    std::optional<Photo> loaded = Photo::Load(path);
    if (!loaded || loaded->IsNull()) {
        // The previous photo, its path and its frame stay on screen.
        resultIndex = index;
        return false;
    }
    ReplaceImage(std::make_unique<Photo>(std::move(*loaded)));
    sourcePath = path;
    modified = true;
    frame.Reset();
    SyncClientSize();
    frame.AutoOrient();
    Redraw();
    resultIndex = index;
    return true;
}

bool PictureModel::ReloadPicture() {
    const std::string path = sourcePath;
    return LoadPicture(path, resultIndex);
}

void PictureModel::RotateLeft() {
    if (image) {
        image->RotateLeft();
        PhotoChanged();
    }
}

void PictureModel::RotateRight() {
    if (image) {
        image->RotateRight();
        PhotoChanged();
    }
}

void PictureModel::FlipHorizontal() {
    if (image) {
        image->FlipHorizontal();
        PhotoChanged();
    }
}

void PictureModel::FlipVertical() {
    if (image) {
        image->FlipVertical();
        PhotoChanged();
    }
}

void PictureModel::ToGrayscale() {
    if (image) {
        image->ToGrayscale();
        PhotoChanged();
    }
}

void PictureModel::ToSepia() {
    if (image) {
        image->ToSepia();
        PhotoChanged();
    }
}

void PictureModel::SetWhiteBorderSize(uint16_t mm) {
    borderCm = mm * 0.1;
    if (whiteBorder) {
        Redraw();
    }
}

void PictureModel::SetFormat(double heightCm, double widthCm, const std::string& label) {
    SyncClientSize();
    frame.SetFormat(heightCm, widthCm, label);
    Redraw();
}

void PictureModel::MoveFrameX(int d, bool redraw) {
    SyncClientSize();
    frame.MoveFrameX(d);
    if (redraw) {
        Redraw();
    }
    modified = true;
}

void PictureModel::MoveFrameY(int d, bool redraw) {
    SyncClientSize();
    frame.MoveFrameY(d);
    if (redraw) {
        Redraw();
    }
    modified = true;
}

void PictureModel::ZoomFrame(int d, bool redraw) {
    SyncClientSize();
    frame.ZoomFrame(d);
    if (redraw) {
        Redraw();
    }
    modified = true;
}

void PictureModel::ClampFrame(bool redraw) {
    SyncClientSize();
    frame.ClampFrame();
    if (redraw) {
        Redraw();
    }
    modified = true;
}

void PictureModel::RotateFrame() {
    SyncClientSize();
    frame.RotateFrame();
    Redraw();
    modified = true;
}

void PictureModel::AutoOrient() {
    frame.AutoOrient();
}

QRect PictureModel::GetImageRect() const {
    return Geometry().GetImageRect();
}

QRect PictureModel::GetFrameRect(bool photoPixels) const {
    return Geometry().GetFrameRect(photoPixels);
}

QSize PictureModel::GetFrameSize() const {
    return Geometry().GetFrameSize();
}

int PictureModel::GetPrintQuality() const {
    return Geometry().GetPrintQuality();
}

const FrameGeometry& PictureModel::Geometry() const {
    SyncClientSize();
    return frame;
}

uint32_t PictureModel::GetFrameColor(bool outline, bool opacity) const {
    // Unsigned arithmetic keeping the low 8 bits, so an out-of-range setting still gives
    // some alpha instead of overflowing.
    const uint32_t alpha =
        opacity ? (static_cast<uint32_t>(settings.GetOpacity()) * 255u / 100u) & 0xFFu : 0xFFu;
    uint32_t rgb = kQualityRed;
    if (settings.GetUseSmallRBorder() != 0 && !outline) {
        rgb = kTintGrey;
    } else if (settings.GetUseRecadColor() != 0) {
        const int quality = GetPrintQuality();
        if (quality >= kOrangeFrom) {
            rgb = quality <= kGreenAbove ? kQualityOrange : kQualityGreen;
        }
    }
    return (alpha << 24) | rgb;
}

std::optional<QRect> PictureModel::CropRect() const {
    if (!image || frame.Ratio() == 0.0) {
        return std::nullopt;
    }
    const QRect rect = GetFrameRect(true);
    if (rect.width() <= 0 || rect.height() <= 0) {
        return std::nullopt;
    }
    return rect;
}

void PictureModel::CropToFrame() {
    const std::optional<QRect> rect = CropRect();
    if (!rect) {
        return;
    }
    // One photo pixel per result pixel: a plain copy, no resampling. Parts of the frame
    // that stick out of the photo by rounding come out black.
    QImage cropped = CopyRect(image->Image(), *rect);
    if (cropped.isNull()) {
        return; // out of memory: the photo stays as it was
    }
    ReplaceWithResult(std::move(cropped), frame.PrintResolution(rect->width(), rect->height()));
    frame.Reset();
    Redraw();
}

void PictureModel::ApplyWhiteBorder() {
    const std::optional<QRect> rect = CropRect();
    if (!rect) {
        return;
    }
    QImage bordered = CopyRect(image->Image(), *rect);
    if (bordered.isNull()) {
        return;
    }
    // The format's height goes with the frame side that prints as that height.
    const int side = frame.IsFrameRotated() ? rect->width() : rect->height();
    const int b = TruncToInt(borderCm / frame.HeightCm() * side);
    PaintWhiteRing(bordered, b);
    ReplaceWithResult(std::move(bordered), frame.PrintResolution(rect->width(), rect->height()));
    Redraw();
}

void PictureModel::MakeIdSheet() {
    const std::optional<QRect> rect = CropRect();
    if (!rect) {
        return;
    }
    const std::optional<IdSheetLayout> layout = IdSheetLayout::Compute(
        rect->width(), rect->height(), frame.HeightCm(), frame.WidthCm(), frame.Ratio());
    if (!layout || layout->SheetWidth() <= 0 || layout->SheetHeight() <= 0) {
        return;
    }
    // Composed in 32-bit so QPainter works at full speed; every copy is drawn unscaled, so
    // the conversion back to 24-bit gives the face's pixels unchanged.
    QImage sheet(layout->SheetWidth(), layout->SheetHeight(), QImage::Format_RGB32);
    if (sheet.isNull()) {
        return;
    }
    sheet.fill(QColor::fromRgba(kSheetBackground));
    {
        QPainter painter(&sheet);
        const QRect banner = layout->BannerRect();
        if (banner.width() > 0 && banner.height() > 0) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(banner, QImage(QString::fromLatin1(kBannerResource)));
        }
        const QImage face = CopyRect(image->Image(), *rect);
        for (const QRect& copy : layout->CopyRects()) {
            painter.drawImage(copy.topLeft(), face);
        }
    }
    // The sheet is upright: its longer side prints as the format's longer side.
    const double shortCm = std::min(frame.HeightCm(), frame.WidthCm());
    const double longCm = std::max(frame.HeightCm(), frame.WidthCm());
    const int sheetWidth = sheet.width();
    const int sheetHeight = sheet.height();
    ReplaceWithResult(std::move(sheet),
                      FrameGeometry::PrintResolution(sheetWidth, sheetHeight, shortCm, longCm));
    frame.Reset();
    frame.SetIdPhotoMode(false);
    frame.AutoOrient();
    Redraw();
}

std::string PictureModel::GetResultPath() {
    const std::string destination = settings.GetDestinationFolder();
    if (destination.empty()) {
        host.Warn(kNoDestinationText, kNoDestinationCaption);
        return {};
    }
    // The held photo's EXIF block gives the shot date; without a photo the file is read.
    const ExifBlock* exif = image ? &image->Exif() : nullptr;
    if (settings.GetAutoRename() == 0) {
        return BuildResultName(sourcePath, destination + "%f", exif, nullptr);
    }

    std::string mask = destination + settings.GetResultName();
    char size[64];
    std::snprintf(size, sizeof size, "%.0fx%.0f", frame.HeightCm(), frame.WidthCm());
    mask = ReplaceAll(mask, "%t", size);
    mask = ReplaceAll(mask, "%r", frame.FormatLabel());
    if (resultIndex != NO_RESULT_INDEX && mask.find("%i") != std::string::npos) {
        char index[16];
        std::snprintf(index, sizeof index, "%.3d", resultIndex);
        mask = ReplaceAll(mask, "%i", index);
        return BuildResultName(sourcePath, mask, exif, nullptr);
    }
    // The first free index is taken here and kept for the later calls and the save.
    return BuildResultName(sourcePath, mask, exif, &resultIndex);
}

bool PictureModel::SaveResult() {
    const std::string path = GetResultPath();
    if (path.empty() || !image) {
        return false;
    }
    // Written to a temporary name in the destination folder, then renamed: a failure
    // leaves an earlier result at that path untouched.
    if (!image->SaveJpeg(path, settings.GetJpegQuality())) {
        host.Warn(kSaveFailedText, kSaveFailedCaption);
        return false;
    }
    modified = false;
    return true;
}

void PictureModel::Redraw() {
    host.Redraw();
}
