// Pens and brushes as the canvas sees them. Private to the portable system.
#pragma once

#include <cstdint>

struct Pen {
    std::uint32_t colour = 0;
    bool stock = false;
    bool live = false;
};

struct Brush {
    std::uint32_t colour = 0;
    bool hollow = false;
    bool stock = false;
    bool live = false;
};

// A fresh device context starts with the black pen and this brush, as the
// native one does.
Brush* white_brush();
