// The picture module of the batch front end: recorded drawings rendered to PNG
// with Qt's painter, as the windows show them.
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <string>

#include "tools/batch/PictureApplication.h"
#include "tools/batch/PictureModule.h"
#include "ui/qt/RenderDrawing.h"

namespace {

using tavrix::encodePng;
using tavrix::PictureBox;

QSize boxSize(const PictureBox& box)
{
    return QSize(static_cast<int>(box.width), static_cast<int>(box.height));
}

bool plotsPng(const PictureBox& airfoil, const PictureBox& pressure, std::string& bytes)
{
    const QSize box = boxSize(airfoil);
    const QSize pressureBox = boxSize(pressure);
    const int gap = 8;
    QImage image(std::max(box.width(), pressureBox.width()),
                 box.height() + gap + pressureBox.height(), QImage::Format_RGB32);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    const QRectF top(QPointF(0, 0), QSizeF(box));
    const QRectF bottom(QPointF(0, box.height() + gap), QSizeF(pressureBox));
    painter.fillRect(top, Qt::white);
    painter.fillRect(bottom, Qt::white);
    ui::paintDrawing(painter, *airfoil.drawing, top);
    ui::paintDrawing(painter, *pressure.drawing, bottom);
    painter.end();
    return encodePng(image, bytes);
}

bool matrixPng(const PictureBox& matrix, std::string& bytes)
{
    return encodePng(ui::renderDrawing(*matrix.drawing, boxSize(matrix)), bytes);
}

}  // namespace

namespace tavrix {
bool renderPlotPicture(const PlotData& plot, bool svg, std::string& bytes);  // BatchPlotPicture.cpp
bool renderFieldPicture(const FieldView& view, int width, int height,
                        std::string& bytes);  // BatchFieldPicture.cpp
}

namespace {

const tavrix::PictureModule kModule{plotsPng, matrixPng, tavrix::renderPlotPicture,
                                    tavrix::renderFieldPicture};

}  // namespace

extern "C" __attribute__((visibility("default"))) const tavrix::PictureModule*
tavrixPictureModule()
{
    return &kModule;
}
