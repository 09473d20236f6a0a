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
    FuzzReader(const uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    [[nodiscard]] bool atEnd() const { return m_pos >= m_size; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t u16() {
        const uint16_t low = byte();
        return static_cast<uint16_t>(low | (byte() << 8));
    }
    uint32_t u32() {
        const uint32_t low = u16();
        return low | (static_cast<uint32_t>(u16()) << 16);
    }
    // count bytes (fewer near the end).
    std::string bytes(std::size_t count) {
        const std::size_t take = m_pos < m_size ? std::min(count, m_size - m_pos) : 0;
        std::string out(reinterpret_cast<const char*>(m_data) + m_pos, take);
        m_pos += take;
        return out;
    }
    // A text of Byte() % (maxLength + 1) bytes.
    std::string shortText(std::size_t maxLength) { return bytes(byte() % (maxLength + 1)); }
    // The bytes up to the next separator byte (not included) or the end.
    std::string until(uint8_t separator) {
        std::string out;
        while (m_pos < m_size && m_data[m_pos] != separator) {
            out.push_back(static_cast<char>(m_data[m_pos++]));
        }
        if (m_pos < m_size) {
            ++m_pos; // the separator
        }
        return out;
    }

private:
    const uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
