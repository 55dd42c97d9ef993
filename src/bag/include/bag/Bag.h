#pragma once

// Everything of the property-bag layer.
#include <bag/BagStream.h>
#include <bag/FontValue.h>
#include <bag/PictureValue.h>
#include <bag/PropertyBag.h>
#include <bag/Value.h>
