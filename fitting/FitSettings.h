// The settings a fit item hands its engines at the start of every fit. The
// engine copies what it needs, so changing them during a fit affects only
// the next one.
#pragma once

#include <vector>

class CFitSettings {
public:
    // Fitting criteria of the non-linear engine.
    int m_nChiSqChange = 1;              // stop when the chi-square changes by less than the percentage
    double m_dChiSqChangePercent = 1.0;  // per iteration
    int m_nMinIterations = 2;
    int m_nMaxIterations = 20;
    int m_nRobust = 0;                   // biweight re-weighting

    // Initial estimates.
    int m_nEstimatesFromMatrix = 0;      // search the estimate matrix even when the equation estimates
    // Candidate starting values, one row per parameter; a missing or empty
    // row leaves that parameter at 1.0.
    std::vector<std::vector<double>> m_estimateMatrix;
    // The values of the equation's constants, in order; missing ones are 0.
    std::vector<double> m_constants;
};
