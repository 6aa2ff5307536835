#include "app/MXNonLinear.h"

#include "app/MXDoc.h"
#include "app/MXEquationBase.h"
#include "app/MXGrid.h"
#include "equation/EquationBase.h"
#include "fitting/NonlinearFit.h"
#include "framework/UpdateNotification.h"
#include "framework/Profile.h"
#include "platform/Archive.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>

IMPLEMENT_SERIAL(CMXNonLinear, CMXResult, VERSIONABLE_SCHEMA | 0)

// Version 1 adds the fit's own constant values after the criteria.

namespace {
constexpr char kCriteria[] = "Fitting Criteria";

// The worker's view of the equation: the one copy taken for the run, whatever name is asked.
class CSnapshotSource : public CEquationSource {
public:
    explicit CSnapshotSource(const CEquationBase* equation) : m_equation(equation) {}
    const CEquationBase* FindEquation(const std::string&) const override { return m_equation; }

private:
    const CEquationBase* m_equation;
};

void Grow(CMyVector& v, int p, double fill)
{
    while (v.GetSize() <= p)
        v.Add(fill);
}
} // namespace

CMXNonLinear::CMXNonLinear() = default;

CMXNonLinear::CMXNonLinear(CProjectDocBase* document) : CMXResult(document) { LoadCriteria(); }

void CMXNonLinear::GetTypeName(std::string& out) const { out = LoadString(IDS_NONLINEAR_FIT_TYPE_NAME); }

// --- criteria ---

void CMXNonLinear::LoadCriteria()
{
    m_nChiSqChange = GetProfileInt(kCriteria, "ChiSq Change", 1) != 0 ? 1 : 0;
    const std::string percent = GetProfileString(kCriteria, "ChiSq Change Percent", "1.0");
    double value = 1.0;
    const char* begin = percent.data();
    while (begin < percent.data() + percent.size() && (*begin == ' ' || *begin == '+'))
        ++begin;
    if (std::from_chars(begin, percent.data() + percent.size(), value).ec != std::errc() || !std::isfinite(value))
        value = 1.0;
    m_dChiSqChangePercent = std::clamp(value, 0.001, 20.0);
    m_nMinIterations = std::clamp(GetProfileInt(kCriteria, "Min Iterations", 2), 1, 20);
    m_nMaxIterations = std::min(GetProfileInt(kCriteria, "Max Iterations", 20), 100);
    m_nMaxIterations = std::max({m_nMaxIterations, m_nMinIterations, 5});
    m_nLastCriterion = 0;
}

void CMXNonLinear::SaveCriteria() const
{
    WriteProfileInt(kCriteria, "ChiSq Change", m_nChiSqChange);
    char text[32];
    auto [end, ec] = std::to_chars(text, text + sizeof text - 1, m_dChiSqChangePercent);
    *end = '\0';
    WriteProfileString(kCriteria, "ChiSq Change Percent", text);
    WriteProfileInt(kCriteria, "Min Iterations", m_nMinIterations);
    WriteProfileInt(kCriteria, "Max Iterations", m_nMaxIterations);
}

void CMXNonLinear::SetDefaultCriteria()
{
    m_nChiSqChange = 1;
    m_dChiSqChangePercent = 1.0;
    m_nMinIterations = 2;
    m_nMaxIterations = 20;
    m_nLastCriterion = 0;
}

// --- estimates ---

double CMXNonLinear::GetRangeFrom(int p) const { return p >= 0 && p < m_rangeFrom.GetSize() ? m_rangeFrom[p] : 1.0; }
double CMXNonLinear::GetRangeTo(int p) const { return p >= 0 && p < m_rangeTo.GetSize() ? m_rangeTo[p] : 1.0; }
int CMXNonLinear::GetRangeSteps(int p) const
{
    return p >= 0 && p < int(m_rangeSteps.size()) ? m_rangeSteps[std::size_t(p)] : 0;
}
int CMXNonLinear::GetRangeCode(int p) const
{
    const int code = p >= 0 && p < int(m_rangeCodes.size()) ? m_rangeCodes[std::size_t(p)] : 0;
    return code >= 2 && code <= 20 ? code : 5;
}

void CMXNonLinear::SetRangeFrom(int p, double value)
{
    if (p < 0)
        return;
    Grow(m_rangeFrom, p, 1.0);
    m_rangeFrom[p] = value;
}

void CMXNonLinear::SetRangeTo(int p, double value)
{
    if (p < 0)
        return;
    Grow(m_rangeTo, p, 1.0);
    m_rangeTo[p] = value;
}

void CMXNonLinear::SetRangeSteps(int p, int steps)
{
    if (p < 0)
        return;
    if (int(m_rangeSteps.size()) <= p)
        m_rangeSteps.resize(std::size_t(p) + 1, 0);
    m_rangeSteps[std::size_t(p)] = steps;
}

void CMXNonLinear::SetRangeCode(int p, int code)
{
    if (p == -1) {
        m_rangeCodes.clear();
        return;
    }
    if (p < 0)
        return;
    if (int(m_rangeCodes.size()) <= p)
        m_rangeCodes.resize(std::size_t(p) + 1, 0);
    m_rangeCodes[std::size_t(p)] = code;
}

double CMXNonLinear::GetRangeValue(int p, int i) const
{
    const int n = GetRangeSteps(p);
    const double from = GetRangeFrom(p), to = GetRangeTo(p);
    if (n <= 1 || i <= 0)
        return from;
    if (i >= n - 1)
        return to;
    const double t = double(i) / double(n - 1);
    if (from != 0.0 && from * to > 0.0)
        return from * std::pow(to / from, t);
    return from + (to - from) * t;
}

double CMXNonLinear::GetParamEstimate(int p) const
{
    return p >= 0 && p < m_estimates.GetSize() ? m_estimates[p] : BlankValue();
}

void CMXNonLinear::SetParamEstimate(int p, double value)
{
    if (p < 0)
        return;
    Grow(m_estimates, p, BlankValue());
    m_estimates[p] = value;
}

double CMXNonLinear::GetConstantValue(int i) const
{
    if (i >= 0 && i < m_constants.GetSize() && !::IsBlank(m_constants[i]))
        return m_constants[i];
    const CEquationBase* eq = FindEquation(m_strEquation);
    return eq && i >= 0 && i < eq->GetConstantValues().GetSize() ? eq->GetConstantValues()[i] : 0.0;
}

void CMXNonLinear::SetConstantValue(int i, double value)
{
    if (i < 0)
        return;
    Grow(m_constants, i, BlankValue());
    m_constants[i] = value;
}

// --- the equation ---

const CEquationBase* CMXNonLinear::FindEquation(const std::string& name) const
{
    CMXDoc* doc = GetMXDoc();
    if (!doc || name.empty())
        return nullptr;
    auto* item = dynamic_cast<CMXEquationBase*>(doc->FindItem(name));
    return item ? item->GetEquation() : nullptr;
}

CEquationBase* CMXNonLinear::GetEquation() { return const_cast<CEquationBase*>(FindEquation(m_strEquation)); }

const CEquationBase* CMXNonLinear::GetFitEquation(int fit, std::string& itemName) const
{
    if (fit < 0 || fit >= GetFitCount())
        return nullptr;
    const CEquationBase* eq = FindEquation(m_strEquation);
    if (!eq || !eq->IsValid())
        return nullptr;
    itemName = m_strEquation;
    return eq;
}

int CMXNonLinear::GetParameterCount() const
{
    const CEquationBase* eq = FindEquation(m_strEquation);
    return eq && eq->IsValid() ? eq->GetParameterCount() : 0;
}

int CMXNonLinear::GetXVariableCount() const
{
    const CEquationBase* eq = FindEquation(m_strEquation);
    return eq ? std::max(1, eq->GetXCount()) : 1;
}

int CMXNonLinear::PrepareFit(int report)
{
    if (!CMXResult::PrepareFit(report))
        return 0;
    const CEquationBase* eq = FindEquation(m_strEquation);
    if (!eq || !eq->IsValid()) {
        m_xColumns.clear();
        m_yColumns.clear();
        m_errColumns.clear();
        m_fits.clear();
        m_status.clear();
        ReportIf(report, IDS_FIT_NOT_COMPILED);
        return 0;
    }
    return 1;
}

std::unique_ptr<CFit> CMXNonLinear::MakeEngine() const
{
    return std::make_unique<CNonlinearFit>(m_strEquation, this);
}

CFitSettings CMXNonLinear::MakeSettings() const
{
    CFitSettings s;
    s.m_nChiSqChange = m_nChiSqChange;
    s.m_dChiSqChangePercent = m_dChiSqChangePercent;
    s.m_nMinIterations = m_nMinIterations;
    s.m_nMaxIterations = m_nMaxIterations;
    s.m_nRobust = GetRobust() ? 1 : 0;
    s.m_nEstimatesFromMatrix = GetEstimatesFromMatrix() ? 1 : 0;
    const CEquationBase* eq = FindEquation(m_strEquation);
    const int m = eq ? eq->GetParameterCount() : 0;
    s.m_estimateMatrix.resize(std::size_t(m));
    for (int p = 0; p < m; ++p) {
        auto& row = s.m_estimateMatrix[std::size_t(p)];
        if (double e = GetParamEstimate(p); !::IsBlank(e)) {
            row.push_back(e);
            // An explicit estimate is the user's word: it wins over the equation's own.
            s.m_nEstimatesFromMatrix = 1;
        } else {
            for (int i = 0; i < GetRangeSteps(p); ++i)
                row.push_back(GetRangeValue(p, i));
        }
    }
    if (eq)
        for (int i = 0; i < eq->GetConstantCount(); ++i)
            s.m_constants.push_back(GetConstantValue(i));
    return s;
}

void CMXNonLinear::PrepareJob(SFitJob& job) const
{
    const CEquationBase* eq = FindEquation(m_strEquation);
    if (!eq)
        return;
    job.equations.push_back(eq->Clone());
    job.source = std::make_unique<CSnapshotSource>(job.equations.back().get());
    for (auto& set : job.sets)
        if (auto* fit = dynamic_cast<CNonlinearFit*>(set.fit.get()))
            fit->SetEquationSource(job.source.get());
}

void CMXNonLinear::OnPublished()
{
    for (auto& fit : m_fits)
        if (auto* nl = dynamic_cast<CNonlinearFit*>(fit.get()))
            nl->SetEquationSource(this);
}

// --- results ---

CNonlinearFit* CMXNonLinear::GetNonlinearFit(int set) const
{
    const int status = GetSetStatus(m_nXKind == kAssociated || m_nXKind == kAssociatedAll ? 0 : set);
    auto* fit = dynamic_cast<CNonlinearFit*>(GetFit(set));
    return status == kSetFitted && fit && fit->IsFitted() && fit->GetEquation() ? fit : nullptr;
}

bool CMXNonLinear::IsIterationLimitReached(int set) const
{
    CNonlinearFit* fit = GetNonlinearFit(set);
    return fit && fit->IsIterationLimitReached();
}

std::string CMXNonLinear::GetStateText() const
{
    if (m_nState == kFitted || m_nState == kPartFitted)
        for (int set = 0; set < GetSetCount(); ++set)
            if (IsIterationLimitReached(set))
                return FormatString(IDS_RESULT_ITERATION_LIMIT, {CMXResult::GetStateText()});
    return CMXResult::GetStateText();
}

bool CMXNonLinear::GetParameter(int set, int p, double& value, double& error) const
{
    CNonlinearFit* fit = GetNonlinearFit(set);
    if (!fit || p < 0 || p >= fit->GetEquation()->GetParameterCount())
        return false;
    value = fit->GetEquation()->GetParameterValues()[p];
    if (!fit->GetStandardError(p, error))
        error = std::nan("");
    return true;
}

void CMXNonLinear::GetParameterName(int p, std::string& name) const
{
    const CEquationBase* eq = FindEquation(m_strEquation);
    name = eq ? eq->GetParameterName(p) : std::string();
}

int CMXNonLinear::GetSummaryValue(int set, int row, std::string& label, std::string& text, double& number) const
{
    static constexpr UINT kLabels[5] = {IDS_RESULT_NUMBER_OF_POINTS, IDS_RESULT_CHI_SQUARE,
                                        IDS_RESULT_REDUCED_CHI_SQUARE, IDS_RESULT_ITERATIONS, IDS_RESULT_STATUS};
    label = row >= 0 && row < 5 ? LoadString(kLabels[row]) : std::string();
    text = LoadString(IDS_FIT_NOT_AVAILABLE);
    number = 0.0;
    CNonlinearFit* fit = GetNonlinearFit(set);
    if (!fit || row < 0 || row >= 5)
        return 2;
    switch (row) {
    case 0: number = fit->GetPointCount(); break;
    case 1: number = fit->GetChiSq(); break;
    case 2: number = fit->GetReducedChiSq(); break;
    case 3: number = fit->GetIterationCount(); break;
    default:
        // A fit that stopped at its iteration limit says so wherever its status is shown.
        text = LoadString(fit->IsIterationLimitReached() ? IDS_ITERATION_LIMIT : IDS_RESULT_CONVERGED);
        return 1;
    }
    text.clear();
    return 0;
}

std::optional<CFitValue> CMXNonLinear::CalcY(double x, int set, bool useEstimates)
{
    if (!useEstimates)
        return CMXResult::CalcY(x, set, false);
    const CEquationBase* source = FindEquation(m_strEquation);
    if (!source || !source->IsValid())
        return std::nullopt;
    std::unique_ptr<CEquationBase> eq = source->Clone();
    eq->ResizeValues();
    for (int p = 0; p < eq->GetParameterCount(); ++p) {
        const double e = GetParamEstimate(p);
        eq->GetParameterValues()[p] = !::IsBlank(e) ? e : GetRangeSteps(p) > 0 ? GetRangeValue(p, 0) : 1.0;
    }
    if (eq->GetXValues().GetSize() < 1)
        return std::nullopt;
    for (int i = 0; i < eq->GetXValues().GetSize(); ++i)
        eq->GetXValues()[i] = 1.0;
    eq->GetXValues()[0] = x;
    try {
        return CFitValue::Number(eq->Calculate());
    } catch (...) {
        // An equation error at this x leaves the row empty.
        return std::nullopt;
    }
}

std::optional<CFitValue> CMXNonLinear::CalcX(double y, double x1, double x2, int set, bool useEstimates)
{
    // Inverting the curve needs the fitted engine; estimates give no inverse.
    return CMXResult::CalcX(y, x1, x2, set, false);
}

void CMXNonLinear::OnItemNotify(CUpdateNotification& note)
{
    if (note.kind == UN_ITEM_RENAMED && !m_strEquation.empty() && m_strEquation == note.oldName) {
        m_strEquation = note.newName;
        for (auto& fit : m_fits)
            if (auto* nl = dynamic_cast<CNonlinearFit*>(fit.get()))
                nl->SetEquationName(note.newName);
        SetModified(true);
    }
    CMXResult::OnItemNotify(note);
}

void CMXNonLinear::SerializeSettings(CArchive& ar)
{
    CMXResult::SerializeSettings(ar);
    if (ar.IsStoring()) {
        ar << m_strEquation << std::int32_t(m_nFitOption) << std::int32_t(m_nChiSqChange) << m_dChiSqChangePercent
           << std::int32_t(m_nMinIterations) << std::int32_t(m_nMaxIterations);
        ArchiveStoreInts(ar, m_rangeCodes);
        ArchiveStoreInts(ar, m_rangeSteps);
    } else {
        std::int32_t option = 0, change = 0, minIt = 0, maxIt = 0;
        ar >> m_strEquation >> option >> change >> m_dChiSqChangePercent >> minIt >> maxIt;
        m_nFitOption = option;
        m_nChiSqChange = change;
        m_nMinIterations = minIt;
        m_nMaxIterations = maxIt;
        ArchiveLoadInts(ar, m_rangeCodes);
        ArchiveLoadInts(ar, m_rangeSteps);
    }
    m_rangeFrom.Serialize(ar);
    m_rangeTo.Serialize(ar);
    m_estimates.Serialize(ar);
    m_constants.Serialize(ar);
}

void CMXNonLinear::Serialize(CArchive& ar)
{
    // A fit without constants of its own keeps the original record.
    const int version = SerializeVersion(ar, ar.IsStoring() && m_constants.GetSize() == 0 ? 0 : 1);
    CMXResult::Serialize(ar);
    if (ar.IsStoring()) {
        m_rangeFrom.Serialize(ar);
        m_rangeTo.Serialize(ar);
        ArchiveStoreInts(ar, m_rangeCodes);
        ArchiveStoreInts(ar, m_rangeSteps);
        m_estimates.Serialize(ar);
        ar << m_strEquation << std::int32_t(m_nFitOption) << std::int32_t(m_nChiSqChange) << m_dChiSqChangePercent
           << std::int32_t(m_nMinIterations) << std::int32_t(m_nMaxIterations) << std::int32_t(m_nLastCriterion);
        if (version >= 1)
            m_constants.Serialize(ar);
        return;
    }
    m_rangeFrom.Serialize(ar);
    m_rangeTo.Serialize(ar);
    ArchiveLoadInts(ar, m_rangeCodes);
    ArchiveLoadInts(ar, m_rangeSteps);
    m_estimates.Serialize(ar);
    std::int32_t option = 0, change = 0, minIt = 0, maxIt = 0, last = 0;
    ar >> m_strEquation >> option >> change >> m_dChiSqChangePercent >> minIt >> maxIt >> last;
    m_nFitOption = option;
    m_nChiSqChange = change;
    m_nMinIterations = minIt;
    m_nMaxIterations = maxIt;
    m_nLastCriterion = last;
    m_constants.RemoveAll();
    if (version >= 1)
        m_constants.Serialize(ar);
    for (auto& fit : m_fits) {
        if (auto* nl = dynamic_cast<CNonlinearFit*>(fit.get())) {
            nl->SetEquationSource(this);
            // A fitted engine keeps its results; only one not yet fitted starts from the estimates.
            if (CEquationBase* eq = nl->GetEquation(); eq && !nl->IsFitted()) {
                CMyVector& values = eq->GetParameterValues();
                if (values.GetSize() < m_estimates.GetSize())
                    values.SetSize(m_estimates.GetSize());
                for (int p = 0; p < m_estimates.GetSize(); ++p)
                    if (!::IsBlank(m_estimates[p]))
                        values[p] = m_estimates[p];
            }
        }
    }
}
