#include "ParamScript.h"

#include "FuzzReader.h"
#include "settings/ParamFile.h"
#include "support/ParamFixture.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using paramtest::Bytes;
using Op = ParamScriptOp;

constexpr std::size_t kHeader = 24;
constexpr std::size_t kStringBlock = 1024;
constexpr const char* kBlanks = " \t\n\v\f\r";
constexpr const char* kDeleteMissing = "Fonction suppression : paramètre inexistant!";

// Where a record lies in the file bytes.
struct Span {
    std::size_t offset = 0;
    uint16_t type = 0;
    uint16_t comment = 0;
    [[nodiscard]] std::size_t end() const { return offset + kHeader + type + comment; }
};

uint16_t u16At(const Bytes& bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::string upperCased(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        c = static_cast<char>(static_cast<uint8_t>(c) + 1);
    }
    return out;
}

auto at(const Bytes& bytes, std::size_t offset) {
    return bytes.begin() + static_cast<std::ptrdiff_t>(offset);
}

// The whole records from the start of the file, up to the first one that does not fit.
std::vector<Span> soundRecords(const Bytes& file) {
    std::vector<Span> spans;
    std::size_t at = 0;
    while (file.size() - at >= kHeader) {
        const Span span{at, u16At(file, at + 20), u16At(file, at + 22)};
        if (span.end() > file.size()) {
            break;
        }
        spans.push_back(span);
        at = span.end();
    }
    return spans;
}

// The stored (raised) name: up to its NUL, at most 20 bytes.
std::string storedName(const Bytes& file, const Span& span) {
    std::string name;
    for (std::size_t i = 0; i < 20 && file[span.offset + i] != 0; ++i) {
        name.push_back(static_cast<char>(file[span.offset + i]));
    }
    return name;
}

std::optional<Span> firstNamed(const Bytes& file, const std::string& name) {
    const std::string raised = upperCased(name);
    for (const Span& span : soundRecords(file)) {
        if (storedName(file, span) == raised) {
            return span;
        }
    }
    return std::nullopt;
}

std::size_t soundEnd(const Bytes& file) {
    const std::vector<Span> spans = soundRecords(file);
    return spans.empty() ? 0 : spans.back().end();
}

std::string trimFront(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::string::npos ? std::string() : text.substr(first);
}

// The name as a write stores it, or nothing when a write must refuse it: empty, longer
// than 20 bytes, or holding a byte that would be stored as the name's end.
std::optional<std::string> normalisedName(const std::string& name) {
    std::string out = trimFront(name);
    if (out.empty()) {
        return std::nullopt;
    }
    out.erase(out.find_last_not_of(kBlanks) + 1);
    for (char& c : out) {
        if (c == ' ') {
            c = '_';
        }
    }
    if (out.size() > 20 || out.find('\xFF') != std::string::npos) {
        return std::nullopt;
    }
    return out;
}

// The file after a successful write: the first record of that name replaced where it
// stands, or the new record after the last whole record.
Bytes expectedAfterWrite(const Bytes& before, const std::string& name, Bytes value,
                         const std::string& comment, uint16_t type) {
    const std::optional<Span> old = firstNamed(before, name);
    const std::string raised = upperCased(name);
    Bytes record(raised.begin(), raised.end());
    record.resize(20, 0);
    const bool keep = comment == "#";
    const uint16_t commentLength =
        keep ? (old ? old->comment : 0) : static_cast<uint16_t>(comment.size());
    record.push_back(static_cast<uint8_t>(type & 0xFF));
    record.push_back(static_cast<uint8_t>(type >> 8));
    record.push_back(static_cast<uint8_t>(commentLength & 0xFF));
    record.push_back(static_cast<uint8_t>(commentLength >> 8));
    value.resize(type, 0);
    record.insert(record.end(), value.begin(), value.end());
    if (keep && old) {
        const auto from = at(before, old->offset + kHeader + type);
        record.insert(record.end(), from, from + old->comment);
    } else if (!keep) {
        const std::string raisedComment = upperCased(comment);
        record.insert(record.end(), raisedComment.begin(), raisedComment.end());
    }
    const std::size_t prefixEnd = old ? old->offset : soundEnd(before);
    const std::size_t suffixStart = old ? old->end() : before.size();
    Bytes out(before.begin(), at(before, prefixEnd));
    out.insert(out.end(), record.begin(), record.end());
    out.insert(out.end(), at(before, suffixStart), before.end());
    return out;
}

uint16_t typeOf(Op op) {
    switch (op) {
    case Op::WriteString:
    case Op::ReadString:
        return 1024;
    case Op::WriteLong:
    case Op::ReadLong:
        return 4;
    default:
        return 1;
    }
}

class Script {
public:
    Script(const uint8_t* data, std::size_t size, std::string path)
        : m_in(data, size), m_path(std::move(path)) {}

    std::optional<std::string> run() {
        const bool exists = (m_in.byte() & 1) != 0;
        const std::string start = m_in.bytes(m_in.u16());
        std::error_code error;
        std::filesystem::remove(m_path, error);
        if (exists) {
            paramtest::writeBytes(m_path, Bytes(start.begin(), start.end()));
        }
        for (std::size_t n = 0; n < kMaxParamScriptOperations && !m_in.atEnd() && !m_broken; ++n) {
            const auto op = static_cast<Op>(m_in.byte() % static_cast<uint8_t>(Op::Count));
            switch (op) {
            case Op::WriteString:
            case Op::WriteLong:
            case Op::WriteByte:
                write(op);
                break;
            case Op::ReadString:
            case Op::ReadLong:
            case Op::ReadByte:
                read(op);
                break;
            case Op::Delete:
                Delete();
                break;
            default:
                find();
                break;
            }
        }
        return m_broken;
    }

private:
    void check(bool condition, const char* rule) {
        if (!condition && !m_broken) {
            m_broken = rule;
        }
    }
    [[nodiscard]] bool exists() const {
        std::error_code error;
        return std::filesystem::exists(m_path, error);
    }
    [[nodiscard]] Bytes content() const {
        return exists() ? paramtest::readBytes(m_path) : Bytes();
    }
    // The file's folder holds nothing else: any other entry was left behind by a write.
    [[nodiscard]] bool leftoverTemp() const {
        const std::filesystem::path file(m_path);
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), error)) {
            if (entry.path().filename() != file.filename()) {
                return true;
            }
        }
        return false;
    }
    // The file is there or not as before and, when there, holds the same bytes.
    void checkUnchanged(bool existed, const Bytes& before, const char* rule) {
        check(exists() == existed && content() == before, rule);
    }

    void write(Op op) {
        const std::string name = m_in.shortText(24);
        const std::string comment = m_in.byte() >= 0xC0 ? std::string("#") : m_in.shortText(40);
        const uint16_t type = typeOf(op);
        std::string text;
        int32_t number = 0;
        Bytes block;
        if (op == Op::WriteString) {
            text = m_in.bytes(m_in.u16() % 1100);
            block = ParamFile::encodeString(text);
        } else if (op == Op::WriteLong) {
            number = static_cast<int32_t>(m_in.u32());
            block = paramtest::longBlock(number);
        } else {
            number = m_in.byte();
            block = Bytes{static_cast<uint8_t>(number)};
        }

        const bool existed = exists();
        const Bytes before = content();
        ParamFile file(m_path);
        bool written = false;
        if (op == Op::WriteString) {
            written = file.writeString(name, text, comment);
        } else if (op == Op::WriteLong) {
            written = file.writeLong(name, number, comment);
        } else {
            written = file.writeByte(name, number, comment);
        }
        check(!leftoverTemp(), "a write left its temporary file behind");

        const std::optional<std::string> stored = normalisedName(name);
        const std::optional<Span> old = stored ? firstNamed(before, *stored) : std::nullopt;
        if (!stored || (old && old->type != type)) {
            check(!written, "a write that must be refused succeeded");
            checkUnchanged(existed, before, "a refused write changed the file");
            return;
        }
        check(written, "a write with a valid name and matching type failed");
        check(content() == expectedAfterWrite(before, *stored, block, comment, type),
              "the file after a write is not the old file with just that record replaced or "
              "added");

        ParamFile reader(m_path);
        if (op == Op::WriteString) {
            // The block ends at the first byte equal to its position's filler: a NUL of the
            // text.
            const std::string cut = text.substr(0, kStringBlock);
            std::string back;
            check(reader.readString(*stored, back), "a string just written cannot be read back");
            check(back == cut.substr(0, cut.find('\0')),
                  "a string read back differs from the one written");
        } else {
            int32_t back = -1;
            const bool read = op == Op::WriteLong ? reader.readLong(*stored, back)
                                                  : reader.readByte(*stored, back);
            check(read, "a value just written cannot be read back");
            check(back == (op == Op::WriteLong ? number : (number & 0xFF)),
                  "a value read back differs from the one written");
        }
    }

    void read(Op op) {
        const std::string name = m_in.shortText(24);
        const bool withComment = (m_in.byte() & 1) != 0;
        const bool existed = exists();
        const Bytes before = content();
        const std::optional<Span> found =
            existed && !name.empty() ? firstNamed(before, name) : std::nullopt;
        const bool shouldRead = found && found->type == typeOf(op);

        ParamFile file(m_path);
        std::string comment = "unchanged";
        std::string* commentOut = withComment ? &comment : nullptr;
        bool read = false;
        bool valueKept = true;
        if (op == Op::ReadString) {
            std::string text = "unchanged";
            read = file.readString(name, text, commentOut);
            valueKept = text == "unchanged";
            if (read && shouldRead) {
                const auto from = at(before, found->offset + kHeader);
                check(text == ParamFile::decodeString(Bytes(from, from + kStringBlock)),
                      "a string read is not the stored block decoded");
            }
        } else {
            int32_t value = 12345;
            read = op == Op::ReadLong ? file.readLong(name, value, commentOut)
                                      : file.readByte(name, value, commentOut);
            valueKept = value == 12345;
            check(op == Op::ReadLong || !read || (value >= 0 && value <= 255),
                  "a byte read is out of 0..255");
        }
        check(read == shouldRead, "a read succeeded or failed against the file's records");
        if (!read) {
            check(valueKept && comment == "unchanged", "a failed read changed its destinations");
        } else if (withComment && shouldRead) {
            check(comment.size() == found->comment, "a comment read has the wrong length");
        }
        checkUnchanged(existed, before, "a read changed the file");
    }

    void Delete() {
        const std::string name = m_in.shortText(24);
        const bool existed = exists();
        const Bytes before = content();
        ParamFile file(m_path);
        const bool done = file.deleteParam(name);
        check(!leftoverTemp(), "a delete left its temporary file behind");
        const std::string key = trimFront(name);
        if (!existed || key.empty()) {
            check(!done, "a delete without file or name succeeded");
            checkUnchanged(existed, before, "a refused delete changed the file");
            return;
        }
        check(done, "a delete on an existing file with a name failed");
        Bytes expected = before;
        if (const std::optional<Span> found = firstNamed(before, key)) {
            expected.erase(at(expected, found->offset), at(expected, found->end()));
        } else {
            check(file.lastError() == kDeleteMissing, "a delete of a missing name did not say so");
        }
        check(content() == expected,
              "the file after a delete is not the old file with just that record taken out");
    }

    void find() {
        const std::string name = m_in.shortText(24);
        const bool existed = exists();
        const Bytes before = content();
        ParamFile file(m_path);
        const int64_t offset = file.findParam(name);
        if (!existed) {
            check(offset == -2, "a search of a missing file did not report a file error");
            return;
        }
        const std::optional<Span> found = firstNamed(before, name);
        check(offset == (found ? static_cast<int64_t>(found->offset) : -1),
              "a search found another record than the first one of that name");
        checkUnchanged(existed, before, "a search changed the file");
    }

    FuzzReader m_in;
    std::string m_path;
    std::optional<std::string> m_broken;
};

} // namespace

std::optional<std::string> runParamScript(const uint8_t* data, std::size_t size,
                                          const std::string& paramPath) {
    return Script(data, size, paramPath).run();
}
