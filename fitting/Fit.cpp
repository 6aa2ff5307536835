#include "fitting/Fit.h"

#include "fitting/WorkerThread.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/StringTable.h"

#include <cstdint>

IMPLEMENT_SERIAL(CFit, CObject, VERSIONABLE_SCHEMA | 0)

CFitValue CFitValue::Message(UINT stringId) { return CFitValue(0.0, stringId, LoadString(stringId)); }

int CFit::Fit(const CFitSettings&, const CDoubleColumns&, const CMyVector&, const CMyVector&, CWorkerThread*, int)
{
    return 0;
}

void CFit::ReportProgress(CWorkerThread* worker)
{
    if (worker)
        worker->NotifyUpdate();
}

std::optional<CFitValue> CFit::CalcY(double, const CMyVector*) { return std::nullopt; }

std::optional<CFitValue> CFit::CalcX(double, double, double) { return std::nullopt; }

bool CFit::IsStopRequested(CWorkerThread* worker)
{
    return worker && (worker->IsQuitRequested() || worker->IsNewRequestPending());
}

void CFit::Report(CWorkerThread* worker, int report, UINT stringId)
{
    if (report && worker)
        worker->NotifyError(stringId);
}

void CFit::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_nFitted) << std::int32_t(m_nPoints) << m_dChiSq;
    } else {
        std::int32_t fitted = 0, points = 0;
        ar >> fitted >> points >> m_dChiSq;
        m_nFitted = fitted;
        m_nPoints = points;
    }
}
