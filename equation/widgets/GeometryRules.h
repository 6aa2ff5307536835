// The rules of one "$Geometry:" marker, parsed from its text.
#pragma once

#include <cstdint>
#include <string_view>

enum : std::uint16_t {
    GEOMETRY_GROW_X = 0x0001,    // CX: width += change x factor
    GEOMETRY_GROW_Y = 0x0002,    // CY
    GEOMETRY_MOVE_X = 0x0004,    // X: left += change x factor
    GEOMETRY_MOVE_Y = 0x0008,    // Y
    GEOMETRY_CENTRE_X = 0x0010,  // x: left += half the change
    GEOMETRY_CENTRE_Y = 0x0020,  // y
    GEOMETRY_SCALE_CX = 0x0100,  // M with CX: width in proportion to the page
    GEOMETRY_SCALE_CY = 0x0200,
    GEOMETRY_SCALE_X = 0x0400,   // M with X: left in proportion to the page
    GEOMETRY_SCALE_Y = 0x0800,
    GEOMETRY_M_PREFIX = 0x8000,  // only while parsing
};

struct CGeometrySpec {
    std::uint16_t flags = 0;
    float x = 0.0f;      // share of the width change that moves the left edge
    float y = 0.0f;      // share of the height change that moves the top edge
    float cx = 0.0f;     // share of the width change added to the width
    float cy = 0.0f;     // share of the height change added to the height
};

// Parses the text after "$Geometry:". Never fails: unknown tokens are ignored.
CGeometrySpec ParseGeometrySpec(std::string_view text);
