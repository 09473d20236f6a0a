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

    void Listen(PhotoDocument& document) {
        QObject::connect(&document, &PhotoDocument::message,
                         [this](const QString& text, const QString& caption) {
                             warnings.emplace_back(text.toStdString(), caption.toStdString());
                         });
    }
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

QByteArray WithDimensions(QByteArray jpeg, int width, int height) {
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        if (uchar(jpeg[i]) == 0xFF && uchar(jpeg[i + 1]) == 0xC0) {
            jpeg[i + 5] = char(height >> 8);
            jpeg[i + 6] = char(height & 0xFF);
            jpeg[i + 7] = char(width >> 8);
            jpeg[i + 8] = char(width & 0xFF);
            break;
        }
    }
    return jpeg;
}

QByteArray PngBytes() {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    fixtures::Gradient(32, 32).save(&buffer, "PNG");
    return png;
}

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString() + "/";
        settings = std::make_unique<CSettings>(root + "param.dat");
        destination = root + "Tirages & 100%/";
        std::filesystem::create_directories(destination);
        settings->SetDestinationFolder(destination);
        settings->SetAutoRename(0); // results named after their photo: fixed paths
        model = std::make_unique<PhotoDocument>(*settings);
        model->setClientSize(1010, 760);
        host.Listen(*model);
        model->setFormat(15, 10, "15x10");
    }
    // Removes names that are not UTF-8 too, which the temporary folder's own clean-up
    // cannot address.
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    std::string WritePhoto(const std::string& relative, int width, int height,
                           const fixtures::ExifFields* exif = nullptr) {
        QByteArray bytes = fixtures::Jpeg(fixtures::Gradient(width, height), 90);
        if (exif != nullptr) {
            bytes = fixtures::WithExif(bytes, *exif);
        }
        // Written with the plain file interface: names need not be UTF-8.
        const std::string path = root + relative;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary).write(bytes.constData(), bytes.size());
        return path;
    }

    // Loads, crops and saves; the result's path.
    std::string Validate(const std::string& photo) {
        EXPECT_TRUE(model->load(photo, NO_RESULT_INDEX)) << photo;
        model->cropToFrame();
        EXPECT_TRUE(model->saveResult()) << photo;
        return model->resultPath();
    }

    QTemporaryDir dir;
    std::string root;
    RecordingHost host;
    std::unique_ptr<CSettings> settings;
    std::unique_ptr<PhotoDocument> model;
    std::string destination;
};

// ---- Files named .jpg that are no usable photo ----

struct BadPhotoRow {
    const char* description;
    std::function<void(const std::string& path)> make;
};

void Write(const std::string& path, const QByteArray& bytes) {
    std::ofstream out(path, std::ios::binary);
    ASSERT_TRUE(out.write(bytes.constData(), bytes.size()).good()) << path;
}

TEST_F(Hostile, UnusablePhotoFileKeepsThePhotoOnScreenAndItsResult) {
    const QByteArray good = fixtures::Jpeg(fixtures::Gradient(64, 48), 90);
    const BadPhotoRow rows[] = {
        {"zero bytes", [](const std::string& p) { Write(p, QByteArray()); }},
        {"cut inside the header", [&](const std::string& p) { Write(p, good.left(100)); }},
        {"PNG named .jpg", [](const std::string& p) { Write(p, PngBytes()); }},
        {"text named .jpg", [](const std::string& p) { Write(p, "Liste des courses\n"); }},
        {"header claiming 65000 x 65000",
         [&](const std::string& p) { Write(p, WithDimensions(good, 65000, 65000)); }},
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
    const std::string photo = WritePhoto("Vacances/IMG_0001.JPG", 600, 400);
    const std::string result = Validate(photo);
    const std::string earlier = ReadAll(result);
    const std::string paramBefore = ReadAll(root + "param.dat");
    const QImage onScreen = model->photo()->Image();
    host.warnings.clear();

    for (const BadPhotoRow& row : rows) {
        SCOPED_TRACE(row.description);
        const std::string bad = root + "bad/" + row.description + ".jpg";
        std::filesystem::create_directories(root + "bad");
        row.make(bad);
        EXPECT_FALSE(model->load(bad, 7));
        EXPECT_EQ(model->sourcePath(), photo);
        EXPECT_EQ(model->photo()->Image(), onScreen);
        EXPECT_TRUE(host.warnings.empty()) << "a photo that does not load is not reported";
        EXPECT_EQ(ReadAll(result), earlier);
    }
    EXPECT_EQ(ReadAll(root + "param.dat"), paramBefore);

    // The photo on screen can still be validated again, over its own result.
    model->setModified(true);
    EXPECT_TRUE(model->saveResult());
    EXPECT_EQ(model->resultPath(), result);
    const JpegDecodeResult again = JpegCodec::DecodeFile(result);
    ASSERT_TRUE(again.Ok());
    EXPECT_EQ(again.image.size(), onScreen.size());
}

TEST_F(Hostile, PhotoCutInsideItsScanLoadsAndSaves) {
    const QByteArray whole = fixtures::Jpeg(fixtures::Gradient(300, 200), 90);
    const std::string path = root + "cut.jpg";
    Write(path, whole.left(whole.size() * 2 / 3));
    const std::string result = Validate(path);
    const JpegDecodeResult saved = JpegCodec::DecodeFile(result);
    ASSERT_TRUE(saved.Ok());
    EXPECT_FALSE(saved.image.isNull());
    EXPECT_TRUE(host.warnings.empty());
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
            WritePhoto(std::string("x/") + row.description + ".jpg", row.width, row.height);
        model->setFormat(row.formatHeightCm, row.formatWidthCm, "x");
        for (const bool idSheet : {false, true}) {
            ASSERT_TRUE(model->load(photo, NO_RESULT_INDEX));
            for (const int d : {-100000, -3, 0, 5, 100000}) {
                model->moveFrameX(d);
                model->moveFrameY(-d);
                model->zoomFrame(d);
                model->rotateFrame();
                (void)model->printQuality();
            }
            model->zoomFrame(1);
            if (idSheet) {
                model->setIdSheet(true);
                model->makeIdSheet();
                model->setIdSheet(false);
            } else {
                model->cropToFrame();
                model->setWhiteBorder(true);
                model->setWhiteBorderSize(65535);
                model->applyWhiteBorder();
                model->setWhiteBorder(false);
            }
            ASSERT_TRUE(model->hasPhoto());
            EXPECT_GT(model->photo()->Width(), 0);
            EXPECT_GT(model->photo()->Height(), 0);
            const QImage& made = model->photo()->Image();
            if (made.width() > 65535 || made.height() > 65535) {
                // An identity sheet of an absurd format is taller than any JPEG can be:
                // the save fails with the usual message and the model stays usable.
                host.warnings.clear();
                EXPECT_FALSE(model->saveResult());
                EXPECT_EQ(host.warnings, std::vector<Warning>{kSaveFailed});
                host.warnings.clear();
                continue;
            }
            ASSERT_TRUE(model->saveResult());
            const JpegDecodeResult saved = JpegCodec::DecodeFile(model->resultPath());
            ASSERT_TRUE(saved.Ok());
            EXPECT_EQ(saved.image.size(), made.size());
        }
    }
    EXPECT_TRUE(host.warnings.empty());
}

// ---- EXIF data the camera (or something else) got wrong ----

TEST_F(Hostile, BrokenExifStillGivesAResultNamedWithTheFileDate) {
    settings->SetAutoRename(1);
    settings->SetResultName("Photos_%dc_%i");
    std::vector<std::pair<std::string, QByteArray>> rows;
    const QByteArray plain = fixtures::Jpeg(fixtures::Gradient(120, 80), 90);
    for (const fixtures::HostileExif& block : fixtures::HostileExifBlocks()) {
        rows.emplace_back(block.name, fixtures::WithRawExif(plain, block.tiff));
    }
    const auto dated = [&](const char* text) {
        fixtures::ExifFields fields;
        fields.dateTimeOriginal = text;
        return fixtures::WithExif(plain, fields);
    };
    rows.emplace_back("date of 10 characters", dated("2006:07:14"));
    rows.emplace_back("31 April", dated("2006:04:31 10:00:00"));
    rows.emplace_back("month 13, hour 25", dated("2006:13:01 25:00:00"));
    fixtures::ExifFields wrongType;
    wrongType.dateTimeOriginalAsShort = 2006;
    rows.emplace_back("date stored as a number", fixtures::WithExif(plain, wrongType));

    int n = 0;
    for (const auto& [name, bytes] : rows) {
        SCOPED_TRACE(name);
        const std::string path = root + "exif/" + std::to_string(n++) + ".jpg";
        std::filesystem::create_directories(root + "exif");
        Write(path, bytes);
        const QString before = QDate::currentDate().toString("yyyyMMdd");
        model->setResultIndex(NO_RESULT_INDEX);
        ASSERT_TRUE(model->load(path, NO_RESULT_INDEX));
        model->cropToFrame();
        ASSERT_TRUE(model->saveResult());
        const std::string result = model->resultPath();
        const QString after = QDate::currentDate().toString("yyyyMMdd");
        const std::string file = std::filesystem::path(result).filename().string();
        EXPECT_TRUE(file.rfind("Photos_" + before.toStdString() + "_", 0) == 0 ||
                    file.rfind("Photos_" + after.toStdString() + "_", 0) == 0)
            << file << ": the file was written today";
        EXPECT_TRUE(JpegCodec::DecodeFile(result).Ok());
    }
    EXPECT_TRUE(host.warnings.empty());
    EXPECT_EQ(Entries(destination).size(), rows.size()) << "every result under its own index";
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
    settings->SetAutoRename(1);
    for (const NameRow& row : rows) {
        SCOPED_TRACE(row.description);
        const std::string working = root + "work/" + row.folder + "/";
        const std::string photo = WritePhoto("work/" + row.folder + "/" + row.file, 90, 60);
        std::vector<std::string> found;
        ScanPhotoFolder(root + "work/", found, true);
        EXPECT_NE(std::find(found.begin(), found.end(), photo), found.end());

        settings->SetResultName(row.mask);
        model->setResultIndex(NO_RESULT_INDEX);
        ASSERT_TRUE(model->load(photo, NO_RESULT_INDEX));
        EXPECT_EQ(model->resultPath(), destination + row.expected);
        model->cropToFrame();
        ASSERT_TRUE(model->saveResult());
        EXPECT_TRUE(JpegCodec::DecodeFile(destination + row.expected).Ok());
        std::filesystem::remove_all(root + "work");
    }
    EXPECT_TRUE(host.warnings.empty());
    // The settings file holds the odd masks as they were given.
    CSettings reread(root + "param.dat");
    EXPECT_EQ(reread.GetResultName(), rows[std::size(rows) - 1].mask);
}

// ---- Results the disk refuses ----

TEST_F(Hostile, UnwritableDestinationWarnsAndChangesNothing) {
    const std::string photo = WritePhoto("IMG.jpg", 600, 400);
    const std::string result = Validate(photo);
    const std::string earlier = ReadAll(result);
    const std::string blocker = root + "not a folder";
    ASSERT_TRUE(fixtures::WriteFile(blocker, "a file where the folder should be"));
    const struct {
        const char* description;
        std::string destination;
    } rows[] = {
        {"destination is a file", blocker + "/"},
        {"destination inside a file", blocker + "/sub/"},
        {"read-only file system", "/proc/"},
        {"destination name too long", root + std::string(300, 'd') + "/"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.description);
        host.warnings.clear();
        settings->SetDestinationFolder(row.destination);
        model->setModified(true);
        EXPECT_FALSE(model->saveResult());
        EXPECT_TRUE(model->isModified());
        ASSERT_EQ(host.warnings.size(), 1u);
        EXPECT_EQ(host.warnings[0], kSaveFailed);
    }
    EXPECT_EQ(ReadAll(blocker), "a file where the folder should be");
    EXPECT_EQ(ReadAll(result), earlier);
    EXPECT_EQ(Entries(destination), std::vector<std::string>{"IMG.jpg"});

    settings->SetDestinationFolder(destination);
    EXPECT_TRUE(model->saveResult());
}

TEST_F(Hostile, FullDiskDuringSaveWarnsAndKeepsTheEarlierResult) {
    const std::string photo = WritePhoto("IMG.jpg", 600, 400);
    const std::string result = Validate(photo);
    const std::string earlier = ReadAll(result);
    ASSERT_GT(earlier.size(), 8192u);
    const std::string paramBefore = ReadAll(root + "param.dat");
    model->setModified(true);

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
        const bool saved = model->saveResult();
        int code = 0;
        code |= saved ? 1 : 0;
        code |= host.warnings == std::vector<Warning>{kSaveFailed} ? 0 : 2;
        code |= model->isModified() ? 0 : 4;
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the writer was killed instead of failing";
    EXPECT_EQ(WEXITSTATUS(status) & 1, 0) << "the save reported success";
    EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << "the user was not told";
    EXPECT_EQ(WEXITSTATUS(status) & 4, 0) << "the photo no longer counts as modified";
    EXPECT_EQ(WEXITSTATUS(status), 0);

    EXPECT_EQ(ReadAll(result), earlier);
    EXPECT_EQ(Entries(destination), std::vector<std::string>{"IMG.jpg"}) << "no leftovers";
    EXPECT_EQ(ReadAll(root + "param.dat"), paramBefore);
    EXPECT_TRUE(model->saveResult()) << "with room again, the same save works";
}

} // namespace
