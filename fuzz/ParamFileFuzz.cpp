// Fuzz target of the param.dat engine: any starting file (or none), then a run of reads,
// writes, deletes and searches decoded from the input, each checked against the record
// layout (see ParamScript.h): a write never loses or shifts a record it did
// not target, and a failed or read-only operation leaves the file byte for byte as it was.

#include "ParamScript.h"
#include "SeedWriter.h"
#include "support/ParamFixture.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using paramtest::Bytes;
using Op = ParamScriptOp;

std::string seed(bool exists, const Bytes& file, const std::vector<std::string>& ops) {
    std::string seed;
    seed.push_back(exists ? 1 : 0);
    seed.push_back(static_cast<char>(file.size() & 0xFF));
    seed.push_back(static_cast<char>((file.size() >> 8) & 0xFF));
    seed.append(file.begin(), file.end());
    for (const std::string& op : ops)
        seed += op;
    return seed;
}

std::string text(const std::string& text) {
    return std::string(1, static_cast<char>(text.size())) + text;
}

std::vector<std::string> makeSeeds() {
    using namespace paramtest;
    const Bytes settings = concat({stringRecord("CURRENTPATH", "/home/anne/Photos/"),
                                   stringRecord("DESTINATIONPATH", "/home/anne/Tirages/"),
                                   longRecord("JPEGQUALITY", 100), byteRecord("AUTO_RENAME", 1),
                                   stringRecord("RESULT_NAME", "Photos_%dc_%i", "nom")});
    const Bytes formats =
        concat({longRecord("NBRECAD", 2), stringRecord("RECADNAME0", "10x15"),
                longRecord("RECADH0", 15), longRecord("RECADW0", 10), longRecord("RECADB0", 4)});
    const Bytes damaged = concat({longRecord("JPEGQUALITY", 77), record("CUT", 1024, Bytes(10))});
    const auto op = [](Op kind) { return std::string(1, static_cast<char>(kind)); };
    const std::string writeLong = op(Op::WriteLong) + text("JPEGQUALITY") + "\xC0" + "\x50\0\0\0";
    const std::string writeString = op(Op::WriteString) + text(" RESULT NAME ") + "\x00" +
                                    text("a comment") + std::string("\x05\x00", 2) + "%f_%i";
    const std::string writeByte = op(Op::WriteByte) + text("AUTO_RENAME") + "\xC0" + "\x00";
    const std::string readString = op(Op::ReadString) + text("CURRENTPATH") + "\x01";
    const std::string readLong = op(Op::ReadLong) + text("JPEGQUALITY") + "\x00";
    const std::string erase = op(Op::Delete) + text("DESTINATIONPATH");
    const std::string find = op(Op::Find) + text("RECADW0");
    return {
        seed(false, {}, {writeLong, readLong}),
        seed(true, settings, {readString, writeString, readLong, erase, writeByte}),
        seed(true, formats, {find, erase, writeLong, op(Op::Delete) + text("RECADNAME0")}),
        seed(true, damaged, {readLong, writeString, readString}),
        seed(true, Bytes(30, 0xFF), {writeByte, find}),
    };
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    writeSeedsIfAsked(makeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string kPath = scratchFolder() + "/param.dat";
    if (const std::optional<std::string> broken = runParamScript(data, size, kPath)) {
        std::fprintf(stderr, "param.dat rule broken: %s\n", broken->c_str());
        std::abort();
    }
    return 0;
}
