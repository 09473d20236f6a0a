#pragma once

// Test-side view of the param.dat layout, written from the record layout alone so that the
// engine is checked against bytes built by hand rather than against itself:
// 20-byte name (bytes + 1, NUL, zero padding), u16 type, u16 comment length, value block,
// comment (bytes + 1), little-endian.

#include <cctype>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/PhotoFixtures.h"

namespace paramtest {

using Bytes = std::vector<uint8_t>;

// A 1024-byte text block: byte i holds text[i] + i % 32, or i % 32 past the text.
inline Bytes stringBlock(const std::string& text) {
    Bytes block;
    for (int i = 0; i < 1024; ++i) {
        const int byte = i < static_cast<int>(text.size()) ? static_cast<uint8_t>(text[i]) : 0;
        block.push_back(static_cast<uint8_t>((byte + i % 32) % 256));
    }
    return block;
}

inline Bytes longBlock(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

// One record; `type` is written as given, so that a mismatching block can be built too.
inline Bytes record(const std::string& name, uint16_t type, const Bytes& value,
                    const std::string& comment = {}) {
    Bytes out;
    for (size_t i = 0; i < 20; ++i) {
        out.push_back(i < name.size() ? static_cast<uint8_t>(name[i] + 1) : 0);
    }
    for (const size_t n : {size_t{type}, comment.size()}) {
        out.push_back(static_cast<uint8_t>(n & 0xFF));
        out.push_back(static_cast<uint8_t>(n >> 8));
    }
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

inline Bytes readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder, removed with the object; in memory when it can be (every write of the
// engine ends with a flush to disk).
class TempFolder {
public:
    explicit TempFolder(std::filesystem::path base = {}) {
        if (base.empty()) {
            base =
                access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::filesystem::temp_directory_path();
        }
        std::string pattern = (base / "lumicut-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
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

// Runs body in a child killed after ten seconds, so that a hang fails instead of stopping the
// run; its exit code, or 1000 + the signal that ended it. The file size limit stands in for a
// full disk: writes past it fail with EFBIG, or kill the writer with SIGXFSZ mid-write.
inline int runInChild(const std::function<int()>& body, rlim_t sizeLimit = RLIM_INFINITY,
                      bool killedBySizeLimit = false) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(10);
        signal(SIGXFSZ, killedBySizeLimit ? SIG_DFL : SIG_IGN);
        const rlimit limit{sizeLimit, sizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFSIGNALED(status) ? 1000 + WTERMSIG(status) : WEXITSTATUS(status);
}

// A gtest name for a table row, made from its description.
inline std::string rowName(const char* description) {
    std::string name(description);
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

} // namespace paramtest

using fixtures::folderEntries;
