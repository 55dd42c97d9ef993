#pragma once
// The scale of the screen a window is on, and the forms runtime's pixels on
// that screen.
//
// Qt lays widgets out in layout pixels: device-independent, 96 to the inch,
// the grid the stored forms are placed on (15 twips each; see twips.h). The
// runtime's pixels are the screen's own device pixels: TwipsPerPixel = 1440 /
// (96 x the device pixel ratio), 15 at scale 1, 12 at 1.25, 7.5 at 2. A pixel
// count comes from twips / TwipsPerPixel, rounded to the nearest integer,
// halves to even; so a control w layout pixels wide is whole(w x ratio)
// device pixels wide.
//
// Global (screen) coordinates in device pixels are the layout position
// scaled by the ratio of the screen that holds it.

#include <QPoint>
#include <QPointF>
#include <QRegion>

class QWidget;

namespace host {

class ScreenScale
{
public:
    explicit ScreenScale(double devicePixelRatio = 1.0);
    // The scale of the screen the widget's window is on (the primary
    // screen's for a window not yet shown).
    static ScreenScale of(const QWidget *widget);
    // The scale of the screen that holds a global layout position.
    static ScreenScale at(QPointF globalLayout);

    double devicePixelRatio() const { return m_ratio; }
    bool isUnscaled() const { return m_ratio == 1.0; }
    // Every layout pixel is whole device pixels: a widget's edges fall on
    // device pixel edges (at 1.5 they may fall inside one).
    bool isWhole() const { return m_ratio == double(int(m_ratio)); }
    double twipsPerPixel() const { return 1440.0 / pixelsPerInch(); }
    double pixelsPerInch() const { return 96.0 * m_ratio; }

    int twipsToPixels(double twips) const;
    double pixelsToTwips(double pixels) const { return pixels * twipsPerPixel(); }
    // A length in layout pixels as a whole number of device pixels.
    int devicePixels(int layoutPixels) const;
    // The device pixel that holds a point given in layout pixels.
    QPoint devicePixelAt(QPointF layout) const;
    QPointF layoutPoint(QPointF device) const { return device / m_ratio; }
    // The layout pixels that hold at least one device pixel of `device`.
    QRegion layoutCover(const QRegion &device) const;

    bool operator==(const ScreenScale &other) const { return m_ratio == other.m_ratio; }

private:
    double m_ratio;
};

// Global positions between layout pixels and the device pixels of the
// screen that holds them.
QPoint globalDevicePixel(QPointF globalLayout);
QPointF globalLayoutPoint(QPoint globalDevice);

} // namespace host
