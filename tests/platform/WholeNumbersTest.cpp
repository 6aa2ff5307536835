#include "platform/WholeNumbers.h"

#include <gtest/gtest.h>

TEST(WholeNumbers, ReadsExactlyTheNumbersAsked)
{
    struct Case {
        const char* text;
        char separator;
        int count;
        bool ok;
        int first, second;
    };
    const Case cases[] = {
        {"2 1", ' ', 2, true, 2, 1},
        {"  +2   10 ", ' ', 2, true, 2, 10},
        {"2 1x", ' ', 2, false, 0, 0},
        {"21", ' ', 2, false, 0, 0},
        {"", ' ', 1, false, 0, 0},
        {"-5", ' ', 1, true, -5, 0},
        {"+-5", ' ', 1, false, 0, 0},
        {"+", ' ', 1, false, 0, 0},
        {"10,20", ',', 2, true, 10, 20},
        {" 10 , -20 ", ',', 2, true, 10, -20},
        {"10 20", ',', 2, false, 0, 0},
        {"10,20,", ',', 2, false, 0, 0},
        {"99999999999", ',', 1, false, 0, 0}, // beyond the int range
    };
    for (const Case& c : cases) {
        int v[2] = {0, 0};
        EXPECT_EQ(ParseWholeNumbers(c.text, c.separator, v, c.count), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v[0], c.first) << c.text;
            if (c.count == 2) {
                EXPECT_EQ(v[1], c.second) << c.text;
            }
        }
    }
}
