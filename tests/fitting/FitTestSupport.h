// Runs an engine the way a fit item's worker does, recording what the
// worker would post to the main window.
#pragma once

#include "equation/EquationBase.h"
#include "fitting/Fit.h"
#include "fitting/FitSettings.h"
#include "framework/MyVector.h"
#include "fitting/WorkerThread.h"
#include "framework/DoubleColumns.h"

#include <mutex>
#include <vector>

struct FitRun {
    int result = 0;
    std::vector<UINT> errors; // string ids posted through NotifyError
    int progress = 0;         // progress notices
};

inline FitRun RunFit(CFit& fit, const CFitSettings& settings, const CDoubleColumns& x, const CMyVector& y,
                     const CMyVector& w, int report = 1)
{
    FitRun run;
    std::mutex lock;
    SetWorkerMessageSink([&](UINT message, std::intptr_t wParam, std::intptr_t) {
        std::lock_guard guard(lock);
        if (message == WM_WORKER_MESSAGE)
            run.errors.push_back(UINT(wParam));
        if (message == WM_WORKER_PROGRESS)
            ++run.progress;
    });
    CWorkerThread worker;
    // Synchronous: the fit runs here, and the notices reach the sink at once.
    run.result = worker.Start(
        [&](CWorkerThread& w2, void*) {
            const int r = fit.Fit(settings, x, y, w, &w2, report);
            w2.ProgressHandled();
            return r;
        },
        nullptr, 0, false);
    SetWorkerMessageSink({});
    return run;
}

inline CDoubleColumns Columns(std::initializer_list<std::vector<double>> columns)
{
    CDoubleColumns c;
    c.SetSize(int(columns.size()), columns.size() ? int(columns.begin()->size()) : 0);
    int j = 0;
    for (const auto& col : columns)
        c[j++] = col;
    return c;
}

inline CMyVector Vector(const std::vector<double>& values)
{
    CMyVector v;
    for (double d : values)
        v.Add(d);
    return v;
}

inline CMyVector Ones(int n)
{
    CMyVector v(n);
    for (int i = 0; i < n; ++i)
        v[i] = 1.0;
    return v;
}

// Parameter i of a fit's equation.
inline double Param(CFit& fit, int i) { return fit.GetEquation()->GetParameterValues()[i]; }
