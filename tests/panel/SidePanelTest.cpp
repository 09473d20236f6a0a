#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "naming/ResultIndex.h"
#include "panel/SidePanel.h"
#include "settings/Settings.h"
#include "ui_support/WidgetPixels.h"

namespace {

// The panel over photos a (600 x 400), b (400 x 600), c; an 800 x 600 document; reports counted.
class SidePanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath("photos"));
        const std::pair<const char*, QSize> photos[] = {
            {"a.jpg", {600, 400}}, {"b.jpg", {400, 600}}, {"c.jpg", {300, 300}}};
        for (const auto& [name, size] : photos)
            ASSERT_TRUE(writePhoto(m_root + "photos/" + name, size.width(), size.height(),
                                   qRgb(90, 120, 150)));
        m_settings.setCurrentFolder(m_root + "photos/");
        m_settings.setDestinationFolder(m_root + "out/");
        m_doc.setClientSize(800, 600);
        m_panel.resize(250, 800);
        m_panel.show();
        m_panel.setResultStatusHandler([this](const std::string&, bool) { ++m_statuses; });
        m_panel.attachDocument(&m_doc);
    }

    QTemporaryDir m_dir;
    std::string m_root = m_dir.path().toStdString() + "/";
    Settings m_settings{m_root + "param.dat"};
    PhotoDocument m_doc{m_settings};
    SidePanel m_panel{m_settings};
    int m_statuses = 0;
};

TEST_F(SidePanelTest, MovesAndClicksLoadTheRowsPhoto) {
    m_panel.fillPictureList();
    PhotoList& list = m_panel.photoList();
    const auto click = [&list](int row) {
        const QPoint at = row < 0 ? QPoint(20, list.viewport()->height() - 2)
                                  : list.visualRect(list.model()->index(row, 0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    };
    struct Step {
        const char* name;
        std::function<void()> act;
        int row;
        int statuses;
    };
    // clang-format off
    const Step steps[] = {
        {"next", [this] { m_panel.nextPicture(); }, 1, 2},
        {"next again", [this] { m_panel.nextPicture(); }, 2, 3},
        {"next at the last row: nothing", [this] { m_panel.nextPicture(); }, 2, 3},
        {"a click on row 0", [&] { click(0); }, 0, 4},
        {"previous at row 0: nothing", [this] { m_panel.previousPicture(); }, 0, 4},
        {"a click on the current row loads it again, undoing an edit", [&] { m_doc.rotateLeft(); click(0); }, 0, 5},
        {"a click below the rows, nothing selected: nothing", [&] { list.clearSelection(); click(-1); }, 0, 5},
    };
    // clang-format on
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(m_panel.currentIndex(), step.row);
        EXPECT_EQ(list.getCurrentRow(), step.row);
        EXPECT_EQ(m_doc.sourcePath(), m_root + "photos/" + char('a' + step.row) + ".jpg");
        EXPECT_EQ(m_doc.photo()->width(), step.row == 0 ? 600 : step.row == 1 ? 400 : 300);
        EXPECT_EQ(m_statuses, step.statuses);
    }
}

TEST_F(SidePanelTest, PreviewAndGaugeFollowTheLoadedPhotoAndFrame) {
    m_panel.fillPictureList();
    const QSize landscape = m_panel.preview().preview().size();
    EXPECT_GT(landscape.width(), landscape.height());
    EXPECT_EQ(m_panel.gauge().quality(), m_doc.printQuality());
    m_doc.zoomFrame(40);
    EXPECT_EQ(m_panel.gauge().cropWidth(), m_doc.frameSize().width()) << "follows the frame";

    // An edit leaves the preview as loaded; a left click on it loads the photo again.
    m_doc.rotateLeft();
    EXPECT_EQ(m_panel.preview().preview().size(), landscape);
    QTest::mouseClick(&m_panel.preview(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(m_doc.photo()->width(), 400) << "not the right button";
    QTest::mouseClick(&m_panel.preview(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(m_doc.photo()->width(), 600);
    m_panel.nextPicture();
    EXPECT_EQ(m_panel.preview().preview().size(), landscape.transposed());
}

TEST_F(SidePanelTest, TheSelectedFormatIsAppliedAndKeptByNameAcrossRefills) {
    QListWidget& formats = m_panel.formatList();
    const auto selected = [&formats] {
        const QList<QListWidgetItem*> items = formats.selectedItems();
        return items.size() == 1 ? formats.row(items.front()) : -1;
    };
    EXPECT_EQ(m_doc.geometry().formatLabel(), "15x10") << "the default format, height first";

    m_settings.saveFormats({"10x15", "15", "10", "4", "13x18", "18", "13", "4"});
    m_panel.fillFormatList();
    formats.setCurrentRow(1);
    EXPECT_EQ(m_doc.geometry().formatLabel(), "18x13");
    formats.clearSelection();
    EXPECT_EQ(m_doc.geometry().formatLabel(), "18x13") << "no selection: the format stays";

    m_settings.saveFormats(
        {"A4", "30", "21", "0", "9x13", "13", "9", "2", "13x18", "18", "13", "4"});
    m_panel.fillFormatList();
    EXPECT_EQ(selected(), 2);
    m_settings.saveFormats({"A4", "30", "21", "0"});
    m_panel.fillFormatList();
    EXPECT_EQ(selected(), 0) << "the applied format is gone: the first one";
    EXPECT_EQ(m_panel.currentFormatName(), "A4");
    EXPECT_EQ(m_doc.geometry().formatLabel(), "30x21");
}

} // namespace
