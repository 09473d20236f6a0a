#include "naming/ResultName.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <cctype>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

#include "naming/ResultIndex.h"
#include "naming/ShotDate.h"

namespace {

constexpr int kLastIndex = 999;

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Anything by that name (file, folder, even a dangling link) takes the index.
bool pathExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The name with every "%i" replaced by the index in three digits, zero-padded.
std::string withIndex(const std::vector<std::string>& pieces, int index) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%.3d", index);
    std::string out = pieces.front();
    for (size_t k = 1; k < pieces.size(); ++k) {
        out += digits;
        out += pieces[k];
    }
    return out;
}

std::vector<std::string> splitOnTag(const std::string& text, const std::string& tag) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t pos = text.find(tag); pos != std::string::npos; pos = text.find(tag, start)) {
        pieces.push_back(text.substr(start, pos - start));
        start = pos + tag.size();
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

std::string formatDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd")).toStdString();
}

} // namespace

std::string buildResultName(const std::string& photoPath, const std::string& mask,
                            const ExifBlock* exif, int32_t* indexOut,
                            const std::function<bool(const std::string&)>& taken) {
    int32_t index = kNoResultIndex;
    const auto report = [&] {
        if (indexOut != nullptr) {
            *indexOut = index;
        }
    };

    // A path without any folder part names no photo we can place: left as it is. A photo
    // at the root "/" is named like any other, with an empty folder name for "%sr".
    const size_t slash = photoPath.rfind('/');
    if (slash == std::string::npos) {
        report();
        return photoPath;
    }
    const std::string folder = photoPath.substr(0, slash); // without its trailing '/'
    const std::string file = photoPath.substr(slash + 1);  // name and extension
    const size_t folderSlash = folder.rfind('/');
    const std::string subfolder =
        folderSlash == std::string::npos ? std::string() : folder.substr(folderSlash + 1);

    std::string name = mask;
    if (name.find("%dj") != std::string::npos) {
        name = replaceAll(name, "%dj", formatDate(QDate::currentDate()));
    }
    if (name.find("%dc") != std::string::npos) {
        name = replaceAll(name, "%dc", formatDate(shotDate(photoPath, exif).date()));
    }
    if (name.find("%sr") != std::string::npos) {
        name = replaceAll(name, "%sr", subfolder);
    }
    if (name.find("%f") != std::string::npos) {
        name = replaceAll(name, "%f", file);
    }

    // The source's extension, in whatever case, goes wherever it appears (the destination
    // folder included) before the result's own is added.
    name = replaceNoCase(name, ".jpg", "") + ".jpg";

    if (name.find("%i") != std::string::npos) {
        // First free index from 000; when all are taken, 999 is reused (and overwritten).
        const std::vector<std::string> pieces = splitOnTag(name, "%i");
        int i = 0;
        std::string candidate = withIndex(pieces, i);
        while (i < kLastIndex && (pathExists(candidate) || (taken && taken(candidate)))) {
            ++i;
            candidate = withIndex(pieces, i);
        }
        name = std::move(candidate);
        index = i;
    }

    report();
    return name;
}

std::string replaceNoCase(const std::string& source, const std::string& search,
                          const std::string& replacement) {
    if (search.empty()) {
        return source;
    }
    // ASCII lowering keeps every byte in place, so positions in the lowered copy are
    // positions in the source, UTF-8 included.
    const std::string lowSource = lowerAscii(source);
    const std::string lowSearch = lowerAscii(search);
    std::string out;
    out.reserve(source.size());
    size_t start = 0;
    for (size_t pos = lowSource.find(lowSearch); pos != std::string::npos;
         pos = lowSource.find(lowSearch, start)) {
        out.append(source, start, pos - start);
        out += replacement;
        start = pos + search.size();
    }
    out.append(source, start, std::string::npos);
    return out;
}

std::string replaceAll(const std::string& text, std::string_view tag, std::string_view value) {
    if (tag.empty())
        return text;
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t pos = text.find(tag); pos != std::string::npos; pos = text.find(tag, start)) {
        out.append(text, start, pos - start);
        out += value;
        start = pos + tag.size();
    }
    out.append(text, start, std::string::npos);
    return out;
}

std::string replaceFormatTags(const std::string& mask, double heightCm, double widthCm,
                              const std::string& label) {
    char size[64];
    std::snprintf(size, sizeof size, "%.0fx%.0f", heightCm, widthCm);
    return replaceAll(replaceAll(mask, "%t", size), "%r", label);
}
