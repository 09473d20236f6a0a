#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "engine/SaveQueue.h"
#include "support/PhotoFixtures.h"

namespace {

// A flat photo of one grey level, to tell afterwards which save a file came from.
Photo flatPhoto(int grey, int width = 64, int height = 48) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(grey, grey, grey));
    return Photo(image);
}

// Grey level at the centre of the JPEG at path; -1 when it does not decode.
int greyOf(const std::string& path) {
    const JpegDecodeResult decoded = JpegCodec::decodeFile(path);
    if (!decoded.ok())
        return -1;
    return qRed(decoded.image.pixel(decoded.image.width() / 2, decoded.image.height() / 2));
}

class SaveQueueTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    [[nodiscard]] std::string pathOf(const std::string& name) const {
        return m_dir.path().toStdString() + "/" + name;
    }
    QTemporaryDir m_dir;
};

TEST_F(SaveQueueTest, FilesAreWrittenAndAnnouncedInQueueOrder) {
    struct Save {
        const char* name;
        int grey;
    };
    struct Row {
        const char* name;
        std::vector<Save> saves;
        std::vector<std::pair<const char*, int>> files; // name, grey it ends with
    };
    const Row rows[] = {
        {"different paths",
         {{"a.jpg", 40}, {"b.jpg", 120}, {"c.jpg", 200}},
         {{"a.jpg", 40}, {"b.jpg", 120}, {"c.jpg", 200}}},
        {"a later save of a path lands after the earlier one",
         {{"same.jpg", 40}, {"other.jpg", 120}, {"same.jpg", 200}},
         {{"same.jpg", 200}, {"other.jpg", 120}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SaveQueue queue;
        QSignalSpy finished(&queue, &SaveQueue::saveFinished);
        std::vector<uint64_t> jobs;
        for (const Save& save : row.saves)
            jobs.push_back(queue.enqueue(flatPhoto(save.grey), pathOf(save.name), 100));
        EXPECT_TRUE(queue.isPending(pathOf(row.saves.front().name)));
        ASSERT_TRUE(queue.finish());
        EXPECT_FALSE(queue.isPending(pathOf(row.saves.front().name)));
        ASSERT_EQ(finished.size(), static_cast<qsizetype>(row.saves.size()));
        for (size_t k = 0; k < jobs.size(); ++k) {
            EXPECT_EQ(finished[static_cast<qsizetype>(k)][0].value<uint64_t>(), jobs[k]);
            EXPECT_EQ(finished[static_cast<qsizetype>(k)][1].toString().toStdString(),
                      pathOf(row.saves[k].name));
            EXPECT_TRUE(finished[static_cast<qsizetype>(k)][2].toBool());
        }
        for (const auto& [name, grey] : row.files)
            EXPECT_NEAR(greyOf(pathOf(name)), grey, 2) << name;
    }
}

TEST_F(SaveQueueTest, FailureIsAnnouncedAndTheNextSaveStillWritten) {
    SaveQueue queue;
    QSignalSpy finished(&queue, &SaveQueue::saveFinished);
    queue.enqueue(flatPhoto(90), pathOf("no-such-folder/a.jpg"), 100);
    queue.enqueue(flatPhoto(90), pathOf("b.jpg"), 100);
    ASSERT_TRUE(queue.finish());
    ASSERT_EQ(finished.size(), 2);
    EXPECT_FALSE(finished[0][2].toBool());
    EXPECT_TRUE(finished[1][2].toBool());
    EXPECT_EQ(fixtures::folderEntries(m_dir.path().toStdString()),
              std::vector<std::string>{"b.jpg"});
}

TEST_F(SaveQueueTest, DestroyingTheQueueWritesEverythingQueuedFirst) {
    constexpr int kSaves = 6;
    {
        SaveQueue queue;
        for (int k = 0; k < kSaves; ++k)
            queue.enqueue(flatPhoto(30 * k, 800, 600), pathOf(std::to_string(k) + ".jpg"), 100);
    }
    for (int k = 0; k < kSaves; ++k)
        EXPECT_NEAR(greyOf(pathOf(std::to_string(k) + ".jpg")), 30 * k, 2) << k;
}

} // namespace
