#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

// Reads fuzz input bytes as a run of fields: fixed-width little-endian numbers and texts;
// past the end every read gives zeros and empty texts. Shared by the fuzz programs and by
// the tests that replay what they found.
class FuzzReader {
public:
    FuzzReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    [[nodiscard]] bool AtEnd() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t U16() {
        const uint16_t low = Byte();
        return static_cast<uint16_t>(low | (Byte() << 8));
    }
    uint32_t U32() {
        const uint32_t low = U16();
        return low | (static_cast<uint32_t>(U16()) << 16);
    }
    // count bytes (fewer near the end).
    std::string Bytes(std::size_t count) {
        const std::size_t take = pos_ < size_ ? std::min(count, size_ - pos_) : 0;
        std::string out(reinterpret_cast<const char*>(data_) + pos_, take);
        pos_ += take;
        return out;
    }
    // A text of Byte() % (maxLength + 1) bytes.
    std::string ShortText(std::size_t maxLength) { return Bytes(Byte() % (maxLength + 1)); }
    // The bytes up to the next separator byte (not included) or the end.
    std::string Until(uint8_t separator) {
        std::string out;
        while (pos_ < size_ && data_[pos_] != separator) {
            out.push_back(static_cast<char>(data_[pos_++]));
        }
        if (pos_ < size_) {
            ++pos_; // the separator
        }
        return out;
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};
