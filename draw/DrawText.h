// The free text object of a graph page (the text tool places it). Texts
// that belong to graphs derive from it. Its text may hold fields, "{...}",
// that name workspace items: a field is an item name (in double quotes, or
// up to the next blank), a field name and an argument. When an item is
// renamed, the fields that name it are rewritten.
#pragma once

#include "draw/DrawTextBase.h"

#include <string>
#include <string_view>

// Parses the inside of a field; false when it is not valid (an unquoted name
// with no blank after it, or a quote without its closing quote).
bool ParseField(std::string_view field, std::string& item, std::string& name, std::string& argument);

class CDrawText : public CDrawTextBase {
    DECLARE_SERIAL(CDrawText)
public:
    CDrawText() = default;
    CDrawText(const RECT& position, CDrawData* page) : CDrawTextBase(position, page) {}

    CDrawObj* Clone(CDrawData* page) override;
    void OnDocumentChange(CUpdateNotification& notice) override;

    // Rewrites every valid field that names the item old (in any case) to
    // name the item new; the other text and its formats stay as they are.
    // True when a field was rewritten.
    bool RenameItemInFields(const std::string& oldName, const std::string& newName);
};
