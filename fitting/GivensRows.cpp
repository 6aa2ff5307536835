#include "fitting/GivensRows.h"

#include <algorithm>
#include <atomic>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define MX_WIDE_ROWS 1
#endif

namespace {

std::atomic<int> g_rowLaneLimit{8};

// The lanes of lanes interleaved triangles one by one, through AddRow.
void AddRowsOneByOne(double* R, double* qtr, double* v, double* rv, int m, int lanes)
{
    std::vector<double> r(std::size_t(m) * std::size_t(m)), q(static_cast<std::size_t>(m)),
        row(static_cast<std::size_t>(m));
    const std::size_t n = std::size_t(lanes);
    for (std::size_t t = 0; t < n; ++t) {
        for (std::size_t e = 0; e < r.size(); ++e)
            r[e] = R[n * e + t];
        for (std::size_t e = 0; e < q.size(); ++e) {
            q[e] = qtr[n * e + t];
            row[e] = v[n * e + t];
        }
        AddRow(r.data(), q.data(), row.data(), rv[t], m);
        for (std::size_t e = 0; e < r.size(); ++e)
            R[n * e + t] = r[e];
        for (std::size_t e = 0; e < q.size(); ++e) {
            qtr[n * e + t] = q[e];
            v[n * e + t] = row[e];
        }
    }
}

#ifdef MX_WIDE_ROWS
// AddRow in four lanes. A lane whose v[k] is 0 passes k by, as AddRow's
// does: its values are worked out and then not kept. Not "fma": AddRow
// rounds each product before the sum.
__attribute__((target("avx2"))) void AddRowsWide(double* R, double* qtr, double* v, double* rv, int m)
{
    const __m256d zero = _mm256_setzero_pd();
    const __m256d infinity = _mm256_set1_pd(__builtin_inf());
    const __m256d magnitude = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7FFFFFFFFFFFFFFFll));
    __m256d rhs = _mm256_loadu_pd(rv);
    for (int k = 0; k < m; ++k) {
        const __m256d b = _mm256_loadu_pd(v + 4 * k);
        // b == 0.0 passes k by; a not-a-number b does not.
        const __m256d active = _mm256_cmp_pd(b, zero, _CMP_NEQ_UQ);
        const int activeMask = _mm256_movemask_pd(active);
        if (activeMask == 0)
            continue;
        double* row = R + 4 * k * m;
        const __m256d a = _mm256_loadu_pd(row + 4 * k);
        __m256d r = _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(a, a), _mm256_mul_pd(b, b)));
        const __m256d notPositive = _mm256_cmp_pd(r, zero, _CMP_NGT_UQ);
        const __m256d infinite = _mm256_cmp_pd(_mm256_and_pd(r, magnitude), infinity, _CMP_EQ_OQ);
        const int hypotMask = _mm256_movemask_pd(_mm256_or_pd(notPositive, infinite)) & activeMask;
        if (hypotMask) {
            // The sum of squares under- or overflowed: the lanes' own hypot.
            alignas(32) double av[4], bv[4], rvs[4];
            _mm256_store_pd(av, a);
            _mm256_store_pd(bv, b);
            _mm256_store_pd(rvs, r);
            for (int t = 0; t < 4; ++t)
                if (hypotMask & (1 << t))
                    rvs[t] = std::hypot(av[t], bv[t]);
            r = _mm256_load_pd(rvs);
        }
        const __m256d c = _mm256_div_pd(a, r);
        const __m256d sn = _mm256_div_pd(b, r);
        _mm256_storeu_pd(row + 4 * k, _mm256_blendv_pd(a, r, active));
        for (int j = k + 1; j < m; ++j) {
            const __m256d t = _mm256_loadu_pd(row + 4 * j);
            const __m256d vj = _mm256_loadu_pd(v + 4 * j);
            const __m256d newRow = _mm256_add_pd(_mm256_mul_pd(c, t), _mm256_mul_pd(sn, vj));
            const __m256d newV = _mm256_sub_pd(_mm256_mul_pd(c, vj), _mm256_mul_pd(sn, t));
            _mm256_storeu_pd(row + 4 * j, _mm256_blendv_pd(t, newRow, active));
            _mm256_storeu_pd(v + 4 * j, _mm256_blendv_pd(vj, newV, active));
        }
        const __m256d t = _mm256_loadu_pd(qtr + 4 * k);
        const __m256d newQ = _mm256_add_pd(_mm256_mul_pd(c, t), _mm256_mul_pd(sn, rhs));
        const __m256d newRhs = _mm256_sub_pd(_mm256_mul_pd(c, rhs), _mm256_mul_pd(sn, t));
        _mm256_storeu_pd(qtr + 4 * k, _mm256_blendv_pd(t, newQ, active));
        rhs = _mm256_blendv_pd(rhs, newRhs, active);
    }
    _mm256_storeu_pd(rv, rhs);
}

// The rotation of AddRow for column k in eight lanes, from the diagonal
// entry a and the row's entry b: its lanes (b == 0.0 passes k by; a
// not-a-number b does not), r, c and sn. False when no lane takes it.
// AVX-512F brings FMA with it: the file is built with -ffp-contract=off so
// that no product and sum here or in the callers are fused.
__attribute__((target("avx512f"), always_inline)) inline bool Rotation8(__m512d a, __m512d b, __mmask8& active,
                                                                        __m512d& r, __m512d& c, __m512d& sn)
{
    const __m512d zero = _mm512_setzero_pd();
    active = _mm512_cmp_pd_mask(b, zero, _CMP_NEQ_UQ);
    if (active == 0)
        return false;
    // maskz with every lane: _mm512_sqrt_pd starts from an undefined
    // register, which GCC 12 warns of as uninitialised.
    r = _mm512_maskz_sqrt_pd(0xFF, _mm512_add_pd(_mm512_mul_pd(a, a), _mm512_mul_pd(b, b)));
    const __mmask8 notPositive = _mm512_cmp_pd_mask(r, zero, _CMP_NGT_UQ);
    const __mmask8 infinite = _mm512_cmp_pd_mask(_mm512_abs_pd(r), _mm512_set1_pd(__builtin_inf()), _CMP_EQ_OQ);
    const unsigned hypotMask = unsigned(notPositive | infinite) & unsigned(active);
    if (hypotMask) {
        // The sum of squares under- or overflowed: the lanes' own hypot.
        alignas(64) double av[8], bv[8], rvs[8];
        _mm512_store_pd(av, a);
        _mm512_store_pd(bv, b);
        _mm512_store_pd(rvs, r);
        for (int t = 0; t < 8; ++t)
            if (hypotMask & (1u << t))
                rvs[t] = std::hypot(av[t], bv[t]);
        r = _mm512_load_pd(rvs);
    }
    c = _mm512_div_pd(a, r);
    sn = _mm512_div_pd(b, r);
    return true;
}

// AddRowsWide in eight lanes, for one row of each. The lanes that pass k
// by keep their values by a blend and a whole store rather than a masked
// store: the next rotation loads what this one stored, and a masked store
// does not forward to that load.
__attribute__((target("avx512f"))) void AddRowsWide8(double* R, double* qtr, double* v, double* rv, int m)
{
    __m512d rhs = _mm512_loadu_pd(rv);
    for (int k = 0; k < m; ++k) {
        const __m512d b = _mm512_loadu_pd(v + 8 * k);
        double* row = R + 8 * k * m;
        const __m512d a = _mm512_loadu_pd(row + 8 * k);
        __mmask8 active;
        __m512d r, c, sn;
        if (!Rotation8(a, b, active, r, c, sn))
            continue;
        _mm512_storeu_pd(row + 8 * k, _mm512_mask_blend_pd(active, a, r));
        for (int j = k + 1; j < m; ++j) {
            const __m512d t = _mm512_loadu_pd(row + 8 * j);
            const __m512d vj = _mm512_loadu_pd(v + 8 * j);
            const __m512d newRow = _mm512_add_pd(_mm512_mul_pd(c, t), _mm512_mul_pd(sn, vj));
            const __m512d newV = _mm512_sub_pd(_mm512_mul_pd(c, vj), _mm512_mul_pd(sn, t));
            _mm512_storeu_pd(row + 8 * j, _mm512_mask_blend_pd(active, t, newRow));
            _mm512_storeu_pd(v + 8 * j, _mm512_mask_blend_pd(active, vj, newV));
        }
        const __m512d t = _mm512_loadu_pd(qtr + 8 * k);
        const __m512d newQ = _mm512_add_pd(_mm512_mul_pd(c, t), _mm512_mul_pd(sn, rhs));
        _mm512_storeu_pd(qtr + 8 * k, _mm512_mask_blend_pd(active, t, newQ));
        rhs = _mm512_mask_blend_pd(active, rhs, _mm512_sub_pd(_mm512_mul_pd(c, rhs), _mm512_mul_pd(sn, t)));
    }
    _mm512_storeu_pd(rv, rhs);
}

// AddRowsWide8 for rows rows of M columns, with the triangles in registers
// from the first row to the last: a rotation then waits on the one before
// it for the arithmetic only, not for a store and a load as well.
template <int M>
__attribute__((target("avx512f"))) void AddRowsWide8Of(double* R, double* qtr, double* v, double* rv, int rows)
{
    // Row k of the triangle, from its diagonal on, at tri[at(k) ...].
    constexpr auto at = [](int k) { return k * M - k * (k - 1) / 2; };
    __m512d tri[M * (M + 1) / 2], q[M], vk[M];
#pragma GCC unroll 16
    for (int k = 0; k < M; ++k) {
#pragma GCC unroll 16
        for (int j = k; j < M; ++j)
            tri[at(k) + j - k] = _mm512_loadu_pd(R + 8 * (k * M + j));
        q[k] = _mm512_loadu_pd(qtr + 8 * k);
    }
    for (int p = 0; p < rows; ++p) {
        double* const vp = v + 8 * M * p;
#pragma GCC unroll 16
        for (int j = 0; j < M; ++j)
            vk[j] = _mm512_loadu_pd(vp + 8 * j);
        __m512d rhs = _mm512_loadu_pd(rv + 8 * p);
#pragma GCC unroll 16
        for (int k = 0; k < M; ++k) {
            __mmask8 active;
            __m512d r, c, sn;
            if (!Rotation8(tri[at(k)], vk[k], active, r, c, sn))
                continue;
            tri[at(k)] = _mm512_mask_blend_pd(active, tri[at(k)], r);
#pragma GCC unroll 16
            for (int j = k + 1; j < M; ++j) {
                const __m512d t = tri[at(k) + j - k];
                const __m512d newRow = _mm512_add_pd(_mm512_mul_pd(c, t), _mm512_mul_pd(sn, vk[j]));
                const __m512d newV = _mm512_sub_pd(_mm512_mul_pd(c, vk[j]), _mm512_mul_pd(sn, t));
                tri[at(k) + j - k] = _mm512_mask_blend_pd(active, t, newRow);
                vk[j] = _mm512_mask_blend_pd(active, vk[j], newV);
            }
            const __m512d t = q[k];
            q[k] = _mm512_mask_blend_pd(active, t, _mm512_add_pd(_mm512_mul_pd(c, t), _mm512_mul_pd(sn, rhs)));
            rhs = _mm512_mask_blend_pd(active, rhs, _mm512_sub_pd(_mm512_mul_pd(c, rhs), _mm512_mul_pd(sn, t)));
        }
#pragma GCC unroll 16
        for (int j = 0; j < M; ++j)
            _mm512_storeu_pd(vp + 8 * j, vk[j]);
        _mm512_storeu_pd(rv + 8 * p, rhs);
    }
#pragma GCC unroll 16
    for (int k = 0; k < M; ++k) {
#pragma GCC unroll 16
        for (int j = k; j < M; ++j)
            _mm512_storeu_pd(R + 8 * (k * M + j), tri[at(k) + j - k]);
        _mm512_storeu_pd(qtr + 8 * k, q[k]);
    }
}

__attribute__((target("avx512f"))) void AddRowsWide8(double* R, double* qtr, double* v, double* rv, int m, int rows)
{
    switch (m) {
    case 1: return AddRowsWide8Of<1>(R, qtr, v, rv, rows);
    case 2: return AddRowsWide8Of<2>(R, qtr, v, rv, rows);
    case 3: return AddRowsWide8Of<3>(R, qtr, v, rv, rows);
    case 4: return AddRowsWide8Of<4>(R, qtr, v, rv, rows);
    case 5: return AddRowsWide8Of<5>(R, qtr, v, rv, rows);
    case 6: return AddRowsWide8Of<6>(R, qtr, v, rv, rows);
    default:
        for (int p = 0; p < rows; ++p)
            AddRowsWide8(R, qtr, v + 8 * std::size_t(m) * std::size_t(p), rv + 8 * p, m);
    }
}
#endif

} // namespace

void AddRowsOfFour(double* R, double* qtr, double* v, double* rv, int m, bool wide)
{
#ifdef MX_WIDE_ROWS
    static const bool s_avx2 = __builtin_cpu_supports("avx2");
    if (wide && s_avx2) {
        AddRowsWide(R, qtr, v, rv, m);
        return;
    }
#endif
    AddRowsOneByOne(R, qtr, v, rv, m, 4);
}

void AddRowsOfEight(double* R, double* qtr, double* v, double* rv, int m, int rows, bool wide)
{
#ifdef MX_WIDE_ROWS
    static const bool s_avx512 = __builtin_cpu_supports("avx512f");
    if (wide && s_avx512) {
        AddRowsWide8(R, qtr, v, rv, m, rows);
        return;
    }
#endif
    for (int p = 0; p < rows; ++p)
        AddRowsOneByOne(R, qtr, v + 8 * std::size_t(m) * std::size_t(p), rv + 8 * p, m, 8);
}

int RowLanes()
{
#ifdef MX_WIDE_ROWS
    static const int s_lanes = __builtin_cpu_supports("avx512f") ? 8 : __builtin_cpu_supports("avx2") ? 4 : 1;
#else
    static const int s_lanes = 1;
#endif
    return std::min(s_lanes, g_rowLaneLimit.load(std::memory_order_relaxed));
}

void LimitRowLanes(int lanes) { g_rowLaneLimit.store(lanes, std::memory_order_relaxed); }

void AddTriangles(double* R, double* qtr, const double* first, std::size_t stride, int count, int m)
{
    // A row at column k waits only on the row before it at column k (both
    // rotate row k of R) and on its own column k - 1, so row s goes through
    // column k at step s + k: the rotations of one step touch different rows
    // of R and overlap in the processor rather than wait on each other's
    // square root and quotients.
    const std::size_t mm = std::size_t(m) * std::size_t(m);
    const long rows = long(count) * m;
    // The rows in flight, row s in place s & (places - 1): no division on the way.
    std::size_t places = 1;
    while (places < std::size_t(m))
        places *= 2;
    const std::size_t mask = places - 1;
    std::vector<double> v(places * std::size_t(m)), rv(places);
    const double* tri = first;
    int r = 0; // the row of triangle tri that starts next
    for (long step = 0; step < rows + m - 1; ++step) {
        if (step < rows) {
            const std::size_t place = std::size_t(step) & mask;
            std::copy(tri + std::size_t(r) * std::size_t(m), tri + std::size_t(r + 1) * std::size_t(m),
                      &v[place * std::size_t(m)]);
            rv[place] = tri[mm + std::size_t(r)];
            if (++r == m) {
                r = 0;
                tri += stride;
            }
        }
        const long last = std::min(step, rows - 1);
        for (long s = std::max(0L, step - m + 1); s <= last; ++s) {
            RotateRow(R, qtr, &v[(std::size_t(s) & mask) * std::size_t(m)], rv[std::size_t(s) & mask], int(step - s),
                      m);
        }
    }
}
