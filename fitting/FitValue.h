// What a fit answers for a calculated y or x: a number, or a text shown in
// its place (such as "(out of range)"). Stands in for a table cell value, so
// that the engines do not depend on the data table model.
#pragma once

#include "platform/Types.h"

#include <string>
#include <utility>

class CFitValue {
public:
    static CFitValue Number(double value) { return CFitValue(value, 0, {}); }
    // A string-table message.
    static CFitValue Message(UINT stringId);
    // A text of its own (an equation error's short message).
    static CFitValue Text(std::string text) { return CFitValue(0.0, 0, std::move(text)); }

    bool IsNumber() const { return !m_bText; }
    double GetNumber() const { return m_dValue; }
    // The message's string id; 0 for numbers and own texts.
    UINT GetMessageId() const { return m_nMessageId; }
    const std::string& GetText() const { return m_strText; }

private:
    CFitValue(double value, UINT id, std::string text)
        : m_dValue(value), m_nMessageId(id), m_strText(std::move(text)), m_bText(id != 0 || !m_strText.empty())
    {
    }

    double m_dValue;
    UINT m_nMessageId;
    std::string m_strText;
    bool m_bText;
};
