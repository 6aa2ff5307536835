// The sums of a Marquardt step over a block of points: the chi-square, the
// gradient beta and the curvature alpha (Press et al., Numerical Recipes,
// 3rd ed., section 15.5.1), and each point's row of the weighted Jacobian,
// for the block's triangle (GivensRows.h).
#pragma once

#include <cstddef>

// What AddCurvature reads, and where it puts the rows: entry j of the row
// of point p (from the first on) at rows[stride (m p + j)], the weighted
// residual at rightSides[stride p], so that a block can write its rows
// straight into the lanes of AddRowsOfEight.
struct SCurvaturePoints {
    int m = 0; // parameters
    const double* y = nullptr;
    const double* f = nullptr;      // the fitted values
    const double* weight = nullptr; // robust weighting included
    const double* derivs = nullptr; // m a point, of f by each parameter
    double* rows = nullptr;
    double* rightSides = nullptr;
    std::size_t stride = 1;
};

// Sets sums[0] to the chi-square of points from..to, sums[1 + j] to beta j
// and sums[1 + m + j (j + 1) / 2 + k] to alpha j k (k <= j), and writes
// the points' rows: the derivatives and the residual times the square root
// of the weight. Each sum gets its additions in point order, each product
// rounded, whatever the number of parameters; wide false takes the loop
// that serves every count (for tests).
void AddCurvature(const SCurvaturePoints& points, int from, int to, double* sums, bool wide = true);
