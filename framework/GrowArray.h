// A growable array with the capacity rule that the stored vectors rely on:
// an empty array grows to exactly what is asked; a full one grows by its
// grow-by step, or by an eighth of its size clamped to 4..1024 elements.
// New elements are zero; shrinking keeps the storage.
#pragma once

#include "platform/Archive.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <type_traits>

template <class T>
class TGrowArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    TGrowArray() = default;
    TGrowArray(const TGrowArray& other) { *this = other; }
    TGrowArray& operator=(const TGrowArray& other)
    {
        if (this != &other) {
            SetSize(other.m_size);
            if (m_size)
                std::memcpy(m_data.get(), other.m_data.get(), std::size_t(m_size) * sizeof(T));
        }
        return *this;
    }

    int GetSize() const { return m_size; }
    int GetCapacity() const { return m_capacity; }
    int GetGrowBy() const { return m_growBy; }
    bool IsEmpty() const { return m_size == 0; }

    // growBy < 0 keeps the current step.
    void SetSize(int size, int growBy = -1)
    {
        if (growBy >= 0)
            m_growBy = growBy;
        if (size <= 0) {
            m_data.reset();
            m_size = m_capacity = 0;
            return;
        }
        if (!m_data) {
            m_data = std::make_unique<T[]>(std::size_t(size));
            m_size = m_capacity = size;
            return;
        }
        if (size <= m_capacity) {
            if (size > m_size)
                std::fill(m_data.get() + m_size, m_data.get() + size, T());
            m_size = size;
            return;
        }
        int step = m_growBy ? m_growBy : std::clamp(m_size / 8, 4, 1024);
        int capacity = std::max(size, m_capacity + step);
        auto grown = std::make_unique<T[]>(std::size_t(capacity));
        std::memcpy(grown.get(), m_data.get(), std::size_t(m_size) * sizeof(T));
        m_data = std::move(grown);
        m_size = size;
        m_capacity = capacity;
    }

    void Add(T value)
    {
        SetSize(m_size + 1);
        m_data[std::size_t(m_size - 1)] = value;
    }
    void RemoveAll() { SetSize(0); }

    T& operator[](int i) { return m_data[std::size_t(i)]; }
    const T& operator[](int i) const { return m_data[std::size_t(i)]; }
    T GetAt(int i) const { return m_data[std::size_t(i)]; }
    void SetAt(int i, T value) { m_data[std::size_t(i)] = value; }
    T& ElementAt(int i) { return m_data[std::size_t(i)]; }
    T* GetData() { return m_data.get(); }
    const T* GetData() const { return m_data.get(); }

private:
    std::unique_ptr<T[]> m_data;
    int m_size = 0;
    int m_capacity = 0;
    int m_growBy = 0;
};

// The stored form shared by the vectors and the matrix's elements: the count in
// the framework's count form, then each element little-endian.
template <class T>
void SerializeGrowArray(CArchive& ar, TGrowArray<T>& values)
{
    static_assert(std::endian::native == std::endian::little);
    if (ar.IsStoring()) {
        ar.WriteCount(std::uint32_t(values.GetSize()));
        // Little-endian hosts keep the stored layout in memory: one transfer.
        if (values.GetSize() > 0)
            ar.Write(values.GetData(), std::size_t(values.GetSize()) * sizeof(T));
        return;
    }
    std::uint32_t count = ar.ReadCount();
    if (count > std::uint32_t(std::numeric_limits<int>::max()))
        ThrowArchiveError();
    ar.CheckRemaining(count, sizeof(T));
    values.SetSize(int(count));
    if (count > 0)
        ar.ReadExact(values.GetData(), std::size_t(count) * sizeof(T));
}
