#include "app/MXLinear.h"

#include "app/MXGrid.h"
#include "fitting/LinearFit.h"
#include "platform/Archive.h"
#include "platform/Exceptions.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <cmath>

IMPLEMENT_SERIAL(CMXLinear, CMXResult, VERSIONABLE_SCHEMA | 0)

CMXLinear::CMXLinear() = default;

CMXLinear::CMXLinear(CProjectDocBase* document) : CMXResult(document) {}

void CMXLinear::GetTypeName(std::string& out) const { out = LoadString(IDS_LINEAR_FIT_TYPE_NAME); }

std::unique_ptr<CFit> CMXLinear::MakeEngine() const { return std::make_unique<CLinearFit>(m_nOrder); }

CLinearFit* CMXLinear::GetLinearFit(int set) const
{
    if (GetSetStatus(set) != kSetFitted)
        return nullptr;
    auto* fit = dynamic_cast<CLinearFit*>(GetFit(set));
    return fit && fit->IsFitted() ? fit : nullptr;
}

bool CMXLinear::GetParameter(int set, int p, double& value, double& error) const
{
    CLinearFit* fit = GetLinearFit(set);
    if (!fit || p < 0 || p > fit->GetOrder() || p >= fit->GetCoefficients().GetSize())
        return false;
    value = fit->GetCoefficients()[p];
    // No degrees of freedom left: the error is not known.
    if (!fit->GetStandardError(p, error))
        error = std::nan("");
    return true;
}

void CMXLinear::GetParameterName(int p, std::string& name) const
{
    if (m_nOrder == 1 && (p == 0 || p == 1)) {
        name = LoadString(p == 0 ? IDS_RESULT_INTERCEPT : IDS_RESULT_GRADIENT);
        return;
    }
    name = p >= 0 && p <= m_nOrder ? std::string(1, char('a' + p)) : std::string();
}

void CMXLinear::GetEquationTitle(std::string& text) const
{
    text = LoadString(IDS_POLYNOMIAL_ORDER_1 - 1 + UINT(m_nOrder));
}

int CMXLinear::GetSummaryValue(int set, int row, std::string& label, std::string& text, double& number) const
{
    static constexpr UINT kLabels[6] = {IDS_RESULT_X_COLUMN_NAME,     IDS_RESULT_Y_COLUMN_NAME,
                                        IDS_RESULT_ERROR_COLUMN_NAME, IDS_RESULT_NUMBER_OF_POINTS,
                                        IDS_RESULT_CHI_SQUARE,        IDS_RESULT_CORRELATION};
    label = row >= 0 && row < 6 ? LoadString(kLabels[row]) : std::string();
    text = LoadString(IDS_FIT_NOT_AVAILABLE);
    number = 0.0;
    if (row < 0 || row >= 6)
        return 2;
    if (row <= 2) {
        const int column = row == 0 ? GetSetXColumn(set) : row == 1 ? GetSetYColumn(set) : GetSetErrorColumn(set);
        CMXGrid* data = FindDataItem();
        if (!data || column < 0 || (row == 2 && m_nWeighting != kWeightErrors))
            return 2;
        text = data->GetTable().GetColumnName(column);
        return 1;
    }
    CLinearFit* fit = GetLinearFit(set);
    if (!fit)
        return 2;
    number = row == 3 ? double(fit->GetPointCount()) : row == 4 ? fit->GetChiSq() : fit->GetCorrelation();
    text.clear();
    return 0;
}

void CMXLinear::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CMXResult::Serialize(ar);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_nOrder);
        return;
    }
    std::int32_t order = 0;
    ar >> order;
    if (order < 1 || order > kMaxOrder)
        ThrowArchiveError(CArchiveException::genericException, "linear fit: polynomial order out of range");
    m_nOrder = order;
}

void CMXLinear::SerializeSettings(CArchive& ar)
{
    CMXResult::SerializeSettings(ar);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_nOrder);
        return;
    }
    std::int32_t order = 1;
    ar >> order;
    SetOrder(order);
}
