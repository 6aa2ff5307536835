// Pictures to and from the stored form of an item's own icons: a masked image
// list of equal-sized images, four to a row, with its bitmap and mask.
#pragma once

#include "framework/ImageListData.h"

#include <QIcon>
#include <QImage>

#include <vector>

// The stored list of the images, each scaled to size x size; the mask marks
// the transparent pixels. Empty when there are no images.
CImageListData ImageListFromImages(const std::vector<QImage>& images, int size);
// The images of a stored list, transparent where the mask says so; empty for
// a list that cannot be read.
std::vector<QImage> ImagesFromImageList(const CImageListData& list);

class CProjectItemBase;

// Gives the item an icon of its own: its large and small lists hold the
// picture and, second, the picture marked as open. The item is not stamped.
void SetItemIcons(CProjectItemBase& item, const QImage& large, const QImage& small);
// The item's own icon (the open one when alternate), or a null icon when it uses its kind's.
QIcon ItemOwnIcon(const CProjectItemBase& item, bool small, bool alternate = false);
