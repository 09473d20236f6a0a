#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One print format: size of the print in centimetres and its white border in millimetres.
struct PrintFormat {
    std::string name = "Défaut 10x15";
    uint16_t heightCm = 15;
    uint16_t widthCm = 10;
    uint16_t borderMm = 4;

    friend bool operator==(const PrintFormat&, const PrintFormat&) = default;
};

// The flat text form kept in param.dat (four texts per format) to and from records.
// Numbers are read as decimal integers (leading blanks and a sign allowed, 0 without
// digits) truncated to their low 16 bits; an incomplete trailing group is dropped.
[[nodiscard]] std::vector<PrintFormat> formatsFromTexts(const std::vector<std::string>& texts);
[[nodiscard]] std::vector<std::string> formatsToTexts(const std::vector<PrintFormat>& formats);
