// The stored form of the non-linear engine, read back in its four versions.
#include "fitting/NonlinearFit.h"

#include "equation/Equation.h"
#include "equation/ParseErr.h"
#include "fitting/EquationSource.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"

#include <cstdint>

IMPLEMENT_SERIAL(CNonlinearFit, CFit, VERSIONABLE_SCHEMA | 2)

// Version 3 adds, after the iteration count, that the fit stopped at its
// iteration limit and the relative change of its last iteration. Only a fit
// that stopped there writes it: every other fit keeps the version-2 record,
// byte for byte, so that files of fits without the mark read as before.
void CNonlinearFit::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        const int version = m_bIterationLimit ? 3 : 2;
        SerializeVersion(ar, version);
        CFit::Serialize(ar);
        ar.WriteObject(m_pEquation.get());
        m_covariance.Serialize(ar);
        m_curvature.Serialize(ar);
        m_initialEstimates.Serialize(ar);
        ar.WriteString(m_strEquationName);
        ar << std::int32_t(m_nEstimateSource) << std::int32_t(m_nIterations);
        if (version >= 3)
            ar << std::int32_t(1) << m_dLastChange;
        return;
    }
    const int version = SerializeVersion(ar, 3);
    CFit::Serialize(ar);
    if (version >= 2) {
        m_pEquation = ar.ReadOwned<CEquationBase>();
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
    m_bIterationLimit = false;
    m_dLastChange = 0.0;
    if (version >= 3) {
        std::int32_t limit = 0;
        double change = 0.0;
        ar >> limit >> change;
        m_bIterationLimit = limit != 0;
        m_dLastChange = change;
    }
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
