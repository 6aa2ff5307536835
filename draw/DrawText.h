// The free text object of a graph page (the text tool places it). Texts
// that belong to graphs derive from it. Its text may hold fields, "{...}",
// that name workspace items: a field is an item name (in double quotes, or
// up to the next blank), a field name and an argument. When an item is
// renamed, the fields that name it are rewritten.
#pragma once

#include "draw/DrawTextBase.h"

#include <string>
#include <string_view>

class CDrawData;
class CRtfDocument;

// Parses the inside of a field; false when it is not valid (an unquoted name
// with no blank after it, or a quote without its closing quote).
bool ParseField(std::string_view field, std::string& item, std::string& name, std::string& argument);

// What a page's document answers for the fields of its texts. The drawing
// layer knows no items: the workspace implements this.
class CTextFieldSource {
public:
    virtual ~CTextFieldSource() = default;
    // The text of the field name (with its argument) of the item named item.
    // False when no item bears that name; an item's answer to a field or
    // argument it does not know is its own error text, and true.
    virtual bool GetItemFieldText(std::string_view item, std::string_view name, std::string_view argument,
                                  std::string& text) const = 0;

    // The source of the document that owns the page; null when it has none.
    static const CTextFieldSource* Of(const CDrawData* page);
};

// The document as it is drawn: each valid field whose item exists is
// replaced, braces and all, by the item's text for it, in the format of the
// field's opening brace. Invalid fields and fields of missing items stay as
// they are written. A text put in is not searched for fields again.
CRtfDocument ExpandFields(const CRtfDocument& document, const CTextFieldSource* source);

class CDrawText : public CDrawTextBase {
    DECLARE_SERIAL(CDrawText)
public:
    CDrawText() = default;
    CDrawText(const RECT& position, CDrawData* page) : CDrawTextBase(position, page) {}

    CDrawObj* Clone(CDrawData* page) override;
    void OnDocumentChange(CUpdateNotification& notice) override;
    // The fields are drawn as their items' current texts.
    CRtfDocument GetDrawnDocument() const override;

    // Rewrites every valid field that names the item old (in any case) to
    // name the item new; the other text and its formats stay as they are.
    // True when a field was rewritten.
    bool RenameItemInFields(const std::string& oldName, const std::string& newName);
};
