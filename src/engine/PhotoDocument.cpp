#include "engine/PhotoDocument.h"

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "engine/IdSheetLayout.h"
#include "engine/Photo.h"
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
QImage copyRect(const QImage& image, const QRect& rect) {
    if (rect == image.rect()) {
        return image;
    }
    return image.copy(rect);
}

// Paints the ring between the image's edges and the rectangle b pixels inside them opaque
// white. A ring wider than half a side whitens the whole image.
void paintWhiteRing(QImage& image, int b) {
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

PhotoDocument::PhotoDocument(const Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings) {}

PhotoDocument::~PhotoDocument() = default;

void PhotoDocument::updatePhotoSize() {
    m_frame.setPhotoSize(m_image ? m_image->width() : 0, m_image ? m_image->height() : 0);
    ++m_generation;
}

void PhotoDocument::replaceImage(std::unique_ptr<Photo> next) {
    m_image = std::move(next);
    updatePhotoSize();
}

void PhotoDocument::replaceWithResult(QImage pixels, std::optional<PrintDpi> dpi) {
    // A result states the size it prints at; without a format the photo's resolution stays.
    const PrintDpi resolution = dpi.value_or(PrintDpi{m_image->dpiX(), m_image->dpiY()});
    replaceImage(
        std::make_unique<Photo>(m_image->withImage(std::move(pixels), resolution.x, resolution.y)));
}

void PhotoDocument::setFlag(bool& flag, bool value) {
    if (flag != value) {
        flag = value;
        emit flagsChanged();
    }
}

void PhotoDocument::setModified(bool value) {
    setFlag(m_modified, value);
}

void PhotoDocument::setWhiteBorder(bool value) {
    setFlag(m_whiteBorderOn, value);
}

void PhotoDocument::setThirds(bool value) {
    setFlag(m_thirdsOn, value);
}

void PhotoDocument::setIdSheet(bool value) {
    if (m_frame.isIdPhotoMode() != value) {
        m_frame.setIdPhotoMode(value);
        emit flagsChanged();
    }
}

void PhotoDocument::setClientSize(int width, int height) {
    m_frame.setClientSize(width, height);
}

bool PhotoDocument::load(const std::string& path, int32_t resultIndex) {
    std::optional<Photo> loaded = Photo::load(path);
    if (!loaded || loaded->isNull()) {
        // The previous photo, its path and its frame stay on screen.
        m_index = resultIndex;
        return false;
    }
    m_source = path;
    m_frame.reset();
    replaceImage(std::make_unique<Photo>(std::move(*loaded)));
    m_frame.autoOrient();
    m_index = resultIndex;
    emit photoChanged();
    emit frameChanged();
    setModified(true);
    return true;
}

bool PhotoDocument::reload() {
    const std::string path = m_source;
    return load(path, m_index);
}

void PhotoDocument::editPhoto(void (Photo::*edit)()) {
    if (m_image) {
        (m_image.get()->*edit)();
        updatePhotoSize();
        emit photoChanged();
    }
}

void PhotoDocument::rotateLeft() {
    editPhoto(&Photo::rotateLeft);
}

void PhotoDocument::rotateRight() {
    editPhoto(&Photo::rotateRight);
}

void PhotoDocument::flipHorizontal() {
    editPhoto(&Photo::flipHorizontal);
}

void PhotoDocument::flipVertical() {
    editPhoto(&Photo::flipVertical);
}

void PhotoDocument::toGrayscale() {
    editPhoto(&Photo::toGrayscale);
}

void PhotoDocument::toSepia() {
    editPhoto(&Photo::toSepia);
}

void PhotoDocument::setWhiteBorderSize(uint16_t mm) {
    m_border = mm * 0.1;
    if (m_whiteBorderOn) {
        emit flagsChanged();
    }
}

void PhotoDocument::setFormat(double heightCm, double widthCm, const std::string& label) {
    m_frame.setFormat(heightCm, widthCm, label);
    emit frameChanged();
}

void PhotoDocument::moveFrameX(int d) {
    m_frame.moveFrameX(d);
    emit frameChanged();
    setModified(true);
}

void PhotoDocument::moveFrameY(int d) {
    m_frame.moveFrameY(d);
    emit frameChanged();
    setModified(true);
}

void PhotoDocument::moveFrame(int dx, int dy) {
    m_frame.moveFrameX(dx);
    m_frame.moveFrameY(dy);
    emit frameChanged();
    setModified(true);
}

void PhotoDocument::zoomFrame(int d) {
    m_frame.zoomFrame(d);
    emit frameChanged();
    setModified(true);
}

void PhotoDocument::rotateFrame() {
    m_frame.rotateFrame();
    emit frameChanged();
    setModified(true);
}

uint32_t PhotoDocument::frameColor(bool outline, bool opacity) const {
    // Unsigned arithmetic keeping the low 8 bits, so an out-of-range setting still gives
    // some alpha instead of overflowing.
    const uint32_t alpha =
        opacity ? (static_cast<uint32_t>(m_settings.opacity()) * 255u / 100u) & 0xFFu : 0xFFu;
    uint32_t rgb = kQualityRed;
    if (m_settings.useSmallRBorder() != 0 && !outline) {
        rgb = kTintGrey;
    } else if (m_settings.useRecadColor() != 0) {
        const int quality = printQuality();
        if (quality >= kOrangeFrom) {
            rgb = quality <= kGreenAbove ? kQualityOrange : kQualityGreen;
        }
    }
    return (alpha << 24) | rgb;
}

std::optional<QRect> PhotoDocument::cropRect() const {
    if (!m_image || m_frame.ratio() == 0.0) {
        return std::nullopt;
    }
    const QRect rect = frameRect(true);
    if (rect.width() <= 0 || rect.height() <= 0) {
        return std::nullopt;
    }
    return rect;
}

void PhotoDocument::cropToFrame() {
    const std::optional<QRect> rect = cropRect();
    if (!rect) {
        return;
    }
    // One photo pixel per result pixel: a plain copy, no resampling. Parts of the frame
    // that stick out of the photo by rounding come out black.
    QImage cropped = copyRect(m_image->image(), *rect);
    if (cropped.isNull()) {
        return; // out of memory: the photo stays as it was
    }
    m_frame.reset();
    replaceWithResult(std::move(cropped), m_frame.printResolution(rect->width(), rect->height()));
    emit photoChanged();
    emit frameChanged();
}

void PhotoDocument::applyWhiteBorder() {
    const std::optional<QRect> rect = cropRect();
    if (!rect) {
        return;
    }
    QImage bordered = copyRect(m_image->image(), *rect);
    if (bordered.isNull()) {
        return;
    }
    // The format's height goes with the frame side that prints as that height.
    const int side = m_frame.isFrameRotated() ? rect->width() : rect->height();
    const int b = truncToInt(m_border / m_frame.heightCm() * side);
    paintWhiteRing(bordered, b);
    replaceWithResult(std::move(bordered), m_frame.printResolution(rect->width(), rect->height()));
    emit photoChanged();
}

void PhotoDocument::makeIdSheet() {
    const std::optional<QRect> rect = cropRect();
    if (!rect) {
        return;
    }
    const std::optional<IdSheetLayout> layout = IdSheetLayout::compute(
        rect->width(), rect->height(), m_frame.heightCm(), m_frame.widthCm(), m_frame.ratio());
    if (!layout || layout->sheetWidth() <= 0 || layout->sheetHeight() <= 0) {
        return;
    }
    QImage sheet = layout->compose(copyRect(m_image->image(), *rect),
                                   QImage(QString::fromLatin1(kBannerResource)), kSheetBackground);
    if (sheet.isNull()) {
        return;
    }
    // The sheet is upright: its longer side prints as the format's longer side.
    const double shortCm = std::min(m_frame.heightCm(), m_frame.widthCm());
    const double longCm = std::max(m_frame.heightCm(), m_frame.widthCm());
    const int sheetWidth = sheet.width();
    const int sheetHeight = sheet.height();
    m_frame.reset();
    m_frame.setIdPhotoMode(false);
    replaceWithResult(std::move(sheet),
                      FrameGeometry::printResolution(sheetWidth, sheetHeight, shortCm, longCm));
    m_frame.autoOrient();
    emit photoChanged();
    emit frameChanged();
    emit flagsChanged();
}

std::string PhotoDocument::resultMask(bool& openIndex) const {
    openIndex = false;
    const std::string destination = m_settings.destinationFolder();
    if (destination.empty()) {
        return {};
    }
    if (m_settings.autoRename() == 0) {
        return destination + "%f";
    }
    std::string mask = destination + m_settings.resultName();
    char size[64];
    std::snprintf(size, sizeof size, "%.0fx%.0f", m_frame.heightCm(), m_frame.widthCm());
    mask = replaceAll(mask, "%t", size);
    mask = replaceAll(mask, "%r", m_frame.formatLabel());
    if (m_index != kNoResultIndex && mask.find("%i") != std::string::npos) {
        char held[16];
        std::snprintf(held, sizeof held, "%.3d", m_index);
        return replaceAll(mask, "%i", held);
    }
    openIndex = true;
    return mask;
}

std::string PhotoDocument::resultPath() const {
    bool openIndex = false;
    const std::string mask = resultMask(openIndex);
    if (mask.empty()) {
        return {};
    }
    // The held photo's EXIF block gives the shot date; without a photo the file is read.
    const ExifBlock* exif = m_image ? &m_image->exif() : nullptr;
    return buildResultName(m_source, mask, exif, nullptr);
}

bool PhotoDocument::reserveResultIndex() {
    bool openIndex = false;
    const std::string mask = resultMask(openIndex);
    if (mask.empty()) {
        emit message(QString::fromUtf8(kNoDestinationText),
                     QString::fromUtf8(kNoDestinationCaption));
        return false;
    }
    if (openIndex) {
        // The first free index is kept for the later names and the save.
        const ExifBlock* exif = m_image ? &m_image->exif() : nullptr;
        (void)buildResultName(m_source, mask, exif, &m_index);
    }
    return true;
}

bool PhotoDocument::saveResult() {
    if (!reserveResultIndex() || !m_image) {
        return false;
    }
    const std::string path = resultPath();
    // Written to a temporary name in the destination folder, then renamed: a failure
    // leaves an earlier result at that path untouched.
    if (!m_image->saveJpeg(path, m_settings.jpegQuality())) {
        emit message(QString::fromUtf8(kSaveFailedText), QString::fromUtf8(kSaveFailedCaption));
        return false;
    }
    setModified(false);
    emit resultSaved(QString::fromStdString(path));
    return true;
}
