#include "update/VersionReply.h"

#include "settings/DecimalText.h"

#include <vector>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        if (bar == std::string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
}

} // namespace

VersionReply parseVersionReply(std::string_view bytes) {
    std::string_view text = bytes.substr(0, kVersionReplyMaxBytes);
    text = text.substr(0, text.find('\0'));
    const std::vector<std::string_view> fields = splitFields(text);
    const auto field = [&fields](std::size_t i) {
        return i < fields.size() ? fields[i] : std::string_view();
    };
    VersionReply reply;
    reply.version =
        ((leadingNumber(field(0)) & 0xFFFFu) << 16) | (leadingNumber(field(1)) & 0xFFFFu);
    reply.infoAddress = std::string(trimmed(field(2)));
    return reply;
}
