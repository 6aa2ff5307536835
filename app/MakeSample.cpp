// Writes the sample workspace: marlox-sample <path>
#include "app/SampleWorkspace.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <workspace.mxf>\n", argv[0]);
        return 2;
    }
    return WriteSampleWorkspace(argv[1]) ? 0 : 1;
}
