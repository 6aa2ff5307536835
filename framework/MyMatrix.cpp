#include "framework/MyMatrix.h"

#include "framework/MyIntVector.h"
#include "framework/MyVector.h"
#include "framework/ArchiveHelpers.h"

#include <cmath>
#include <utility>

IMPLEMENT_SERIAL(CMyMatrix, CObject, VERSIONABLE_SCHEMA | 0)

CMyMatrix& CMyMatrix::operator=(const CMyMatrix& other)
{
    if (this != &other) {
        m_rows = other.m_rows;
        m_columns = other.m_columns;
        m_elements = other.m_elements;
    }
    return *this;
}

void CMyMatrix::SetSize(int rows, int columns)
{
    m_rows = rows;
    m_columns = columns;
    int n = rows * columns;
    m_elements.SetSize(n);
    for (int i = 0; i < n; ++i)
        m_elements[i] = 0.0;
}

void CMyMatrix::SwapElements(int r1, int c1, int r2, int c2)
{
    std::swap(ElementAt(r1, c1), ElementAt(r2, c2));
}

int CMyMatrix::CholeskyInvert()
{
    const int n = m_rows;
    CMyMatrix& a = *this;
    // Factor A = L L^T into the lower triangle.
    for (int i = 0; i < n; ++i) {
        double d = a.GetAt(i, i);
        for (int k = 0; k < i; ++k)
            d -= a.GetAt(i, k) * a.GetAt(i, k);
        if (!(d >= 0.0))
            return 0;
        d = std::sqrt(d);
        a.ElementAt(i, i) = d;
        for (int j = i + 1; j < n; ++j) {
            double s = a.GetAt(j, i);
            for (int k = 0; k < i; ++k)
                s -= a.GetAt(j, k) * a.GetAt(i, k);
            a.ElementAt(j, i) = s / d;
        }
    }
    // Invert L in place.
    for (int i = 0; i < n; ++i) {
        a.ElementAt(i, i) = 1.0 / a.GetAt(i, i);
        for (int j = 0; j < i; ++j) {
            double s = 0.0;
            for (int k = j; k < i; ++k)
                s += a.GetAt(i, k) * a.GetAt(k, j);
            a.ElementAt(i, j) = -s * a.GetAt(i, i);
        }
    }
    // A^-1 = L^-T L^-1, formed in the lower triangle column by column; each
    // element only reads rows at or below its own, which are not yet overwritten.
    for (int j = 0; j < n; ++j) {
        for (int i = j; i < n; ++i) {
            double s = 0.0;
            for (int k = i; k < n; ++k)
                s += a.GetAt(k, j) * a.GetAt(k, i);
            a.ElementAt(i, j) = s;
        }
    }
    for (int i = 0; i < n - 1; ++i)
        for (int j = i + 1; j < n; ++j)
            a.ElementAt(i, j) = a.GetAt(j, i);
    return 1;
}

int CMyMatrix::LUDecompose(CMyIntVector& index, double& sign)
{
    const int n = m_rows;
    CMyMatrix& a = *this;
    sign = 1.0;
    CMyVector scale(n);
    for (int i = 0; i < n; ++i) {
        double big = 0.0;
        for (int j = 0; j < n; ++j) {
            double v = std::fabs(a.GetAt(i, j));
            if (v > big)
                big = v;
        }
        if (big == 0.0)
            return 0;
        scale[i] = 1.0 / big;
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            double s = a.GetAt(i, j);
            for (int k = 0; k < i; ++k)
                s -= a.GetAt(i, k) * a.GetAt(k, j);
            a.ElementAt(i, j) = s;
        }
        double big = 0.0;
        int pivot = j;
        for (int i = j; i < n; ++i) {
            double s = a.GetAt(i, j);
            for (int k = 0; k < j; ++k)
                s -= a.GetAt(i, k) * a.GetAt(k, j);
            a.ElementAt(i, j) = s;
            double figure = scale[i] * std::fabs(s);
            if (figure >= big) {
                big = figure;
                pivot = i;
            }
        }
        if (pivot != j) {
            for (int k = 0; k < n; ++k)
                a.SwapElements(pivot, k, j, k);
            sign = -sign;
            scale[pivot] = scale[j];
        }
        index[j] = pivot;
        double d = a.GetAt(j, j);
        if (d == 0.0 || std::isnan(d))
            a.ElementAt(j, j) = d = 1e-50;
        if (j != n - 1) {
            double inverse = 1.0 / d;
            for (int i = j + 1; i < n; ++i)
                a.ElementAt(i, j) *= inverse;
        }
    }
    return 1;
}

void CMyMatrix::LUBackSubstitute(const CMyIntVector& index, CMyVector& b) const
{
    const int n = m_rows;
    int first = -1;
    for (int i = 0; i < n; ++i) {
        int p = index[i];
        double s = b[p];
        b[p] = b[i];
        if (first != -1) {
            for (int j = first; j < i; ++j)
                s -= GetAt(i, j) * b[j];
        } else if (s != 0.0) {
            first = i;
        }
        b[i] = s;
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = b[i];
        for (int j = i + 1; j < n; ++j)
            s -= GetAt(i, j) * b[j];
        b[i] = s / GetAt(i, i);
    }
}

void CMyMatrix::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    SerializeGrowArray(ar, m_elements);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_rows) << std::int32_t(m_columns);
        return;
    }
    std::int32_t rows = 0, columns = 0;
    ar >> rows >> columns;
    // Element access is unchecked, so the counts must describe exactly the elements read.
    if (rows < 0 || columns < 0 || std::int64_t(rows) * columns != m_elements.GetSize())
        ThrowArchiveError();
    m_rows = rows;
    m_columns = columns;
}
