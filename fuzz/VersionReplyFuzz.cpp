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

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "reply oracle: %s\n", what);
    std::abort();
}

void check(bool condition, const char* what) {
    if (!condition)
        fail(what);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::vector<std::string> makeSeeds() {
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
    writeSeedsIfAsked(makeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const VersionReply reply = parseVersionReply(bytes);

    const std::string& address = reply.infoAddress;
    check(address.size() <= kVersionReplyMaxBytes, "the address is longer than the reply");
    check(address.find('\0') == std::string::npos, "the address holds a NUL");
    check(address.find('|') == std::string::npos, "the address holds a field separator");
    check(address.empty() || (!isBlank(address.front()) && !isBlank(address.back())),
          "the address keeps surrounding blanks");
    if (!address.empty())
        check(bytes.find(address) != std::string_view::npos, "the address is not in the reply");

    // Only the first bytes count: whatever follows them changes nothing.
    if (size > kVersionReplyMaxBytes)
        check(parseVersionReply(bytes.substr(0, kVersionReplyMaxBytes)) == reply,
              "bytes past the limit changed the reply");

    // Written back in its plain form, the reply reads the same.
    const std::string plain = std::to_string(versionMajor(reply.version)) + "|" +
                              std::to_string(versionMinor(reply.version)) + "|" + address;
    if (plain.size() <= kVersionReplyMaxBytes)
        check(parseVersionReply(plain) == reply, "the plain form of a reply reads differently");
    return 0;
}
