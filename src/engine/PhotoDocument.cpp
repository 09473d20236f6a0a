#include "engine/PhotoDocument.h"

#include <QImage>
#include <QRect>
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <utility>

#include "engine/IdSheetLayout.h"
#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "engine/PhotoPrefetch.h"
#include "engine/ResultCrop.h"
#include "engine/SaveQueue.h"
#include "engine/WorkerThread.h"
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

} // namespace

// The full-size decode of the loaded photo, shared with the worker thread that runs it.
struct PhotoDocument::FullDecode {
    QByteArray jpeg;
    std::mutex mutex; // guards the fields below
    std::condition_variable finished;
    bool done = false;
    bool cancelled = false;
    std::optional<Photo> photo;
    bool posted = false; // user-interface thread only
};

PhotoDocument::PhotoDocument(const Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings), m_decoder(std::make_unique<WorkerThread>()) {}

PhotoDocument::~PhotoDocument() {
    cancelFullDecode();
}

void PhotoDocument::setSaveQueue(SaveQueue* queue) {
    if (m_saveQueue != nullptr) {
        disconnect(m_saveQueue, nullptr, this, nullptr);
    }
    m_saveQueue = queue;
    if (queue != nullptr) {
        connect(queue, &SaveQueue::saveFinished, this, &PhotoDocument::onSaveFinished);
    }
}

const Photo* PhotoDocument::photo() const {
    // Waiting for the full size changes what the photo holds, not what it is.
    const_cast<PhotoDocument*>(this)->finishLoading();
    return m_image.get();
}

QImage PhotoDocument::displayImage() const {
    return m_image ? m_image->image() : QImage();
}

void PhotoDocument::updatePhotoSize() {
    if (m_fullDecode != nullptr) {
        m_frame.setPhotoSize(m_fullSize.width(), m_fullSize.height());
    } else {
        m_frame.setPhotoSize(m_image ? m_image->width() : 0, m_image ? m_image->height() : 0);
    }
    ++m_generation;
}

int PhotoDocument::firstDisplayScale(const QByteArray& jpeg, QSize& size) const {
    const std::optional<QSize> upright = Photo::uprightSize(jpeg);
    if (!upright) {
        return 1;
    }
    size = *upright;
    FrameGeometry shown;
    shown.setClientSize(m_frame.clientWidth(), m_frame.clientHeight());
    shown.setPhotoSize(size.width(), size.height());
    return JpegCodec::scaleDenominator(size, shown.imageRect().size());
}

void PhotoDocument::cancelFullDecode() {
    if (m_fullDecode != nullptr) {
        const std::lock_guard lock(m_fullDecode->mutex);
        m_fullDecode->cancelled = true;
    }
    m_fullDecode.reset();
}

void PhotoDocument::finishLoading() {
    if (m_fullDecode == nullptr) {
        return;
    }
    startFullDecode(); // asked for before load has posted it (from a signal of load)
    {
        std::unique_lock lock(m_fullDecode->mutex);
        m_fullDecode->finished.wait(lock, [this] { return m_fullDecode->done; });
    }
    adoptFullDecode();
}

void PhotoDocument::adoptFullDecode() {
    std::optional<Photo> full;
    {
        const std::lock_guard lock(m_fullDecode->mutex);
        full = std::move(m_fullDecode->photo);
    }
    m_fullDecode.reset();
    // A full decode that failed where the reduced one did not leaves the reduced photo.
    if (full && !full->isNull()) {
        m_image = std::make_unique<Photo>(std::move(*full));
    }
    updatePhotoSize();
}

void PhotoDocument::onFullDecoded() {
    if (m_fullDecode == nullptr) {
        return; // already waited for
    }
    {
        const std::lock_guard lock(m_fullDecode->mutex);
        if (!m_fullDecode->done) {
            return; // a decode of a photo before: this one is still under way
        }
    }
    adoptFullDecode();
    emit photoChanged();
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
    std::optional<Photo> loaded;
    if (m_prefetch != nullptr) {
        loaded = m_prefetch->take(path);
    }
    std::shared_ptr<FullDecode> full;
    QSize fullSize;
    if (!loaded) {
        const std::optional<QByteArray> jpeg = JpegCodec::readFile(path);
        if (jpeg) {
            const int scale = firstDisplayScale(*jpeg, fullSize);
            loaded = Photo::fromJpeg(*jpeg, scale);
            if (scale > 1) {
                full = std::make_shared<FullDecode>();
                full->jpeg = *jpeg;
            }
        }
    }
    if (!loaded || loaded->isNull()) {
        // The previous photo, its path and its frame stay on screen.
        m_index = resultIndex;
        return false;
    }
    cancelFullDecode();
    m_source = path;
    m_frame.reset();
    m_fullDecode = full;
    m_fullSize = fullSize;
    replaceImage(std::make_unique<Photo>(std::move(*loaded)));
    m_frame.autoOrient();
    m_index = resultIndex;
    emit photoChanged();
    emit frameChanged();
    setModified(true);
    // After the first paint, which it would only slow down.
    startFullDecode();
    return true;
}

void PhotoDocument::startFullDecode() {
    if (m_fullDecode == nullptr || m_fullDecode->posted) {
        return;
    }
    m_fullDecode->posted = true;
    const std::shared_ptr<FullDecode> full = m_fullDecode;
    m_decoder->post([this, full] {
        {
            const std::lock_guard lock(full->mutex);
            if (full->cancelled) {
                full->done = true;
                return;
            }
        }
        std::optional<Photo> photo = Photo::fromJpeg(full->jpeg);
        {
            const std::lock_guard lock(full->mutex);
            full->photo = std::move(photo);
            full->done = true;
            if (full->cancelled) {
                full->photo.reset(); // freed here, on the worker
                return;
            }
        }
        full->finished.notify_all();
        QMetaObject::invokeMethod(this, "onFullDecoded", Qt::QueuedConnection);
    });
}

bool PhotoDocument::reload() {
    const std::string path = m_source;
    return load(path, m_index);
}

void PhotoDocument::editPhoto(void (Photo::*edit)()) {
    finishLoading();
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
    finishLoading();
    if (!m_image) {
        return;
    }
    // One photo pixel per result pixel: a plain copy, no resampling. Parts of the frame
    // that stick out of the photo by rounding come out black.
    std::optional<Photo> result = ResultCrop::make(*m_image, m_frame, 0.0);
    if (!result) {
        return; // no frame, or out of memory: the photo stays as it was
    }
    m_frame.reset();
    replaceImage(std::make_unique<Photo>(std::move(*result)));
    emit photoChanged();
    emit frameChanged();
}

void PhotoDocument::applyWhiteBorder() {
    finishLoading();
    if (!m_image) {
        return;
    }
    std::optional<Photo> result = ResultCrop::make(*m_image, m_frame, m_border);
    if (!result) {
        return;
    }
    replaceImage(std::make_unique<Photo>(std::move(*result)));
    emit photoChanged();
}

void PhotoDocument::makeIdSheet() {
    finishLoading();
    const std::optional<QRect> rect = cropRect();
    if (!rect) {
        return;
    }
    const std::optional<IdSheetLayout> layout = IdSheetLayout::compute(
        rect->width(), rect->height(), m_frame.heightCm(), m_frame.widthCm(), m_frame.ratio());
    if (!layout || layout->sheetWidth() <= 0 || layout->sheetHeight() <= 0) {
        return;
    }
    QImage sheet = layout->compose(ResultCrop::cutOut(m_image->image(), *rect),
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
    const std::string mask =
        replaceFormatTags(destination + m_settings.resultName(), m_frame.heightCm(),
                          m_frame.widthCm(), m_frame.formatLabel());
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
    return buildResultName(m_source, mask, exif, nullptr,
                           [this](const std::string& path) { return isBeingWritten(path); });
}

bool PhotoDocument::isBeingWritten(const std::string& path) const {
    return m_saveQueue != nullptr && m_saveQueue->isPending(path);
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
        (void)buildResultName(m_source, mask, exif, &m_index,
                              [this](const std::string& path) { return isBeingWritten(path); });
    }
    return true;
}

bool PhotoDocument::saveResult() {
    if (!reserveResultIndex() || !m_image) {
        return false;
    }
    finishLoading();
    const std::string path = resultPath();
    if (m_saveQueue != nullptr) {
        m_savedJobs.emplace(m_saveQueue->enqueue(*m_image, path, m_settings.jpegQuality()),
                            m_generation);
        setModified(false);
        return true;
    }
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

void PhotoDocument::onSaveFinished(uint64_t job, const QString& path, bool ok) {
    const auto it = m_savedJobs.find(job);
    if (it == m_savedJobs.end()) {
        return; // another document's
    }
    const uint64_t generation = it->second;
    m_savedJobs.erase(it);
    if (!ok) {
        emit message(QString::fromUtf8(kSaveFailedText), QString::fromUtf8(kSaveFailedCaption));
        // The next Enter tries again, as long as the photo that failed is still there.
        if (generation == m_generation) {
            setModified(true);
        }
        return;
    }
    emit resultSaved(path);
}
