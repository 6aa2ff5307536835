/* A library that leaves a mark when it is loaded: the file named by
 * MARLOX_LOADED_MARKER is created by its constructor. */
#include <stdio.h>
#include <stdlib.h>

__attribute__((constructor)) static void LeaveMark(void)
{
    const char* marker = getenv("MARLOX_LOADED_MARKER");
    if (marker) {
        FILE* f = fopen(marker, "w");
        if (f)
            fclose(f);
    }
}
