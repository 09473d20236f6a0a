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
    [[nodiscard]] std::size_t End() const { return offset + kHeader + type + comment; }
};

uint16_t U16At(const Bytes& bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::string Raised(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        c = static_cast<char>(static_cast<uint8_t>(c) + 1);
    }
    return out;
}

auto At(const Bytes& bytes, std::size_t offset) {
    return bytes.begin() + static_cast<std::ptrdiff_t>(offset);
}

// The whole records from the start of the file, up to the first one that does not fit.
std::vector<Span> SoundRecords(const Bytes& file) {
    std::vector<Span> spans;
    std::size_t at = 0;
    while (file.size() - at >= kHeader) {
        const Span span{at, U16At(file, at + 20), U16At(file, at + 22)};
        if (span.End() > file.size()) {
            break;
        }
        spans.push_back(span);
        at = span.End();
    }
    return spans;
}

// The stored (raised) name: up to its NUL, at most 20 bytes.
std::string StoredName(const Bytes& file, const Span& span) {
    std::string name;
    for (std::size_t i = 0; i < 20 && file[span.offset + i] != 0; ++i) {
        name.push_back(static_cast<char>(file[span.offset + i]));
    }
    return name;
}

std::optional<Span> FirstNamed(const Bytes& file, const std::string& name) {
    const std::string raised = Raised(name);
    for (const Span& span : SoundRecords(file)) {
        if (StoredName(file, span) == raised) {
            return span;
        }
    }
    return std::nullopt;
}

std::size_t SoundEnd(const Bytes& file) {
    const std::vector<Span> spans = SoundRecords(file);
    return spans.empty() ? 0 : spans.back().End();
}

std::string TrimFront(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::string::npos ? std::string() : text.substr(first);
}

// The name as a write stores it, or nothing when a write must refuse it: empty, longer
// than 20 bytes, or holding a byte that would be stored as the name's end.
std::optional<std::string> NormalisedName(const std::string& name) {
    std::string out = TrimFront(name);
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
Bytes ExpectedAfterWrite(const Bytes& before, const std::string& name, Bytes value,
                         const std::string& comment, uint16_t type) {
    const std::optional<Span> old = FirstNamed(before, name);
    const std::string raised = Raised(name);
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
        const auto from = At(before, old->offset + kHeader + type);
        record.insert(record.end(), from, from + old->comment);
    } else if (!keep) {
        const std::string raisedComment = Raised(comment);
        record.insert(record.end(), raisedComment.begin(), raisedComment.end());
    }
    const std::size_t prefixEnd = old ? old->offset : SoundEnd(before);
    const std::size_t suffixStart = old ? old->End() : before.size();
    Bytes out(before.begin(), At(before, prefixEnd));
    out.insert(out.end(), record.begin(), record.end());
    out.insert(out.end(), At(before, suffixStart), before.end());
    return out;
}

uint16_t TypeOf(Op op) {
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
        : in_(data, size), path_(std::move(path)) {}

    std::optional<std::string> Run() {
        const bool exists = (in_.Byte() & 1) != 0;
        const std::string start = in_.Bytes(in_.U16());
        std::error_code error;
        std::filesystem::remove(path_, error);
        if (exists) {
            paramtest::WriteBytes(path_, Bytes(start.begin(), start.end()));
        }
        for (std::size_t n = 0; n < kMaxParamScriptOperations && !in_.AtEnd() && !broken_; ++n) {
            const auto op = static_cast<Op>(in_.Byte() % static_cast<uint8_t>(Op::Count));
            switch (op) {
            case Op::WriteString:
            case Op::WriteLong:
            case Op::WriteByte:
                Write(op);
                break;
            case Op::ReadString:
            case Op::ReadLong:
            case Op::ReadByte:
                Read(op);
                break;
            case Op::Delete:
                Delete();
                break;
            default:
                Find();
                break;
            }
        }
        return broken_;
    }

private:
    void Check(bool condition, const char* rule) {
        if (!condition && !broken_) {
            broken_ = rule;
        }
    }
    [[nodiscard]] bool Exists() const {
        std::error_code error;
        return std::filesystem::exists(path_, error);
    }
    [[nodiscard]] Bytes Content() const { return Exists() ? paramtest::ReadBytes(path_) : Bytes(); }
    // The file's folder holds nothing else: any other entry was left behind by a write.
    [[nodiscard]] bool LeftoverTemp() const {
        const std::filesystem::path file(path_);
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), error)) {
            if (entry.path().filename() != file.filename()) {
                return true;
            }
        }
        return false;
    }
    // The file is there or not as before and, when there, holds the same bytes.
    void CheckUnchanged(bool existed, const Bytes& before, const char* rule) {
        Check(Exists() == existed && Content() == before, rule);
    }

    void Write(Op op) {
        const std::string name = in_.ShortText(24);
        const std::string comment = in_.Byte() >= 0xC0 ? std::string("#") : in_.ShortText(40);
        const uint16_t type = TypeOf(op);
        std::string text;
        int32_t number = 0;
        Bytes block;
        if (op == Op::WriteString) {
            text = in_.Bytes(in_.U16() % 1100);
            block = CParamFile::EncodeString(text);
        } else if (op == Op::WriteLong) {
            number = static_cast<int32_t>(in_.U32());
            block = paramtest::LongBlock(number);
        } else {
            number = in_.Byte();
            block = Bytes{static_cast<uint8_t>(number)};
        }

        const bool existed = Exists();
        const Bytes before = Content();
        CParamFile file(path_);
        bool written = false;
        if (op == Op::WriteString) {
            written = file.WriteString(name, text, comment);
        } else if (op == Op::WriteLong) {
            written = file.WriteLong(name, number, comment);
        } else {
            written = file.WriteByte(name, number, comment);
        }
        Check(!LeftoverTemp(), "a write left its temporary file behind");

        const std::optional<std::string> stored = NormalisedName(name);
        const std::optional<Span> old = stored ? FirstNamed(before, *stored) : std::nullopt;
        if (!stored || (old && old->type != type)) {
            Check(!written, "a write that must be refused succeeded");
            CheckUnchanged(existed, before, "a refused write changed the file");
            return;
        }
        Check(written, "a write with a valid name and matching type failed");
        Check(Content() == ExpectedAfterWrite(before, *stored, block, comment, type),
              "the file after a write is not the old file with just that record replaced or "
              "added");

        CParamFile reader(path_);
        if (op == Op::WriteString) {
            // The block ends at the first byte equal to its position's filler: a NUL of the
            // text.
            const std::string cut = text.substr(0, kStringBlock);
            std::string back;
            Check(reader.ReadString(*stored, back), "a string just written cannot be read back");
            Check(back == cut.substr(0, cut.find('\0')),
                  "a string read back differs from the one written");
        } else {
            int32_t back = -1;
            const bool read = op == Op::WriteLong ? reader.ReadLong(*stored, back)
                                                  : reader.ReadByte(*stored, back);
            Check(read, "a value just written cannot be read back");
            Check(back == (op == Op::WriteLong ? number : (number & 0xFF)),
                  "a value read back differs from the one written");
        }
    }

    void Read(Op op) {
        const std::string name = in_.ShortText(24);
        const bool withComment = (in_.Byte() & 1) != 0;
        const bool existed = Exists();
        const Bytes before = Content();
        const std::optional<Span> found =
            existed && !name.empty() ? FirstNamed(before, name) : std::nullopt;
        const bool shouldRead = found && found->type == TypeOf(op);

        CParamFile file(path_);
        std::string comment = "unchanged";
        std::string* commentOut = withComment ? &comment : nullptr;
        bool read = false;
        bool valueKept = true;
        if (op == Op::ReadString) {
            std::string text = "unchanged";
            read = file.ReadString(name, text, commentOut);
            valueKept = text == "unchanged";
            if (read && shouldRead) {
                const auto from = At(before, found->offset + kHeader);
                Check(text == CParamFile::DecodeString(Bytes(from, from + kStringBlock)),
                      "a string read is not the stored block decoded");
            }
        } else {
            int32_t value = 12345;
            read = op == Op::ReadLong ? file.ReadLong(name, value, commentOut)
                                      : file.ReadByte(name, value, commentOut);
            valueKept = value == 12345;
            Check(op == Op::ReadLong || !read || (value >= 0 && value <= 255),
                  "a byte read is out of 0..255");
        }
        Check(read == shouldRead, "a read succeeded or failed against the file's records");
        if (!read) {
            Check(valueKept && comment == "unchanged", "a failed read changed its destinations");
        } else if (withComment && shouldRead) {
            Check(comment.size() == found->comment, "a comment read has the wrong length");
        }
        CheckUnchanged(existed, before, "a read changed the file");
    }

    void Delete() {
        const std::string name = in_.ShortText(24);
        const bool existed = Exists();
        const Bytes before = Content();
        CParamFile file(path_);
        const bool done = file.DeleteParam(name);
        Check(!LeftoverTemp(), "a delete left its temporary file behind");
        const std::string key = TrimFront(name);
        if (!existed || key.empty()) {
            Check(!done, "a delete without file or name succeeded");
            CheckUnchanged(existed, before, "a refused delete changed the file");
            return;
        }
        Check(done, "a delete on an existing file with a name failed");
        Bytes expected = before;
        if (const std::optional<Span> found = FirstNamed(before, key)) {
            expected.erase(At(expected, found->offset), At(expected, found->End()));
        } else {
            Check(file.GetLastError() == kDeleteMissing,
                  "a delete of a missing name did not say so");
        }
        Check(Content() == expected,
              "the file after a delete is not the old file with just that record taken out");
    }

    void Find() {
        const std::string name = in_.ShortText(24);
        const bool existed = Exists();
        const Bytes before = Content();
        CParamFile file(path_);
        const int64_t offset = file.FindParam(name);
        if (!existed) {
            Check(offset == -2, "a search of a missing file did not report a file error");
            return;
        }
        const std::optional<Span> found = FirstNamed(before, name);
        Check(offset == (found ? static_cast<int64_t>(found->offset) : -1),
              "a search found another record than the first one of that name");
        CheckUnchanged(existed, before, "a search changed the file");
    }

    FuzzReader in_;
    std::string path_;
    std::optional<std::string> broken_;
};

} // namespace

std::optional<std::string> RunParamScript(const uint8_t* data, std::size_t size,
                                          const std::string& paramPath) {
    return Script(data, size, paramPath).Run();
}
