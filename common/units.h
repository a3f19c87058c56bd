#pragma once

// Window sizes in the stored figures are twips; the screen page is 96 per inch.
namespace units {

constexpr int TwipsPerPixel = 15;
constexpr double LogicalDpi = 96.0;
constexpr int PixelsFromTwips(int twips)
{
    return twips / TwipsPerPixel;
}
constexpr double PixelsFromPoints(double pt)
{
    return pt * LogicalDpi / 72.0;
}

} // namespace units
