// Values for the tables of cases of the kernel tests: a case makes each
// value from a random integer and a uniform number, so that it can put in
// zeros, not-a-numbers or extremes at the rate it wants.
#pragma once

#include <cstdint>

struct SValueCase {
    const char* name;
    // From a random integer r (uniform over 0 to 2^31 - 1) and a uniform u
    // over -1000/37 to 1000/37.
    double (*value)(unsigned r, double u);
};

// The values of a case in a fixed sequence (a linear congruential one, with
// the multiplier and increment of Knuth's MMIX).
class CCaseValues {
public:
    CCaseValues(const SValueCase& c, std::uint64_t seed) : m_case(c), m_state(seed) {}
    double operator()()
    {
        const unsigned r = Next();
        return m_case.value(r, (int(Next() % 2001) - 1000) / 37.0);
    }

private:
    unsigned Next()
    {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return unsigned(m_state >> 33);
    }
    const SValueCase& m_case;
    std::uint64_t m_state;
};
