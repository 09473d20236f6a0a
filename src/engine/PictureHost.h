#pragma once

#include <string>

// What the photo model needs from the window that shows it: the window's client size,
// an immediate redraw, and a warning message box. The display widget implements it; tests
// implement it with a recorder.
class PictureHost {
public:
    virtual ~PictureHost() = default;

    // Client area of the display window, display pixels.
    [[nodiscard]] virtual int ClientWidth() const = 0;
    [[nodiscard]] virtual int ClientHeight() const = 0;
    // Invalidate, erase and repaint the whole window now.
    virtual void Redraw() = 0;
    // Application-modal warning (exclamation icon, OK button) with the exact caption given.
    virtual void Warn(const std::string& text, const std::string& caption) = 0;
};
