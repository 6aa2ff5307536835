// Writes the sample workspace, or with --blank the blank workspace template:
// marlox-sample [--blank] <path>
#include "app/SampleWorkspace.h"

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--blank") == 0)
        return WriteBlankTemplate(argv[2]) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s [--blank] <path>\n", argv[0]);
        return 2;
    }
    return WriteSampleWorkspace(argv[1]) ? 0 : 1;
}
