#include "equation/ParseErr.h"

#include "platform/Reporter.h"
#include "platform/StringTable.h"

void CParseErr::ReportError() const
{
    ReportMessage(UINT(m_nID), {m_strText}, MB_OK | MB_ICONEXCLAMATION, UINT(m_nID));
}

std::string CParseErr::GetMessage() const
{
    return FormatString(UINT(m_nID), {m_strText});
}
