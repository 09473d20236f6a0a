#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "engine/FrameGeometry.h"
#include "naming/ResultIndex.h"

class Settings;
class QImage;
class Photo;
class PhotoPrefetch;
class SaveQueue;
class WorkerThread;

// The photo being cropped, without any window: the photo (a private 24-bit copy with its
// EXIF data), the print format and crop frame, the option flags, the source path and the
// result index, and the operations on them (load, edits, frame moves, crop, white border,
// identity sheet, save). Windows that show it connect to its signals and repaint; it never
// asks the user anything itself, it announces what the user should be told (message).
//
// A large photo opened in a window comes up from a reduced decode first; the full-size
// decode finishes on a worker thread, and everything that needs the pixels waits for it.
// The frame is always laid out on the full size.
class PhotoDocument : public QObject {
    Q_OBJECT

public:
    explicit PhotoDocument(const Settings& settings, QObject* parent = nullptr);
    ~PhotoDocument() override;

    // Results are then written by queue (not owned), in the background; without one,
    // saveResult writes them at once.
    void setSaveQueue(SaveQueue* queue);
    // Photos decoded ahead of time (not owned) that load takes when they are there.
    void setPrefetch(PhotoPrefetch* prefetch) { m_prefetch = prefetch; }

    // Loading. A file that does not decode keeps the previous photo, frame and path; only
    // the result index is taken. Returns whether the photo was replaced.
    bool load(const std::string& path, int32_t resultIndex);
    bool reload();
    // The full-size photo; waits for its decode when it is still under way.
    [[nodiscard]] const Photo* photo() const;
    // What to show: the photo, or its reduced copy while the full decode is under way.
    [[nodiscard]] QImage displayImage() const;
    // True while the full-size decode of the loaded photo is under way.
    [[nodiscard]] bool isLoadingFullSize() const { return m_fullDecode != nullptr; }
    // Waits for the full-size decode when one is under way and takes its photo.
    void finishLoading();
    [[nodiscard]] bool hasPhoto() const { return m_image != nullptr; }
    [[nodiscard]] const std::string& sourcePath() const { return m_source; }
    // Grows by one whenever the photo's pixels or size change (load, edit, crop, border,
    // sheet), so a view can tell that a copy it keeps at display size is stale.
    [[nodiscard]] uint64_t photoGeneration() const { return m_generation; }

    // In-place edits of the pixels; `modified` untouched (the caller decides).
    void rotateLeft();
    void rotateRight();
    void flipHorizontal();
    void flipVertical();
    void toGrayscale();
    void toSepia();

    // Flags. Each change is announced by flagsChanged.
    [[nodiscard]] bool isModified() const { return m_modified; }
    void setModified(bool value);
    [[nodiscard]] bool whiteBorder() const { return m_whiteBorderOn; }
    void setWhiteBorder(bool value);
    [[nodiscard]] bool idSheet() const { return m_frame.isIdPhotoMode(); }
    void setIdSheet(bool value);
    [[nodiscard]] bool thirds() const { return m_thirdsOn; }
    void setThirds(bool value);

    [[nodiscard]] int32_t resultIndex() const { return m_index; }
    void setResultIndex(int32_t value) { m_index = value; }
    // mm: the format's white border, an unsigned 16-bit value.
    void setWhiteBorderSize(uint16_t mm);
    [[nodiscard]] double borderCm() const { return m_border; }

    // Display pixels of the window that shows the photo; the frame is laid out in them.
    void setClientSize(int width, int height);

    // Frame. Moves, zooms and turns keep the frame on the photo and mark the photo modified;
    // d is in display pixels.
    void setFormat(double heightCm, double widthCm, const std::string& label);
    void moveFrameX(int d);
    void moveFrameY(int d);
    // Along x, then along y (a drag step), announced once.
    void moveFrame(int dx, int dy);
    void zoomFrame(int d);
    void rotateFrame();
    [[nodiscard]] QRect imageRect() const { return m_frame.imageRect(); }
    [[nodiscard]] QRect frameRect(bool photoPixels) const { return m_frame.frameRect(photoPixels); }
    [[nodiscard]] QSize frameSize() const { return m_frame.frameSize(); }
    [[nodiscard]] int printQuality() const { return m_frame.printQuality(); }
    // ARGB colour of the frame overlay: the print-quality colour (red, orange, green; red
    // whatever the quality when the quality colours are off), or the dark grey of the tint
    // when the thin outline option is on and outline is not set. Alpha from the opacity
    // setting when opacity is set, else opaque.
    [[nodiscard]] uint32_t frameColor(bool outline, bool opacity) const;
    [[nodiscard]] const FrameGeometry& geometry() const { return m_frame; }

    // Results.
    void cropToFrame();
    void applyWhiteBorder();
    void makeIdSheet();
    // Full path of the result file, empty when no destination folder is set. Asks nothing
    // and changes nothing: without a result index it names the first free "%i" index as the
    // destination holds it now.
    [[nodiscard]] std::string resultPath() const;
    // Takes the first free "%i" index into the result index when the photo has none (a
    // mask without "%i" clears it). Without a destination folder, tells the user so and
    // returns false.
    bool reserveResultIndex();
    // Takes the result index and writes the photo as JPEG at the result path; clears
    // `modified` on success, tells the user and keeps it on failure. With a save queue the
    // photo is queued and `modified` cleared at once; a failure is told when the queue
    // reports it, and sets `modified` again while that photo is still held.
    bool saveResult();

signals:
    // The photo's pixels or size changed (load, edit, crop, border, sheet).
    void photoChanged();
    // The frame moved, turned, changed size or format, or was reset.
    void frameChanged();
    // Thirds, white border, identity sheet or modified changed.
    void flagsChanged();
    void resultSaved(const QString& path);
    // Something the user must be told: warning text and the caption of its box.
    void message(const QString& text, const QString& caption);

private slots:
    // The worker finished a full-size decode: takes it if it is the current photo's. Called
    // by name from the worker (queued), so that only this object's address crosses.
    void onFullDecoded();

private:
    struct FullDecode;

    void replaceImage(std::unique_ptr<Photo> next);
    // The reduction for a first display of these bytes in the current client size (1 for
    // none); size gets the upright full size.
    [[nodiscard]] int firstDisplayScale(const QByteArray& jpeg, QSize& size) const;
    void adoptFullDecode();
    // Hands the full-size decode to the worker, once.
    void startFullDecode();
    void cancelFullDecode();
    void onSaveFinished(uint64_t job, const QString& path, bool ok);
    // Whether a queued result is about to be written at path.
    [[nodiscard]] bool isBeingWritten(const std::string& path) const;
    // Replaces the photo by a result made from it (crop, border, sheet) that prints at dpi.
    void replaceWithResult(QImage pixels, std::optional<PrintDpi> dpi);
    // The frame's rectangle in photo pixels when a format is chosen and a photo is loaded
    // and the frame is not empty; else nothing.
    [[nodiscard]] std::optional<QRect> cropRect() const;
    void updatePhotoSize();
    // Runs an in-place edit of the pixels and announces the new photo; nothing without one.
    void editPhoto(void (Photo::*edit)());
    void setFlag(bool& flag, bool value);
    // The mask with the destination folder, "%t", "%r" and a held "%i" replaced; empty
    // without a destination folder. openIndex: "%i" is left for BuildResultName to fill.
    [[nodiscard]] std::string resultMask(bool& openIndex) const;

    const Settings& m_settings;

    std::unique_ptr<Photo> m_image;
    FrameGeometry m_frame;
    bool m_thirdsOn = false;
    bool m_modified = false;
    bool m_whiteBorderOn = false;
    double m_border = 0.0;
    std::string m_source;
    int32_t m_index = kNoResultIndex;
    uint64_t m_generation = 0;

    SaveQueue* m_saveQueue = nullptr;
    PhotoPrefetch* m_prefetch = nullptr;
    // Queued saves not yet reported: job number to the photo generation that was saved.
    std::map<uint64_t, uint64_t> m_savedJobs;
    // The full-size decode under way while m_image holds the reduced copy; its size.
    std::shared_ptr<FullDecode> m_fullDecode;
    QSize m_fullSize;
    // Last: it goes first, waiting for a decode under way.
    std::unique_ptr<WorkerThread> m_decoder;
};
