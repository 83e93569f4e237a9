#include "tools/batch/PictureApplication.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt's own notes on the environment (no runtime directory and the like) are
// no concern of a batch run's standard error; its errors still go there.
void quietNotes(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

namespace tavrix {

bool ensurePictureApplication()
{
    if (QGuiApplication::instance() != nullptr) return true;
    qInstallMessageHandler(quietNotes);
    const bool display = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
    if (!display && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tavrixs-batch";
    static char* argv[] = {name, nullptr};
    // Kept until the program ends, as the font database it brings.
    new QGuiApplication(argc, argv);
    return QGuiApplication::instance() != nullptr;
}

bool encodePng(const QImage& image, std::string& bytes)
{
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
    bytes.assign(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    return true;
}

}  // namespace tavrix
