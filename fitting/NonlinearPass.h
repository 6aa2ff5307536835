// A pass of the non-linear engine over the points, as the engine's files
// share it: what the pass computes and where its sums go. A pass works
// through the points in fixed blocks; each block keeps partial sums of its
// own, which are added in block order, so that the results do not depend on
// the number of threads.
#pragma once

#include "fitting/NonlinearFit.h"
#include "framework/DoubleColumns.h"
#include "framework/MyVector.h"

#include <algorithm>
#include <cstddef>
#include <vector>

// Points per block of a pass: the unit of work of a thread and of the
// partial sums, which are added in block order.
constexpr int kBlockPoints = 32;

enum class EPassKind { ChiSq, Curvature, RobustScale };

struct CNonlinearFit::SPass {
    EPassKind kind;
    const CDoubleColumns* x;
    const CMyVector* y;
    const CMyVector* w;
    int n = 0;
    int m = 0;
    int stride = 0; // sums per block
    std::vector<const double*> columns;
    // The blocks' sums, in a store of the engine's that a pass reuses: each
    // block clears its own sums before it adds, so that no pass clears (or
    // the system maps afresh) megabytes at once.
    std::vector<double>& sums;
    bool central = true; // derivatives by the equation's own CalculateDerivatives

    SPass(EPassKind k, const CDoubleColumns& xs, const CMyVector& ys, const CMyVector& ws, int points, int params,
          int xCount, std::vector<double>& store)
        : kind(k), x(&xs), y(&ys), w(&ws), n(points), m(params), sums(store)
    {
        // Curvature: chi-square, beta, alpha's lower triangle, the block's
        // triangle R of the weighted Jacobian and its right side.
        stride = kind == EPassKind::Curvature ? 1 + m + m * (m + 1) / 2 + m * m + m : 1;
        const int count = std::min(xCount, xs.GetColumnCount());
        for (int j = 0; j < count; ++j)
            columns.push_back(xs.Column(j));
    }
    int Blocks() const { return (n + kBlockPoints - 1) / kBlockPoints; }
    int TriangleOffset() const { return 1 + m + m * (m + 1) / 2; }
    double* Block(int b) { return &sums[std::size_t(b) * std::size_t(stride)]; }
    // The sum of entry k over the blocks, in block order.
    double Total(int k) const
    {
        double t = 0;
        for (int b = 0; b < Blocks(); ++b)
            t += sums[std::size_t(b) * std::size_t(stride) + std::size_t(k)];
        return t;
    }
};
