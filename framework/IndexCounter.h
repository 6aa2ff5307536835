// An odometer over several indices: each runs from its start (inclusive) to
// its limit (exclusive), the last one fastest. Used to walk every combination
// of a set of index values.
#pragma once

#include <vector>

class CIndexCounter {
public:
    // Appends an index running from start to limit.
    void Add(int start, int limit);
    void RemoveAll();
    // Every index back to its start.
    void Reset();
    int GetCount() const { return int(m_current.size()); }
    // The current value of index i; -1 past the last index.
    int Get(int i) const;
    // False without indices, when an index has nothing to count, or after the last combination.
    bool InRange() const;
    // Advances the last index, carrying into the ones before it. The first index
    // is never reset, so that InRange turns false after the last combination.
    void Step();

private:
    std::vector<int> m_start;
    std::vector<int> m_limit;
    std::vector<int> m_current;
};
