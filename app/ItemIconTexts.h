// The item pictures of app/icons/items and the file types' icons of
// shellext/icons, compiled into the program so that the desktop files can be
// written from it alone.
#pragma once

// The SVG text of the picture of that name (file name without ".svg"), or
// null when there is none.
const char* FindItemIconText(const char* name);
