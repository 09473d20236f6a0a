// Fuzz target of result naming: name masks, photo paths and folder names of any bytes
// through BuildResultName (against a scratch folder that holds a few earlier results), and
// any texts through ReplaceNoCase.

#include "FuzzReader.h"
#include "SeedWriter.h"
#include "naming/ResultIndex.h"
#include "naming/ResultName.h"
#include "support/PhotoFixtures.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr uint8_t kSeparator = 0;

enum Flags : uint8_t {
    RawPhotoPath = 1, // the photo path as given, not inside the scratch folder
    RawMask = 2,      // the mask as given, not after the scratch destination folder
    DatedPhoto = 4,   // the scratch photo that has an EXIF shot date
    NoIndexOut = 8,
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "naming oracle: %s\n", what);
    std::abort();
}

void check(bool condition, const char* what) {
    if (!condition)
        fail(what);
}

struct Scene {
    std::string root;        // scratch folder, no trailing '/'
    std::string datedPhoto;  // a photo shot on 14 July 2006
    std::string destination; // ends with '/'
};

const Scene& theScene() {
    static const Scene kScene = [] {
        Scene s;
        s.root = scratchFolder();
        std::filesystem::create_directories(s.root + "/photos/Vacances");
        std::filesystem::create_directories(s.root + "/out");
        s.datedPhoto = s.root + "/photos/Vacances/IMG_0001.JPG";
        fixtures::ExifFields exif;
        exif.dateTimeOriginal = "2006:07:14 10:20:30";
        fixtures::writeFile(s.datedPhoto,
                            fixtures::withExif(fixtures::jpeg(fixtures::gradient(8, 8)), exif));
        s.destination = s.root + "/out/";
        for (const char* taken : {"P_000.jpg", "P_001.jpg", "Photos_20060714_000.jpg"})
            fixtures::writeFile(s.destination + taken, "earlier result");
        return s;
    }();
    return kScene;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool hasNoCase(const std::string& text, const std::string& what) {
    return replaceNoCase(text, what, "").size() != text.size();
}

void checkReplaceNoCase(const std::string& source, const std::string& search,
                        const std::string& replacement) {
    const std::string removed = replaceNoCase(source, search, "");
    const std::string replaced = replaceNoCase(source, search, replacement);
    if (search.empty()) {
        check(removed == source && replaced == source, "an empty search changed the text");
        return;
    }
    check((source.size() - removed.size()) % search.size() == 0,
          "taking matches out removed a partial match");
    const std::size_t matches = (source.size() - removed.size()) / search.size();
    check(replaced.size() == removed.size() + matches * replacement.size(),
          "replacing and taking out do not see the same matches");
}

std::string field(const std::string& text) {
    return text + std::string(1, static_cast<char>(kSeparator));
}

std::vector<std::string> makeSeeds() {
    const auto seed = [](uint8_t flags, const std::string& sub, const std::string& file,
                         const std::string& mask, const std::string& search,
                         const std::string& replacement) {
        return std::string(1, static_cast<char>(flags)) + field(sub) + field(file) + field(mask) +
               field(search) + replacement;
    };
    return {
        seed(DatedPhoto, "", "", "Photos_%dc_%i", ".jpg", ""),
        seed(0, "Vacances", "IMG_0001.JPG", "%sr_%f", "IMG.JPG", "x"),
        seed(0, "Noël été", "a b&c%d.Jpg", "P_%i", "AA", "b"),
        seed(0, "x%f", "IMG.jpg", "%dj-%sr-%f-%r-%t-%i-%i", "%I", "%i"),
        seed(RawPhotoPath, "", "IMG_0001.JPG", "%f", "", "x"),
        seed(RawMask, "sub", "line\nbreak.jpg", "/tmp/out.JPG.d/%f", "jpg", "JPEG"),
        seed(NoIndexOut, "\xff\xfe", "\xe9t\xe9.jpg", "%f%i", "\xc3", ""),
    };
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    writeSeedsIfAsked(makeSeeds);
    (void)theScene();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const Scene& scene = theScene();
    FuzzReader in(data, size);
    const uint8_t flags = in.byte();
    const std::string subfolder = in.until(kSeparator);
    const std::string file = in.until(kSeparator);
    const std::string maskPart = in.until(kSeparator);
    const std::string search = in.until(kSeparator);
    const std::string replacement = in.bytes(size);

    checkReplaceNoCase(maskPart, search, replacement);
    checkReplaceNoCase(file, search, replacement);

    std::string photo = scene.root + "/photos/" + subfolder + "/" + file;
    if ((flags & DatedPhoto) != 0)
        photo = scene.datedPhoto;
    else if ((flags & RawPhotoPath) != 0)
        photo = subfolder + file;
    const std::string mask = (flags & RawMask) != 0 ? maskPart : scene.destination + maskPart;

    int32_t index = -1;
    const std::string name =
        buildResultName(photo, mask, nullptr, (flags & NoIndexOut) != 0 ? nullptr : &index);
    if ((flags & NoIndexOut) != 0)
        check(index == -1, "the index was reported without being asked for");

    if (photo.find('/') == std::string::npos) {
        check(name == photo, "a path without a folder was not returned as it is");
        check((flags & NoIndexOut) != 0 || index == kNoResultIndex,
              "a path without a folder got an index");
        return 0;
    }
    check(name.size() >= 4 && name.compare(name.size() - 4, 4, ".jpg") == 0,
          "a result name does not end with .jpg");
    if ((flags & NoIndexOut) == 0) {
        check(index == kNoResultIndex || (index >= 0 && index <= 999), "an index out of 000..999");
        if (index != kNoResultIndex) {
            check(name.find("%i") == std::string::npos, "an index was chosen but %i is left");
            check(index == 999 || !exists(name), "the chosen index names an existing file");
        }
    }
    if (mask.find('%') == std::string::npos && !hasNoCase(mask, ".jpg"))
        check(name == mask + ".jpg", "a mask without tags was not taken as it is");
    return 0;
}
