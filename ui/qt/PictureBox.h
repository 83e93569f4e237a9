// A picture box: keeps its drawing as primitives and replays them on every
// paint, so the picture survives covering and resizing.
#pragma once

#include <QPainter>
#include <QWidget>
#include <functional>
#include <utility>

#include "ui/Drawing.h"
#include "ui/qt/RenderDrawing.h"

namespace ui {

class PictureBox : public QWidget {
    Q_OBJECT

public:
    PictureBox(const QString& name, QSize preferred, QWidget* parent = nullptr)
        : QWidget(parent), preferred_(preferred)
    {
        setObjectName(name);
        setAutoFillBackground(false);
        setMinimumSize(preferred / 2);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    Drawing& drawing() { return drawing_; }
    const Drawing& drawing() const { return drawing_; }
    QSize sizeHint() const override { return preferred_; }
    // Called after every change of size, to draw the picture afresh for it.
    void setResized(std::function<void()> call) { resized_ = std::move(call); }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (resized_ && width() > 1 && height() > 1) resized_();
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        paintDrawing(painter, drawing_, QRectF(rect()));
        painter.setPen(QColor(160, 160, 160));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    QSize preferred_;
    Drawing drawing_;
    std::function<void()> resized_;
};

}  // namespace ui
