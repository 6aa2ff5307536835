// A compile error of the equation language: a message id, the %1 text, and
// the range of the offending text (offsets into the text that was compiled).
#pragma once

#include <string>

class CParseErr {
public:
    CParseErr(int id, std::string text = {}, int start = 0, int end = 0)
        : m_nID(id), m_strText(std::move(text)), m_nStart(start), m_nEnd(end)
    {
    }

    // Shows the message with the exclamation icon and the id as help context.
    void ReportError() const;
    // The formatted message text.
    std::string GetMessage() const;

    int m_nID;
    std::string m_strText;
    int m_nStart;
    int m_nEnd;
    // The parameter definition that held the error, or -1 for the source or a transform.
    int m_nDefinition = -1;
};

