#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/PhotoDocument.h"
#include "settings/Settings.h"
#include "support/PhotoFixtures.h"

// A document in a 1010 x 760 window with the 15 x 10 cm format, its results going to
// results/ in a temporary folder; what it tells the user is collected as (text, caption).
class DocumentFixture : public ::testing::Test {
public:
    using Warning = std::pair<std::string, std::string>;

protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = std::make_unique<Settings>(pathOf("param.dat"));
        m_destination = pathOf("results/");
        std::filesystem::create_directories(m_destination);
        m_settings->setDestinationFolder(m_destination);
        m_model = std::make_unique<PhotoDocument>(*m_settings);
        m_model->setClientSize(1010, 760);
        m_model->setFormat(15, 10, "15x10");
        QObject::connect(m_model.get(), &PhotoDocument::message,
                         [this](const QString& text, const QString& caption) {
                             m_warnings.emplace_back(text.toStdString(), caption.toStdString());
                         });
    }

    [[nodiscard]] std::string pathOf(const std::string& name) const {
        return m_dir.path().toStdString() + "/" + name;
    }

    // A gradient JPEG (every pixel tells where it came from) with EXIF holding exif.
    std::string writePhoto(const std::string& name, int width, int height,
                           const fixtures::ExifFields& exif = {}) {
        const QByteArray pixels = fixtures::jpeg(fixtures::gradient(width, height), 95);
        const std::string path = pathOf(name);
        EXPECT_TRUE(fixtures::writeFile(path, fixtures::withExif(pixels, exif)));
        return path;
    }

    QTemporaryDir m_dir;
    std::vector<Warning> m_warnings;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<PhotoDocument> m_model;
    std::string m_destination;
};
