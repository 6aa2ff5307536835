#include "equation/EquationBase.h"

#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

IMPLEMENT_SERIAL(CEquationBase, CObject, VERSIONABLE_SCHEMA | 0)

void ArchiveStoreStrings(CArchive& ar, const std::vector<std::string>& strings)
{
    ar.WriteCount(std::uint32_t(strings.size()));
    for (const std::string& s : strings)
        ar.WriteString(s);
}

void ArchiveLoadStrings(CArchive& ar, std::vector<std::string>& strings)
{
    std::uint32_t n = ar.ReadCount();
    ar.CheckRemaining(n, 1); // every string takes at least its length byte
    strings.clear();
    strings.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i)
        strings.push_back(ar.ReadString());
}

CEquationBase::CEquationBase()
{
    m_extraX.SetSize(4);
    for (int i = 0; i < 4; ++i)
        m_extraX[i] = 1.0;
}

namespace {

void SetEntry(std::vector<std::string>& names, std::vector<std::string>& labels, int i,
              const char* name, const char* label)
{
    if (i < 0)
        return;
    if (int(names.size()) <= i)
        names.resize(std::size_t(i) + 1);
    if (int(labels.size()) <= i)
        labels.resize(std::size_t(i) + 1);
    if (name)
        names[std::size_t(i)] = name;
    if (label)
        labels[std::size_t(i)] = label;
}

void GetEntry(const std::vector<std::string>& names, const std::vector<std::string>& labels, int i,
              std::string& name, std::string& label)
{
    name.clear();
    label.clear();
    if (i < 0 || i >= int(names.size()))
        return;
    name = names[std::size_t(i)];
    if (i < int(labels.size()))
        label = labels[std::size_t(i)];
}

std::string Shown(const std::vector<std::string>& names, const std::vector<std::string>& labels, int i)
{
    std::string name, label;
    GetEntry(names, labels, i, name, label);
    return label.empty() ? name : label;
}

} // namespace

void CEquationBase::SetYName(const std::string& name)
{
    if (name != m_strYName) {
        m_strYName = name;
        Invalidate();
    }
}

void CEquationBase::SetParameterName(int i, const char* name, const char* label)
{
    SetEntry(m_paramNames, m_paramLabels, i, name, label);
    Invalidate();
}

void CEquationBase::SetConstantName(int i, const char* name, const char* label)
{
    SetEntry(m_constNames, m_constLabels, i, name, label);
    Invalidate();
}

void CEquationBase::SetXName(int i, const char* name, const char* label)
{
    SetEntry(m_xNames, m_xLabels, i, name, label);
    Invalidate();
}

void CEquationBase::SetParameterCount(int n)
{
    m_paramNames.resize(std::size_t(std::max(n, 0)));
    m_paramLabels.resize(std::size_t(std::max(n, 0)));
    Invalidate();
}

void CEquationBase::SetConstantCount(int n)
{
    m_constNames.resize(std::size_t(std::max(n, 0)));
    m_constLabels.resize(std::size_t(std::max(n, 0)));
    Invalidate();
}

void CEquationBase::SetXCount(int n)
{
    m_xNames.resize(std::size_t(std::max(n, 0)));
    m_xLabels.resize(std::size_t(std::max(n, 0)));
    Invalidate();
}

void CEquationBase::GetParameterNames(int i, std::string& name, std::string& label) const
{
    GetEntry(m_paramNames, m_paramLabels, i, name, label);
}

void CEquationBase::GetConstantNames(int i, std::string& name, std::string& label) const
{
    GetEntry(m_constNames, m_constLabels, i, name, label);
}

void CEquationBase::GetXNames(int i, std::string& name, std::string& label) const
{
    GetEntry(m_xNames, m_xLabels, i, name, label);
}

std::string CEquationBase::GetParameterName(int i) const { return Shown(m_paramNames, m_paramLabels, i); }
std::string CEquationBase::GetConstantName(int i) const { return Shown(m_constNames, m_constLabels, i); }
std::string CEquationBase::GetXName(int i) const { return Shown(m_xNames, m_xLabels, i); }

std::string CEquationBase::GetParameterDefinition(int i) const
{
    return i >= 0 && i < int(m_paramDefs.size()) ? m_paramDefs[std::size_t(i)] : std::string();
}

std::vector<std::string>& CEquationBase::SymbolNames(SymbolKind kind)
{
    return kind == SymbolX ? m_xNames : kind == SymbolParameter ? m_paramNames : m_constNames;
}

std::vector<std::string>& CEquationBase::SymbolLabels(SymbolKind kind)
{
    return kind == SymbolX ? m_xLabels : kind == SymbolParameter ? m_paramLabels : m_constLabels;
}

void CEquationBase::SetParameterDefinition(int i, const std::string& text)
{
    if (i < 0)
        return;
    if (int(m_paramDefs.size()) <= i)
        m_paramDefs.resize(std::size_t(i) + 1);
    if (m_paramDefs[std::size_t(i)] != text) {
        m_paramDefs[std::size_t(i)] = text;
        Invalidate();
    }
}

void CEquationBase::SetModeFlag(int lenient)
{
    if (lenient != m_nLenient) {
        m_nLenient = lenient;
        Invalidate();
    }
}

void CEquationBase::SetUseParameterDefinitions(int use)
{
    if (use != m_nUseParamDefs) {
        m_nUseParamDefs = use;
        Invalidate();
    }
}

void CEquationBase::Copy(const CEquationBase& other)
{
    m_paramNames = other.m_paramNames;
    m_paramLabels = other.m_paramLabels;
    m_xNames = other.m_xNames;
    m_xLabels = other.m_xLabels;
    m_constNames = other.m_constNames;
    m_constLabels = other.m_constLabels;
    m_paramDefs = other.m_paramDefs;
    m_nLenient = other.m_nLenient;
    m_strYName = other.m_strYName;
    m_nUseParamDefs = other.m_nUseParamDefs;
    m_paramValues = other.m_paramValues;
    m_constValues = other.m_constValues;
    // Not valid until compiled (or bound) again; the kind's own Invalidate
    // is left to that step, so that a library stays loaded meanwhile.
    m_bValid = false;
}

void CEquationBase::ResizeValues()
{
    m_paramValues.SetSize(GetParameterCount());
    m_constValues.SetSize(GetConstantCount());
    m_xValues.SetSize(GetXCount());
}

std::unique_ptr<CEquationBase> CEquationBase::Clone() const
{
    auto copy = std::make_unique<CEquationBase>();
    copy->Copy(*this);
    return copy;
}

int CEquationBase::CalculateEstimates(const CDoubleColumns&, const CMyVector&, const CMyVector&)
{
    return 0;
}

void CEquationBase::CentralSteps(double p, double& up, double& down)
{
    // Central differences with the step that balances truncation against
    // rounding error, cbrt(epsilon) relative to the parameter. A parameter
    // of exactly 0 takes that step in absolute terms, so no quotient is 0/0.
    static const double kRelativeStep = std::cbrt(DBL_EPSILON);
    const double h = p == 0.0 ? kRelativeStep : std::max(kRelativeStep * std::fabs(p), DBL_MIN);
    // The steps as the arithmetic really takes them.
    up = p + h;
    down = p - h;
}

double CEquationBase::ForwardStep(double p)
{
    // sqrt(epsilon) relative to the parameter balances truncation against
    // rounding for a one-sided quotient.
    static const double kStep = std::sqrt(DBL_EPSILON);
    return p + (p == 0.0 ? kStep : std::max(kStep * std::fabs(p), DBL_MIN));
}

void CEquationBase::CalculateDerivatives(CMyVector& out)
{
    const int n = std::min(GetParameterCount(), m_paramValues.GetSize());
    for (int i = 0; i < n; ++i) {
        const double p = m_paramValues[i];
        double up, down;
        CentralSteps(p, up, down);
        m_paramValues[i] = up;
        double y1;
        try {
            y1 = Calculate();
            m_paramValues[i] = down;
            double y2 = Calculate();
            out[i] = (y1 - y2) / (up - down);
        } catch (...) {
            m_paramValues[i] = p;
            throw;
        }
        m_paramValues[i] = p;
    }
}

void CEquationBase::ForwardDerivatives(double f, double* out)
{
    const int n = std::min(GetParameterCount(), m_paramValues.GetSize());
    for (int i = 0; i < n; ++i) {
        const double p = m_paramValues[i];
        const double up = ForwardStep(p);
        m_paramValues[i] = up;
        try {
            out[i] = (Calculate() - f) / (up - p);
        } catch (...) {
            m_paramValues[i] = p;
            throw;
        }
        m_paramValues[i] = p;
    }
}

void CEquationBase::SetPointX(const double* const* columns, int columnCount, int i)
{
    // Read the array each time: an evaluation may resize it.
    double* xs = m_xValues.GetData();
    const int n = std::min(columnCount, m_xValues.GetSize());
    for (int j = 0; j < n; ++j)
        xs[j] = columns[j][i];
}

void CEquationBase::CalculatePoints(const double* const* columns, int columnCount, int count, double* out,
                                    SKeptValues* keep)
{
    if (keep)
        keep->complete = false;
    for (int i = 0; i < count; ++i) {
        SetPointX(columns, columnCount, i);
        out[i] = Calculate();
    }
}

void CEquationBase::CalculatePointDerivatives(const double* const* columns, int columnCount, int count, bool central,
                                              bool known, double* values, double* derivs, int stride,
                                              const SKeptValues*)
{
    const int m = GetParameterCount();
    CMyVector d(m);
    for (int i = 0; i < count; ++i) {
        SetPointX(columns, columnCount, i);
        if (central) {
            CalculateDerivatives(d);
            if (!known)
                values[i] = Calculate();
        } else {
            if (!known)
                values[i] = Calculate();
            ForwardDerivatives(values[i], d.GetData());
        }
        std::copy(d.GetData(), d.GetData() + m, derivs + std::size_t(i) * std::size_t(stride));
    }
}

void CEquationBase::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ArchiveStoreStrings(ar, m_paramNames);
        ArchiveStoreStrings(ar, m_paramLabels);
        ArchiveStoreStrings(ar, m_xNames);
        ArchiveStoreStrings(ar, m_xLabels);
        ArchiveStoreStrings(ar, m_constNames);
        ArchiveStoreStrings(ar, m_constLabels);
        ArchiveStoreStrings(ar, m_paramDefs);
        m_paramValues.Serialize(ar);
        ar.WriteString(m_strYName);
        ar << std::int32_t(m_nLenient) << std::int32_t(m_nUseParamDefs);
    } else {
        ArchiveLoadStrings(ar, m_paramNames);
        ArchiveLoadStrings(ar, m_paramLabels);
        ArchiveLoadStrings(ar, m_xNames);
        ArchiveLoadStrings(ar, m_xLabels);
        ArchiveLoadStrings(ar, m_constNames);
        ArchiveLoadStrings(ar, m_constLabels);
        ArchiveLoadStrings(ar, m_paramDefs);
        m_paramValues.Serialize(ar);
        m_strYName = ar.ReadString();
        std::int32_t lenient = 0, use = 0;
        ar >> lenient >> use;
        m_nLenient = lenient;
        m_nUseParamDefs = use;
        // Labels stand beside their names: keep the arrays the same length.
        m_paramLabels.resize(m_paramNames.size());
        m_xLabels.resize(m_xNames.size());
        m_constLabels.resize(m_constNames.size());
        m_bValid = false;
    }
}
