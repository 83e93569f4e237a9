// The picture module's flow-field picture (--field-png): the view the
// analysis window's "Flow field" tab shows, painted onto a PNG picture.
#include <QImage>
#include <QPainter>
#include <string>

#include "output/FlowFieldView.h"
#include "tools/batch/PictureApplication.h"
#include "tools/batch/PictureModule.h"
#include "ui/qt/FieldPainter.h"

namespace tavrix {

bool renderFieldPicture(const FieldView& view, int width, int height, std::string& bytes)
{
    if (!ensurePictureApplication() || width < 200 || height < 150) return false;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ui::paintFieldView(painter, view, QRectF(0, 0, width, height));
    painter.end();
    return encodePng(image, bytes);
}

}  // namespace tavrix
