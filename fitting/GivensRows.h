// The two kernels of a least-squares solve by orthogonal rotations: rows
// added one at a time to an upper triangle R (m x m, row by row) and its
// transformed right side, and the back-substitution that solves R x = b.
// Forming the triangle from the rows, rather than the normal equations from
// their products, keeps the digits that squaring the rows loses (Golub and
// Van Loan, Matrix Computations, 4th ed., section 5.2.3, Givens QR).
#pragma once

#include <cmath>
#include <cstddef>

// Rotates row v (right side rv) into row k of R and qtr[k] so that v[k]
// becomes 0, as the Givens rotation of AddRow; a v[k] of 0 passes by.
inline void RotateRow(double* R, double* qtr, double* v, double& rv, int k, int m)
{
    const double b = v[k];
    if (b == 0.0)
        return;
    double* row = R + k * m;
    const double a = row[k];
    double r = std::sqrt(a * a + b * b);
    if (!(r > 0.0) || std::isinf(r))
        r = std::hypot(a, b);
    const double c = a / r, sn = b / r;
    row[k] = r;
    for (int j = k + 1; j < m; ++j) {
        const double t = row[j];
        row[j] = c * t + sn * v[j];
        v[j] = c * v[j] - sn * t;
    }
    const double t = qtr[k];
    qtr[k] = c * t + sn * rv;
    rv = c * rv - sn * t;
}

// Adds the row (v, rv) of a least-squares system to its triangle R and
// transformed right side qtr, by Givens rotations; v is used up. Rows may
// come in any order: the triangle of all of them is the same up to
// rounding, whatever the grouping.
inline void AddRow(double* R, double* qtr, double* v, double rv, int m)
{
    for (int k = 0; k < m; ++k)
        RotateRow(R, qtr, v, rv, k, m);
}

// Adds one row to each of four triangles at once, as AddRow adds each to
// its own: the same operations in the same order lane by lane, so the
// triangles come out bit for bit those of AddRow, four rotations at a time
// where the processor has AVX2. The four are held interleaved: entry e of
// triangle t (of R, qtr and v) at 4 e + t, right side t at rv[t]; v and rv
// are used up. wide false takes the lanes one by one (for tests).
void AddRowsOfFour(double* R, double* qtr, double* v, double* rv, int m, bool wide = true);

// AddRowsOfFour for eight triangles, entry e of triangle t at 8 e + t, and
// rows rows for each, in turn: entry e of row p of triangle t at
// v[8 (m p + e) + t], its right side at rv[8 p + t]. Eight rotations at a
// time where the processor has AVX-512F.
void AddRowsOfEight(double* R, double* qtr, double* v, double* rv, int m, int rows, bool wide = true);

// How many triangles this processor rotates at once, 8 (AVX-512F), 4
// (AVX2) or 1, and never more than the limit LimitRowLanes sets (8 unless
// changed), so that tests can run a fit through each way and compare.
int RowLanes();
void LimitRowLanes(int lanes);

// Adds the rows of count triangles to R and qtr, one after another, as
// AddRow adds each row in turn, bit for bit: triangle i (m x m, row by row,
// its right side after it) starts stride doubles after triangle i - 1.
void AddTriangles(double* R, double* qtr, const double* first, std::size_t stride, int count, int m);

// Solves R x = b for upper triangular R (m x m, row by row); false when a
// diagonal entry is 0 or the result is not finite.
inline bool SolveUpper(const double* R, const double* b, double* x, int m)
{
    for (int i = m - 1; i >= 0; --i) {
        double t = b[i];
        for (int j = i + 1; j < m; ++j)
            t -= R[i * m + j] * x[j];
        if (R[i * m + i] == 0.0)
            return false;
        x[i] = t / R[i * m + i];
        if (!std::isfinite(x[i]))
            return false;
    }
    return true;
}
