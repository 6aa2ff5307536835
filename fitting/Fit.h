// The interface every fit engine offers its fit item: the item's background
// calculation gathers x, y and weights and calls Fit; result views, curves
// and the F test then ask for the chi-square, y at an x and x at a y.
#pragma once

#include "fitting/FitValue.h"
#include "platform/Object.h"

#include <optional>

class CDoubleColumns;
class CEquationBase;
class CFitSettings;
class CMyVector;
class CWorkerThread;

class CFit : public CObject {
    DECLARE_SERIAL(CFit)
public:
    CFit() = default;

    // Fits y (with weights w, one per point) against the x columns; the
    // point count is the length of the first x column. 1 on success; 0 on
    // failure (reported through the worker's NotifyError when report is
    // non-zero) or when the worker asks the fit to stop (never reported).
    virtual int Fit(const CFitSettings& settings, const CDoubleColumns& x, const CMyVector& y, const CMyVector& w,
                    CWorkerThread* worker, int report);
    // Asks the worker to post a progress notice.
    virtual void ReportProgress(CWorkerThread* worker);
    // y at x (the other x values, for equations of several variables, from
    // otherX when given, else 1.0); nothing when not fitted.
    virtual std::optional<CFitValue> CalcY(double x, const CMyVector* otherX);
    // The x between x1 and x2 where the curve reaches y; nothing when not fitted.
    virtual std::optional<CFitValue> CalcX(double y, double x1, double x2);
    // The weighted sum of squared residuals.
    virtual double GetChiSq() const { return m_dChiSq; }
    virtual CEquationBase* GetEquation() { return nullptr; }

    bool IsFitted() const { return m_nFitted == 1; }
    int GetPointCount() const { return m_nPoints; }

    // Version word 0, fitted flag, point count, chi-square.
    void Serialize(CArchive& ar) override;

protected:
    // True when the worker wants the running fit to give up (a stop or a new
    // request). Engines ask before every 32nd point of their passes.
    virtual bool IsStopRequested(CWorkerThread* worker);
    // Posts a message number through the worker when reporting is on.
    static void Report(CWorkerThread* worker, int report, UINT stringId);

    int m_nFitted = 0;
    int m_nPoints = 0;
    double m_dChiSq = 0.0;
};
