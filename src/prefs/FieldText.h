#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Numbers typed into the preferences' edit fields: decimal digits with blanks around them
// allowed; no other text. Unsigned numbers take no sign; both must fit in 32 bits.
[[nodiscard]] std::optional<uint32_t> parseUnsignedField(const QString& text);
[[nodiscard]] std::optional<int32_t> parseSignedField(const QString& text);
