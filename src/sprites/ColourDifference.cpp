#include "sprites/ColourDifference.h"

#include <cmath>
#include <numbers>

namespace tess::sprites {
namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

double linear(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double labCurve(double t) {
    constexpr double e = 6.0 / 29.0;
    return t > e * e * e ? std::cbrt(t) : t / (3 * e * e) + 4.0 / 29.0;
}

double pow7(double v) { return v * v * v * v * v * v * v; }

// Hue angle in degrees, 0..360.
double hue(double b, double a) {
    if (a == 0 && b == 0) return 0;
    const double h = std::atan2(b, a) * kDegrees;
    return h < 0 ? h + 360 : h;
}

double cosDeg(double degrees) { return std::cos(degrees / kDegrees); }
double sinDeg(double degrees) { return std::sin(degrees / kDegrees); }

}  // namespace

Lab ToLab(paint::ScreenColour colour) {
    const double r = linear(colour.r), g = linear(colour.g), b = linear(colour.b);
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const double fx = labCurve(x), fy = labCurve(y), fz = labCurve(z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

double Ciede2000(const Lab& p, const Lab& q) {
    const double cBar = (std::hypot(p.a, p.b) + std::hypot(q.a, q.b)) / 2;
    const double g = 0.5 * (1 - std::sqrt(pow7(cBar) / (pow7(cBar) + pow7(25))));
    const double a1 = (1 + g) * p.a, a2 = (1 + g) * q.a;
    const double c1 = std::hypot(a1, p.b), c2 = std::hypot(a2, q.b);
    const double h1 = hue(p.b, a1), h2 = hue(q.b, a2);

    const double dL = q.L - p.L;
    const double dC = c2 - c1;
    double dh = 0;
    if (c1 * c2 != 0) {
        dh = h2 - h1;
        if (dh > 180) dh -= 360;
        if (dh < -180) dh += 360;
    }
    const double dH = 2 * std::sqrt(c1 * c2) * sinDeg(dh / 2);

    const double lMean = (p.L + q.L) / 2;
    const double cMean = (c1 + c2) / 2;
    double hMean = h1 + h2;
    if (c1 * c2 != 0) {
        if (std::abs(h1 - h2) <= 180)
            hMean = (h1 + h2) / 2;
        else if (h1 + h2 < 360)
            hMean = (h1 + h2 + 360) / 2;
        else
            hMean = (h1 + h2 - 360) / 2;
    }
    const double t = 1 - 0.17 * cosDeg(hMean - 30) + 0.24 * cosDeg(2 * hMean) +
                     0.32 * cosDeg(3 * hMean + 6) - 0.20 * cosDeg(4 * hMean - 63);
    const double dTheta = 30 * std::exp(-std::pow((hMean - 275) / 25, 2));
    const double rC = 2 * std::sqrt(pow7(cMean) / (pow7(cMean) + pow7(25)));
    const double lShift = (lMean - 50) * (lMean - 50);
    const double sL = 1 + 0.015 * lShift / std::sqrt(20 + lShift);
    const double sC = 1 + 0.045 * cMean;
    const double sH = 1 + 0.015 * cMean * t;
    const double rT = -sinDeg(2 * dTheta) * rC;

    const double l = dL / sL, c = dC / sC, h = dH / sH;
    return std::sqrt(l * l + c * c + h * h + rT * c * h);
}

double Ciede2000(paint::ScreenColour a, paint::ScreenColour b) {
    return Ciede2000(ToLab(a), ToLab(b));
}

}  // namespace tess::sprites
