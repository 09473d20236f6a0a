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

std::string Seed(bool exists, const Bytes& file, const std::vector<std::string>& ops) {
    std::string seed;
    seed.push_back(exists ? 1 : 0);
    seed.push_back(static_cast<char>(file.size() & 0xFF));
    seed.push_back(static_cast<char>((file.size() >> 8) & 0xFF));
    seed.append(file.begin(), file.end());
    for (const std::string& op : ops)
        seed += op;
    return seed;
}

std::string Text(const std::string& text) {
    return std::string(1, static_cast<char>(text.size())) + text;
}

std::vector<std::string> MakeSeeds() {
    using namespace paramtest;
    const Bytes settings = Concat({StringRecord("CURRENTPATH", "/home/anne/Photos/"),
                                   StringRecord("DESTINATIONPATH", "/home/anne/Tirages/"),
                                   LongRecord("JPEGQUALITY", 100), ByteRecord("AUTO_RENAME", 1),
                                   StringRecord("RESULT_NAME", "Photos_%dc_%i", "nom")});
    const Bytes formats =
        Concat({LongRecord("NBRECAD", 2), StringRecord("RECADNAME0", "10x15"),
                LongRecord("RECADH0", 15), LongRecord("RECADW0", 10), LongRecord("RECADB0", 4)});
    const Bytes damaged = Concat({LongRecord("JPEGQUALITY", 77), Record("CUT", 1024, Bytes(10))});
    const auto op = [](Op kind) { return std::string(1, static_cast<char>(kind)); };
    const std::string writeLong = op(Op::WriteLong) + Text("JPEGQUALITY") + "\xC0" + "\x50\0\0\0";
    const std::string writeString = op(Op::WriteString) + Text(" RESULT NAME ") + "\x00" +
                                    Text("a comment") + std::string("\x05\x00", 2) + "%f_%i";
    const std::string writeByte = op(Op::WriteByte) + Text("AUTO_RENAME") + "\xC0" + "\x00";
    const std::string readString = op(Op::ReadString) + Text("CURRENTPATH") + "\x01";
    const std::string readLong = op(Op::ReadLong) + Text("JPEGQUALITY") + "\x00";
    const std::string erase = op(Op::Delete) + Text("DESTINATIONPATH");
    const std::string find = op(Op::Find) + Text("RECADW0");
    return {
        Seed(false, {}, {writeLong, readLong}),
        Seed(true, settings, {readString, writeString, readLong, erase, writeByte}),
        Seed(true, formats, {find, erase, writeLong, op(Op::Delete) + Text("RECADNAME0")}),
        Seed(true, damaged, {readLong, writeString, readString}),
        Seed(true, Bytes(30, 0xFF), {writeByte, find}),
    };
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    WriteSeedsIfAsked(MakeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string path = ScratchFolder() + "/param.dat";
    if (const std::optional<std::string> broken = RunParamScript(data, size, path)) {
        std::fprintf(stderr, "param.dat rule broken: %s\n", broken->c_str());
        std::abort();
    }
    return 0;
}
