#include "equation/EquationCheck.h"

#include "equation/Equation.h"
#include "equation/EquationParamDef.h"
#include "equation/EquationTransform.h"
#include "equation/ParseErr.h"
#include "platform/StringIds.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace {

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

SEquationCheck Fault(int tab, UINT id, std::string text = {}, int row = -1)
{
    SEquationCheck check;
    check.ok = false;
    check.tab = tab;
    check.messageId = id;
    check.text = std::move(text);
    check.row = row;
    return check;
}

// Every name of one kind present and an identifier.
bool CheckNames(const std::vector<std::string>& names, int tab, UINT noneId, SEquationCheck& out)
{
    if (names.empty() && noneId != 0) {
        out = Fault(tab, noneId);
        return false;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        if (names[i].empty()) {
            out = Fault(tab, IDS_CHECK_MISSING_SYMBOL, number, int(i) + 1);
            return false;
        }
        if (!IsValidSymbolName(names[i])) {
            out = Fault(tab, IDS_CHECK_BAD_SYMBOL, number, int(i) + 1);
            return false;
        }
    }
    return true;
}

bool Contains(const std::vector<std::string>& names, std::string_view name, std::size_t from = 0)
{
    for (std::size_t i = from; i < names.size(); ++i)
        if (SameName(names[i], name))
            return true;
    return false;
}

// The Y name and the symbols that clash; the definition compiled.
bool CheckDefinition(CEquation& eq, SEquationCheck& out)
{
    const std::string& y = eq.GetYName();
    if (y.empty()) {
        out = Fault(SEquationCheck::tabDefinition, IDS_CHECK_NO_Y);
        return false;
    }
    if (!IsValidSymbolName(y)) {
        out = Fault(SEquationCheck::tabDefinition, IDS_CHECK_BAD_Y);
        return false;
    }
    const auto& params = eq.SymbolNames(CEquationBase::SymbolParameter);
    const auto& consts = eq.SymbolNames(CEquationBase::SymbolConstant);
    const auto& xs = eq.SymbolNames(CEquationBase::SymbolX);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const std::string& p = params[i];
        UINT id = 0;
        if (Contains(params, p, i + 1))
            id = IDS_CHECK_PARAMETER_TWICE;
        else if (Contains(consts, p))
            id = IDS_CHECK_PARAMETER_AND_CONSTANT;
        else if (Contains(xs, p))
            id = IDS_CHECK_PARAMETER_AND_X;
        else if (SameName(p, y))
            id = IDS_CHECK_PARAMETER_AND_Y;
        if (id) {
            out = Fault(SEquationCheck::tabParameters, id, p, int(i) + 1);
            return false;
        }
    }
    for (std::size_t i = 0; i < consts.size(); ++i) {
        const std::string& c = consts[i];
        UINT id = 0;
        if (Contains(consts, c, i + 1))
            id = IDS_CHECK_CONSTANT_TWICE;
        else if (Contains(xs, c))
            id = IDS_CHECK_CONSTANT_AND_X;
        else if (SameName(c, y))
            id = IDS_CHECK_CONSTANT_AND_Y;
        if (id) {
            out = Fault(SEquationCheck::tabConstants, id, c, int(i) + 1);
            return false;
        }
    }
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const std::string& x = xs[i];
        UINT id = 0;
        if (Contains(xs, x, i + 1))
            id = IDS_CHECK_X_TWICE;
        else if (SameName(x, y))
            id = IDS_CHECK_X_AND_Y;
        if (id) {
            out = Fault(SEquationCheck::tabX, id, x, int(i) + 1);
            return false;
        }
    }
    try {
        eq.Compile();
    } catch (const CParseErr& error) {
        out = Fault(SEquationCheck::tabDefinition, UINT(error.m_nID), error.m_strText);
        // A fault in an estimate definition belongs to the Estimates tab's grid.
        if (error.m_nDefinition >= 0) {
            out.tab = SEquationCheck::tabEstimates;
            out.row = error.m_nDefinition + 1;
        } else {
            out.editor = SEquationCheck::editorDefinition;
            out.start = error.m_nStart;
            out.end = error.m_nEnd;
        }
        return false;
    }
    return true;
}

bool CheckEstimates(CEquation& eq, SEquationCheck& out)
{
    if (!eq.GetUseParameterDefinitions())
        return true;
    int editor = SEquationCheck::editorNone;
    try {
        if (eq.GetXTransform().empty())
            throw CParseErr(IDS_CHECK_NO_X_TRANSFORM);
        CEquationTransform transform;
        transform.Assign(eq, eq.GetXTransform(), eq.GetYTransform(), nullptr, 0);
        transform.Reset();
        editor = SEquationCheck::editorXData;
        transform.CompileX();
        editor = SEquationCheck::editorNone;
        if (eq.GetYTransform().empty())
            throw CParseErr(IDS_CHECK_NO_Y_TRANSFORM);
        transform.Reset();
        editor = SEquationCheck::editorYData;
        transform.CompileY();
        editor = SEquationCheck::editorNone;
        CEquationParamDef definitions;
        definitions.Copy(eq);
        definitions.Reset();
        for (int i = 0; i < eq.GetParameterCount(); ++i) {
            if (eq.GetParameterDefinition(i).empty()) {
                CParseErr missing(IDS_PARSE_PARAMDEF_MISSING, std::to_string(i + 1));
                missing.m_nDefinition = i;
                throw missing;
            }
            definitions.CompileLine(i);
        }
    } catch (const CParseErr& error) {
        out = Fault(SEquationCheck::tabEstimates, UINT(error.m_nID), error.m_strText);
        out.editor = editor;
        out.start = error.m_nStart;
        out.end = error.m_nEnd;
        if (error.m_nDefinition >= 0)
            out.row = error.m_nDefinition + 1;
        return false;
    }
    return true;
}

} // namespace

SEquationCheck CheckAndCompileEquation(CEquation& eq)
{
    SEquationCheck check;
    const bool passed = CheckNames(eq.SymbolNames(CEquationBase::SymbolX), SEquationCheck::tabX, IDS_CHECK_NO_X, check)
        && CheckNames(eq.SymbolNames(CEquationBase::SymbolParameter), SEquationCheck::tabParameters,
                      IDS_CHECK_NO_PARAMETER, check)
        && CheckNames(eq.SymbolNames(CEquationBase::SymbolConstant), SEquationCheck::tabConstants, 0, check)
        && CheckDefinition(eq, check) && CheckEstimates(eq, check);
    if (!passed)
        eq.Invalidate();
    return check;
}
