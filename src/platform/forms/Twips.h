#pragma once
// Twips: 1440 to the logical inch, so 15 to a pixel at 96 dpi. Geometry is
// kept in twips in code and in the settings file.
namespace forms {

double TwipsPerPixelX();
double TwipsPerPixelY();
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);
int PixelsToTwipsX(int pixels);
int PixelsToTwipsY(int pixels);

} // namespace forms
