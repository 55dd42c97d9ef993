#pragma once

#include <QIcon>
#include <QString>

namespace forms {

// A stored window's icon from its .ico file. Icons of plain colour images
// with masks (what the stored windows carry) are read by the GDI reader into
// one picture, the image nearest 32 x 32, see-through where the mask says;
// icons with alpha, PNG or black-and-white images go through Qt's reader,
// which keeps every image. A null icon with *error naming the file when it
// cannot be read.
QIcon readWindowIcon(const QString &path, QString *error);

} // namespace forms
