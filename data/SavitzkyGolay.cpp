#include "data/SavitzkyGolay.h"

#include "framework/MyIntVector.h"
#include "framework/MyMatrix.h"
#include "framework/MyVector.h"
#include "platform/StringIds.h"

#include <vector>

bool SavitzkyGolayWindowCoefficients(CMyVector& c, int nl, int nr, int ld, int m)
{
    if (nl < 0 || nr < 0 || ld > m || ld < 0 || nl + nr < m)
        return false;
    const int np = nl + nr + 1;

    // Sums of the powers of the offsets, for the normal equations.
    std::vector<double> s(std::size_t(2 * m + 1), 0.0);
    for (int p = 0; p <= 2 * m; ++p) {
        double sum = p == 0 ? 1.0 : 0.0;
        for (int k = 1; k <= nr; ++k) {
            double power = 1.0;
            for (int q = 0; q < p; ++q)
                power *= k;
            sum += power;
        }
        for (int k = 1; k <= nl; ++k) {
            double power = 1.0;
            for (int q = 0; q < p; ++q)
                power *= -k;
            sum += power;
        }
        s[std::size_t(p)] = sum;
    }
    CMyMatrix a(m + 1, m + 1);
    for (int i = 0; i <= m; ++i)
        for (int j = 0; j <= m; ++j)
            a.ElementAt(i, j) = s[std::size_t(i + j)];
    CMyIntVector index(m + 1);
    double sign = 1.0;
    CMyVector b(m + 1);
    b[ld] = 1.0;
    a.LUDecompose(index, sign);
    a.LUBackSubstitute(index, b);

    c.SetSize(np);
    for (int k = -nl; k <= nr; ++k) {
        double value = b[0];
        double power = 1.0;
        for (int j = 1; j <= m; ++j) {
            power *= k;
            value += b[j] * power;
        }
        c[(np - k) % np] = value;
    }
    return true;
}

bool SavitzkyGolayCoefficients(CMyMatrix& matrix, int np, int ld, int m)
{
    if (np < 1) {
        matrix.SetSize(0, 0);
        return false;
    }
    matrix.SetSize(np, np);
    CMyVector c;
    for (int i = 0; i < np; ++i) {
        if (!SavitzkyGolayWindowCoefficients(c, i, np - 1 - i, ld, m)) {
            matrix.SetSize(0, 0);
            return false;
        }
        for (int j = 0; j < np; ++j) {
            if (j <= i)
                matrix.ElementAt(i - j, i) = c[j];
            else
                matrix.ElementAt(i - j + np, i) = c[j];
        }
    }
    return true;
}

bool SavitzkyGolayApply(const CMyMatrix& matrix, const CMyVector& values, CMyVector& results, int index,
                        int derivativeOrder)
{
    const int n = values.GetSize();
    const int np = matrix.GetRows();
    if (n < np || index < 0 || index >= n || index >= results.GetSize() || matrix.GetColumns() != np)
        return false;
    const int h = (np - 1) / 2;
    int start = 0, column = 0;
    if (index < h) {
        start = 0;
        column = index;
    } else if (index > n - 1 - h) {
        start = n - np;
        column = index - (n - np);
    } else {
        start = index - h;
        column = h;
    }
    double sum = 0.0;
    for (int r = 0; r < np; ++r)
        sum += matrix.GetAt(r, column) * values[start + r];
    double factorial = 1.0;
    for (int k = 2; k <= derivativeOrder; ++k)
        factorial *= k;
    results[index] = sum * factorial;
    return true;
}

unsigned CheckSavitzkyGolaySettings(int windowWidth, int polynomialOrder, int derivativeOrder)
{
    if (windowWidth % 2 == 0)
        return IDS_EVEN_WINDOW;
    if (derivativeOrder > polynomialOrder)
        return IDS_DERIVATIVE_ABOVE_ORDER;
    return 0;
}
