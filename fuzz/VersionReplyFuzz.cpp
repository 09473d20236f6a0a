// Fuzz target of the update check's reply parser: any bytes, as a server (or whatever
// answers in its place) may send them.

#include "SeedWriter.h"
#include "update/VersionReply.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "reply oracle: %s\n", what);
    std::abort();
}

void Check(bool condition, const char* what) {
    if (!condition)
        Fail(what);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::vector<std::string> MakeSeeds() {
    return {"1|4|https://lumicut.example.org/news.html",
            "1|5|x",
            "2",
            "1|70000|x",
            " +1 | -4 |  https://lumicut.example.org/  \r\n",
            "1|4|x|extra|fields",
            std::string("1|5|a\0b", 7),
            std::string(600, '9'),
            "<html><body>Not found</body></html>",
            ""};
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    WriteSeedsIfAsked(MakeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const VersionReply reply = ParseVersionReply(bytes);

    const std::string& address = reply.infoAddress;
    Check(address.size() <= kVersionReplyMaxBytes, "the address is longer than the reply");
    Check(address.find('\0') == std::string::npos, "the address holds a NUL");
    Check(address.find('|') == std::string::npos, "the address holds a field separator");
    Check(address.empty() || (!IsBlank(address.front()) && !IsBlank(address.back())),
          "the address keeps surrounding blanks");
    if (!address.empty())
        Check(bytes.find(address) != std::string_view::npos, "the address is not in the reply");

    // Only the first bytes count: whatever follows them changes nothing.
    if (size > kVersionReplyMaxBytes)
        Check(ParseVersionReply(bytes.substr(0, kVersionReplyMaxBytes)) == reply,
              "bytes past the limit changed the reply");

    // Written back in its plain form, the reply reads the same.
    const std::string plain = std::to_string(VersionMajor(reply.version)) + "|" +
                              std::to_string(VersionMinor(reply.version)) + "|" + address;
    if (plain.size() <= kVersionReplyMaxBytes)
        Check(ParseVersionReply(plain) == reply, "the plain form of a reply reads differently");
    return 0;
}
