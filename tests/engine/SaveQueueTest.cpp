#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
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
    const QImage image = JpegCodec::decodeFile(path).image;
    return image.isNull() ? -1 : qRed(image.pixel(image.width() / 2, image.height() / 2));
}

TEST(SaveQueue, FilesAreWrittenAndAnnouncedInQueueOrder) {
    // clang-format off
    // ok (as announced); files (what the folder holds in the end)
    struct Save { const char* name; int grey; bool ok = true; };
    const struct { const char* name; std::vector<Save> saves; std::vector<Save> files; } rows[] = {
        {"different paths", {{"a.jpg", 40}, {"b.jpg", 120}, {"c.jpg", 200}}, {{"a.jpg", 40}, {"b.jpg", 120}, {"c.jpg", 200}}},
        {"a later save of a path lands after the earlier one", {{"same.jpg", 40}, {"other.jpg", 120}, {"same.jpg", 200}},
         {{"other.jpg", 120}, {"same.jpg", 200}}},
        {"a failure does not stop the next save", {{"missing/a.jpg", 90, false}, {"b.jpg", 90}}, {{"b.jpg", 90}}},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const auto pathOf = [&](const char* name) { return dir.filePath(name).toStdString(); };
        SaveQueue queue;
        QSignalSpy finished(&queue, &SaveQueue::saveFinished);
        std::vector<uint64_t> jobs;
        for (const Save& save : row.saves)
            jobs.push_back(queue.enqueue(flatPhoto(save.grey), pathOf(save.name), 100));
        EXPECT_TRUE(queue.isPending(pathOf(row.saves.front().name)));
        ASSERT_TRUE(queue.finish());
        EXPECT_FALSE(queue.isPending(pathOf(row.saves.front().name)));
        ASSERT_EQ(finished.size(), static_cast<qsizetype>(row.saves.size()));
        for (qsizetype k = 0; k < finished.size(); ++k) {
            EXPECT_EQ(finished[k][0].value<uint64_t>(), jobs[size_t(k)]);
            EXPECT_EQ(finished[k][1].toString().toStdString(), pathOf(row.saves[size_t(k)].name));
            EXPECT_EQ(finished[k][2].toBool(), row.saves[size_t(k)].ok);
        }
        std::vector<std::string> names;
        for (const Save& file : row.files) {
            names.push_back(file.name);
            EXPECT_NEAR(greyOf(pathOf(file.name)), file.grey, 2) << file.name;
        }
        EXPECT_EQ(fixtures::folderEntries(dir.path().toStdString()), names);
    }
}

TEST(SaveQueue, DestroyingTheQueueWritesEverythingQueuedFirst) {
    QTemporaryDir dir;
    const auto pathOf = [&](int k) { return dir.filePath(QString::number(k)).toStdString(); };
    constexpr int kSaves = 6;
    {
        SaveQueue queue;
        for (int k = 0; k < kSaves; ++k)
            queue.enqueue(flatPhoto(30 * k, 800, 600), pathOf(k), 100);
    }
    for (int k = 0; k < kSaves; ++k)
        EXPECT_NEAR(greyOf(pathOf(k)), 30 * k, 2) << k;
}

} // namespace
