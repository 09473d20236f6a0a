#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// A param.dat script: a starting file (or none) and a run of reads, writes, deletes and
// searches, all decoded from raw bytes (the fuzz input of the param.dat engine). Each
// operation is checked against what the record layout says the file must now hold: a write
// replaces or appends just its record and reads back, a delete takes out just its record, a
// refused or read-only operation leaves the file byte for byte as it was.
//
// Input layout: 1 byte (bit 0: the file exists), u16 length n, n bytes of starting file,
// then operations until the input ends (at most kMaxParamScriptOperations), each an
// operation byte and its fields.
inline constexpr std::size_t kMaxParamScriptOperations = 48;

enum class ParamScriptOp : uint8_t {
    WriteString, // name, comment selector (>= 0xC0: "#", else a comment), u16 length, text
    WriteLong,   // name, comment selector, u32 value
    WriteByte,   // name, comment selector, 1 byte
    ReadString,  // name, 1 byte (bit 0: read the comment too)
    ReadLong,
    ReadByte,
    Delete, // name
    Find,   // name
    Count,
};

// Runs the script on the file at paramPath (removed or replaced first). The first broken
// rule, or nothing when every operation did what it must.
[[nodiscard]] std::optional<std::string> runParamScript(const uint8_t* data, std::size_t size,
                                                        const std::string& paramPath);
