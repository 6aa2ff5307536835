#include "fitting/CurvatureSums.h"

#include <algorithm>
#include <cmath>

namespace {

// Any number of parameters, the sums through memory.
void AddCurvatureOfAny(const SCurvaturePoints& pts, int from, int to, double* sums)
{
    const int m = pts.m;
    std::fill(sums, sums + 1 + m + m * (m + 1) / 2, 0.0);
    double chiSq = 0.0;
    // Not the same memory as the derivatives: the sums need not go back
    // to memory before each load of a derivative.
    double* __restrict beta = sums + 1;
    double* __restrict alpha = sums + 1 + m;
    for (int i = from; i < to; ++i) {
        const double w = pts.weight[i];
        const double r = pts.y[i] - pts.f[i];
        const double dy = r * w;
        chiSq += w * r * r;
        const double* dd = pts.derivs + std::size_t(i) * std::size_t(m);
        const double sw = std::sqrt(w);
        const std::size_t p = std::size_t(i - from);
        double* const row = pts.rows + pts.stride * std::size_t(m) * p;
        pts.rightSides[pts.stride * p] = sw * r;
        for (int j = 0; j < m; ++j) {
            const double dj = dd[j];
            row[pts.stride * std::size_t(j)] = sw * dj;
            beta[j] += dy * dj;
            const double wdj = dj * w;
            double* arow = alpha + j * (j + 1) / 2;
            for (int k = 0; k <= j; ++k)
                arow[k] += dd[k] * wdj;
        }
    }
    sums[0] = chiSq;
}

// Two doubles as one operand, lane by lane the same operation as on one
// (GCC and Clang take them two to an SSE2 instruction).
using V2 = double __attribute__((vector_size(16)));

// AddCurvatureOfAny for M parameters, with the sums in registers, two to
// one: beta and each row of alpha by pairs of columns. (Through memory the
// compiler kept them in memory, a store and a load for every sum at every
// point.) Every sum gets the same additions of the same products in the
// same order; the lane of a pair past the end of its row adds what no one
// reads.
template <int M>
void AddCurvatureOf(const SCurvaturePoints& pts, int from, int to, double* sums)
{
    constexpr int H = (M + 1) / 2;
    double chiSq = 0.0;
    V2 beta[H] = {};
    V2 alpha[M][H] = {};
    for (int i = from; i < to; ++i) {
        const double w = pts.weight[i];
        const double r = pts.y[i] - pts.f[i];
        const double dy = r * w;
        chiSq += w * r * r;
        const double* dd = pts.derivs + std::size_t(i) * M;
        V2 d[H], wd[H];
        for (int h = 0; h < H; ++h) {
            d[h] = V2{dd[2 * h], 2 * h + 1 < M ? dd[2 * h + 1] : 0.0};
            wd[h] = d[h] * w;
            beta[h] += dy * d[h];
        }
        for (int j = 0; j < M; ++j) {
            const double wdj = wd[j / 2][j % 2];
            for (int h = 0; h <= j / 2; ++h)
                alpha[j][h] += d[h] * wdj;
        }
        const double sw = std::sqrt(w);
        const std::size_t p = std::size_t(i - from);
        double* const row = pts.rows + pts.stride * M * p;
        pts.rightSides[pts.stride * p] = sw * r;
        for (int j = 0; j < M; ++j)
            row[pts.stride * std::size_t(j)] = sw * dd[j];
    }
    sums[0] = chiSq;
    for (int j = 0; j < M; ++j) {
        sums[1 + j] = beta[j / 2][j % 2];
        for (int k = 0; k <= j; ++k)
            sums[1 + M + j * (j + 1) / 2 + k] = alpha[j][k / 2][k % 2];
    }
}

} // namespace

void AddCurvature(const SCurvaturePoints& points, int from, int to, double* sums, bool wide)
{
    switch (wide ? points.m : 0) {
    case 1: return AddCurvatureOf<1>(points, from, to, sums);
    case 2: return AddCurvatureOf<2>(points, from, to, sums);
    case 3: return AddCurvatureOf<3>(points, from, to, sums);
    case 4: return AddCurvatureOf<4>(points, from, to, sums);
    case 5: return AddCurvatureOf<5>(points, from, to, sums);
    case 6: return AddCurvatureOf<6>(points, from, to, sums);
    case 7: return AddCurvatureOf<7>(points, from, to, sums);
    case 8: return AddCurvatureOf<8>(points, from, to, sums);
    default: return AddCurvatureOfAny(points, from, to, sums);
    }
}
