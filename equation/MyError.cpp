#include "equation/MyError.h"

#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <charconv>
#include <string>

unsigned CMyMathError::MessageId() const
{
    switch (m_type) {
    case domainError: return IDS_MATHERR_DOMAIN;
    case singularityError: return IDS_MATHERR_SING;
    case overflowError: return IDS_MATHERR_OVERFLOW;
    case underflowError: return IDS_MATHERR_UNDERFLOW;
    case totalLossError: return IDS_MATHERR_TLOSS;
    case partialLossError: return IDS_MATHERR_PLOSS;
    default: return IDS_MATHERR_OTHER;
    }
}

void CMyMathError::ReportError() const
{
    ReportMessage(MessageId(), {m_name}, MB_OK);
}

void CMyMathError::GetShortMessage(std::string& out) const
{
    out = FormatString(IDS_ERROR_IN_FUNCTION, {m_name});
}

void CMyDivideByZeroError::ReportError() const
{
    ReportMessage(IDS_DIVISION_BY_ZERO, {}, MB_OK);
}

void CMyDivideByZeroError::GetShortMessage(std::string& out) const
{
    out = LoadString(IDS_ERROR_DIVIDE_BY_ZERO);
}

void CMyRunLimitError::ReportError() const
{
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, m_budget).ptr;
    ReportMessage(IDS_RUN_LIMIT, {std::string_view(digits, std::size_t(end - digits))}, MB_OK);
}

void CMyRunLimitError::GetShortMessage(std::string& out) const
{
    out = LoadString(IDS_ERROR_ENDLESS_LOOP);
}
