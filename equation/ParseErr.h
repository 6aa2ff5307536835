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

// Compile message ids.
enum : int {
    IDS_PARSE_UNDEFINED = 8196,
    IDS_PARSE_OPERAND_EXPECTED = 8197,
    IDS_PARSE_OPERATOR_EXPECTED = 8198,
    IDS_PARSE_SYNTAX = 8199,
    IDS_PARSE_MISSING_OPEN = 8200,
    IDS_PARSE_MISSING_CLOSE = 8201,
    IDS_PARSE_BAD_LABEL = 8202,
    IDS_PARSE_FOR_NO_TO = 8203,
    IDS_PARSE_FOR_NO_TO_VALUE = 8204,
    IDS_PARSE_FOR_NO_STEP = 8205,
    IDS_PARSE_FOR_INVALID = 8206,
    IDS_PARSE_IF_NO_THEN = 8207,
    IDS_PARSE_IF_INVALID = 8208,
    IDS_PARSE_ENDIF_INVALID = 8209,
    IDS_PARSE_SECOND_EXPRESSION = 8210,
    IDS_PARSE_ENDIF_NO_IF = 8211,
    IDS_PARSE_ELSE_NO_IF = 8212,
    IDS_PARSE_NEXT_NO_FOR = 8213,
    IDS_PARSE_LABEL_TWICE = 8214,
    IDS_PARSE_IF_NO_ENDIF = 8215,
    IDS_PARSE_FOR_NO_NEXT = 8216,
    IDS_PARSE_GOTO_NO_LABEL = 8217,
    IDS_PARSE_LABEL_UNUSED = 8218,
    IDS_PARSE_ELSE_INVALID = 8219,
    IDS_PARSE_NO_Y = 8220,
    IDS_PARSE_X_UNUSED = 8221,
    IDS_PARSE_PARAM_UNUSED = 8222,
    IDS_PARSE_CONST_UNUSED = 8223,
    IDS_PARSE_PARAMDEF_MISSING = 8241,
    IDS_PARSE_MISSING_COMMA = 8480,
    IDS_PARSE_TOO_MANY_COMMAS = 8481,
};
