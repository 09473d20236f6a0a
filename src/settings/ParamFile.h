#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Type tag of a stored parameter; it is also the size in bytes of the value block.
enum class ParamType : uint16_t {
    Byte = 1,
    Long = 4,
    String = 1024,
};

// One small binary file of named, typed parameters (param.dat).
//
// The file is a plain run of records, no header:
//   20 bytes  name, each byte raised by 1, then a NUL and zero padding when shorter than 20
//    2 bytes  type tag T (little-endian), the size of the value block
//    2 bytes  comment length L (little-endian)
//    T bytes  value block
//    L bytes  comment, each byte raised by 1
//
// Every operation opens the file under an exclusive flock, reads it whole, works in memory
// and closes it before returning; a change is written through QSaveFile to a temporary file
// beside it and renamed over it, so an interrupted write leaves either the old or the new
// file. Where no file can be put in its place (a folder that takes no new entry, a path whose
// bytes are not UTF-8, which Qt cannot name), the file is rewritten in place instead.
// Failures come back as false (or -1/-2) with a French last-error text that nobody displays.
class ParamFile {
public:
    // A name holding '/' is a whole path; a bare name is placed by ResolveParamPath.
    explicit ParamFile(const std::string& fileName);
    virtual ~ParamFile();

    ParamFile(const ParamFile&) = delete;
    ParamFile& operator=(const ParamFile&) = delete;

    // Offset of the first byte of the record with that name (used as given), -1 when no
    // record has it, -2 when the file could not be searched (missing, held by another
    // process, unreadable).
    [[nodiscard]] int64_t findParam(const std::string& name);

    // Writes the value block (resized to the type's size) under the name. The name is trimmed
    // and its blanks become '_'; 1 to 20 bytes, none of them 0xFF (stored raised by 1, it
    // would end the name). The comment "#" means "no comment": an
    // existing record keeps its own comment, a new one gets none.
    bool writeParam(const std::string& name, const std::vector<uint8_t>& value,
                    const std::string& comment, ParamType type);
    // Reads the value block (and the comment when asked for); the destinations change only
    // on success.
    [[nodiscard]] bool readParam(const std::string& name, std::vector<uint8_t>& value,
                                 std::string* comment, ParamType type);
    // Removes the record and closes the gap. True once the file could be processed, also when
    // nothing was removed (the last error tells); false when the file is missing or the name
    // is empty.
    bool deleteParam(const std::string& name);

    bool writeString(const std::string& name, std::string_view text, const std::string& comment);
    [[nodiscard]] bool readString(const std::string& name, std::string& text,
                                  std::string* comment = nullptr);
    bool writeLong(const std::string& name, int32_t value, const std::string& comment);
    [[nodiscard]] bool readLong(const std::string& name, int32_t& value,
                                std::string* comment = nullptr);
    // Stores the low 8 bits of the value; reads back 0 to 255.
    bool writeByte(const std::string& name, int32_t value, const std::string& comment);
    [[nodiscard]] bool readByte(const std::string& name, int32_t& value,
                                std::string* comment = nullptr);

    [[nodiscard]] const std::string& lastError() const { return m_lastError; }
    [[nodiscard]] const std::string& filePath() const { return m_filePath; }

    // The 1024-byte string block: byte i is text[i] + (i mod 32) within the text and
    // (i mod 32) past it; texts longer than 1024 bytes are cut.
    [[nodiscard]] static std::vector<uint8_t> encodeString(std::string_view text);
    // Stops at the first byte equal to (i mod 32).
    [[nodiscard]] static std::string decodeString(const std::vector<uint8_t>& block);

    // Files larger than this are not parameter files: they are refused, never rewritten.
    static constexpr int64_t kMaxFileBytes = 16 * 1024 * 1024;

private:
    void setFileError(int cause);

    std::string m_filePath;
    int32_t m_attempts = 5;
    std::string m_lastError;
};
