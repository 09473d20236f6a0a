#include <gtest/gtest.h>

#include "metadata/ExifBlock.h"
#include "naming/ShotDate.h"
#include "support/PhotoFixtures.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Shot dates are wall-clock dates, held as Qt::UTC date-times so that no zone shifts them.
QDateTime wall(QDate date, QTime time) {
    return QDateTime(date, time, Qt::UTC);
}

// What the file system says of the file's creation: its birth time where recorded, else its
// modification time (pinned to 3 Feb 2001 below, far from now).
QDateTime fileTime(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    const QDateTime local = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
    return wall(local.date(), local.time());
}

QByteArray dated(const char* text) {
    return fixtures::withExif(fixtures::jpeg(fixtures::gradient(32, 24), 90),
                              {.dateTimeOriginal = text, .make = "Lumicam"});
}

TEST(ShotDate, ExifDateFromTheFileOrTheHeldBlockElseTheFileTime) {
    QTemporaryDir dir;
    const QDateTime none; // stands for the file's time
    const QByteArray plain = dated("2006:07:14 10:20:30");
    // clang-format off
    const struct { const char* name; QByteArray jpeg; QDateTime expected; } rows[] = {
        {"plain, the file cut after its header: no pixel is read", plain.left(plain.indexOf(QByteArray("\xFF\xDA", 2)) + 20),
         wall(QDate(2006, 7, 14), QTime(10, 20, 30))},
        {"fields read as leading integers, separators not looked at", dated("2006-7x:14T10:20:3x"), wall(QDate(2006, 7, 14), QTime(10, 20, 3))},
        // Clocks in Paris jumped from 02:00 to 03:00 that night; the camera still said 02:30.
        {"inside a daylight-saving gap", dated("2021:03:28 02:30:00"), wall(QDate(2021, 3, 28), QTime(2, 30))},
        {"no EXIF", fixtures::jpeg(fixtures::gradient(8, 8)), none},
        {"date of 10 characters", dated("2006:07:14"), none},
        {"30 February", dated("2006:02:30 10:00:00"), none},
        {"date stored as a number", fixtures::withExif(fixtures::jpeg(fixtures::gradient(8, 8)), {.dateTimeOriginalAsShort = 2006}), none},
        {"text file named .jpg", QByteArray("not a photo"), none},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.filePath(QString("%1.jpg").arg(row.name)).toStdString();
        ASSERT_TRUE(fixtures::writeFile(path, row.jpeg));
        const timespec pinned[2] = {{981173106, 0}, {981173106, 0}}; // 2001-02-03 04:05:06 UTC
        ::utimensat(AT_FDCWD, path.c_str(), pinned, 0);
        const QDateTime expected = row.expected.isValid() ? row.expected : fileTime(path);
        EXPECT_EQ(shotDate(path, nullptr), expected);
        const ExifBlock held = ExifBlock::fromJpeg(row.jpeg);
        EXPECT_EQ(shotDate(path, &held), expected);
    }
}

} // namespace
