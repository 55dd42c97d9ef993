#pragma once
// Text layout for DrawTextA: line breaking and prefix processing follow the
// GDI rules; only glyph advances come from the font.

#include <QString>
#include <QStringView>

#include <functional>
#include <limits>
#include <vector>

namespace gdi {

struct TextLine
{
    QString text;
    int width = 0;
    int underline = -1; // index in text of the character after a single '&'
    // Word breaking: the widest measure that was found to fit and the first
    // that was not. Any room from the one up to below the other breaks the
    // line the same way.
    int fitted = 0;
    int overflow = std::numeric_limits<int>::max();
};

struct TextLayoutOptions
{
    bool prefix = true;     // '&' marks the access key
    bool wordBreak = false; // break between words at `width`
    bool singleLine = false;
    int width = 0;          // room for a line, in pixels
};

// Measures the advance width of a string in pixels.
using Measure = std::function<int(QStringView)>;

std::vector<TextLine> layoutText(const QString &text, const TextLayoutOptions &options, const Measure &measure);

// Whether laying out with `options` would give exactly `lines`, laid out with
// `before` (same text).
bool sameLayout(const std::vector<TextLine> &lines, const TextLayoutOptions &before, const TextLayoutOptions &options);

// Caption lines drawn so far by blending kept glyph coverage (for tests).
int stampedTextLines();

// Windows-1252 (the system code page of the original) to Unicode.
QString fromCodePage(const char *text, int length);

} // namespace gdi
