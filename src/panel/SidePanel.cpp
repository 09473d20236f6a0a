#include "panel/SidePanel.h"

#include <QColor>
#include <QListWidget>
#include <QResizeEvent>
#include <optional>
#include <string>
#include <vector>

#include "engine/PanelRules.h"
#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "engine/PhotoPrefetch.h"
#include "naming/PhotoScan.h"
#include "naming/ResultIndex.h"
#include "settings/Settings.h"

namespace {

void setupHeader(GradientLabel& header, const char* text) {
    header.setText(QString::fromUtf8(text));
    header.setLabelFont(QStringLiteral("Arial"), 16, true, true);
    header.setColors(QColor(0, 0, 100), QColor(255, 255, 255));
}

} // namespace

SidePanel::SidePanel(const Settings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_preview(new PhotoPreview(this)),
      m_formatList(new QListWidget(this)), m_photoList(new class PhotoList(this)),
      m_qualityHeader(new GradientLabel(this)), m_formatHeader(new GradientLabel(this)),
      m_previewHeader(new GradientLabel(this)), m_photosHeader(new GradientLabel(this)),
      m_gauge(new QualityGauge(this)) {
    setupHeader(*m_photosHeader, "Photos");
    setupHeader(*m_previewHeader, "Visualisation");
    setupHeader(*m_formatHeader, "Format recadrage");
    setupHeader(*m_qualityHeader, "Qualité tirage");
    m_gauge->setColors(QColor(200, 0, 0), QColor(0, 200, 0));

    // The chosen format stays highlighted when the list loses the focus; one format at a time.
    m_formatList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_formatList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_formatList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_formatList->setTextElideMode(Qt::ElideRight);

    connect(m_formatList, &QListWidget::itemSelectionChanged, this,
            &SidePanel::applySelectedFormat);
    connect(m_photoList, &PhotoList::rowsClicked, this, &SidePanel::onPhotoListClicked);
    connect(m_preview, &PhotoPreview::clicked, this, &SidePanel::reloadCurrentPicture);

    // No document yet: the selection made here is applied by AttachDocument.
    fillFormatList();
}

SidePanel::~SidePanel() = default;

void SidePanel::attachDocument(PhotoDocument* value) {
    m_document = value;
    applySelectedFormat();
    refreshGauge();
    connect(m_document, &PhotoDocument::frameChanged, this, &SidePanel::refreshGauge);
}

void SidePanel::fillPictureList() {
    const std::string folder = m_settings.currentFolder();
    if (folder.empty()) {
        return;
    }
    const std::string destination = m_settings.destinationFolder();
    const bool recurse = m_settings.recurseOrigin() != 0;
    std::optional<std::vector<std::string>> paths = m_scan.take(folder, destination, recurse);
    if (!paths) {
        paths = scanPhotosToCrop(folder, destination, recurse);
    }

    if (m_prefetch != nullptr) {
        m_prefetch->clear(); // photos of the list before
    }
    m_photoList->clearRows();
    for (const std::string& path : *paths) {
        m_photoList->appendRow(path, kNoResultIndex);
    }
    m_currentIndex = -1;
    nextPicture();
}

void SidePanel::scanPictureListAhead() {
    const std::string folder = m_settings.currentFolder();
    if (!folder.empty()) {
        m_scan.start(folder, m_settings.destinationFolder(), m_settings.recurseOrigin() != 0);
    }
}

void SidePanel::nextPicture() {
    const int n = m_photoList->rowCount();
    if (n > 0 && m_currentIndex < n - 1) {
        ++m_currentIndex;
        selectCurrentPicture();
    }
}

void SidePanel::previousPicture() {
    const int n = m_photoList->rowCount();
    if (n > 0 && m_currentIndex > 0) {
        --m_currentIndex;
        selectCurrentPicture();
    }
}

std::string SidePanel::currentPath() const {
    return m_photoList->rowText(m_currentIndex);
}

int32_t SidePanel::currentResultIndex() const {
    return m_photoList->rowValue(m_currentIndex);
}

void SidePanel::setCurrentResultIndex(int32_t value) {
    m_photoList->setRowValue(m_currentIndex, value);
}

void SidePanel::selectCurrentPicture() {
    const std::string path = currentPath();
    if (path.empty()) {
        return;
    }
    if (m_document != nullptr) {
        m_document->load(path, currentResultIndex());
        // A photo that failed to load leaves the previous one in the document; the preview
        // then shows that one, as the display window does.
        if (m_document->hasPhoto()) {
            m_preview->setPreview(m_document->displayImage());
        }
        // The status bar names the result, so the photo takes its result index now.
        m_document->reserveResultIndex();
        if (m_showResultStatus) {
            m_showResultStatus(m_document->resultPath(), false);
        }
    }
    m_photoList->setCurrentRow(m_currentIndex);
    refreshGauge();
    if (m_prefetch != nullptr) {
        // The photos Escape and Backspace go to; one that is not there names nothing.
        m_prefetch->prefetch(
            {m_photoList->rowText(m_currentIndex + 1), m_photoList->rowText(m_currentIndex - 1)});
    }
}

void SidePanel::onPhotoListClicked() {
    const int row = m_photoList->firstSelectedRow();
    if (row < 0) {
        return;
    }
    m_currentIndex = row;
    selectCurrentPicture();
}

void SidePanel::fillFormatList() {
    const bool showFactor = m_settings.showFactor() != 0;
    m_formatList->clear();
    m_formats.clear();

    std::vector<std::string> texts;
    m_settings.loadFormats(texts);
    const std::vector<PrintFormat> stored = formatsFromTexts(wholeFormatGroups(std::move(texts)));

    if (stored.empty()) {
        const std::string label = defaultFormatLabel(showFactor);
        m_formatList->addItem(QString::fromStdString(label));
        m_formats.push_back(PrintFormat{label, 15, 10, 4});
        m_formatList->setCurrentRow(0);
        return;
    }

    int remembered = -1;
    for (const PrintFormat& format : stored) {
        m_formatList->addItem(QString::fromStdString(
            formatRowLabel(format.name, format.widthCm, format.heightCm, showFactor)));
        if (format.name == m_currentFormatName) {
            remembered = static_cast<int>(m_formats.size());
        }
        m_formats.push_back(format);
    }
    m_formatList->setCurrentRow(remembered >= 0 ? remembered : 0);
}

void SidePanel::applySelectedFormat() {
    int row = -1;
    for (const QModelIndex& index : m_formatList->selectionModel()->selectedIndexes()) {
        if (row < 0 || index.row() < row) {
            row = index.row();
        }
    }
    if (m_document == nullptr || row < 0 || row >= static_cast<int>(m_formats.size())) {
        return;
    }
    const PrintFormat& format = m_formats[static_cast<std::size_t>(row)];
    m_currentFormatName = format.name;
    m_document->setFormat(format.heightCm, format.widthCm,
                          formatSizeLabel(format.heightCm, format.widthCm));
    m_document->setWhiteBorderSize(format.borderMm);
    refreshGauge();
}

void SidePanel::refreshGauge() {
    QSize size(0, 0);
    int quality = 0;
    if (m_document != nullptr) {
        size = m_document->frameSize();
        quality = m_document->printQuality();
    }
    m_gauge->setShowFactor(m_settings.showFactor() != 0);
    m_gauge->setQuality(quality);
    m_gauge->setCropSize(size.width(), size.height());
}

void SidePanel::reloadCurrentPicture() {
    if (m_document != nullptr) {
        m_document->reload();
    }
}

void SidePanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyLayout();
}

void SidePanel::applyLayout() {
    const SidePanelLayout layout = computeSidePanelLayout(rect());
    m_photosHeader->setGeometry(layout.photosHeader);
    m_photoList->setGeometry(layout.photoList);
    m_previewHeader->setGeometry(layout.previewHeader);
    m_preview->setGeometry(layout.preview);
    m_formatHeader->setGeometry(layout.formatHeader);
    m_formatList->setGeometry(layout.formatList);
    m_qualityHeader->setGeometry(layout.qualityHeader);
    m_gauge->setGeometry(layout.gauge);
}
