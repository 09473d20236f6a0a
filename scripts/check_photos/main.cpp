// Runs the program's own load, crop and save path over every JPEG under a folder and
// prints one line per file, then a summary. Used by scripts/check-photos; results go to a
// temporary folder that is removed at the end unless --keep names one.
#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "metadata/ExifBlock.h"
#include "metadata/JpegHeader.h"
#include "metadata/MetadataSegments.h"
#include "naming/ResultIndex.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Images of the whole photo in a result: a second SOI anywhere after the first, an IFD1
// thumbnail, application segments other than JFIF, EXIF, XMP, ICC and IPTC.
std::vector<std::string> leftOverImages(const QByteArray& result) {
    std::vector<std::string> found;
    if (result.indexOf(QByteArray("\xFF\xD8\xFF", 3), 2) >= 0)
        found.push_back("second-image");
    for (const JpegSegment& segment : JpegHeader::segments(result)) {
        const bool known = segment.marker == 0xE0 || segment.marker == 0xE1 ||
                           (segment.marker == 0xE2 && segment.starts(result, "ICC_PROFILE")) ||
                           segment.marker == 0xED || segment.marker < 0xE0 ||
                           segment.marker == 0xFE;
        if (!known)
            found.push_back("APP" + std::to_string(segment.marker - 0xE0));
    }
    return found;
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ",") + item;
    return out.empty() ? "-" : out;
}

struct Summary {
    int files = 0;
    int opened = 0;
    int saved = 0;
    int warned = 0;
    int turned = 0;
    int leftOver = 0;
    int metadataLost = 0;
    std::map<std::string, int> refused;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [RESULTS]\n", argv[0]);
        return 2;
    }
    QTemporaryDir scratch;
    const QString results = argc > 2 ? QString::fromLocal8Bit(argv[2]) : scratch.path();
    QDir().mkpath(results);
    Settings settings(scratch.filePath("param.dat").toStdString());
    settings.setDestinationFolder(QDir(results).absolutePath().toStdString() + "/");
    settings.setResultName("%sr_%f");
    // Laid out as in a display window of a usual size; what it would tell the user is kept.
    PhotoDocument model(settings);
    model.setClientSize(1280, 960);
    std::string warning;
    QObject::connect(&model, &PhotoDocument::message,
                     [&warning](const QString& text) { warning = text.toStdString(); });
    model.setFormat(15, 10, "15x10");

    QStringList files;
    QDirIterator it(QString::fromLocal8Bit(argv[1]), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(".jpg", Qt::CaseInsensitive) ||
            path.endsWith(".jpeg", Qt::CaseInsensitive))
            files << path;
    }
    files.sort();
    Summary summary;
    for (const QString& file : files) {
        ++summary.files;
        const std::string path = file.toStdString();
        const JpegDecodeResult decoded = JpegCodec::decodeFile(path);
        if (!decoded.ok()) {
            ++summary.refused[describeJpegDecodeError(decoded.error)];
            std::printf("REFUSED %s: %s%s%s\n", path.c_str(),
                        describeJpegDecodeError(decoded.error), decoded.detail.empty() ? "" : " - ",
                        decoded.detail.c_str());
            continue;
        }
        ++summary.opened;
        summary.warned += decoded.dataWarning ? 1 : 0;
        const QByteArray source = JpegCodec::readFile(path).value_or(QByteArray());
        const ExifBlock exif = ExifBlock::fromJpeg(source);
        const int orientation = exif.orientation().value_or(1);
        summary.turned += orientation != 1 ? 1 : 0;
        if (!model.load(path, kNoResultIndex)) {
            std::printf("NOT-LOADED %s\n", path.c_str());
            continue;
        }
        model.cropToFrame();
        const std::string resultPath = model.resultPath();
        if (!model.saveResult()) {
            std::printf("NOT-SAVED %s -> %s: %s\n", path.c_str(), resultPath.c_str(),
                        warning.c_str());
            continue;
        }
        ++summary.saved;
        const QByteArray result = JpegCodec::readFile(resultPath).value_or(QByteArray());
        const ExifBlock resultExif = ExifBlock::fromJpeg(result);
        const MetadataSegments before = MetadataSegments::fromJpeg(source);
        const MetadataSegments after = MetadataSegments::fromJpeg(result);
        std::vector<std::string> kept;
        std::vector<std::string> lost;
        const auto check = [&](const char* what, bool had, bool has) {
            if (had)
                (has ? kept : lost).push_back(what);
        };
        check("date", exif.asciiTag(ExifBlock::kTagDateTimeOriginal).has_value(),
              resultExif.asciiTag(ExifBlock::kTagDateTimeOriginal) ==
                  exif.asciiTag(ExifBlock::kTagDateTimeOriginal));
        check("camera", exif.asciiTag(0x0110).has_value(),
              resultExif.asciiTag(0x0110) == exif.asciiTag(0x0110));
        check("icc", !before.iccProfile().isEmpty(), after.iccProfile() == before.iccProfile());
        check("xmp", !before.xmp().isEmpty(), !after.xmp().isEmpty());
        check("iptc", !before.iptc().isEmpty(), after.iptc() == before.iptc());
        check("exif", !exif.isEmpty(), !resultExif.isEmpty() && resultExif.orientation() == 1);
        const std::vector<std::string> leftOver = leftOverImages(result);
        summary.leftOver += leftOver.empty() ? 0 : 1;
        summary.metadataLost += lost.empty() ? 0 : 1;
        std::printf("OK %s -> %s orientation=%d%s kept=%s lost=%s uncropped=%s\n", path.c_str(),
                    resultPath.c_str(), orientation, decoded.dataWarning ? " warned" : "",
                    joined(kept).c_str(), joined(lost).c_str(), joined(leftOver).c_str());
    }
    std::printf("\nSUMMARY files=%d opened=%d (with decoder warnings %d) saved=%d turned=%d "
                "metadata-lost=%d uncropped-image-left=%d\n",
                summary.files, summary.opened, summary.warned, summary.saved, summary.turned,
                summary.metadataLost, summary.leftOver);
    for (const auto& [reason, count] : summary.refused)
        std::printf("REFUSED %d: %s\n", count, reason.c_str());
    return 0;
}
