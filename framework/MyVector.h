// A stored, growable vector of doubles: parameters, constants and x values of
// equations, coefficients of fits.
#pragma once

#include "framework/GrowArray.h"
#include "platform/Object.h"

#include <cstddef>
#include <cstring>

class CMyVector : public CObject {
    DECLARE_SERIAL(CMyVector)
public:
    CMyVector() = default;
    explicit CMyVector(int size) { m_values.SetSize(size); }
    CMyVector(const CMyVector& other) : CObject(other), m_values(other.m_values) {}
    CMyVector& operator=(const CMyVector& other)
    {
        m_values = other.m_values;
        return *this;
    }

    int GetSize() const { return m_values.GetSize(); }
    int GetCapacity() const { return m_values.GetCapacity(); }
    void SetSize(int size, int growBy = -1) { m_values.SetSize(size, growBy); }
    void RemoveAll() { m_values.RemoveAll(); }
    void Add(double value) { m_values.Add(value); }
    double& operator[](int i) { return m_values[i]; }
    double operator[](int i) const { return m_values[i]; }
    double GetAt(int i) const { return m_values.GetAt(i); }
    void SetAt(int i, double value) { m_values.SetAt(i, value); }
    double& ElementAt(int i) { return m_values.ElementAt(i); }
    double* GetData() { return m_values.GetData(); }
    const double* GetData() const { return m_values.GetData(); }
    // The same values bit for bit: a NaN equals itself, -0 differs from 0.
    bool SameBits(const CMyVector& other) const
    {
        const int n = GetSize();
        return n == other.GetSize()
            && (n == 0 || std::memcmp(GetData(), other.GetData(), sizeof(double) * std::size_t(n)) == 0);
    }

    // The count in the framework's count form, then each value as 8 bytes; no version word.
    void Serialize(CArchive& ar) override;

private:
    TGrowArray<double> m_values;
};
