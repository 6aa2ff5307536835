// Savitzky-Golay least-squares convolution filters for the smoothing and
// derivative columns: the weights of one window, the square matrix of one
// filter per window position, and the application of that matrix to one value.
#pragma once

class CMyMatrix;
class CMyVector;

// Weights of a window with nl points before the evaluated point and nr after
// it, for derivative order ld and polynomial order m: the ld-th coefficient of
// the least-squares polynomial at offset 0 (the ld-th derivative divided by
// ld!, per point spacing). c[0] is offset 0, c[1..nl] offsets -1..-nl and
// c[np-nr..np-1] offsets +nr..+1. False, and c untouched, for nl < 0, nr < 0,
// ld > m or nl + nr < m.
bool SavitzkyGolayWindowCoefficients(CMyVector& c, int nl, int nr, int ld, int m);

// The np x np matrix whose column i is the filter for window position i
// (i points before it, np - 1 - i after it); element [r][i] weighs window
// point r. A failure leaves a 0 x 0 matrix and returns false.
bool SavitzkyGolayCoefficients(CMyMatrix& matrix, int np, int ld, int m);

// results[index] = the filter applied around values[index]: the first and last
// (np - 1) / 2 values use the one-sided filters of the first and last window.
// The matrix holds the ld-th derivative divided by ld!; the factorial is put
// back here, so that a derivative column holds the true derivative per point
// spacing. False, and nothing written, when there are fewer values than the
// window has points.
bool SavitzkyGolayApply(const CMyMatrix& matrix, const CMyVector& values, CMyVector& results, int index,
                        int derivativeOrder = 0);

// Settings of a smoothing or derivative column as the user chooses them:
// 0 when they can be used, else the message to show (497 an even window,
// 8491 a derivative order above the polynomial order).
unsigned CheckSavitzkyGolaySettings(int windowWidth, int polynomialOrder, int derivativeOrder);
