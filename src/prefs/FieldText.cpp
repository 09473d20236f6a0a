#include "prefs/FieldText.h"

#include <limits>

namespace {

// Magnitude of an optionally signed run of digits, saturated above 2^32.
std::optional<uint64_t> magnitude(const QString& digits) {
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<uint64_t>(c.unicode() - '0');
        if (value > (uint64_t{1} << 32)) {
            return std::nullopt;
        }
    }
    return value;
}

} // namespace

std::optional<uint32_t> parseUnsignedField(const QString& text) {
    const std::optional<uint64_t> value = magnitude(text.trimmed());
    if (!value || *value > std::numeric_limits<uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(*value);
}

std::optional<int32_t> parseSignedField(const QString& text) {
    QString digits = text.trimmed();
    bool negative = false;
    if (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))) {
        negative = digits.front() == QLatin1Char('-');
        digits.remove(0, 1);
    }
    const std::optional<uint64_t> value = magnitude(digits);
    if (!value) {
        return std::nullopt;
    }
    const int64_t signedValue =
        negative ? -static_cast<int64_t>(*value) : static_cast<int64_t>(*value);
    if (signedValue < std::numeric_limits<int32_t>::min() ||
        signedValue > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(signedValue);
}
