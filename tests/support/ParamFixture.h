#pragma once

// Test-side view of the param.dat layout, written from the record layout alone so that the
// engine is checked against bytes built by hand rather than against itself:
// 20-byte name (bytes + 1, NUL, zero padding), u16 type, u16 comment length, value block,
// comment (bytes + 1), little-endian.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "support/PhotoFixtures.h"

namespace paramtest {

using Bytes = std::vector<uint8_t>;

inline Bytes stringBlock(const std::string& text) {
    Bytes block;
    for (int i = 0; i < 1024; ++i) {
        const int k = i % 32;
        const int byte = i < static_cast<int>(text.size()) ? static_cast<uint8_t>(text[i]) + k : k;
        block.push_back(static_cast<uint8_t>(byte % 256));
    }
    return block;
}

inline std::string textOfBlock(const Bytes& block) {
    std::string text;
    for (int i = 0; i < static_cast<int>(block.size()); ++i) {
        const int k = i % 32;
        if (block[i] == k) {
            break;
        }
        text.push_back(static_cast<char>((block[i] - k + 256) % 256));
    }
    return text;
}

inline Bytes longBlock(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

inline int32_t longOfBlock(const Bytes& block) {
    return static_cast<int32_t>(block.at(0) | block.at(1) << 8 | block.at(2) << 16 |
                                static_cast<uint32_t>(block.at(3)) << 24);
}

// One record; `type` is written as given, so that a mismatching block can be built too.
inline Bytes record(const std::string& name, uint16_t type, const Bytes& value,
                    const std::string& comment = {}) {
    Bytes out;
    for (size_t i = 0; i < 20; ++i) {
        out.push_back(i < name.size() ? static_cast<uint8_t>(name[i] + 1) : 0);
    }
    out.push_back(static_cast<uint8_t>(type & 0xFF));
    out.push_back(static_cast<uint8_t>(type >> 8));
    out.push_back(static_cast<uint8_t>(comment.size() & 0xFF));
    out.push_back(static_cast<uint8_t>(comment.size() >> 8));
    out.insert(out.end(), value.begin(), value.end());
    for (const char c : comment) {
        out.push_back(static_cast<uint8_t>(c + 1));
    }
    return out;
}

inline Bytes stringRecord(const std::string& name, const std::string& text,
                          const std::string& comment = {}) {
    return record(name, 1024, stringBlock(text), comment);
}
inline Bytes longRecord(const std::string& name, int32_t value) {
    return record(name, 4, longBlock(value));
}
inline Bytes byteRecord(const std::string& name, uint8_t value) {
    return record(name, 1, Bytes{value});
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

struct DecodedRecord {
    std::string name;
    uint16_t type = 0;
    Bytes value;
    std::string comment;
};

// Every record of the file, or nothing when any record does not fit the file exactly.
inline std::optional<std::vector<DecodedRecord>> decodeFile(const Bytes& file) {
    std::vector<DecodedRecord> records;
    size_t at = 0;
    while (at < file.size()) {
        if (file.size() - at < 24) {
            return std::nullopt;
        }
        DecodedRecord record;
        for (size_t i = 0; i < 20 && file[at + i] != 0; ++i) {
            record.name.push_back(static_cast<char>(file[at + i] - 1));
        }
        record.type = static_cast<uint16_t>(file[at + 20] | file[at + 21] << 8);
        const size_t commentLength = file[at + 22] | file[at + 23] << 8;
        if (file.size() - at - 24 < record.type + commentLength) {
            return std::nullopt;
        }
        record.value.assign(file.begin() + at + 24, file.begin() + at + 24 + record.type);
        for (size_t i = 0; i < commentLength; ++i) {
            record.comment.push_back(static_cast<char>(file[at + 24 + record.type + i] - 1));
        }
        records.push_back(record);
        at += 24 + record.type + commentLength;
    }
    return records;
}

inline Bytes readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Memory-backed when available: every engine write ends with a flush to disk.
inline std::filesystem::path testBaseFolder() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0) {
        return "/dev/shm";
    }
    return std::filesystem::temp_directory_path();
}

// A fresh folder, removed with the object.
class TempFolder {
public:
    explicit TempFolder(const std::filesystem::path& base = testBaseFolder()) {
        std::string pattern = (base / "lumicut-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!m_path.empty()) {
            std::filesystem::remove_all(m_path, ignored);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
    [[nodiscard]] std::string file(const std::string& name = "param.dat") const {
        return (m_path / name).string();
    }

private:
    std::filesystem::path m_path;
};

// A gtest name for a table row, made from its description.
inline std::string rowName(const char* description) {
    std::string name;
    for (const char* c = description; *c != '\0'; ++c) {
        const bool keep =
            (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9');
        name.push_back(keep ? *c : '_');
    }
    return name;
}

} // namespace paramtest

using fixtures::folderEntries;
