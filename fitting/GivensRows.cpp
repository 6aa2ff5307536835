#include "fitting/GivensRows.h"

#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define MX_WIDE_ROWS 1
#endif

namespace {

// Lane t of the interleaved four, through AddRow.
void AddRowsOneByOne(double* R, double* qtr, double* v, double* rv, int m)
{
    std::vector<double> r(std::size_t(m) * std::size_t(m)), q(static_cast<std::size_t>(m)),
        row(static_cast<std::size_t>(m));
    for (int t = 0; t < 4; ++t) {
        for (int e = 0; e < m * m; ++e)
            r[std::size_t(e)] = R[4 * e + t];
        for (int e = 0; e < m; ++e) {
            q[std::size_t(e)] = qtr[4 * e + t];
            row[std::size_t(e)] = v[4 * e + t];
        }
        AddRow(r.data(), q.data(), row.data(), rv[t], m);
        for (int e = 0; e < m * m; ++e)
            R[4 * e + t] = r[std::size_t(e)];
        for (int e = 0; e < m; ++e) {
            qtr[4 * e + t] = q[std::size_t(e)];
            v[4 * e + t] = row[std::size_t(e)];
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
    AddRowsOneByOne(R, qtr, v, rv, m);
}
