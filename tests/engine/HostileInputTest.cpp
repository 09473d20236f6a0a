// Photos and folders the program did not make, and result writes the disk refuses, through
// the photo model as the display window drives it: it never crashes, the photo on screen and
// every earlier result survive, the user is told what the rules say, and the next action
// still works.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QDate>
#include <QTemporaryDir>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "naming/PhotoScan.h"
#include "settings/Settings.h"
#include "support/PhotoFixtures.h"

namespace {

using Warning = std::pair<std::string, std::string>;

const Warning kSaveFailed{"Impossible de sauvegarder l'image", "Attention !!!"};

// What the document told the user.
struct RecordingHost {
    std::vector<Warning> warnings;

    void listen(PhotoDocument& document) {
        QObject::connect(&document, &PhotoDocument::message,
                         [this](const QString& text, const QString& caption) {
                             warnings.emplace_back(text.toStdString(), caption.toStdString());
                         });
    }
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.path().toStdString() + "/";
        m_settings = std::make_unique<Settings>(m_root + "param.dat");
        m_destination = m_root + "Tirages & 100%/";
        std::filesystem::create_directories(m_destination);
        m_settings->setDestinationFolder(m_destination);
        m_settings->setAutoRename(0); // results named after their photo: fixed paths
        m_model = std::make_unique<PhotoDocument>(*m_settings);
        m_model->setClientSize(1010, 760);
        m_host.listen(*m_model);
        m_model->setFormat(15, 10, "15x10");
    }
    // Removes names that are not UTF-8 too, which the temporary folder's own clean-up
    // cannot address.
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    std::string writePhoto(const std::string& relative, int width, int height,
                           const fixtures::ExifFields* exif = nullptr) {
        QByteArray bytes = fixtures::jpeg(fixtures::gradient(width, height), 90);
        if (exif != nullptr) {
            bytes = fixtures::withExif(bytes, *exif);
        }
        // Written with the plain file interface: names need not be UTF-8.
        const std::string path = m_root + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
        return path;
    }

    // Loads, crops and saves; the result's path.
    std::string validate(const std::string& photo) {
        EXPECT_TRUE(m_model->load(photo, kNoResultIndex)) << photo;
        m_model->cropToFrame();
        EXPECT_TRUE(m_model->saveResult()) << photo;
        return m_model->resultPath();
    }

    QTemporaryDir m_dir;
    std::string m_root;
    RecordingHost m_host;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<PhotoDocument> m_model;
    std::string m_destination;
};

// ---- Files named .jpg that are no usable photo ----

struct BadPhotoRow {
    const char* description;
    std::function<void(const std::string& path)> make;
};

void write(const std::string& path, const QByteArray& bytes) {
    std::ofstream out(path, std::ios::binary);
    ASSERT_TRUE(out.write(bytes.constData(), bytes.size()).good()) << path;
}

TEST_F(Hostile, UnusablePhotoFileKeepsThePhotoOnScreenAndItsResult) {
    const QByteArray good = fixtures::jpeg(fixtures::gradient(64, 48), 90);
    const BadPhotoRow rows[] = {
        {"zero bytes", [](const std::string& p) { write(p, QByteArray()); }},
        {"cut inside the header", [&](const std::string& p) { write(p, good.left(100)); }},
        {"PNG named .jpg", [](const std::string& p) { write(p, fixtures::pngBytes()); }},
        {"text named .jpg", [](const std::string& p) { write(p, "Liste des courses\n"); }},
        {"header claiming 65000 x 65000",
         [&](const std::string& p) { write(p, fixtures::withDimensions(good, 65000, 65000)); }},
        {"a folder named .jpg",
         [](const std::string& p) { std::filesystem::create_directories(p + "/inside"); }},
        {"a symbolic link loop",
         [](const std::string& p) {
             ::symlink((p + ".b").c_str(), p.c_str());
             ::symlink(p.c_str(), (p + ".b").c_str());
         }},
        {"a dangling link", [](const std::string& p) { ::symlink("/nowhere.jpg", p.c_str()); }},
        {"a named pipe", [](const std::string& p) { ::mkfifo(p.c_str(), 0644); }},
    };
    const std::string photo = writePhoto("Vacances/IMG_0001.JPG", 600, 400);
    const std::string result = validate(photo);
    const std::string earlier = readAll(result);
    const std::string paramBefore = readAll(m_root + "param.dat");
    const QImage onScreen = m_model->photo()->image();
    m_host.warnings.clear();

    for (const BadPhotoRow& row : rows) {
        SCOPED_TRACE(row.description);
        const std::string bad = m_root + "bad/" + row.description + ".jpg";
        std::filesystem::create_directories(m_root + "bad");
        row.make(bad);
        EXPECT_FALSE(m_model->load(bad, 7));
        EXPECT_EQ(m_model->sourcePath(), photo);
        EXPECT_EQ(m_model->photo()->image(), onScreen);
        EXPECT_TRUE(m_host.warnings.empty()) << "a photo that does not load is not reported";
        EXPECT_EQ(readAll(result), earlier);
    }
    EXPECT_EQ(readAll(m_root + "param.dat"), paramBefore);

    // The photo on screen can still be validated again, over its own result.
    m_model->setModified(true);
    EXPECT_TRUE(m_model->saveResult());
    EXPECT_EQ(m_model->resultPath(), result);
    const JpegDecodeResult again = JpegCodec::decodeFile(result);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.image.size(), onScreen.size());
}

TEST_F(Hostile, PhotoCutInsideItsScanLoadsAndSaves) {
    const QByteArray whole = fixtures::jpeg(fixtures::gradient(300, 200), 90);
    const std::string path = m_root + "cut.jpg";
    write(path, whole.left(whole.size() * 2 / 3));
    const std::string result = validate(path);
    const JpegDecodeResult saved = JpegCodec::decodeFile(result);
    ASSERT_TRUE(saved.ok());
    EXPECT_FALSE(saved.image.isNull());
    EXPECT_TRUE(m_host.warnings.empty());
}

// ---- Photos of extreme proportions ----

struct ExtremeRow {
    const char* description;
    int width;
    int height;
    double formatHeightCm;
    double formatWidthCm;
};

TEST_F(Hostile, ExtremeProportionsGoThroughEveryCommand) {
    // Every frame command, crop, border, identity sheet and save on photos and formats of
    // extreme proportions: nothing may crash, overflow or write a broken file.
    const ExtremeRow rows[] = {
        {"one pixel", 1, 1, 15, 10},
        {"one pixel wide", 1, 3000, 15, 10},
        {"one pixel high", 3000, 1, 15, 10},
        {"thin strip, square format", 4000, 3, 20, 20},
        {"panorama format on an upright photo", 40, 600, 10, 300},
        {"format of one centimetre by 65535", 300, 200, 1, 65535},
    };
    for (const ExtremeRow& row : rows) {
        SCOPED_TRACE(row.description);
        const std::string photo =
            writePhoto(std::string("x/") + row.description + ".jpg", row.width, row.height);
        m_model->setFormat(row.formatHeightCm, row.formatWidthCm, "x");
        for (const bool idSheet : {false, true}) {
            ASSERT_TRUE(m_model->load(photo, kNoResultIndex));
            for (const int d : {-100000, -3, 0, 5, 100000}) {
                m_model->moveFrameX(d);
                m_model->moveFrameY(-d);
                m_model->zoomFrame(d);
                m_model->rotateFrame();
                (void)m_model->printQuality();
            }
            m_model->zoomFrame(1);
            if (idSheet) {
                m_model->setIdSheet(true);
                m_model->makeIdSheet();
                m_model->setIdSheet(false);
            } else {
                m_model->cropToFrame();
                m_model->setWhiteBorder(true);
                m_model->setWhiteBorderSize(65535);
                m_model->applyWhiteBorder();
                m_model->setWhiteBorder(false);
            }
            ASSERT_TRUE(m_model->hasPhoto());
            EXPECT_GT(m_model->photo()->width(), 0);
            EXPECT_GT(m_model->photo()->height(), 0);
            const QImage& made = m_model->photo()->image();
            if (made.width() > 65535 || made.height() > 65535) {
                // An identity sheet of an absurd format is taller than any JPEG can be:
                // the save fails with the usual message and the model stays usable.
                m_host.warnings.clear();
                EXPECT_FALSE(m_model->saveResult());
                EXPECT_EQ(m_host.warnings, std::vector<Warning>{kSaveFailed});
                m_host.warnings.clear();
                continue;
            }
            ASSERT_TRUE(m_model->saveResult());
            const JpegDecodeResult saved = JpegCodec::decodeFile(m_model->resultPath());
            ASSERT_TRUE(saved.ok());
            EXPECT_EQ(saved.image.size(), made.size());
        }
    }
    EXPECT_TRUE(m_host.warnings.empty());
}

// ---- EXIF data the camera (or something else) got wrong ----

TEST_F(Hostile, BrokenExifStillGivesAResultNamedWithTheFileDate) {
    m_settings->setAutoRename(1);
    m_settings->setResultName("Photos_%dc_%i");
    std::vector<std::pair<std::string, QByteArray>> rows;
    const QByteArray plain = fixtures::jpeg(fixtures::gradient(120, 80), 90);
    for (const fixtures::HostileExif& block : fixtures::hostileExifBlocks()) {
        rows.emplace_back(block.name, fixtures::withRawExif(plain, block.tiff));
    }
    const auto dated = [&](const char* text) {
        fixtures::ExifFields fields;
        fields.dateTimeOriginal = text;
        return fixtures::withExif(plain, fields);
    };
    rows.emplace_back("date of 10 characters", dated("2006:07:14"));
    rows.emplace_back("31 April", dated("2006:04:31 10:00:00"));
    rows.emplace_back("month 13, hour 25", dated("2006:13:01 25:00:00"));
    fixtures::ExifFields wrongType;
    wrongType.dateTimeOriginalAsShort = 2006;
    rows.emplace_back("date stored as a number", fixtures::withExif(plain, wrongType));

    int n = 0;
    for (const auto& [name, bytes] : rows) {
        SCOPED_TRACE(name);
        const std::string path = m_root + "exif/" + std::to_string(n++) + ".jpg";
        std::filesystem::create_directories(m_root + "exif");
        write(path, bytes);
        const QString before = QDate::currentDate().toString("yyyyMMdd");
        m_model->setResultIndex(kNoResultIndex);
        ASSERT_TRUE(m_model->load(path, kNoResultIndex));
        m_model->cropToFrame();
        ASSERT_TRUE(m_model->saveResult());
        const std::string result = m_model->resultPath();
        const QString after = QDate::currentDate().toString("yyyyMMdd");
        const std::string file = std::filesystem::path(result).filename().string();
        EXPECT_TRUE(file.rfind("Photos_" + before.toStdString() + "_", 0) == 0 ||
                    file.rfind("Photos_" + after.toStdString() + "_", 0) == 0)
            << file << ": the file was written today";
        EXPECT_TRUE(JpegCodec::decodeFile(result).ok());
    }
    EXPECT_TRUE(m_host.warnings.empty());
    EXPECT_EQ(fixtures::folderEntries(m_destination).size(), rows.size())
        << "every result under its own index";
}

// ---- Odd file and folder names, from the scan to the saved result ----

struct NameRow {
    const char* description;
    std::string folder; // inside the working folder
    std::string file;
    std::string mask;
    std::string expected; // file name of the result in the destination folder
};

TEST_F(Hostile, OddNamesFromScanToResult) {
    const NameRow rows[] = {
        {"spaces", "Mes vacances", "IMG 0001.JPG", "%sr - %f", "Mes vacances - IMG 0001.jpg"},
        {"ampersand", "Paul & Anne", "a&b.jpg", "%sr_%f", "Paul & Anne_a&b.jpg"},
        {"percent signs that are no tag", "100%", "50%off.jpg", "%sr_%f", "100%_50%off.jpg"},
        {"a file named with the index tag", "x", "a%i.jpg", "%f_%i", "a000_000.jpg"},
        {"a file named like an earlier tag keeps its name", "x2", "%sr.jpg", "%f", "%sr.jpg"},
        {"line breaks", "ligne\nsuite", "a\nb.jpg", "%sr_%f", "ligne\nsuite_a\nb.jpg"},
        {"Latin-1 bytes that are not UTF-8", "\xE9t\xE9", "No\xEBl.JPG", "%sr_%f",
         "\xE9t\xE9_No\xEBl.jpg"},
        {"a leading dash and dot", "-r", ".-n.jpg", "%sr%f", "-r.-n.jpg"},
    };
    m_settings->setAutoRename(1);
    for (const NameRow& row : rows) {
        SCOPED_TRACE(row.description);
        const std::string working = m_root + "work/" + row.folder + "/";
        const std::string photo = writePhoto("work/" + row.folder + "/" + row.file, 90, 60);
        std::vector<std::string> found;
        scanPhotoFolder(m_root + "work/", found, true);
        EXPECT_NE(std::find(found.begin(), found.end(), photo), found.end());

        m_settings->setResultName(row.mask);
        m_model->setResultIndex(kNoResultIndex);
        ASSERT_TRUE(m_model->load(photo, kNoResultIndex));
        EXPECT_EQ(m_model->resultPath(), m_destination + row.expected);
        m_model->cropToFrame();
        ASSERT_TRUE(m_model->saveResult());
        EXPECT_TRUE(JpegCodec::decodeFile(m_destination + row.expected).ok());
        std::filesystem::remove_all(m_root + "work");
    }
    EXPECT_TRUE(m_host.warnings.empty());
    // The settings file holds the odd masks as they were given.
    Settings reread(m_root + "param.dat");
    EXPECT_EQ(reread.resultName(), rows[std::size(rows) - 1].mask);
}

// ---- Results the disk refuses ----

TEST_F(Hostile, UnwritableDestinationWarnsAndChangesNothing) {
    const std::string photo = writePhoto("IMG.jpg", 600, 400);
    const std::string result = validate(photo);
    const std::string earlier = readAll(result);
    const std::string blocker = m_root + "not a folder";
    ASSERT_TRUE(fixtures::writeFile(blocker, "a file where the folder should be"));
    const struct {
        const char* description;
        std::string destination;
    } rows[] = {
        {"destination is a file", blocker + "/"},
        {"destination inside a file", blocker + "/sub/"},
        {"read-only file system", "/proc/"},
        {"destination name too long", m_root + std::string(300, 'd') + "/"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.description);
        m_host.warnings.clear();
        m_settings->setDestinationFolder(row.destination);
        m_model->setModified(true);
        EXPECT_FALSE(m_model->saveResult());
        EXPECT_TRUE(m_model->isModified());
        ASSERT_EQ(m_host.warnings.size(), 1u);
        EXPECT_EQ(m_host.warnings[0], kSaveFailed);
    }
    EXPECT_EQ(readAll(blocker), "a file where the folder should be");
    EXPECT_EQ(readAll(result), earlier);
    EXPECT_EQ(fixtures::folderEntries(m_destination), std::vector<std::string>{"IMG.jpg"});

    m_settings->setDestinationFolder(m_destination);
    EXPECT_TRUE(m_model->saveResult());
}

TEST_F(Hostile, FullDiskDuringSaveWarnsAndKeepsTheEarlierResult) {
    const std::string photo = writePhoto("IMG.jpg", 600, 400);
    const std::string result = validate(photo);
    const std::string earlier = readAll(result);
    ASSERT_GT(earlier.size(), 8192u);
    const std::string paramBefore = readAll(m_root + "param.dat");
    m_model->setModified(true);

    // The file size limit stands in for a full disk: writes past it fail with EFBIG once
    // SIGXFSZ is ignored. The child reports through its exit code; it leaves with _exit so
    // that the test framework's state is not run twice.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            _exit(10);
        }
        const bool saved = m_model->saveResult();
        int code = 0;
        code |= saved ? 1 : 0;
        code |= m_host.warnings == std::vector<Warning>{kSaveFailed} ? 0 : 2;
        code |= m_model->isModified() ? 0 : 4;
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the writer was killed instead of failing";
    EXPECT_EQ(WEXITSTATUS(status) & 1, 0) << "the save reported success";
    EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << "the user was not told";
    EXPECT_EQ(WEXITSTATUS(status) & 4, 0) << "the photo no longer counts as modified";
    EXPECT_EQ(WEXITSTATUS(status), 0);

    EXPECT_EQ(readAll(result), earlier);
    EXPECT_EQ(fixtures::folderEntries(m_destination), std::vector<std::string>{"IMG.jpg"})
        << "no leftovers";
    EXPECT_EQ(readAll(m_root + "param.dat"), paramBefore);
    EXPECT_TRUE(m_model->saveResult()) << "with room again, the same save works";
}

} // namespace
