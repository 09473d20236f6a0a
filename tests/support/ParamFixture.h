#pragma once

// Test-side view of the param.dat layout, written from the record layout alone so that the
// engine is checked against bytes built by hand rather than against itself:
// 20-byte name (bytes + 1, NUL, zero padding), u16 type, u16 comment length, value block,
// comment (bytes + 1), little-endian.

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace paramtest {

using Bytes = std::vector<uint8_t>;

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

inline Bytes longBlock(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

// A 1024-byte text block: byte i holds text[i] + i % 32, or i % 32 past the text.
inline Bytes stringBlock(const std::string& text) {
    Bytes block(1024);
    for (size_t i = 0; i < block.size(); ++i) {
        const uint8_t byte = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
        block[i] = static_cast<uint8_t>(byte + i % 32);
    }
    return block;
}

// One record; `type` is written as given, so that a mismatching block can be built too.
inline Bytes record(const std::string& name, uint16_t type, const Bytes& value,
                    const std::string& comment = {}) {
    Bytes out(20, 0);
    for (size_t i = 0; i < name.size() && i < out.size(); ++i) {
        out[i] = static_cast<uint8_t>(name[i] + 1);
    }
    for (const size_t n : {size_t{type}, comment.size()}) {
        out.insert(out.end(), {static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8)});
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
struct TempFolder : QTemporaryDir {
    TempFolder()
        : QTemporaryDir(access("/dev/shm", W_OK) == 0 ? "/dev/shm/lumicut-XXXXXX"
                                                      : QDir::tempPath() + "/lumicut-XXXXXX") {}
    [[nodiscard]] std::filesystem::path path() const { return QTemporaryDir::path().toStdString(); }
    [[nodiscard]] std::string file(const std::string& name = "param.dat") const {
        return (path() / name).string();
    }
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

} // namespace paramtest
