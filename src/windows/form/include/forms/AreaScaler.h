#pragma once

#include <QImage>
#include <QSize>

namespace forms {

// Which implementation scales: the vector one where the processor has it, or
// the plain loops it must agree with bit for bit.
enum class ScalePath { Fast, Generic };

// A picture shrunk to `size` by area averaging: every target pixel is the
// mean of the source area it covers, fractional edge pixels weighted by how
// much of them it covers (a box filter, done one axis at a time). Channels
// are averaged as stored, so a premultiplied picture keeps transparent edges
// clean. Both sides of `size` must be at most the source's and non-empty.
//
// Format_RGB32 and Format_ARGB32_Premultiplied come back in their own
// format; anything else is converted to one of them first (premultiplied
// when it has alpha).
QImage areaScaled(const QImage &source, QSize size, ScalePath path = ScalePath::Fast);

// The picture at `size`: itself when the size is its own, area averaging
// when it shrinks on both axes, Qt's smooth scaling when it grows on either.
// Empty sizes or pictures give a null image.
QImage smoothlyScaled(const QImage &source, QSize size);

} // namespace forms
