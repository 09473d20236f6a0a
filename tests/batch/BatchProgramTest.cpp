// The batch program itself, run on generated folders of photos.
#include "engine/JpegCodec.h"
#include "support/PhotoFixtures.h"

#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct Finished {
    int status = -1;
    std::string out;
    std::string err;
};

// Run in folder under the C locale, so that messages come in English.
Finished runBatch(const QStringList& args, const fs::path& folder) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES"})
        env.remove(name);
    env.insert("LANG", "C");
    process.setWorkingDirectory(QString::fromStdString(folder.string()));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(LUMICUT_BATCH_PROGRAM), args);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

QByteArray photo(int width, int height, const char* shot, int orientation = 1) {
    return fixtures::withExif(fixtures::jpeg(fixtures::gradient(width, height), 90),
                              {.orientation = orientation, .dateTimeOriginal = shot});
}

TEST(BatchProgram, DryRunShowsWhatARunWritesAndARunWritesIt) {
    // src/ with a.jpg (300 x 200 pixels that show upright as 200 x 300), b.jpg (200 x 300),
    // c.jpg (no photo) and d.jpg (400 x 400); out/ holding a result of a's shot day already.
    // The program prints absolute paths.
    const QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    const std::string src = (root / "src").string() + "/";
    const std::string out = (root / "out").string() + "/";
    fs::create_directories(src);
    fs::create_directories(out);
    fixtures::writeFile(src + "a.jpg", photo(300, 200, "2006:07:14 10:20:30", 6));
    fixtures::writeFile(src + "b.jpg", photo(200, 300, "2006:07:14 11:00:00"));
    fixtures::writeFile(src + "c.jpg", "no photo here");
    fixtures::writeFile(src + "d.jpg", photo(400, 400, "2007:01:02 08:00:00"));
    fixtures::writeFile(out + "P_20060714_000.jpg", "earlier");
    const QStringList args = {"--format", "15x10", "--mask", "P_%dc_%i",
                              "--jobs",   "2",     "src",    "out"};
    const std::string today = QDate::currentDate().toString("yyyyMMdd").toStdString();
    const std::string planned = src + "a.jpg -> " + out + "P_20060714_001.jpg\n" + src +
                                "b.jpg -> " + out + "P_20060714_002.jpg\n" + src + "c.jpg -> " +
                                out + "P_" + today + "_000.jpg\n" + src + "d.jpg -> " + out +
                                "P_20070102_000.jpg\n";

    const Finished dry = runBatch(QStringList(args) << "--dry-run", root);
    EXPECT_EQ(dry.status, 0);
    EXPECT_EQ(dry.out, planned);
    EXPECT_EQ(fixtures::folderEntries(out), std::vector<std::string>{"P_20060714_000.jpg"});

    const Finished run = runBatch(args, root);
    EXPECT_EQ(run.status, 1) << "the file that is no photo was not written";
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Not written (1):\n  " + src + "c.jpg: not a JPEG photo\n");
    EXPECT_EQ(fixtures::folderEntries(out),
              (std::vector<std::string>{"P_20060714_000.jpg", "P_20060714_001.jpg",
                                        "P_20060714_002.jpg", "P_20070102_000.jpg"}));
    EXPECT_EQ(JpegCodec::readFile(out + "P_20060714_000.jpg"), "earlier");
    // Frames of 10 x 15 cm: a's turned upright first, the square photo's upright.
    for (const auto& [name, size] : {std::pair{"P_20060714_001.jpg", QSize(200, 300)},
                                     {"P_20070102_000.jpg", QSize(268, 400)}}) {
        EXPECT_EQ(JpegCodec::headerSize(*JpegCodec::readFile(out + name)), size) << name;
    }
}

} // namespace
