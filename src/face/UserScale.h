#pragma once

namespace cellsonify {

// The user coordinate system of a view: the client area spans `width` units to
// the right of `left` and `height` units below `top` (x right, y down).
struct UserScale {
    double left = 0;
    double top = 0;
    double width = 1;
    double height = 1;
    bool operator==(const UserScale&) const = default;
};

// Pixel column/row of a user coordinate in a client area `pixels` wide/high:
// floor((v - origin) * pixels / extent). Far-off and non-finite results are
// clamped to +-2^28 so callers can clip without overflow.
long long userToPixel(float v, double origin, double extent, int pixels);

// User coordinate of the left/top edge of pixel position `p` (may be fractional).
double pixelToUser(double p, double origin, double extent, int pixels);

}  // namespace cellsonify
