#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/ShellIcons.h"
#include "app/SplashWindow.h"
#include "settings/Settings.h"
#include "ui_support/ScriptedPrompts.h"
#include "view/LumicutView.h"

// What only the windows show of a result written in the background: its state in the
// status bar, and a quit that waits for it.
namespace {

namespace fs = std::filesystem;

class BackgroundSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        SplashWindow::enableSplash(false);
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.path().toStdString() + "/";
        fs::create_directories(m_root + "photos");
        fs::create_directories(m_root + "out");
        // Large and grainy, so that writing the result takes a while.
        QImage image(3000, 2000, QImage::Format_RGB888);
        for (int y = 0; y < image.height(); ++y) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < 3 * image.width(); ++x)
                row[x] = static_cast<uchar>((x * 37 + y * 11) ^ (x * y));
        }
        ASSERT_TRUE(image.save(QString::fromStdString(m_root + "photos/a.jpg"), "JPG", 95));
        m_settings = std::make_unique<Settings>(m_root + "param.dat");
        m_settings->setCurrentFolder(m_root + "photos/");
        m_settings->setDestinationFolder(m_root + "out/");
        m_frame = std::make_unique<MainWindow>(*m_settings, m_prompts);
        m_view = new LumicutView(*m_settings, m_prompts, m_frame.get());
        m_frame->setView(m_view);
        m_frame->resize(1280, 800);
        m_frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
        m_view->onInitialUpdate();
    }

    QTemporaryDir m_dir;
    std::string m_root;
    std::unique_ptr<Settings> m_settings;
    ScriptedPrompts m_prompts;
    std::unique_ptr<MainWindow> m_frame;
    LumicutView* m_view = nullptr; // owned by the frame
};

TEST_F(BackgroundSaveTest, StatusShowsTheResultBeingWrittenThenWritten) {
    QTest::keyClick(m_view, Qt::Key_Return);
    EXPECT_EQ(m_frame->resultStatusIcon(), ResultIcon::Writing);
    m_view->finishSaves();
    EXPECT_EQ(m_frame->resultStatusIcon(), ResultIcon::Saved);
    EXPECT_TRUE(m_prompts.messages.empty());
}

TEST_F(BackgroundSaveTest, ClosingTheWindowWritesWhatIsQueuedFirst) {
    QTest::keyClick(m_view, Qt::Key_Return);
    m_frame->close();
    // Right after the close, without the event loop: the whole file is there, and nothing
    // else (no temporary file of a write still under way).
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_root + "out"))
        names.push_back(entry.path().string());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_FALSE(QImage(QString::fromStdString(names[0])).isNull());
}

} // namespace
