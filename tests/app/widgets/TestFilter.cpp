// A minimal data-filter library for the installation tests: it answers its
// capabilities and records the program path it was registered with.
#include <cstdio>
#include <cstdlib>

struct FilterTextBlock {
    char text[512];
};

extern "C" unsigned MX4FilterCaps() { return 3; }

extern "C" int MX4FilterRegisterFiles(FilterTextBlock block)
{
    if (const char* out = std::getenv("MX_TEST_FILTER_LOG")) {
        if (FILE* f = std::fopen(out, "w")) {
            std::fputs(block.text, f);
            std::fclose(f);
        }
    }
    return 1;
}
