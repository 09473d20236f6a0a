#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <functional>

#include "engine/DocumentFixture.h"
#include "engine/JpegCodec.h"
#include "engine/Photo.h"

namespace {

const DocumentFixture::Warning kNoDestination{"Veuillez définir un répertoire de destination...",
                                              "Attention!!!"};
const DocumentFixture::Warning kSaveFailed{"Impossible de sauvegarder l'image", "Attention !!!"};

class PhotoDocumentTest : public DocumentFixture {
protected:
    [[nodiscard]] QImage pixels() const {
        return m_model->photo() != nullptr ? m_model->photo()->image() : QImage();
    }
};

TEST_F(PhotoDocumentTest, FileThatDoesNotLoadKeepsEverythingButTakesTheIndex) {
    // One file that does not read and one that does not decode; the kinds of each are the
    // codec's business.
    const std::pair<const char*, std::function<void(const std::string&)>> rows[] = {
        {"text named .jpg", [](const std::string& p) { fixtures::writeFile(p, "Liste\n"); }},
        {"missing", [](const std::string&) {}},
    };
    const std::string photo = writePhoto("good.jpg", 1800, 1200);
    ASSERT_TRUE(m_model->load(photo, 4));
    m_model->moveFrameX(-20);
    m_model->zoomFrame(15);
    const QRect frameBefore = m_model->frameRect(false);
    const QImage pixelsBefore = pixels();
    const uint64_t generation = m_model->photoGeneration();
    QSignalSpy photoChanged(m_model.get(), &PhotoDocument::photoChanged);
    QSignalSpy frameChanged(m_model.get(), &PhotoDocument::frameChanged);
    for (const auto& [name, make] : rows) {
        SCOPED_TRACE(name);
        const std::string bad = pathOf(std::string(name) + ".jpg");
        make(bad);
        EXPECT_FALSE(m_model->load(bad, 9));
        EXPECT_EQ(m_model->resultIndex(), 9);
        EXPECT_EQ(m_model->sourcePath(), photo);
        EXPECT_EQ(pixels(), pixelsBefore);
        EXPECT_EQ(m_model->frameRect(false), frameBefore);
        EXPECT_EQ(m_model->photoGeneration(), generation);
        EXPECT_EQ(photoChanged.count() + frameChanged.count(), 0);
        EXPECT_TRUE(m_warnings.empty()) << "a photo that does not load is not reported";
    }
}

TEST_F(PhotoDocumentTest, LoadResetsTheFrameReloadUndoesEditsEditsDoNotMarkModified) {
    const std::string path = writePhoto("a.jpg", 1800, 1200);
    QSignalSpy photoChanged(m_model.get(), &PhotoDocument::photoChanged);
    QSignalSpy frameChanged(m_model.get(), &PhotoDocument::frameChanged);
    ASSERT_TRUE(m_model->load(path, kNoResultIndex));
    EXPECT_TRUE(m_model->isModified());
    EXPECT_EQ(photoChanged.count(), 1);
    EXPECT_EQ(frameChanged.count(), 1);
    const QImage full = pixels();
    m_model->moveFrameX(30);
    m_model->zoomFrame(40);
    m_model->rotateFrame();
    m_model->setModified(false);
    photoChanged.clear();
    frameChanged.clear();
    const uint64_t generation = m_model->photoGeneration();
    m_model->rotateRight();
    EXPECT_EQ(m_model->geometry().photoWidth(), 1200); // the frame works on the turned photo
    EXPECT_GT(m_model->photoGeneration(), generation);
    EXPECT_FALSE(m_model->isModified());
    EXPECT_EQ(photoChanged.count(), 1);
    EXPECT_EQ(frameChanged.count(), 0);

    ASSERT_TRUE(m_model->load(path, 3)); // the same file again
    EXPECT_EQ(m_model->geometry().shrink(), 0);
    EXPECT_TRUE(m_model->geometry().isFrameRotated()); // oriented again
    m_model->zoomFrame(100);
    m_model->cropToFrame();
    EXPECT_TRUE(m_model->reload());
    EXPECT_EQ(pixels(), full);
    EXPECT_EQ(m_model->resultIndex(), 3);
}

TEST_F(PhotoDocumentTest, CropIsAPixelExactCopyOfTheFrameKeepingExif) {
    ASSERT_TRUE(
        m_model->load(writePhoto("a.jpg", 1800, 1200, {.make = "Lumicam"}), kNoResultIndex));
    const ExifBlock exifBefore = m_model->photo()->exif();
    m_model->zoomFrame(60);
    m_model->moveFrameX(-37);
    m_model->moveFrameY(21);
    const QRect f = m_model->frameRect(true);
    const QImage source = pixels();
    QSignalSpy photoChanged(m_model.get(), &PhotoDocument::photoChanged);
    QSignalSpy frameChanged(m_model.get(), &PhotoDocument::frameChanged);

    m_model->cropToFrame();
    EXPECT_EQ(pixels(), source.copy(f));
    EXPECT_EQ(m_model->photo()->exif(), exifBefore);
    EXPECT_EQ(photoChanged.count(), 1);
    EXPECT_EQ(frameChanged.count(), 1);

    ASSERT_TRUE(m_model->load(writePhoto("b.jpg", 1800, 1000), kNoResultIndex));
    const QImage fresh = pixels();
    m_model->cropToFrame();
    // Landscape 2:3 frame, full height, centred: 1500 wide from x = 150.
    EXPECT_EQ(pixels(), fresh.copy(150, 0, 1500, 1000));
    // It prints as 15 x 10 cm: 1500 / (15 / 2.54) = 254 dots per inch both ways.
    EXPECT_DOUBLE_EQ(m_model->photo()->dpiX(), 254.0);
    EXPECT_DOUBLE_EQ(m_model->photo()->dpiY(), 254.0);
}

TEST_F(PhotoDocumentTest, WhiteBorderRingInsideTheCrop) {
    // clang-format off
    // border (pixels)
    const struct { const char* name; int photoW, photoH; uint16_t mm; int border; } rows[] = {
        {"upright, rounded down", 60, 90, 4, 2},
        {"turned frame takes the width", 1500, 1000, 4, 40},
        {"no border equals the plain crop", 1000, 1500, 0, 0},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(m_model->load(writePhoto("b.jpg", row.photoW, row.photoH), 0));
        m_model->setWhiteBorderSize(row.mm);
        const QImage plain = pixels(); // the frame covers the whole photo
        m_model->cropToFrame();
        m_model->applyWhiteBorder();
        // A white ring; just inside it (and everywhere inside) the photo is untouched.
        const int b = row.border;
        const QRect inside = plain.rect().adjusted(b, b, -b, -b);
        QImage expected(plain.size(), plain.format());
        expected.fill(Qt::white);
        QPainter(&expected).drawImage(inside.topLeft(), plain.copy(inside));
        EXPECT_EQ(pixels(), expected);
    }
}

TEST_F(PhotoDocumentTest, IdentitySheetOfTheDefaultFormat) {
    ASSERT_TRUE(m_model->load(writePhoto("face.jpg", 700, 900), kNoResultIndex));
    m_model->setIdSheet(true);
    ASSERT_EQ(m_model->frameSize(), QSize(700, 900));
    const QImage face = pixels();

    m_model->makeIdSheet();
    const QImage sheet = pixels();
    ASSERT_EQ(sheet.size(), QSize(2000, 3000));
    EXPECT_EQ(sheet.pixel(1500, 1500), qRgb(0xEE, 0xF2, 0xCC)) << "spare strip at the right";
    QImage plain(2000, 300, sheet.format());
    plain.fill(QColor(0xEE, 0xF2, 0xCC));
    EXPECT_NE(sheet.copy(0, 0, 2000, 300), plain) << "the banner in the margin above the faces";
    for (const QPoint at : {QPoint(0, 300), QPoint(700, 1200), QPoint(700, 2100)})
        EXPECT_EQ(sheet.copy(QRect(at, face.size())), face) << at.x() << ", " << at.y();
    EXPECT_FALSE(m_model->idSheet());
    EXPECT_EQ(m_model->frameSize(), QSize(2000, 3000));
    // The sheet prints as 10 x 15 cm: 2000 / (10 / 2.54) = 508 dots per inch.
    EXPECT_DOUBLE_EQ(m_model->photo()->dpiX(), 508.0);
    EXPECT_DOUBLE_EQ(m_model->photo()->dpiY(), 508.0);
}

TEST_F(PhotoDocumentTest, ResultPathRules) {
    // clang-format off
    const struct { const char* name; bool autoRename; const char* resultName; int32_t indexBefore; const char* expectedName;
        int32_t indexAfter; } rows[] = {
        {"size and label tags", true, "R_%t_%r", 7, "R_15x10_15x10.jpg", kNoResultIndex},
        {"stored index is used", true, "P_%i", 12, "P_012.jpg", 12},
        {"free index is taken", true, "P_%i", kNoResultIndex, "P_000.jpg", 0},
        {"auto rename off keeps the file name", false, "P_%i", 5, "IMG_0001.jpg", 5},
    };
    // clang-format on
    ASSERT_TRUE(m_model->load(writePhoto("IMG_0001.JPG", 600, 400), kNoResultIndex));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_settings->setAutoRename(row.autoRename ? 1 : 0);
        m_settings->setResultName(row.resultName);
        m_model->setResultIndex(row.indexBefore);
        EXPECT_EQ(m_model->resultPath(), m_destination + row.expectedName);
        EXPECT_EQ(m_model->resultIndex(), row.indexBefore) << "asking the path takes nothing";
        EXPECT_TRUE(m_model->reserveResultIndex());
        EXPECT_EQ(m_model->resultIndex(), row.indexAfter);
        EXPECT_EQ(m_model->resultPath(), m_destination + row.expectedName);
    }
    EXPECT_TRUE(m_warnings.empty());
}

TEST_F(PhotoDocumentTest, SaveThatCannotBeMadeIsToldAndKeepsThePhotoModified) {
    // Why the disk refuses a file is the codec's business: one refusal stands for all.
    // clang-format off
    // told (by asking the path, then by saving)
    const struct { const char* name; std::string destination; std::vector<Warning> told; } rows[] = {
        {"no destination", "", {kNoDestination, kNoDestination}},
        {"folder missing", pathOf("missing/"), {kSaveFailed}},
    };
    // clang-format on
    ASSERT_TRUE(m_model->load(writePhoto("a.jpg", 600, 400), kNoResultIndex));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_warnings.clear();
        m_settings->setDestinationFolder(row.destination);
        EXPECT_EQ(m_model->resultPath().empty(), row.destination.empty());
        EXPECT_TRUE(m_warnings.empty());
        EXPECT_EQ(m_model->reserveResultIndex(), !row.destination.empty());
        EXPECT_FALSE(m_model->saveResult());
        EXPECT_TRUE(m_model->isModified());
        EXPECT_EQ(m_warnings, row.told);
    }
    EXPECT_EQ(m_model->resultIndex(), 0) << "the index was taken in the folder that exists";
}

TEST_F(PhotoDocumentTest, FrameColorFollowsQualityAndOptions) {
    // clang-format off
    // photoW, photoH (sets the print quality with the default format)
    const struct { const char* name; int photoW, photoH; int opacity; bool smallBorder, recadColor, outline, withOpacity;
        uint32_t expected; } rows[] = {
        {"80 px per cm is orange", 800, 1200, 50, false, true, false, true, 0x7FFA9600},
        {"poor quality is red", 640, 480, 50, false, true, false, true, 0x7FFF0000},
        {"quality colours off give red", 1800, 1200, 50, false, false, false, true, 0x7FFF0000},
        {"the outline itself keeps the quality colour", 1800, 1200, 50, true, true, true, false, 0xFF326432},
        {"opacity beyond 100 keeps the low byte", 1800, 1200, 200, false, true, false, true, 0xFE326432},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(m_model->load(writePhoto("c.jpg", row.photoW, row.photoH), 0));
        m_settings->setOpacity(row.opacity);
        m_settings->setUseSmallRBorder(row.smallBorder ? 1 : 0);
        m_settings->setUseRecadColor(row.recadColor ? 1 : 0);
        EXPECT_EQ(m_model->frameColor(row.outline, row.withOpacity), row.expected)
            << std::hex << m_model->frameColor(row.outline, row.withOpacity);
    }
}

} // namespace
