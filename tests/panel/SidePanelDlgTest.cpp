#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "engine/RectTesting.h"
#include "naming/ResultIndex.h"
#include "panel/SidePanelDlg.h"
#include "settings/Settings.h"

namespace {

class SidePanel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString() + "/";
        ASSERT_TRUE(QDir(dir.path()).mkpath("photos"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("empty"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("out"));
        settings = std::make_unique<CSettings>(root + "param.dat");
        settings->SetDestinationFolder(root + "out/");
        settings->SetRecurseOrigin(0);
        settings->SetShowFactor(1);
    }

    // A JPEG of the given size in the photos folder.
    void Photo(const std::string& name, int width, int height) const {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(QColor(90, 120, 150));
        ASSERT_TRUE(image.save(QString::fromStdString(root + "photos/" + name), "JPG"));
    }

    void ThreePhotos() const {
        Photo("a.jpg", 600, 400);
        Photo("b.jpg", 400, 600);
        Photo("c.jpg", 300, 300);
    }

    // The panel, with the display model attached and status reports recorded.
    void MakePanel() {
        panel = std::make_unique<CSidePanelDlg>(*settings);
        panel->resize(250, 800);
        panel->show();
        panel->SetResultStatusHandler([this](const std::string& path, bool changed) {
            statuses.emplace_back(path, changed);
        });
        panel->AttachDocument(&model());
    }

    // The document, laid out as in an 800 x 600 display window; its messages recorded.
    PhotoDocument& model() {
        if (!display) {
            display = std::make_unique<PhotoDocument>(*settings);
            display->setClientSize(800, 600);
            QObject::connect(display.get(), &PhotoDocument::message,
                             [this](const QString& text) { warnings.push_back(text); });
        }
        return *display;
    }

    [[nodiscard]] std::vector<std::string> FormatLabels() const {
        std::vector<std::string> labels;
        for (int i = 0; i < panel->FormatList().count(); ++i) {
            labels.push_back(panel->FormatList().item(i)->text().toStdString());
        }
        return labels;
    }

    [[nodiscard]] int SelectedFormatRow() const {
        const QList<QListWidgetItem*> selected = panel->FormatList().selectedItems();
        return selected.size() == 1 ? panel->FormatList().row(selected.front()) : -1;
    }

    QTemporaryDir dir;
    std::string root;
    std::unique_ptr<CSettings> settings;
    std::vector<QString> warnings;
    std::unique_ptr<PhotoDocument> display;
    std::unique_ptr<CSidePanelDlg> panel;
    std::vector<std::pair<std::string, bool>> statuses;
};

TEST_F(SidePanel, NavigationStopsAtBothEndsWithoutWrapping) {
    ThreePhotos();
    settings->SetCurrentFolder(root + "photos/");
    MakePanel();
    panel->FillPictureList();

    struct Step {
        const char* name;
        void (CSidePanelDlg::*move)();
        int index;
        const char* file;
        std::size_t statusCount;
    };
    const Step steps[] = {
        {"second photo", &CSidePanelDlg::NextPicture, 1, "b.jpg", 2},
        {"third photo", &CSidePanelDlg::NextPicture, 2, "c.jpg", 3},
        {"Next at the last row changes nothing", &CSidePanelDlg::NextPicture, 2, "c.jpg", 3},
        {"back", &CSidePanelDlg::PreviousPicture, 1, "b.jpg", 4},
        {"first photo", &CSidePanelDlg::PreviousPicture, 0, "a.jpg", 5},
        {"Previous at row 0 changes nothing", &CSidePanelDlg::PreviousPicture, 0, "a.jpg", 5},
    };
    ASSERT_EQ(panel->GetCurrentIndex(), 0);
    EXPECT_EQ(model().sourcePath(), root + "photos/a.jpg");
    ASSERT_EQ(statuses.size(), 1u);
    EXPECT_FALSE(statuses.back().second);
    EXPECT_EQ(statuses.back().first, model().resultPath());
    for (const Step& step : steps) {
        (panel.get()->*step.move)();
        EXPECT_EQ(panel->GetCurrentIndex(), step.index) << step.name;
        EXPECT_EQ(panel->PhotoList().GetCurrentRow(), step.index) << step.name;
        EXPECT_EQ(panel->GetCurrentPath(), root + "photos/" + step.file) << step.name;
        EXPECT_EQ(model().sourcePath(), root + "photos/" + step.file) << step.name;
        EXPECT_EQ(statuses.size(), step.statusCount) << step.name;
    }
    EXPECT_TRUE(warnings.empty());
}

TEST_F(SidePanel, EmptyFolderGivesNoRowsAndNavigationDoesNothing) {
    settings->SetCurrentFolder(root + "empty/");
    MakePanel();
    panel->FillPictureList();
    panel->NextPicture();
    panel->PreviousPicture();
    EXPECT_EQ(panel->PhotoList().RowCount(), 0);
    EXPECT_EQ(panel->GetCurrentIndex(), -1);
    EXPECT_EQ(panel->GetCurrentPath(), "");
    EXPECT_EQ(panel->GetCurrentResultIndex(), NO_RESULT_INDEX);
    panel->SetCurrentResultIndex(4);
    EXPECT_EQ(panel->GetCurrentResultIndex(), NO_RESULT_INDEX);
    EXPECT_EQ(model().photo(), nullptr);
    EXPECT_TRUE(statuses.empty());
    EXPECT_TRUE(panel->Preview().GetPreviewRect().isEmpty());
}

TEST_F(SidePanel, ResultIndexFollowsTheRowAndARefillClearsIt) {
    ThreePhotos();
    settings->SetCurrentFolder(root + "photos/");
    MakePanel();
    panel->FillPictureList();
    EXPECT_EQ(panel->GetCurrentResultIndex(), NO_RESULT_INDEX);
    panel->SetCurrentResultIndex(5);
    panel->NextPicture();
    EXPECT_EQ(panel->GetCurrentResultIndex(), NO_RESULT_INDEX);
    panel->PreviousPicture();
    EXPECT_EQ(panel->GetCurrentResultIndex(), 5);
    EXPECT_EQ(model().resultIndex(), 5); // handed to the display with the load

    panel->FillPictureList();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(panel->PhotoList().RowValue(row), NO_RESULT_INDEX) << "row " << row;
    }
    panel->NextPicture();
    settings->SetCurrentFolder("");
    panel->FillPictureList();
    EXPECT_EQ(panel->PhotoList().RowCount(), 3) << "empty working folder keeps the rows";
    EXPECT_EQ(panel->GetCurrentIndex(), 1);
}

TEST_F(SidePanel, PreviewAndGaugeFollowTheLoadedPhoto) {
    ThreePhotos();
    settings->SetCurrentFolder(root + "photos/");
    MakePanel();
    panel->FillPictureList();
    EXPECT_EQ(panel->Preview().Preview().size(), QSize(198, 132));
    const QSize crop = model().frameSize();
    ASSERT_GT(crop.width(), 0);
    EXPECT_EQ(panel->Gauge().CropWidth(), crop.width());
    EXPECT_EQ(panel->Gauge().CropHeight(), crop.height());
    EXPECT_EQ(panel->Gauge().Quality(), model().printQuality());

    // The gauge follows the frame.
    model().zoomFrame(40);
    EXPECT_EQ(panel->Gauge().CropWidth(), model().frameSize().width());
    EXPECT_LT(panel->Gauge().CropWidth(), crop.width());

    // An edit in the display window leaves the preview as loaded; a click on it reloads.
    model().rotateLeft();
    EXPECT_EQ(panel->Preview().Preview().size(), QSize(198, 132));
    QTest::mouseClick(&panel->Preview(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(model().photo()->Width(), 600);
    panel->NextPicture();
    EXPECT_EQ(panel->Preview().Preview().size(), QSize(132, 198));
}

TEST_F(SidePanel, ClicksInThePhotoListLoadTheFirstSelectedRow) {
    ThreePhotos();
    settings->SetCurrentFolder(root + "photos/");
    MakePanel();
    panel->FillPictureList();
    CPictureListCtrl& list = panel->PhotoList();
    const auto rowCentre = [&list](int row) {
        return list.visualRect(list.model()->index(row, 0)).center();
    };

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(2));
    EXPECT_EQ(panel->GetCurrentIndex(), 2);
    EXPECT_EQ(model().sourcePath(), root + "photos/c.jpg");

    // The current row again: loaded again from the file, undoing an edit.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(0));
    ASSERT_EQ(panel->GetCurrentIndex(), 0);
    model().rotateLeft();
    ASSERT_EQ(model().photo()->Width(), 400);
    const std::size_t before = statuses.size();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(0));
    EXPECT_EQ(model().photo()->Width(), 600);
    EXPECT_EQ(statuses.size(), before + 1);

    // Empty space below the rows with nothing selected: nothing happens.
    list.clearSelection();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      QPoint(20, list.viewport()->height() - 2));
    EXPECT_EQ(panel->GetCurrentIndex(), 0);
    EXPECT_EQ(statuses.size(), before + 1);
}

TEST_F(SidePanel, FormatListLabelsFollowShowFactor) {
    struct Row {
        const char* name;
        std::vector<std::string> stored;
        int showFactor;
        std::vector<std::string> labels;
    };
    const Row rows[] = {
        {"ratios shown",
         {"10x15", "15", "10", "4", "13x18", "18", "13", "4"},
         1,
         {"10x15 (2/3)", "13x18 (13/18)"}},
        {"seven strings give one format",
         {"10x15", "15", "10", "4", "13x18", "18", "13"},
         1,
         {"10x15 (2/3)"}},
        {"none stored, ratios shown", {}, 1, {"Défaut 10x15 (2/3)"}},
        {"none stored, names alone", {}, 0, {"Défaut 10x15"}},
    };
    for (const Row& row : rows) {
        settings->SetShowFactor(row.showFactor);
        settings->SaveFormats(row.stored);
        MakePanel();
        EXPECT_EQ(FormatLabels(), row.labels) << row.name;
        EXPECT_EQ(SelectedFormatRow(), 0) << row.name;
        EXPECT_EQ(panel->Formats().size(), row.labels.size()) << row.name;
    }
}

TEST_F(SidePanel, RefillReselectsTheAppliedFormatByName) {
    settings->SaveFormats({});
    MakePanel();
    EXPECT_EQ(model().geometry().FormatLabel(), "15x10") << "default format, height first";
    EXPECT_DOUBLE_EQ(model().geometry().HeightCm(), 15.0);
    EXPECT_DOUBLE_EQ(model().borderCm(), 0.4);

    settings->SaveFormats({"10x15", "15", "10", "4", "13x18", "18", "13", "4"});
    panel->FillFormatList();
    panel->FormatList().setCurrentRow(1);
    EXPECT_EQ(panel->CurrentFormatName(), "13x18");
    EXPECT_EQ(model().geometry().FormatLabel(), "18x13");

    // Removing the selection keeps the applied format.
    panel->FormatList().clearSelection();
    EXPECT_EQ(panel->CurrentFormatName(), "13x18");
    EXPECT_EQ(model().geometry().FormatLabel(), "18x13");

    settings->SaveFormats(
        {"A4", "30", "21", "0", "9x13", "13", "9", "2", "13x18", "18", "13", "4"});
    panel->FillFormatList();
    EXPECT_EQ(SelectedFormatRow(), 2);
    EXPECT_EQ(model().geometry().FormatLabel(), "18x13");

    settings->SaveFormats({"A4", "30", "21", "0", "9x13", "13", "9", "2"});
    panel->FillFormatList();
    EXPECT_EQ(SelectedFormatRow(), 0);
    EXPECT_EQ(panel->CurrentFormatName(), "A4");
    EXPECT_EQ(model().geometry().FormatLabel(), "30x21");
    EXPECT_DOUBLE_EQ(model().borderCm(), 0.0);
}

TEST_F(SidePanel, ControlsAreLaidOutOnResize) {
    MakePanel();
    panel->resize(300, 800);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(panel->PhotoList().geometry(), QRect(0, 28, 300, 325));
    EXPECT_EQ(panel->Preview().geometry(), QRect(0, 381, 300, 162));
    EXPECT_EQ(panel->Gauge().geometry(), QRect(0, 761, 300, 38));
    EXPECT_EQ(panel->QualityHeader().Text(), QString::fromUtf8("Qualité tirage"));
}

} // namespace
