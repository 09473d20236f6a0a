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
#include "panel/SidePanel.h"
#include "settings/Settings.h"

namespace {

class SidePanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.path().toStdString() + "/";
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("photos"));
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("empty"));
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("out"));
        m_settings = std::make_unique<Settings>(m_root + "param.dat");
        m_settings->setDestinationFolder(m_root + "out/");
        m_settings->setRecurseOrigin(0);
        m_settings->setShowFactor(1);
    }

    // A JPEG of the given size in the photos folder.
    void photo(const std::string& name, int width, int height) const {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(QColor(90, 120, 150));
        ASSERT_TRUE(image.save(QString::fromStdString(m_root + "photos/" + name), "JPG"));
    }

    void threePhotos() const {
        photo("a.jpg", 600, 400);
        photo("b.jpg", 400, 600);
        photo("c.jpg", 300, 300);
    }

    // The panel, with the display model attached and status reports recorded.
    void makePanel() {
        m_panel = std::make_unique<SidePanel>(*m_settings);
        m_panel->resize(250, 800);
        m_panel->show();
        m_panel->setResultStatusHandler([this](const std::string& path, bool changed) {
            m_statuses.emplace_back(path, changed);
        });
        m_panel->attachDocument(&model());
    }

    // The document, laid out as in an 800 x 600 display window; its messages recorded.
    PhotoDocument& model() {
        if (!m_display) {
            m_display = std::make_unique<PhotoDocument>(*m_settings);
            m_display->setClientSize(800, 600);
            QObject::connect(m_display.get(), &PhotoDocument::message,
                             [this](const QString& text) { m_warnings.push_back(text); });
        }
        return *m_display;
    }

    [[nodiscard]] std::vector<std::string> formatLabels() const {
        std::vector<std::string> labels;
        for (int i = 0; i < m_panel->formatList().count(); ++i) {
            labels.push_back(m_panel->formatList().item(i)->text().toStdString());
        }
        return labels;
    }

    [[nodiscard]] int selectedFormatRow() const {
        const QList<QListWidgetItem*> selected = m_panel->formatList().selectedItems();
        return selected.size() == 1 ? m_panel->formatList().row(selected.front()) : -1;
    }

    QTemporaryDir m_dir;
    std::string m_root;
    std::unique_ptr<Settings> m_settings;
    std::vector<QString> m_warnings;
    std::unique_ptr<PhotoDocument> m_display;
    std::unique_ptr<SidePanel> m_panel;
    std::vector<std::pair<std::string, bool>> m_statuses;
};

TEST_F(SidePanelTest, NavigationStopsAtBothEndsWithoutWrapping) {
    threePhotos();
    m_settings->setCurrentFolder(m_root + "photos/");
    makePanel();
    m_panel->fillPictureList();

    struct Step {
        const char* name;
        void (SidePanel::*move)();
        int index;
        const char* file;
        std::size_t statusCount;
    };
    const Step steps[] = {
        {"second photo", &SidePanel::nextPicture, 1, "b.jpg", 2},
        {"third photo", &SidePanel::nextPicture, 2, "c.jpg", 3},
        {"Next at the last row changes nothing", &SidePanel::nextPicture, 2, "c.jpg", 3},
        {"back", &SidePanel::previousPicture, 1, "b.jpg", 4},
        {"first photo", &SidePanel::previousPicture, 0, "a.jpg", 5},
        {"Previous at row 0 changes nothing", &SidePanel::previousPicture, 0, "a.jpg", 5},
    };
    ASSERT_EQ(m_panel->currentIndex(), 0);
    EXPECT_EQ(model().sourcePath(), m_root + "photos/a.jpg");
    ASSERT_EQ(m_statuses.size(), 1u);
    EXPECT_FALSE(m_statuses.back().second);
    EXPECT_EQ(m_statuses.back().first, model().resultPath());
    for (const Step& step : steps) {
        (m_panel.get()->*step.move)();
        EXPECT_EQ(m_panel->currentIndex(), step.index) << step.name;
        EXPECT_EQ(m_panel->photoList().getCurrentRow(), step.index) << step.name;
        EXPECT_EQ(m_panel->currentPath(), m_root + "photos/" + step.file) << step.name;
        EXPECT_EQ(model().sourcePath(), m_root + "photos/" + step.file) << step.name;
        EXPECT_EQ(m_statuses.size(), step.statusCount) << step.name;
    }
    EXPECT_TRUE(m_warnings.empty());
}

TEST_F(SidePanelTest, EmptyFolderGivesNoRowsAndNavigationDoesNothing) {
    m_settings->setCurrentFolder(m_root + "empty/");
    makePanel();
    m_panel->fillPictureList();
    m_panel->nextPicture();
    m_panel->previousPicture();
    EXPECT_EQ(m_panel->photoList().rowCount(), 0);
    EXPECT_EQ(m_panel->currentIndex(), -1);
    EXPECT_EQ(m_panel->currentPath(), "");
    EXPECT_EQ(m_panel->currentResultIndex(), kNoResultIndex);
    m_panel->setCurrentResultIndex(4);
    EXPECT_EQ(m_panel->currentResultIndex(), kNoResultIndex);
    EXPECT_EQ(model().photo(), nullptr);
    EXPECT_TRUE(m_statuses.empty());
    EXPECT_TRUE(m_panel->preview().previewRect().isEmpty());
}

TEST_F(SidePanelTest, ResultIndexFollowsTheRowAndARefillClearsIt) {
    threePhotos();
    m_settings->setCurrentFolder(m_root + "photos/");
    makePanel();
    m_panel->fillPictureList();
    EXPECT_EQ(m_panel->currentResultIndex(), kNoResultIndex);
    m_panel->setCurrentResultIndex(5);
    m_panel->nextPicture();
    EXPECT_EQ(m_panel->currentResultIndex(), kNoResultIndex);
    m_panel->previousPicture();
    EXPECT_EQ(m_panel->currentResultIndex(), 5);
    EXPECT_EQ(model().resultIndex(), 5); // handed to the display with the load

    m_panel->fillPictureList();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(m_panel->photoList().rowValue(row), kNoResultIndex) << "row " << row;
    }
    m_panel->nextPicture();
    m_settings->setCurrentFolder("");
    m_panel->fillPictureList();
    EXPECT_EQ(m_panel->photoList().rowCount(), 3) << "empty working folder keeps the rows";
    EXPECT_EQ(m_panel->currentIndex(), 1);
}

TEST_F(SidePanelTest, PreviewAndGaugeFollowTheLoadedPhoto) {
    threePhotos();
    m_settings->setCurrentFolder(m_root + "photos/");
    makePanel();
    m_panel->fillPictureList();
    EXPECT_EQ(m_panel->preview().preview().size(), QSize(198, 132));
    const QSize crop = model().frameSize();
    ASSERT_GT(crop.width(), 0);
    EXPECT_EQ(m_panel->gauge().cropWidth(), crop.width());
    EXPECT_EQ(m_panel->gauge().cropHeight(), crop.height());
    EXPECT_EQ(m_panel->gauge().quality(), model().printQuality());

    // The gauge follows the frame.
    model().zoomFrame(40);
    EXPECT_EQ(m_panel->gauge().cropWidth(), model().frameSize().width());
    EXPECT_LT(m_panel->gauge().cropWidth(), crop.width());

    // An edit in the display window leaves the preview as loaded; a click on it reloads.
    model().rotateLeft();
    EXPECT_EQ(m_panel->preview().preview().size(), QSize(198, 132));
    QTest::mouseClick(&m_panel->preview(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(model().photo()->width(), 600);
    m_panel->nextPicture();
    EXPECT_EQ(m_panel->preview().preview().size(), QSize(132, 198));
}

TEST_F(SidePanelTest, ClicksInThePhotoListLoadTheFirstSelectedRow) {
    threePhotos();
    m_settings->setCurrentFolder(m_root + "photos/");
    makePanel();
    m_panel->fillPictureList();
    PhotoList& list = m_panel->photoList();
    const auto rowCentre = [&list](int row) {
        return list.visualRect(list.model()->index(row, 0)).center();
    };

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(2));
    EXPECT_EQ(m_panel->currentIndex(), 2);
    EXPECT_EQ(model().sourcePath(), m_root + "photos/c.jpg");

    // The current row again: loaded again from the file, undoing an edit.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(0));
    ASSERT_EQ(m_panel->currentIndex(), 0);
    model().rotateLeft();
    ASSERT_EQ(model().photo()->width(), 400);
    const std::size_t before = m_statuses.size();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowCentre(0));
    EXPECT_EQ(model().photo()->width(), 600);
    EXPECT_EQ(m_statuses.size(), before + 1);

    // Empty space below the rows with nothing selected: nothing happens.
    list.clearSelection();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      QPoint(20, list.viewport()->height() - 2));
    EXPECT_EQ(m_panel->currentIndex(), 0);
    EXPECT_EQ(m_statuses.size(), before + 1);
}

TEST_F(SidePanelTest, FormatListLabelsFollowShowFactor) {
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
        m_settings->setShowFactor(row.showFactor);
        m_settings->saveFormats(row.stored);
        makePanel();
        EXPECT_EQ(formatLabels(), row.labels) << row.name;
        EXPECT_EQ(selectedFormatRow(), 0) << row.name;
        EXPECT_EQ(m_panel->formats().size(), row.labels.size()) << row.name;
    }
}

TEST_F(SidePanelTest, RefillReselectsTheAppliedFormatByName) {
    m_settings->saveFormats({});
    makePanel();
    EXPECT_EQ(model().geometry().formatLabel(), "15x10") << "default format, height first";
    EXPECT_DOUBLE_EQ(model().geometry().heightCm(), 15.0);
    EXPECT_DOUBLE_EQ(model().borderCm(), 0.4);

    m_settings->saveFormats({"10x15", "15", "10", "4", "13x18", "18", "13", "4"});
    m_panel->fillFormatList();
    m_panel->formatList().setCurrentRow(1);
    EXPECT_EQ(m_panel->currentFormatName(), "13x18");
    EXPECT_EQ(model().geometry().formatLabel(), "18x13");

    // Removing the selection keeps the applied format.
    m_panel->formatList().clearSelection();
    EXPECT_EQ(m_panel->currentFormatName(), "13x18");
    EXPECT_EQ(model().geometry().formatLabel(), "18x13");

    m_settings->saveFormats(
        {"A4", "30", "21", "0", "9x13", "13", "9", "2", "13x18", "18", "13", "4"});
    m_panel->fillFormatList();
    EXPECT_EQ(selectedFormatRow(), 2);
    EXPECT_EQ(model().geometry().formatLabel(), "18x13");

    m_settings->saveFormats({"A4", "30", "21", "0", "9x13", "13", "9", "2"});
    m_panel->fillFormatList();
    EXPECT_EQ(selectedFormatRow(), 0);
    EXPECT_EQ(m_panel->currentFormatName(), "A4");
    EXPECT_EQ(model().geometry().formatLabel(), "30x21");
    EXPECT_DOUBLE_EQ(model().borderCm(), 0.0);
}

TEST_F(SidePanelTest, ControlsAreLaidOutOnResize) {
    makePanel();
    m_panel->resize(300, 800);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(m_panel->photoList().geometry(), QRect(0, 28, 300, 325));
    EXPECT_EQ(m_panel->preview().geometry(), QRect(0, 381, 300, 162));
    EXPECT_EQ(m_panel->gauge().geometry(), QRect(0, 761, 300, 38));
    EXPECT_EQ(m_panel->qualityHeader().text(), QString::fromUtf8("Qualité tirage"));
}

} // namespace
