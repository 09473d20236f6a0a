#include "panel/SidePanelDlg.h"

#include <QColor>
#include <QListWidget>
#include <QResizeEvent>

#include "engine/PanelRules.h"
#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "naming/PhotoScan.h"
#include "naming/ResultIndex.h"
#include "settings/Settings.h"

namespace {

void SetupHeader(CGradientLabel& header, const char* text) {
    header.SetText(QString::fromUtf8(text));
    header.SetLabelFont(QStringLiteral("Arial"), 16, true, true);
    header.SetColors(QColor(0, 0, 100), QColor(255, 255, 255));
}

} // namespace

CSidePanelDlg::CSidePanelDlg(const CSettings& settings, QWidget* parent)
    : QWidget(parent), settings(settings), preview(new CPreviewWnd(this)),
      formatList(new QListWidget(this)), photoList(new CPictureListCtrl(this)),
      qualityHeader(new CGradientLabel(this)), formatHeader(new CGradientLabel(this)),
      previewHeader(new CGradientLabel(this)), photosHeader(new CGradientLabel(this)),
      gauge(new CQualityGauge(this)) {
    SetupHeader(*photosHeader, "Photos");
    SetupHeader(*previewHeader, "Visualisation");
    SetupHeader(*formatHeader, "Format recadrage");
    SetupHeader(*qualityHeader, "Qualité tirage");
    gauge->SetColors(QColor(200, 0, 0), QColor(0, 200, 0));

    // The chosen format stays highlighted when the list loses the focus; one format at a time.
    formatList->setSelectionMode(QAbstractItemView::SingleSelection);
    formatList->setSelectionBehavior(QAbstractItemView::SelectRows);
    formatList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    formatList->setTextElideMode(Qt::ElideRight);

    connect(formatList, &QListWidget::itemSelectionChanged, this,
            &CSidePanelDlg::ApplySelectedFormat);
    connect(photoList, &CPictureListCtrl::rowsClicked, this, &CSidePanelDlg::OnPhotoListClicked);
    connect(preview, &CPreviewWnd::clicked, this, &CSidePanelDlg::ReloadCurrentPicture);

    // No document yet: the selection made here is applied by AttachDocument.
    FillFormatList();
}

CSidePanelDlg::~CSidePanelDlg() = default;

void CSidePanelDlg::AttachDocument(PhotoDocument* value) {
    document = value;
    ApplySelectedFormat();
    RefreshGauge();
    connect(document, &PhotoDocument::frameChanged, this, &CSidePanelDlg::RefreshGauge);
}

void CSidePanelDlg::FillPictureList() {
    const std::string folder = settings.GetCurrentFolder();
    if (folder.empty()) {
        return;
    }
    const std::vector<std::string> paths =
        ScanPhotosToCrop(folder, settings.GetDestinationFolder(), settings.GetRecurseOrigin() != 0);

    photoList->ClearRows();
    for (const std::string& path : paths) {
        photoList->AppendRow(path, NO_RESULT_INDEX);
    }
    currentIndex = -1;
    NextPicture();
}

void CSidePanelDlg::NextPicture() {
    const int n = photoList->RowCount();
    if (n > 0 && currentIndex < n - 1) {
        ++currentIndex;
        SelectCurrentPicture();
    }
}

void CSidePanelDlg::PreviousPicture() {
    const int n = photoList->RowCount();
    if (n > 0 && currentIndex > 0) {
        --currentIndex;
        SelectCurrentPicture();
    }
}

std::string CSidePanelDlg::GetCurrentPath() const {
    return photoList->RowText(currentIndex);
}

int32_t CSidePanelDlg::GetCurrentResultIndex() const {
    return photoList->RowValue(currentIndex);
}

void CSidePanelDlg::SetCurrentResultIndex(int32_t value) {
    photoList->SetRowValue(currentIndex, value);
}

void CSidePanelDlg::SelectCurrentPicture() {
    const std::string path = GetCurrentPath();
    if (path.empty()) {
        return;
    }
    if (document != nullptr) {
        document->load(path, GetCurrentResultIndex());
        // A photo that failed to load leaves the previous one in the document; the preview
        // then shows that one, as the display window does.
        if (const Photo* photo = document->photo()) {
            preview->SetPreview(photo->Image());
        }
        // The status bar names the result, so the photo takes its result index now.
        document->reserveResultIndex();
        if (showResultStatus) {
            showResultStatus(document->resultPath(), false);
        }
    }
    photoList->SetCurrentRow(currentIndex);
    RefreshGauge();
}

void CSidePanelDlg::OnPhotoListClicked() {
    const int row = photoList->FirstSelectedRow();
    if (row < 0) {
        return;
    }
    currentIndex = row;
    SelectCurrentPicture();
}

void CSidePanelDlg::FillFormatList() {
    const bool showFactor = settings.GetShowFactor() != 0;
    formatList->clear();
    formats.clear();

    std::vector<std::string> texts;
    settings.LoadFormats(texts);
    const std::vector<PrintFormat> stored = FormatsFromTexts(WholeFormatGroups(std::move(texts)));

    if (stored.empty()) {
        const std::string label = DefaultFormatLabel(showFactor);
        formatList->addItem(QString::fromStdString(label));
        formats.push_back(PrintFormat{label, 15, 10, 4});
        formatList->setCurrentRow(0);
        return;
    }

    int remembered = -1;
    for (const PrintFormat& format : stored) {
        formatList->addItem(QString::fromStdString(
            FormatRowLabel(format.name, format.widthCm, format.heightCm, showFactor)));
        if (format.name == currentFormatName) {
            remembered = static_cast<int>(formats.size());
        }
        formats.push_back(format);
    }
    formatList->setCurrentRow(remembered >= 0 ? remembered : 0);
}

void CSidePanelDlg::ApplySelectedFormat() {
    int row = -1;
    for (const QModelIndex& index : formatList->selectionModel()->selectedIndexes()) {
        if (row < 0 || index.row() < row) {
            row = index.row();
        }
    }
    if (document == nullptr || row < 0 || row >= static_cast<int>(formats.size())) {
        return;
    }
    const PrintFormat& format = formats[static_cast<std::size_t>(row)];
    currentFormatName = format.name;
    document->setFormat(format.heightCm, format.widthCm,
                        FormatSizeLabel(format.heightCm, format.widthCm));
    document->setWhiteBorderSize(format.borderMm);
    RefreshGauge();
}

void CSidePanelDlg::RefreshGauge() {
    QSize size(0, 0);
    int quality = 0;
    if (document != nullptr) {
        size = document->frameSize();
        quality = document->printQuality();
    }
    gauge->SetShowFactor(settings.GetShowFactor() != 0);
    gauge->SetQuality(quality);
    gauge->SetCropSize(size.width(), size.height());
}

void CSidePanelDlg::ReloadCurrentPicture() {
    if (document != nullptr) {
        document->reload();
    }
}

void CSidePanelDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyLayout();
}

void CSidePanelDlg::ApplyLayout() {
    const SidePanelLayout layout = ComputeSidePanelLayout(rect());
    photosHeader->setGeometry(layout.photosHeader);
    photoList->setGeometry(layout.photoList);
    previewHeader->setGeometry(layout.previewHeader);
    preview->setGeometry(layout.preview);
    formatHeader->setGeometry(layout.formatHeader);
    formatList->setGeometry(layout.formatList);
    qualityHeader->setGeometry(layout.qualityHeader);
    gauge->setGeometry(layout.gauge);
}
