#include "settings/PrintFormat.h"

#include <cctype>
#include <cstdio>
#include <utility>

namespace {

// Decimal number as C's atoi reads it (leading white space, optional sign, digits, 0 when
// there are none), kept to its low 16 bits: "-1" gives 65535, "65536" gives 0.
uint16_t ParseLow16(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps, which is exactly the truncation to 16 bits wanted here.
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10U + static_cast<uint32_t>(text[i] - '0');
    }
    if (negative) {
        value = 0U - value;
    }
    return static_cast<uint16_t>(value & 0xFFFFU);
}

std::string FormatUnsigned(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

} // namespace

std::vector<PrintFormat> FormatsFromTexts(const std::vector<std::string>& texts) {
    std::vector<PrintFormat> formats;
    formats.reserve(texts.size() / 4);
    for (size_t i = 0; i + 4 <= texts.size(); i += 4) {
        PrintFormat format;
        format.name = texts[i];
        format.heightCm = ParseLow16(texts[i + 1]);
        format.widthCm = ParseLow16(texts[i + 2]);
        format.borderMm = ParseLow16(texts[i + 3]);
        formats.push_back(std::move(format));
    }
    return formats;
}

std::vector<std::string> FormatsToTexts(const std::vector<PrintFormat>& formats) {
    std::vector<std::string> texts;
    texts.reserve(formats.size() * 4);
    for (const PrintFormat& format : formats) {
        texts.push_back(format.name);
        texts.push_back(FormatUnsigned(format.heightCm));
        texts.push_back(FormatUnsigned(format.widthCm));
        texts.push_back(FormatUnsigned(format.borderMm));
    }
    return texts;
}
