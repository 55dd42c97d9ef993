#include <bag/FontValue.h>

#include <cmath>

namespace bag {

quint32 FontValue::sizeFromPoints(double points)
{
    if (!(points > 0))
        return 0;
    const double units = std::nearbyint(points * 10000.0);
    return units >= 4294967295.0 ? 0xFFFFFFFFu : quint32(units);
}

} // namespace bag
