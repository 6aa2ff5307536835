// A stored, growable vector of 32-bit integers (pivot rows, index lists).
#pragma once

#include "framework/GrowArray.h"
#include "platform/Object.h"

#include <cstdint>

class CMyIntVector : public CObject {
    DECLARE_SERIAL(CMyIntVector)
public:
    CMyIntVector() = default;
    explicit CMyIntVector(int size) { m_values.SetSize(size); }
    CMyIntVector(const CMyIntVector& other) : CObject(other), m_values(other.m_values) {}
    CMyIntVector& operator=(const CMyIntVector& other)
    {
        m_values = other.m_values;
        return *this;
    }

    int GetSize() const { return m_values.GetSize(); }
    int GetCapacity() const { return m_values.GetCapacity(); }
    void SetSize(int size, int growBy = -1) { m_values.SetSize(size, growBy); }
    void RemoveAll() { m_values.RemoveAll(); }
    void Add(std::int32_t value) { m_values.Add(value); }
    std::int32_t& operator[](int i) { return m_values[i]; }
    std::int32_t operator[](int i) const { return m_values[i]; }
    std::int32_t GetAt(int i) const { return m_values.GetAt(i); }
    void SetAt(int i, std::int32_t value) { m_values.SetAt(i, value); }
    std::int32_t* GetData() { return m_values.GetData(); }
    const std::int32_t* GetData() const { return m_values.GetData(); }

    // The count in the framework's count form, then each value as a 32-bit integer.
    void Serialize(CArchive& ar) override;

private:
    TGrowArray<std::int32_t> m_values;
};
