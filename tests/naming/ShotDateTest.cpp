#include <gtest/gtest.h>

#include "metadata/ExifBlock.h"
#include "naming/ShotDate.h"
#include "support/PhotoFixtures.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Shot dates are wall-clock dates, held as Qt::UTC date-times so that no zone shifts them.
QDateTime wall(QDate date, QTime time) {
    return QDateTime(date, time, Qt::UTC);
}
QDateTime wall(const QDateTime& local) {
    return wall(local.date(), local.time());
}

// What the file system says of the file's creation: its birth time where recorded,
// else its modification time, which the test pins to a known date.
QDateTime expectedFileTime(const std::string& path) {
    struct statx info {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &info) == 0 &&
        (info.stx_mask & STATX_BTIME) != 0 && info.stx_btime.tv_sec != 0)
        return wall(QDateTime::fromMSecsSinceEpoch(info.stx_btime.tv_sec * 1000LL +
                                                   info.stx_btime.tv_nsec / 1000000));
    return wall(QDate(2001, 2, 3), QTime(4, 5, 6));
}

class ShotDate : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // A photo file with the given EXIF fields, its modification time set to 3 Feb 2001.
    std::string photoFile(const char* name, const QByteArray& jpeg) {
        const std::string path = m_dir.filePath(name).toStdString();
        EXPECT_TRUE(fixtures::writeFile(path, jpeg));
        const QDateTime pinned(QDate(2001, 2, 3), QTime(4, 5, 6));
        const timespec times[2] = {{pinned.toSecsSinceEpoch(), 0}, {pinned.toSecsSinceEpoch(), 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
        return path;
    }
    std::string photoFile(const char* name, const fixtures::ExifFields& fields) {
        return photoFile(name, fixtures::withExif(m_plain, fields));
    }

    QTemporaryDir m_dir;
    const QByteArray m_plain = fixtures::jpeg(fixtures::gradient(32, 24), 90);
};

fixtures::ExifFields dateText(const char* text) {
    fixtures::ExifFields fields;
    fields.make = "Lumicam";
    fields.dateTimeOriginal = text;
    return fields;
}

TEST_F(ShotDate, ReadsTheExifDateFromFileOrHeldBlock) {
    struct Row {
        const char* name;
        const char* text;
        QDateTime expected;
    };
    const Row rows[] = {
        {"plain", "2006:07:14 10:20:30", wall(QDate(2006, 7, 14), QTime(10, 20, 30))},
        {"separators are not looked at", "2006-07-14T10:20:30",
         wall(QDate(2006, 7, 14), QTime(10, 20, 30))},
        {"fields read as leading integers", "2006:7x:14 10:20:3x",
         wall(QDate(2006, 7, 14), QTime(10, 20, 3))},
        {"leap day", "2004:02:29 00:00:00", wall(QDate(2004, 2, 29), QTime(0, 0))},
        // Clocks in Paris jumped from 02:00 to 03:00 that night; the camera still said 02:30.
        {"inside a daylight-saving gap", "2021:03:28 02:30:00",
         wall(QDate(2021, 3, 28), QTime(2, 30))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QByteArray jpeg = fixtures::withExif(m_plain, dateText(row.text));
        const std::string path = photoFile("dated.jpg", jpeg);
        EXPECT_EQ(shotDate(path, nullptr), row.expected);
        const ExifBlock held = ExifBlock::fromJpeg(jpeg);
        EXPECT_EQ(shotDate(path, &held), row.expected);
    }
}

TEST_F(ShotDate, FallsBackToTheFileTime) {
    fixtures::ExifFields wrongType;
    wrongType.make = "Lumicam";
    wrongType.dateTimeOriginalAsShort = 2006;
    fixtures::ExifFields noDate;
    noDate.make = "Lumicam";
    struct Row {
        const char* name;
        QByteArray jpeg;
    };
    const Row rows[] = {
        {"no EXIF", m_plain},
        {"EXIF without a date", fixtures::withExif(m_plain, noDate)},
        {"date of 10 characters", fixtures::withExif(m_plain, dateText("2006:07:14"))},
        {"date of 20 characters", fixtures::withExif(m_plain, dateText("2006:07:14 10:20:30Z"))},
        {"30 February", fixtures::withExif(m_plain, dateText("2006:02:30 10:00:00"))},
        {"camera placeholder", fixtures::withExif(m_plain, dateText("0000:00:00 00:00:00"))},
        {"hour 24", fixtures::withExif(m_plain, dateText("2006:07:14 24:00:00"))},
        {"date stored as a number", fixtures::withExif(m_plain, wrongType)},
        {"text file named .jpg", QByteArray("not a photo")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = photoFile((std::string(row.name) + ".jpg").c_str(), row.jpeg);
        const QDateTime expected = expectedFileTime(path);
        EXPECT_EQ(shotDate(path, nullptr), expected);
        const ExifBlock held = ExifBlock::fromJpeg(row.jpeg);
        EXPECT_EQ(shotDate(path, &held), expected);
    }
}

TEST_F(ShotDate, HeldBlockWinsOverTheFileAndPixelsAreNotNeededWithoutIt) {
    const QByteArray jpeg = fixtures::withExif(m_plain, dateText("2006:07:14 10:20:30"));
    const qsizetype scan = jpeg.indexOf(QByteArray("\xFF\xDA", 2));
    ASSERT_GT(scan, 0);
    const std::string path = photoFile("cut.jpg", jpeg.left(scan + 4));
    EXPECT_EQ(shotDate(path, nullptr), wall(QDate(2006, 7, 14), QTime(10, 20, 30)));
    const ExifBlock held(fixtures::rawTiff(dateText("1999:12:31 23:59:59")));
    EXPECT_EQ(shotDate(path, &held), wall(QDate(1999, 12, 31), QTime(23, 59, 59)));
    // An empty held block is the photo's answer too: its file is not read instead.
    const ExifBlock none;
    EXPECT_EQ(shotDate(path, &none), expectedFileTime(path));
}

TEST_F(ShotDate, FileNameThatIsNotUtf8) {
    // "Noël" in Latin-1: the name's bytes are used as they are.
    const std::string path = m_dir.path().toStdString() + "/No\xEBl.jpg";
    ASSERT_TRUE(
        fixtures::writeFile(path, fixtures::withExif(m_plain, dateText("2006:07:14 10:20:30"))));
    EXPECT_EQ(shotDate(path, nullptr), wall(QDate(2006, 7, 14), QTime(10, 20, 30)));
    ::unlink(path.c_str()); // the temporary folder's clean-up cannot name it
}

TEST_F(ShotDate, MissingFileGivesNowAndPipeIsNotWaitedOn) {
    const QDateTime before = wall(QDateTime::currentDateTime());
    const QDateTime date = shotDate(m_dir.filePath("missing.jpg").toStdString(), nullptr);
    EXPECT_GE(date, before);
    EXPECT_LE(date, wall(QDateTime::currentDateTime()));
    const std::string pipe = m_dir.filePath("pipe.jpg").toStdString();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_TRUE(shotDate(pipe, nullptr).isValid());
}

} // namespace
