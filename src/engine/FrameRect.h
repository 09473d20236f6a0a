#pragma once

// Integer rectangle with exclusive right and bottom, as window rectangles are: a rectangle
// (0, 0, 10, 5) is 10 wide and 5 high. Coordinates are window client pixels or photo pixels
// depending on who hands it out.
struct FrameRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] int width() const { return right - left; }
    [[nodiscard]] int height() const { return bottom - top; }

    friend bool operator==(const FrameRect&, const FrameRect&) = default;
};

// Width and height of a frame in photo pixels.
struct FrameSize {
    int width = 0;
    int height = 0;

    friend bool operator==(const FrameSize&, const FrameSize&) = default;
};
