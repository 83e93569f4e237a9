// The picture module's flow-field picture (--field-png): the view the
// analysis window's "Flow field" tab shows, painted onto a PNG picture. Text
// needs a font database, so a QGuiApplication is made on first use (on the
// offscreen platform when there is no display).
#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "output/FlowFieldView.h"
#include "tools/batch/PictureModule.h"
#include "ui/qt/FieldPainter.h"

namespace {

void quietNotes(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

bool ensureApplication()
{
    if (QGuiApplication::instance() != nullptr) return true;
    qInstallMessageHandler(quietNotes);
    const bool display = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
    if (!display && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tavrixs-batch";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);  // kept until the program ends, with its fonts
    return QGuiApplication::instance() != nullptr;
}

}  // namespace

namespace tavrix {

bool renderFieldPicture(const FieldView& view, int width, int height, std::string& bytes)
{
    if (!ensureApplication() || width < 200 || height < 150) return false;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ui::paintFieldView(painter, view, QRectF(0, 0, width, height));
    painter.end();
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
    bytes.assign(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    return true;
}

}  // namespace tavrix
