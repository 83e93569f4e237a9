// The coefficient-matrix picture with its row numbers down the left edge and
// its column numbers along the top. The picture is kept square, so that the
// numbers stand beside the cells they name at every window size.
#pragma once

#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "output/MatrixSummary.h"
#include "ui/qt/PictureBox.h"

namespace ui {

class MatrixPanel : public QWidget {
public:
    MatrixPanel(PictureBox* picture, QWidget* parent) : QWidget(parent), picture_(picture)
    {
        setObjectName("Panel_ShowMat");
        picture_->setParent(this);
        picture_->setMinimumSize(120, 120);
        setMinimumSize(kLeft + 120 + 4, kTop + 120 + 4);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    QSize sizeHint() const override { return QSize(kLeft + 420 + 4, kTop + 420 + 4); }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        const int side = std::max(1, std::min(width() - kLeft - 4, height() - kTop - 4));
        picture_->setGeometry(kLeft, kTop, side, side);
    }

    void paintEvent(QPaintEvent*) override
    {
        const Drawing& d = picture_->drawing();
        const int N = static_cast<int>(d.scale.right);
        if (d.items.empty() || N < 1) return;
        QPainter painter(this);
        QFont small = font();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        painter.setFont(small);
        painter.setPen(QColor(60, 60, 60));
        const QRect box = picture_->geometry();
        const double cell = static_cast<double>(box.width()) / N;
        for (int k : tavrix::matrixTickNumbers(N, std::max(2, box.width() / 28))) {
            const double middle = (k - 0.5) * cell;
            const QString number = QString::number(k);
            painter.drawText(QRectF(box.left() + middle - 20, 0, 40, kTop - 2),
                             Qt::AlignHCenter | Qt::AlignBottom, number);
            painter.drawText(QRectF(0, box.top() + middle - 10, kLeft - 4, 20),
                             Qt::AlignRight | Qt::AlignVCenter, number);
        }
    }

private:
    static constexpr int kLeft = 34;
    static constexpr int kTop = 18;
    PictureBox* picture_;
};

}  // namespace ui
