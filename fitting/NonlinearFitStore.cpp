// The stored form of the non-linear engine, read back in its three versions.
#include "fitting/NonlinearFit.h"

#include "equation/Equation.h"
#include "equation/ParseErr.h"
#include "fitting/EquationSource.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"

#include <cstdint>

IMPLEMENT_SERIAL(CNonlinearFit, CFit, VERSIONABLE_SCHEMA | 2)

void CNonlinearFit::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SerializeVersion(ar, 2);
        CFit::Serialize(ar);
        ar.WriteObject(m_pEquation.get());
        m_covariance.Serialize(ar);
        m_curvature.Serialize(ar);
        m_initialEstimates.Serialize(ar);
        ar.WriteString(m_strEquationName);
        ar << std::int32_t(m_nEstimateSource) << std::int32_t(m_nIterations);
        return;
    }
    const int version = SerializeVersion(ar, 2);
    CFit::Serialize(ar);
    if (version >= 2) {
        m_pEquation.reset(static_cast<CEquationBase*>(ar.ReadObject(RUNTIME_CLASS(CEquationBase))));
    } else {
        // Older records hold the equation without its class header.
        auto equation = std::make_unique<CEquation>();
        equation->Serialize(ar);
        m_pEquation = std::move(equation);
    }
    m_covariance.Serialize(ar);
    m_curvature.Serialize(ar);
    m_initialEstimates.Serialize(ar);
    m_strEquationName = ar.ReadString();
    std::int32_t source = -1, iterations = 0;
    ar >> source;
    if (version >= 1)
        ar >> iterations;
    m_nEstimateSource = source;
    m_nIterations = iterations;
    m_pSource = dynamic_cast<const CEquationSource*>(ar.m_pDocument);
    // A loaded equation is not compiled; curves of a loaded fit need it.
    if (auto equation = dynamic_cast<CEquation*>(m_pEquation.get())) {
        try {
            equation->Compile();
        } catch (const CParseErr&) {
            m_nFitted = 0;
        }
    }
    if (m_nFitted == 1 && !m_pEquation)
        m_nFitted = 0;
}
