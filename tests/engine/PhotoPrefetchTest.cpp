#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/DocumentFixture.h"
#include "engine/Photo.h"
#include "engine/PhotoPrefetch.h"

namespace {

// Photos 80 pixels high whose widths tell them apart.
using PhotoPrefetchTest = DocumentFixture;

TEST_F(PhotoPrefetchTest, WhatIsHandedOut) {
    // clang-format off
    // meanwhile (after decoding); width (of the photo handed out; nothing: none)
    const struct { const char* name; std::vector<std::string> wanted; std::function<void(PhotoPrefetch&)> meanwhile; int held; std::string taken;
        std::optional<int> width; } rows[] = {
        {"a prefetched photo is handed out", {"a.jpg", "b.jpg"}, {}, 2, "b.jpg", 130},
        {"a photo not asked for is not there", {"a.jpg", "a.jpg"}, {}, 1, "b.jpg", std::nullopt},
        {"a file that does not decode is not held", {"a.jpg", "broken.jpg"}, {}, 1, "broken.jpg", std::nullopt},
        {"at most two are held", {"a.jpg", "b.jpg", "c.jpg"}, {}, 2, "c.jpg", std::nullopt},
        {"another folder drops what is held", {"a.jpg", "b.jpg"}, [](PhotoPrefetch& prefetch) { prefetch.clear(); }, 0, "a.jpg", std::nullopt},
        {"asking for other photos drops the ones held", {"a.jpg", "b.jpg"},
         [this](PhotoPrefetch& prefetch) {
             prefetch.prefetch({pathOf("c.jpg")});
             prefetch.waitForIdle();
         },
         1, "a.jpg", std::nullopt},
        {"a file changed since it was read is not handed out", {"a.jpg"},
         [this](PhotoPrefetch&) { writePhoto("a.jpg", 150, 80); }, 1, "a.jpg", std::nullopt},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (const auto& [name, width] : {std::pair{"a.jpg", 120}, {"b.jpg", 130}, {"c.jpg", 140}})
            writePhoto(name, width, 80);
        ASSERT_TRUE(fixtures::writeFile(pathOf("broken.jpg"), QByteArray("no photo")));
        PhotoPrefetch prefetch;
        std::vector<std::string> paths;
        for (const std::string& name : row.wanted)
            paths.push_back(pathOf(name));
        prefetch.prefetch(paths);
        ASSERT_TRUE(prefetch.waitForIdle());
        if (row.meanwhile)
            row.meanwhile(prefetch);
        EXPECT_EQ(prefetch.heldCount(), row.held);
        const std::optional<Photo> photo = prefetch.take(pathOf(row.taken));
        ASSERT_EQ(photo.has_value(), row.width.has_value());
        if (photo) {
            EXPECT_EQ(photo->width(), *row.width);
            EXPECT_FALSE(prefetch.take(pathOf(row.taken))) << "handed out once";
            EXPECT_EQ(prefetch.heldCount(), row.held - 1);
        }
    }
}

} // namespace
