// The colour of a coloured element as it is stored: a COLORREF and a flag that
// says the automatic colour is in use. Two colour words are reserved: "none"
// (0xFFFFFFFF) and a second marker (0xFFFFFFFE) that merged settings use when
// objects differ.
#pragma once

#include "platform/Types.h"

#include <string>

// The window-text colour that new values and the colour combo's automatic entry
// start from (the desktop's text colour is black on every theme we target).
constexpr COLORREF kWindowTextColour = 0x000000;

struct ColourValue {
    static constexpr COLORREF kNone = 0xFFFFFFFF;
    static constexpr COLORREF kReserved = 0xFFFFFFFE;

    COLORREF m_colour = kWindowTextColour;
    DWORD m_automatic = 0;  // non-zero: the automatic colour (held in m_colour) is used

    ColourValue() = default;
    explicit ColourValue(COLORREF colour, DWORD automatic = 0) : m_colour(colour), m_automatic(automatic) {}

    void Set(COLORREF colour)
    {
        m_colour = colour;
        m_automatic = 0;
    }
    void SetColour(COLORREF colour) { Set(colour); }
    void SetNone() { Set(kNone); }
    // Marks a merged value whose objects differ.
    void SetDefault() { Set(kNone); }
    void SetAutomatic(COLORREF automaticColour)
    {
        m_colour = automaticColour;
        m_automatic = 1;
    }
    bool IsAutomatic() const { return m_automatic != 0; }
    bool IsSpecial() const { return m_automatic == 0 && (m_colour == kNone || m_colour == kReserved); }
    // True only for an ordinary colour equal to the one given.
    bool Equals(COLORREF colour) const { return m_automatic == 0 && !IsSpecial() && m_colour == colour; }
    bool NotEquals(COLORREF colour) const { return !Equals(colour); }
    bool operator!=(COLORREF colour) const { return NotEquals(colour); }
    bool operator==(const ColourValue& other) const = default;
};

// The 30 standard colours that colour pickers offer, in their order, with
// their captions (string ids 25088 to 25117).
constexpr int kStandardColourCount = 30;
COLORREF StandardColour(int index);
std::string StandardColourName(int index);
// The index of an ordinary colour in the standard table, or -1.
int FindStandardColour(COLORREF colour);
