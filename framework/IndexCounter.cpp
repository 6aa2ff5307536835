#include "framework/IndexCounter.h"

void CIndexCounter::Add(int start, int limit)
{
    m_start.push_back(start);
    m_limit.push_back(limit);
    m_current.push_back(start);
}

void CIndexCounter::RemoveAll()
{
    m_start.clear();
    m_limit.clear();
    m_current.clear();
}

void CIndexCounter::Reset() { m_current = m_start; }

int CIndexCounter::Get(int i) const
{
    return i >= 0 && i < GetCount() ? m_current[std::size_t(i)] : -1;
}

bool CIndexCounter::InRange() const
{
    if (m_current.empty())
        return false;
    // An inner index with nothing to count leaves no combination at all.
    for (std::size_t i = 1; i < m_current.size(); ++i)
        if (m_start[i] >= m_limit[i])
            return false;
    return m_current[0] < m_limit[0];
}

void CIndexCounter::Step()
{
    if (m_current.empty())
        return;
    std::size_t i = m_current.size() - 1;
    ++m_current[i];
    while (i > 0 && m_current[i] >= m_limit[i]) {
        m_current[i] = m_start[i];
        --i;
        ++m_current[i];
    }
}
