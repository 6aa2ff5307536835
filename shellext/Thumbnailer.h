// The pictures that the desktop's file manager shows for Marlox files: a
// stored item (.mxc) gets its kind's icon, read from the file's header; a
// workspace or template gets its first graph page drawn, or its type's icon
// when it has no graph with anything on its page.
#pragma once

#include <QByteArray>

#include <string>

// The largest picture drawn, in pixels on either side.
constexpr int kMaxThumbnailSize = 1024;

// PNG bytes of the picture of the file at path, at most size pixels on
// either side; empty when the file cannot be read (missing, a folder, a
// workspace that does not load, anything else that is no Marlox file) or
// size is out of range. A stored item with a damaged header still gets the
// generic stored-item icon, as the file manager shows it. Never loads a
// library that a file names, and asks nobody anything.
QByteArray MakeThumbnail(const std::string& path, int size);
