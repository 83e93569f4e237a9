// What every picture of the batch's picture module needs first: Qt's
// application object, for the font database that text is drawn with, and
// the PNG encoding of a finished picture.
#pragma once

#include <string>

class QImage;

namespace tavrix {

// Makes a QGuiApplication on first use (on the offscreen platform when there
// is no display), kept until the program ends; Qt's notes on the environment
// are kept off standard error, its errors are not. Whether there is one.
bool ensurePictureApplication();

// The image as PNG bytes (replacing those in `bytes`); false when it cannot
// be encoded.
bool encodePng(const QImage& image, std::string& bytes);

}  // namespace tavrix
