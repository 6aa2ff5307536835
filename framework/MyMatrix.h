// A stored row-major matrix of doubles with the two in-place algorithms the
// engines need: inversion of a symmetric positive definite matrix through its
// Cholesky factor, and LU decomposition with back-substitution.
#pragma once

#include "framework/GrowArray.h"
#include "platform/Object.h"

class CMyIntVector;
class CMyVector;

class CMyMatrix : public CObject {
    DECLARE_SERIAL(CMyMatrix)
public:
    CMyMatrix() = default;
    CMyMatrix(int rows, int columns) { SetSize(rows, columns); }
    CMyMatrix(const CMyMatrix& other) : CObject(other) { *this = other; }
    CMyMatrix& operator=(const CMyMatrix& other);

    int GetRows() const { return m_rows; }
    int GetColumns() const { return m_columns; }
    // Sets both counts and zeroes every element, old ones included; a product of 0 frees the storage.
    void SetSize(int rows, int columns);

    // No bounds checks: the engines index in their inner loops.
    double GetAt(int r, int c) const { return m_elements[r * m_columns + c]; }
    double& ElementAt(int r, int c) { return m_elements[r * m_columns + c]; }
    void SetAt(int r, int c, double value) { m_elements[r * m_columns + c] = value; }
    void SwapElements(int r1, int c1, int r2, int c2);
    int GetCapacity() const { return m_elements.GetCapacity(); }

    // Replaces a symmetric positive definite n x n matrix by its inverse; 0 when
    // the matrix turns out not positive (it is then left partly factored).
    int CholeskyInvert();
    // Crout's method with implicit partial pivoting. index must hold n entries
    // and receives the pivot rows; sign is +1 or -1 by the parity of the
    // interchanges. 0 when a row is entirely zero (the matrix is unchanged).
    int LUDecompose(CMyIntVector& index, double& sign);
    // Solves A x = b in place with a matrix left by LUDecompose.
    void LUBackSubstitute(const CMyIntVector& index, CMyVector& b) const;

    // Version word 0, the elements in the vector form, rows, columns.
    void Serialize(CArchive& ar) override;

private:
    int m_rows = 0;
    int m_columns = 0;
    TGrowArray<double> m_elements;
};
