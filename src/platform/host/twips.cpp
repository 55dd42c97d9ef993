#include <host/twips.h>

#include <cmath>

namespace host {

namespace {

// Nearest integer, halves to even (the current rounding mode is assumed to
// be the default, round-to-nearest-even).
int roundHalfEven(double v)
{
    return int(std::nearbyint(v));
}

// Units per inch of each fixed scale mode (index = mode).
double unitsPerInch(int mode, bool vertical, double pixelsPerInch)
{
    switch (mode) {
    case vbTwips: return 1440.0;
    case vbPoints: return 72.0;
    case vbPixels: return pixelsPerInch;
    case vbCharacters: return vertical ? 1440.0 / 240.0 : 1440.0 / 120.0; // 120 x 240 twips
    case vbInches: return 1.0;
    case vbMillimeters: return 25.4;
    case vbCentimeters: return 2.54;
    case vbHimetric: return 2540.0;
    default: return 0.0;
    }
}

} // namespace

int twipsToPixels(int twips)
{
    return roundHalfEven(double(twips) / TwipsPerLayoutPixel);
}

int twipsToPixels(double twips)
{
    return roundHalfEven(twips / TwipsPerLayoutPixel);
}

int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerLayoutPixel;
}

bool convertScale(double value, int fromScale, int toScale, bool vertical, double *result, double pixelsPerInch)
{
    const double from = unitsPerInch(fromScale, vertical, pixelsPerInch);
    const double to = unitsPerInch(toScale, vertical, pixelsPerInch);
    if (from == 0.0 || to == 0.0 || !result)
        return false;
    *result = value / from * to;
    return true;
}

} // namespace host
