// The program's own pictures, kept as SVG in the Qt resource of
// app/icons/icons.qrc: the item kinds and their open forms (items/), the
// standard actions for icon themes that lack them (actions/) and the desktop
// file types' icons (filetypes/, from shellext/icons). Model code reads them
// as text, so that the desktop's files and the thumbnailer need no widgets.
#pragma once

#include <string>
#include <string_view>

// The resource path of an item kind's picture (its open form when open).
std::string ItemIconPath(std::string_view kind, bool open = false);
// The resource path of a standard action's picture by its freedesktop name.
std::string ActionIconPath(std::string_view name);

// The SVG text of the item picture or file-type icon of that name (file name
// without ".svg"), or an empty text when there is none.
std::string FindItemIconText(std::string_view name);
