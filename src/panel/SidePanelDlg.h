#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "panel/PictureListCtrl.h"
#include "panel/PreviewWnd.h"
#include "panel/QualityGauge.h"
#include "settings/PrintFormat.h"
#include "widgets/GradientLabel.h"

class CSettings;
class PhotoDocument;
class QListWidget;
class QResizeEvent;

// The column on the left of the main window: the photos of the working folder with the
// current one, its preview, the print formats, and the print-quality gauge. It turns
// navigation requests and clicks into loads of the photo document and hands it the chosen
// format; the gauge follows the document's frame. It writes no file.
class CSidePanelDlg : public QWidget {
    Q_OBJECT
public:
    // Called with the result path of the photo just made current and the changed flag.
    using ResultStatusHandler = std::function<void(const std::string& path, bool changed)>;

    CSidePanelDlg(const CSettings& settings, QWidget* parent = nullptr);
    ~CSidePanelDlg() override;

    // The photo document (not owned); applies the selected format to it and refreshes the
    // gauge, then follows its frame. Called once.
    void AttachDocument(PhotoDocument* document);
    void SetResultStatusHandler(ResultStatusHandler handler) {
        showResultStatus = std::move(handler);
    }

    // Rebuilds the photo list from the working folder (results in the destination folder left
    // out) and makes the first photo current. An empty working-folder setting keeps the list
    // as it is.
    void FillPictureList();
    // One row down / up and load that photo; nothing at the last / first row.
    void NextPicture();
    void PreviousPicture();
    // The current row's path and result index; empty / NO_RESULT_INDEX without one.
    [[nodiscard]] std::string GetCurrentPath() const;
    [[nodiscard]] int32_t GetCurrentResultIndex() const;
    // Records the result index a save used in the current row; nothing without one.
    void SetCurrentResultIndex(int32_t value);
    [[nodiscard]] int GetCurrentIndex() const { return currentIndex; }

    // Rebuilds the format list from the stored formats, reselecting the format last applied.
    void FillFormatList();
    // Gives the selected format to the document; nothing when no row is selected.
    void ApplySelectedFormat();
    // Gives the gauge the crop size and print quality of the document's frame.
    void RefreshGauge();
    // Loads the current photo again from its file (a click on the preview).
    void ReloadCurrentPicture();

    [[nodiscard]] const std::vector<PrintFormat>& Formats() const { return formats; }
    [[nodiscard]] const std::string& CurrentFormatName() const { return currentFormatName; }

    // The controls, for the view's wiring and for tests.
    [[nodiscard]] CPictureListCtrl& PhotoList() { return *photoList; }
    [[nodiscard]] QListWidget& FormatList() { return *formatList; }
    [[nodiscard]] CPreviewWnd& Preview() { return *preview; }
    [[nodiscard]] CQualityGauge& Gauge() { return *gauge; }
    [[nodiscard]] CGradientLabel& QualityHeader() { return *qualityHeader; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SelectCurrentPicture();
    void OnPhotoListClicked();
    void ApplyLayout();

    const CSettings& settings;

    // Children, owned by Qt through their parent (this panel).
    CPreviewWnd* preview = nullptr;
    QListWidget* formatList = nullptr;
    CPictureListCtrl* photoList = nullptr;
    CGradientLabel* qualityHeader = nullptr;
    CGradientLabel* formatHeader = nullptr;
    CGradientLabel* previewHeader = nullptr;
    CGradientLabel* photosHeader = nullptr;
    CQualityGauge* gauge = nullptr;

    int currentIndex = -1;
    PhotoDocument* document = nullptr;
    std::vector<PrintFormat> formats;
    std::string currentFormatName;
    ResultStatusHandler showResultStatus;
};
