#include "forms/Twips.h"
#include <cmath>
#include <QGuiApplication>
#include <QScreen>

namespace forms {
namespace {
double dpi(bool x) {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* s = app->primaryScreen()) {
            const double d = x ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY();
            if (d > 0) return d;
        }
    }
    return 96.0;
}
int toPixels(int twips, double tpp) { return int(std::lround(twips / tpp)); }
int toTwips(int pixels, double tpp) { return int(std::lround(pixels * tpp)); }
}

double TwipsPerPixelX() { return 1440.0 / dpi(true); }
double TwipsPerPixelY() { return 1440.0 / dpi(false); }
int TwipsToPixelsX(int twips) { return toPixels(twips, TwipsPerPixelX()); }
int TwipsToPixelsY(int twips) { return toPixels(twips, TwipsPerPixelY()); }
int PixelsToTwipsX(int pixels) { return toTwips(pixels, TwipsPerPixelX()); }
int PixelsToTwipsY(int pixels) { return toTwips(pixels, TwipsPerPixelY()); }

} // namespace forms
