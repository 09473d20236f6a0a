#include <QRect>
#include <optional>

#include "engine/DocumentFixture.h"
#include "engine/Photo.h"
#include "engine/SaveQueue.h"

// The document's background work: the first display from a reduced decode, and results
// written through a save queue.
namespace {

using PhotoDocumentBackgroundTest = DocumentFixture;

TEST_F(PhotoDocumentBackgroundTest, FirstDisplayComesFromADecodeReducedToTheWindow) {
    // clang-format off
    // client (display pixels); shown (pixels of the first display image); full (the frame's photo size, upright)
    struct Row { const char* name; QSize client; QSize shown; QSize full; std::optional<int> orientation = std::nullopt; };
    // Which reduction fits a window is the codec's business.
    const Row rows[] = {
        {"no window yet: full size", {0, 0}, {800, 600}, {800, 600}},
        {"a quarter shown: a quarter", {210, 160}, {200, 150}, {800, 600}},
        {"turned by EXIF: sides of the upright photo", {160, 210}, {150, 200}, {600, 800}, 6},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path =
            writePhoto("photo.jpg", 800, 600, {.orientation = row.orientation});
        m_model->setClientSize(row.client.width(), row.client.height());
        ASSERT_TRUE(m_model->load(path, 0));
        EXPECT_EQ(m_model->displayImage().size(), row.shown);
        EXPECT_EQ(m_model->geometry().photoWidth(), row.full.width());
        EXPECT_EQ(m_model->geometry().photoHeight(), row.full.height());
        ASSERT_NE(m_model->photo(), nullptr);
        EXPECT_EQ(m_model->photo()->image().size(), row.full) << "waits for the full size";
        EXPECT_FALSE(m_model->isLoadingFullSize());
    }
}

TEST_F(PhotoDocumentBackgroundTest, CropRightAfterLoadingTakesTheFullSizePixels) {
    const std::string path = writePhoto("photo.jpg", 800, 600);
    m_model->setClientSize(210, 160);
    ASSERT_TRUE(m_model->load(path, 0));
    ASSERT_TRUE(m_model->isLoadingFullSize()) << "shown from a reduced decode first";
    const QRect frame = m_model->frameRect(true);
    m_model->cropToFrame();
    EXPECT_EQ(m_model->photo()->image(), Photo::load(path)->image().copy(frame));
}

TEST_F(PhotoDocumentBackgroundTest, AnIndexQueuedForWritingIsTakenAlready) {
    const fixtures::ExifFields exif{.dateTimeOriginal = "2006:07:14 10:20:30"};
    SaveQueue queue;
    m_model->setSaveQueue(&queue);
    ASSERT_TRUE(m_model->load(writePhoto("first.jpg", 2400, 1800, exif), kNoResultIndex));
    ASSERT_TRUE(m_model->saveResult());
    ASSERT_TRUE(m_model->load(writePhoto("second.jpg", 300, 200, exif), kNoResultIndex));
    ASSERT_TRUE(m_model->reserveResultIndex());
    EXPECT_EQ(m_model->resultIndex(), 1);
    ASSERT_TRUE(queue.finish());
    m_model->setSaveQueue(nullptr);
}

} // namespace
