#include <gtest/gtest.h>

#include <QRect>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "engine/SaveQueue.h"
#include "settings/Settings.h"
#include "support/PhotoFixtures.h"

// The document's background work: the first display from a reduced decode, and results
// written through a save queue.
namespace {

class PhotoDocumentBackgroundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = std::make_unique<Settings>(pathOf("param.dat"));
        std::filesystem::create_directories(pathOf("results"));
        m_settings->setDestinationFolder(pathOf("results/"));
        m_document = std::make_unique<PhotoDocument>(*m_settings);
        m_document->setFormat(15, 10, "15x10");
        QObject::connect(m_document.get(), &PhotoDocument::message,
                         [this](const QString& text, const QString&) {
                             m_messages.push_back(text.toStdString());
                         });
    }
    [[nodiscard]] std::string pathOf(const std::string& name) const {
        return m_dir.path().toStdString() + "/" + name;
    }
    std::string writePhoto(const std::string& name, int width, int height,
                           const fixtures::ExifFields& exif = {}) {
        const std::string path = pathOf(name);
        EXPECT_TRUE(fixtures::writeFile(
            path, fixtures::withExif(fixtures::jpeg(fixtures::gradient(width, height), 90), exif)));
        return path;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<PhotoDocument> m_document;
    std::vector<std::string> m_messages;
};

TEST_F(PhotoDocumentBackgroundTest, FirstDisplayComesFromADecodeReducedToTheWindow) {
    struct Row {
        const char* name;
        QSize client; // display pixels
        std::optional<int> orientation;
        QSize shown;           // pixels of the first display image
        QSize full;            // the frame's photo size, upright
        QSize photo{800, 600}; // as stored
    };
    const Row rows[] = {
        {"no window yet: full size", {0, 0}, std::nullopt, {800, 600}, {800, 600}},
        {"window as large as the photo: full size",
         {810, 610},
         std::nullopt,
         {800, 600},
         {800, 600}},
        {"a little over half shown: full size", {420, 320}, std::nullopt, {800, 600}, {800, 600}},
        {"half the photo shown: a half", {410, 310}, std::nullopt, {400, 300}, {800, 600}},
        {"a quarter shown: a quarter", {210, 160}, std::nullopt, {200, 150}, {800, 600}},
        {"an eighth or less: an eighth", {60, 50}, std::nullopt, {100, 75}, {800, 600}},
        {"turned by EXIF: sides of the upright photo", {160, 210}, 6, {150, 200}, {600, 800}},
        {"reduced sides rounded up as the decoder does: an eighth just covers",
         {111, 86},
         std::nullopt,
         {101, 76},
         {804, 604},
         {804, 604}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fixtures::ExifFields exif;
        exif.orientation = row.orientation;
        const std::string path =
            writePhoto("photo.jpg", row.photo.width(), row.photo.height(), exif);
        m_document->setClientSize(row.client.width(), row.client.height());
        ASSERT_TRUE(m_document->load(path, 0));
        EXPECT_EQ(m_document->displayImage().size(), row.shown);
        EXPECT_EQ(m_document->geometry().photoWidth(), row.full.width());
        EXPECT_EQ(m_document->geometry().photoHeight(), row.full.height());
        ASSERT_NE(m_document->photo(), nullptr);
        EXPECT_EQ(m_document->photo()->image().size(), row.full) << "waits for the full size";
        EXPECT_FALSE(m_document->isLoadingFullSize());
    }
}

TEST_F(PhotoDocumentBackgroundTest, CropRightAfterLoadingTakesTheFullSizePixels) {
    const std::string path = writePhoto("photo.jpg", 800, 600);
    m_document->setClientSize(210, 160);
    ASSERT_TRUE(m_document->load(path, 0));
    ASSERT_TRUE(m_document->isLoadingFullSize()) << "shown from a reduced decode first";
    const QRect frame = m_document->frameRect(true);
    m_document->cropToFrame();
    EXPECT_EQ(m_document->photo()->image(), Photo::load(path)->image().copy(frame));
}

TEST_F(PhotoDocumentBackgroundTest, QueuedSaves) {
    struct Row {
        const char* name;
        std::string destination;
        std::vector<std::string> messages; // after the queue reported
        bool modified;
        std::vector<std::string> results;
    };
    const Row rows[] = {
        {"written", "results/", {}, false, {"Photos_20060714_000.jpg"}},
        {"failure passes through",
         "results/missing/",
         {"Impossible de sauvegarder l'image"},
         true,
         {}},
    };
    fixtures::ExifFields exif;
    exif.dateTimeOriginal = "2006:07:14 10:20:30";
    const std::string path = writePhoto("photo.jpg", 400, 300, exif);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_messages.clear();
        SaveQueue queue;
        m_document->setSaveQueue(&queue);
        m_settings->setDestinationFolder(pathOf(row.destination));
        QSignalSpy saved(m_document.get(), &PhotoDocument::resultSaved);
        ASSERT_TRUE(m_document->load(path, 2147483647));
        ASSERT_TRUE(m_document->saveResult()) << "queued";
        EXPECT_FALSE(m_document->isModified());
        EXPECT_TRUE(m_messages.empty()) << "told once written";
        ASSERT_TRUE(queue.finish());
        EXPECT_EQ(m_messages, row.messages);
        EXPECT_EQ(m_document->isModified(), row.modified);
        EXPECT_EQ(saved.count(), static_cast<qsizetype>(row.results.size()));
        EXPECT_EQ(fixtures::folderEntries(pathOf(row.destination)), row.results);
        m_document->setSaveQueue(nullptr);
    }
}

TEST_F(PhotoDocumentBackgroundTest, AnIndexQueuedForWritingIsTakenAlready) {
    fixtures::ExifFields exif;
    exif.dateTimeOriginal = "2006:07:14 10:20:30";
    const std::string first = writePhoto("first.jpg", 2400, 1800, exif);
    const std::string second = writePhoto("second.jpg", 300, 200, exif);
    SaveQueue queue;
    m_document->setSaveQueue(&queue);
    ASSERT_TRUE(m_document->load(first, 2147483647));
    ASSERT_TRUE(m_document->saveResult());
    ASSERT_TRUE(m_document->load(second, 2147483647));
    ASSERT_TRUE(m_document->reserveResultIndex());
    EXPECT_EQ(m_document->resultIndex(), 1);
    ASSERT_TRUE(queue.finish());
    m_document->setSaveQueue(nullptr);
}

} // namespace
