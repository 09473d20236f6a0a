#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "naming/BackgroundScan.h"
#include "panel/PhotoList.h"
#include "panel/PhotoPreview.h"
#include "panel/QualityGauge.h"
#include "settings/PrintFormat.h"
#include "widgets/GradientLabel.h"

class Settings;
class PhotoDocument;
class PhotoPrefetch;
class QListWidget;
class QResizeEvent;

// The column on the left of the main window: the photos of the working folder with the
// current one, its preview, the print formats, and the print-quality gauge. It turns
// navigation requests and clicks into loads of the photo document and hands it the chosen
// format; the gauge follows the document's frame. It writes no file.
class SidePanel : public QWidget {
    Q_OBJECT
public:
    // Called with the result path of the photo just made current and the changed flag.
    using ResultStatusHandler = std::function<void(const std::string& path, bool changed)>;

    SidePanel(const Settings& settings, QWidget* parent = nullptr);
    ~SidePanel() override;

    // The photo document (not owned); applies the selected format to it and refreshes the
    // gauge, then follows its frame. Called once.
    void attachDocument(PhotoDocument* document);
    // Where the photos beside the current one are decoded ahead (not owned); none: no
    // decoding ahead.
    void setPrefetch(PhotoPrefetch* prefetch) { m_prefetch = prefetch; }
    void setResultStatusHandler(ResultStatusHandler handler) {
        m_showResultStatus = std::move(handler);
    }

    // Rebuilds the photo list from the working folder (results in the destination folder left
    // out) and makes the first photo current. An empty working-folder setting keeps the list
    // as it is.
    void fillPictureList();
    // Starts reading the working folder on a worker thread; the next fillPictureList with the
    // same folders takes that list instead of reading the folder again.
    void scanPictureListAhead();
    // One row down / up and load that photo; nothing at the last / first row.
    void nextPicture();
    void previousPicture();
    // The current row's path and result index; empty / NO_RESULT_INDEX without one.
    [[nodiscard]] std::string currentPath() const;
    [[nodiscard]] int32_t currentResultIndex() const;
    // Records the result index a save used in the current row; nothing without one.
    void setCurrentResultIndex(int32_t value);
    [[nodiscard]] int currentIndex() const { return m_currentIndex; }

    // Rebuilds the format list from the stored formats, reselecting the format last applied.
    void fillFormatList();
    // Gives the selected format to the document; nothing when no row is selected.
    void applySelectedFormat();
    // Gives the gauge the crop size and print quality of the document's frame.
    void refreshGauge();
    // Loads the current photo again from its file (a click on the preview).
    void reloadCurrentPicture();

    [[nodiscard]] const std::vector<PrintFormat>& formats() const { return m_formats; }
    [[nodiscard]] const std::string& currentFormatName() const { return m_currentFormatName; }

    // The controls, for the view's wiring and for tests.
    [[nodiscard]] PhotoList& photoList() { return *m_photoList; }
    [[nodiscard]] QListWidget& formatList() { return *m_formatList; }
    [[nodiscard]] PhotoPreview& preview() { return *m_preview; }
    [[nodiscard]] QualityGauge& gauge() { return *m_gauge; }
    [[nodiscard]] GradientLabel& qualityHeader() { return *m_qualityHeader; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void selectCurrentPicture();
    void onPhotoListClicked();
    void applyLayout();

    const Settings& m_settings;

    // Children, owned by Qt through their parent (this panel).
    PhotoPreview* m_preview = nullptr;
    QListWidget* m_formatList = nullptr;
    class PhotoList* m_photoList = nullptr;
    GradientLabel* m_qualityHeader = nullptr;
    GradientLabel* m_formatHeader = nullptr;
    GradientLabel* m_previewHeader = nullptr;
    GradientLabel* m_photosHeader = nullptr;
    QualityGauge* m_gauge = nullptr;

    int m_currentIndex = -1;
    PhotoDocument* m_document = nullptr;
    PhotoPrefetch* m_prefetch = nullptr;
    std::vector<PrintFormat> m_formats;
    std::string m_currentFormatName;
    ResultStatusHandler m_showResultStatus;
    BackgroundScan m_scan;
};
