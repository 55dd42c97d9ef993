#pragma once

#include <forms/FormData.h>

#include <QString>

class QWidget;

namespace forms {

// A kxButtons_H restored from its property-bag stream in `bagFile`, placed in
// `container` at the layout's geometry. nullptr with *error when the stream
// cannot be read or holds an entry the reader had to skip.
QWidget *createButton(const ControlData &control, QWidget *container, const QString &bagFile, QString *error);

} // namespace forms
