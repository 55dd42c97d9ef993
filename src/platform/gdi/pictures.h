#pragma once
// Icons and bitmaps read from file data (imagefile.cpp) and icon images
// picked and scaled for a size (icon.cpp).

#include "handles.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace gdi {

// Icon images (icon.cpp).
IconImage scaledIconImage(const IconImage &img, int width, int height);
int nearestImage(const std::vector<IconImage> &images, int width, int height);

// Decoders (imagefile.cpp): outside data, bounds-checked.
bool decodeIcon(const QByteArray &data, std::vector<IconImage> *images, QString *error);
std::unique_ptr<Bitmap> decodeBitmap(const QByteArray &data, QString *error);

} // namespace gdi
