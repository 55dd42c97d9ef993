#pragma once

#include "FormPrefetch.h"

#include <forms/FormData.h>

#include <QString>

class QWidget;

namespace forms {

// A kxButtons_H restored from `bag`, the property-bag stream read from
// `bagFile`, placed in `container` at the layout's geometry. nullptr with
// *error when the stream could not be read or holds an entry the reader had
// to skip.
QWidget *createButton(const ControlData &control, QWidget *container, const QString &bagFile, FormPrefetch::Bag bag,
                      QString *error);

} // namespace forms
