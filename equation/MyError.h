// Errors raised while an equation runs. They are thrown by value and caught
// by reference to CMyError, so a catcher can report the error or fetch its
// one-line text without knowing which kind it is.
#pragma once

#include <cstdint>
#include <string>

class CMyError {
public:
    virtual ~CMyError() = default;
    // Shows the full message through the reporter (nothing in the base).
    virtual void ReportError() const {}
    // A one-line text for places that show it instead of a value.
    virtual void GetShortMessage(std::string& out) const { out.clear(); }
    std::string ShortMessage() const
    {
        std::string text;
        GetShortMessage(text);
        return text;
    }
};

// A maths-library function met an argument or result it cannot handle.
class CMyMathError : public CMyError {
public:
    // The error kinds, numbered as the maths runtime has always numbered them.
    enum Type : std::int32_t {
        domainError = 1,
        singularityError = 2,
        overflowError = 3,
        underflowError = 4,
        totalLossError = 5,
        partialLossError = 6,
    };

    CMyMathError(std::int32_t type, std::string name, double arg1, double arg2, double retval)
        : m_type(type), m_name(std::move(name)), m_arg1(arg1), m_arg2(arg2), m_retval(retval)
    {
    }

    void ReportError() const override;
    void GetShortMessage(std::string& out) const override;
    // The string id of the full message for this error type.
    unsigned MessageId() const;

    std::int32_t m_type;
    std::string m_name;
    double m_arg1;
    double m_arg2;
    double m_retval;
};

class CMyDivideByZeroError : public CMyError {
public:
    void ReportError() const override;
    void GetShortMessage(std::string& out) const override;
};

// An evaluation ran past its instruction budget: a loop that never ends
// (a GOTO cycle, a step of 0, a limit that is not a number).
class CMyRunLimitError : public CMyError {
public:
    explicit CMyRunLimitError(std::int64_t budget) : m_budget(budget) {}
    void ReportError() const override;
    void GetShortMessage(std::string& out) const override;

    std::int64_t m_budget;
};

// The evaluation was interrupted because its caller asked to stop (a fit's
// Stop). Not a CMyError: nothing is wrong and nothing is reported.
class CEvaluationStopped {
};

// Thrown by the statement that makes the current table cell blank.
class CBlankError {
};

