// The picture module of the batch front end: recorded drawings rendered to PNG
// with Qt's painter, as the windows show them.
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "tools/batch/PictureModule.h"
#include "ui/qt/RenderDrawing.h"

namespace {

using tavrix::PictureBox;

QSize boxSize(const PictureBox& box)
{
    return QSize(static_cast<int>(box.width), static_cast<int>(box.height));
}

bool savePlots(const PictureBox& airfoil, const PictureBox& pressure, const char* file)
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
    return image.save(QString::fromUtf8(file), "PNG");
}

bool saveMatrix(const PictureBox& matrix, const char* file)
{
    return ui::renderDrawing(*matrix.drawing, boxSize(matrix))
        .save(QString::fromUtf8(file), "PNG");
}

const tavrix::PictureModule kModule{savePlots, saveMatrix};

}  // namespace

extern "C" __attribute__((visibility("default"))) const tavrix::PictureModule*
tavrixPictureModule()
{
    return &kModule;
}
