// The batch program itself, run on generated folders of photos.
#include "engine/JpegCodec.h"
#include "engine/NoiseImage.h"
#include "support/PhotoFixtures.h"

#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace {

namespace fs = std::filesystem;

struct Finished {
    int status = -1;
    std::string out;
    std::string err;
};

// Started in folder with the locale variables of locale only.
void start(QProcess& process, const QStringList& args, const fs::path& folder,
           const std::map<QString, QString>& locale = {{"LANG", "C"}}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        env.remove(name);
    }
    for (const auto& [name, value] : locale) {
        env.insert(name, value);
    }
    process.setWorkingDirectory(QString::fromStdString(folder.string()));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(LUMICUT_BATCH_PROGRAM), args);
    process.waitForStarted();
}

Finished finish(QProcess& process) {
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

Finished runBatch(const QStringList& args, const fs::path& folder,
                  const std::map<QString, QString>& locale = {{"LANG", "C"}},
                  const QByteArray& input = {}) {
    QProcess process;
    start(process, args, folder, locale);
    process.write(input);
    process.closeWriteChannel();
    return finish(process);
}

QByteArray photo(int width, int height, const fixtures::ExifFields& fields) {
    return fixtures::withExif(fixtures::jpeg(fixtures::gradient(width, height), 90), fields);
}

// The folder the batch runs in: src/ with a.jpg (300 x 200 pixels that show upright as 200 x
// 300), b.jpg (200 x 300), c.jpg (no photo) and d.jpg (400 x 400); out/ holding a result of
// a's shot day already. The program prints absolute paths: srcPath and outPath.
struct BatchFolder {
    QTemporaryDir dir;
    fs::path root = dir.path().toStdString();
    fs::path src = root / "src";
    fs::path out = root / "out";
    std::string srcPath = src.string() + "/";
    std::string outPath = out.string() + "/";

    BatchFolder() {
        fs::create_directories(src);
        fs::create_directories(out);
        fixtures::writeFile(
            (src / "a.jpg").string(),
            photo(300, 200, {.orientation = 6, .dateTimeOriginal = "2006:07:14 10:20:30"}));
        fixtures::writeFile((src / "b.jpg").string(),
                            photo(200, 300, {.dateTimeOriginal = "2006:07:14 11:00:00"}));
        fixtures::writeFile((src / "c.jpg").string(), "no photo here");
        fixtures::writeFile((src / "d.jpg").string(),
                            photo(400, 400, {.dateTimeOriginal = "2007:01:02 08:00:00"}));
        fixtures::writeFile((out / "P_20060714_000.jpg").string(), "earlier");
    }
};

TEST(BatchProgram, DryRunShowsWhatARunWritesAndARunWritesIt) {
    BatchFolder f;
    const QStringList args = {"--format", "15x10", "--mask", "P_%dc_%i",
                              "--jobs",   "2",     "src",    "out"};
    const std::string& src = f.srcPath;
    const std::string& out = f.outPath;
    const std::string today = QDate::currentDate().toString("yyyyMMdd").toStdString();
    const std::string planned = src + "a.jpg -> " + out + "P_20060714_001.jpg\n" + src +
                                "b.jpg -> " + out + "P_20060714_002.jpg\n" + src + "c.jpg -> " +
                                out + "P_" + today + "_000.jpg\n" + src + "d.jpg -> " + out +
                                "P_20070102_000.jpg\n";

    const Finished dry = runBatch(QStringList(args) << "--dry-run", f.root);
    EXPECT_EQ(dry.status, 0);
    EXPECT_EQ(dry.out, planned);
    EXPECT_EQ(fixtures::folderEntries(f.out), std::vector<std::string>{"P_20060714_000.jpg"});

    const Finished run = runBatch(args, f.root);
    EXPECT_EQ(run.status, 1) << "the file that is no photo was not written";
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Not written (1):\n  " + src + "c.jpg: not a JPEG photo\n");
    EXPECT_EQ(fixtures::folderEntries(f.out),
              (std::vector<std::string>{"P_20060714_000.jpg", "P_20060714_001.jpg",
                                        "P_20060714_002.jpg", "P_20070102_000.jpg"}));
    EXPECT_EQ(JpegCodec::readFile((f.out / "P_20060714_000.jpg").string()), "earlier");
    // Frames of 10 x 15 cm: a's turned upright first, the square photo's upright.
    for (const auto& [name, size] : {std::pair{"P_20060714_001.jpg", QSize(200, 300)},
                                     {"P_20070102_000.jpg", QSize(268, 400)}}) {
        EXPECT_EQ(JpegCodec::headerSize(*JpegCodec::readFile((f.out / name).string())), size)
            << name;
    }
}

TEST(BatchProgram, AResultAlreadyThereIsNeverReplaced) {
    BatchFolder f;
    const QStringList args = {"--format", "15x10", "--mask", "%f", "--border", "5", "src", "out"};
    ASSERT_EQ(runBatch(args, f.root).status, 1);
    const QImage bordered = QImage::fromData(*JpegCodec::readFile((f.out / "b.jpg").string()));
    EXPECT_LE(fixtures::colorDistance(bordered.pixelColor(3, 3), Qt::white), 8)
        << "5 mm on a 15 cm side of 300 pixels: a 10-pixel white ring";
    EXPECT_GT(fixtures::colorDistance(bordered.pixelColor(100, 150), Qt::white), 40);
    std::map<std::string, QByteArray> before;
    for (const std::string& name : fixtures::folderEntries(f.out)) {
        before[name] = *JpegCodec::readFile((f.out / name).string());
    }

    const Finished again = runBatch(args, f.root);
    EXPECT_EQ(again.status, 1);
    const std::string& src = f.srcPath;
    const std::string exists = ": the result already exists: " + f.outPath;
    EXPECT_EQ(again.err, "Not written (4):\n  " + src + "a.jpg" + exists + "a.jpg\n  " + src +
                             "b.jpg" + exists + "b.jpg\n  " + src + "c.jpg: not a JPEG photo\n  " +
                             src + "d.jpg" + exists + "d.jpg\n");
    for (const auto& [name, bytes] : before) {
        EXPECT_EQ(JpegCodec::readFile((f.out / name).string()), bytes) << name;
    }
    EXPECT_EQ(fixtures::folderEntries(f.out).size(), before.size()) << "no temporary file left";
}

TEST(BatchProgram, PhotosListedOnTheStandardInput) {
    BatchFolder f;
    const Finished listed =
        runBatch({"--format", "15x10", "--mask", "%f_%r", "--dry-run", "--files-from", "-", "new"},
                 f.root, {{"LANG", "C"}}, "src/d.jpg\n\n" + QByteArray(f.src.c_str()) + "/b.jpg\n");
    EXPECT_EQ(listed.status, 0);
    const std::string out = (f.root / "new").string() + "/";
    EXPECT_EQ(listed.out, f.srcPath + "d.jpg -> " + out + "d_15x10.jpg\n" + f.srcPath +
                              "b.jpg -> " + out + "b_15x10.jpg\n");
    EXPECT_FALSE(fs::exists(f.root / "new")) << "a dry run creates nothing";
}

TEST(BatchProgram, CommandLineMistakesAndLanguage) {
    BatchFolder f;
    // clang-format off
    // out (its start)
    const struct { const char* name; std::map<QString, QString> locale; QStringList args; int status; std::string out; std::string err; } rows[] = {
        {"help in French", {{"LC_MESSAGES", "fr_FR.UTF-8"}}, {"--help"}, 0, "Utilisation : lumicut-batch", ""},
        {"missing source folder, in French", {{"LANG", "fr_FR.UTF-8"}}, {"--format", "15x10", "nowhere", "out"}, 2, "",
         "lumicut-batch: dossier source introuvable : " + (f.root / "nowhere").string() + "/\nVoir 'lumicut-batch --help'.\n"},
        {"unreadable list", {{"LANG", "C"}}, {"--format", "15x10", "--files-from", "nolist.txt", "out"}, 2, "",
         "lumicut-batch: cannot read the list of photos: nolist.txt\nTry 'lumicut-batch --help'.\n"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Finished run = runBatch(row.args, f.root, row.locale);
        EXPECT_EQ(run.status, row.status);
        EXPECT_TRUE(run.out.starts_with(row.out)) << run.out;
        EXPECT_EQ(run.err, row.err);
    }
}

TEST(BatchProgram, CtrlCStopsWithWholeResultsOnly) {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    fs::create_directories(root / "src");
    const QByteArray bytes = fixtures::jpeg(noiseImage(1600, 1200), 95);
    constexpr int kPhotos = 60;
    for (int i = 0; i < kPhotos; ++i) {
        fixtures::writeFile((root / "src" / ("p" + std::to_string(100 + i) + ".jpg")).string(),
                            bytes);
    }
    QProcess process;
    start(process, {"--format", "15x10", "--mask", "%f", "--jobs", "1", "src", "out"}, root);
    while (process.state() == QProcess::Running &&
           (!fs::exists(root / "out") || fixtures::folderEntries(root / "out").empty())) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT); // a second one changes nothing
    const Finished stopped = finish(process);

    EXPECT_EQ(stopped.status, 130);
    const std::vector<std::string> written = fixtures::folderEntries(root / "out");
    ASSERT_LT(written.size(), static_cast<size_t>(kPhotos));
    EXPECT_EQ(stopped.err,
              "Stopped; not started: " + std::to_string(kPhotos - written.size()) + ".\n");
    for (const std::string& name : written) {
        SCOPED_TRACE(name);
        const JpegDecodeResult decoded =
            JpegCodec::decode(*JpegCodec::readFile((root / "out" / name).string()));
        EXPECT_TRUE(decoded.ok() && !decoded.dataWarning) << "a whole photo, no temporary file";
    }
}

} // namespace
