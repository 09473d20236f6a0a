#include "settings/PrintFormat.h"

#include "settings/DecimalText.h"

#include <cstdio>
#include <utility>

namespace {

// Stored numbers keep their low 16 bits: "-1" gives 65535, "65536" gives 0.
uint16_t low16(const std::string& text) {
    return static_cast<uint16_t>(leadingNumber(text) & 0xFFFFU);
}

std::string formatUnsigned(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

} // namespace

std::vector<PrintFormat> formatsFromTexts(const std::vector<std::string>& texts) {
    std::vector<PrintFormat> formats;
    formats.reserve(texts.size() / 4);
    for (size_t i = 0; i + 4 <= texts.size(); i += 4) {
        PrintFormat format;
        format.name = texts[i];
        format.heightCm = low16(texts[i + 1]);
        format.widthCm = low16(texts[i + 2]);
        format.borderMm = low16(texts[i + 3]);
        formats.push_back(std::move(format));
    }
    return formats;
}

std::vector<std::string> formatsToTexts(const std::vector<PrintFormat>& formats) {
    std::vector<std::string> texts;
    texts.reserve(formats.size() * 4);
    for (const PrintFormat& format : formats) {
        texts.push_back(format.name);
        texts.push_back(formatUnsigned(format.heightCm));
        texts.push_back(formatUnsigned(format.widthCm));
        texts.push_back(formatUnsigned(format.borderMm));
    }
    return texts;
}
