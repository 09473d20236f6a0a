#pragma once

#include <QString>

// Caption of the program's own message boxes.
[[nodiscard]] QString appTitle();
