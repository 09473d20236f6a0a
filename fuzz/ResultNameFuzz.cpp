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

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "naming oracle: %s\n", what);
    std::abort();
}

void Check(bool condition, const char* what) {
    if (!condition)
        Fail(what);
}

struct Scene {
    std::string root;        // scratch folder, no trailing '/'
    std::string datedPhoto;  // a photo shot on 14 July 2006
    std::string destination; // ends with '/'
};

const Scene& TheScene() {
    static const Scene scene = [] {
        Scene s;
        s.root = ScratchFolder();
        std::filesystem::create_directories(s.root + "/photos/Vacances");
        std::filesystem::create_directories(s.root + "/out");
        s.datedPhoto = s.root + "/photos/Vacances/IMG_0001.JPG";
        fixtures::ExifFields exif;
        exif.dateTimeOriginal = "2006:07:14 10:20:30";
        fixtures::WriteFile(s.datedPhoto,
                            fixtures::WithExif(fixtures::Jpeg(fixtures::Gradient(8, 8)), exif));
        s.destination = s.root + "/out/";
        for (const char* taken : {"P_000.jpg", "P_001.jpg", "Photos_20060714_000.jpg"})
            fixtures::WriteFile(s.destination + taken, "earlier result");
        return s;
    }();
    return scene;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool HasNoCase(const std::string& text, const std::string& what) {
    return ReplaceNoCase(text, what, "").size() != text.size();
}

void CheckReplaceNoCase(const std::string& source, const std::string& search,
                        const std::string& replacement) {
    const std::string removed = ReplaceNoCase(source, search, "");
    const std::string replaced = ReplaceNoCase(source, search, replacement);
    if (search.empty()) {
        Check(removed == source && replaced == source, "an empty search changed the text");
        return;
    }
    Check((source.size() - removed.size()) % search.size() == 0,
          "taking matches out removed a partial match");
    const std::size_t matches = (source.size() - removed.size()) / search.size();
    Check(replaced.size() == removed.size() + matches * replacement.size(),
          "replacing and taking out do not see the same matches");
}

std::string Field(const std::string& text) {
    return text + std::string(1, static_cast<char>(kSeparator));
}

std::vector<std::string> MakeSeeds() {
    const auto seed = [](uint8_t flags, const std::string& sub, const std::string& file,
                         const std::string& mask, const std::string& search,
                         const std::string& replacement) {
        return std::string(1, static_cast<char>(flags)) + Field(sub) + Field(file) + Field(mask) +
               Field(search) + replacement;
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
    WriteSeedsIfAsked(MakeSeeds);
    (void)TheScene();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const Scene& scene = TheScene();
    FuzzReader in(data, size);
    const uint8_t flags = in.Byte();
    const std::string subfolder = in.Until(kSeparator);
    const std::string file = in.Until(kSeparator);
    const std::string maskPart = in.Until(kSeparator);
    const std::string search = in.Until(kSeparator);
    const std::string replacement = in.Bytes(size);

    CheckReplaceNoCase(maskPart, search, replacement);
    CheckReplaceNoCase(file, search, replacement);

    std::string photo = scene.root + "/photos/" + subfolder + "/" + file;
    if ((flags & DatedPhoto) != 0)
        photo = scene.datedPhoto;
    else if ((flags & RawPhotoPath) != 0)
        photo = subfolder + file;
    const std::string mask = (flags & RawMask) != 0 ? maskPart : scene.destination + maskPart;

    int32_t index = -1;
    const std::string name =
        BuildResultName(photo, mask, nullptr, (flags & NoIndexOut) != 0 ? nullptr : &index);
    if ((flags & NoIndexOut) != 0)
        Check(index == -1, "the index was reported without being asked for");

    if (photo.find('/') == std::string::npos) {
        Check(name == photo, "a path without a folder was not returned as it is");
        Check((flags & NoIndexOut) != 0 || index == NO_RESULT_INDEX,
              "a path without a folder got an index");
        return 0;
    }
    Check(name.size() >= 4 && name.compare(name.size() - 4, 4, ".jpg") == 0,
          "a result name does not end with .jpg");
    if ((flags & NoIndexOut) == 0) {
        Check(index == NO_RESULT_INDEX || (index >= 0 && index <= 999), "an index out of 000..999");
        if (index != NO_RESULT_INDEX) {
            Check(name.find("%i") == std::string::npos, "an index was chosen but %i is left");
            Check(index == 999 || !Exists(name), "the chosen index names an existing file");
        }
    }
    if (mask.find('%') == std::string::npos && !HasNoCase(mask, ".jpg"))
        Check(name == mask + ".jpg", "a mask without tags was not taken as it is");
    return 0;
}
