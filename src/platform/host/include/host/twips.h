#pragma once
// Twips, the unit of all window geometry: 1/1440 inch. Windows are laid out
// in layout pixels, 15 twips each (96 to the inch), whatever the screen's
// scale; the runtime's own pixels are the screen's device pixels (see
// screenscale.h). Fractional results round to the nearest integer, halves to
// even.

namespace host {

inline constexpr int TwipsPerLayoutPixel = 15;

int twipsToPixels(int twips);
int twipsToPixels(double twips);
int pixelsToTwips(int pixels);

// Scale modes of the forms runtime, for ScaleX / ScaleY and a form's ScaleMode.
enum ScaleModeConstants {
    vbUser = 0,
    vbTwips = 1,
    vbPoints = 2,
    vbPixels = 3,
    vbCharacters = 4,
    vbInches = 5,
    vbMillimeters = 6,
    vbCentimeters = 7,
    vbHimetric = 8,
    vbContainerPosition = 9,
    vbContainerSize = 10,
};

// Converts a horizontal (ScaleX) or vertical (ScaleY) length between the
// fixed scale modes 1 to 8, with pixels of the given density. Returns false
// for any other mode (vbUser and the container modes need a container;
// UserControl::ScaleX resolves them).
bool convertScale(double value, int fromScale, int toScale, bool vertical, double *result,
                  double pixelsPerInch = 96.0);

} // namespace host
