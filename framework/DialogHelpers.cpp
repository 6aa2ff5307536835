#include "framework/DialogHelpers.h"

void MoveRectInside(RECT& r, LONG width, LONG height)
{
    if (r.right > width) {
        LONG dx = r.right - width;
        r.left -= dx;
        r.right -= dx;
    }
    if (r.bottom > height) {
        LONG dy = r.bottom - height;
        r.top -= dy;
        r.bottom -= dy;
    }
    if (r.left < 0) {
        r.right -= r.left;
        r.left = 0;
    }
    if (r.top < 0) {
        r.bottom -= r.top;
        r.top = 0;
    }
}
