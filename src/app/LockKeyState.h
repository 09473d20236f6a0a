#pragma once

#include <optional>
#include <string>

// State of the Caps Lock, Num Lock and Scroll Lock keys, read from the keyboard LEDs the
// kernel exposes (/sys/class/leds/*::capslock ...). Qt offers no portable way to read it.
struct LockKeyState {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// Where the kernel lists the LEDs.
inline constexpr const char* kLedFolder = "/sys/class/leds";

// Empty when no keyboard LED can be read (no keyboard, remote or virtual display).
// ledFolder is where the LED entries live; tests point it at a folder of their own.
[[nodiscard]] std::optional<LockKeyState>
readLockKeyState(const std::string& ledFolder = kLedFolder);
