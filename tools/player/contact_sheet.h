// The survey's picture: each module's last frame in a grid, its name and verdict under it.
#pragma once

#include "tools/player/image.h"

#include <string>
#include <vector>

struct SheetEntry {
    Image picture;  // empty: the cell says there was nothing to show
    std::string name;
    std::string verdict;
    bool works = false;
};

// Empty when the drawing surface could not be made.
Image draw_contact_sheet(const std::vector<SheetEntry>& entries);
