// The analysis window's "Flow field" tab: the flow round the section of the
// last press (its contour, method, angle of attack and rotation), as the
// speed or Cp in colour with a scale, streamlines seeded upstream with the
// two dividing streamlines picked out, and the panels with their control
// points on top. The wheel zooms about the pointer, a dragged rectangle
// zooms into it, "Leading edge" shows the nose and "Whole section" the
// section with its surroundings. The field is computed when the tab is
// shown, for the press and view on screen.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "output/FlowFieldView.h"
#include "ui/qt/FieldPainter.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRubberBand;

namespace ui {

// The picture: paints the view and turns wheel and drag into new view
// rectangles.
class FieldCanvas : public QWidget {
    Q_OBJECT

public:
    explicit FieldCanvas(QWidget* parent = nullptr);
    void setView(std::shared_ptr<const tavrix::FieldView> view, FieldPaintOptions options);
    const tavrix::FieldView* view() const { return view_.get(); }
    // The aspect (height over width) the field's rectangle has on screen.
    double fieldAspect() const;
    QSize sizeHint() const override { return {900, 520}; }

signals:
    // A new rectangle in chords (x0, x1, y0, y1).
    void zoomRequested(double x0, double x1, double y0, double y1);
    void resetRequested();
    void resized();

protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRectF plotRect() const;
    std::shared_ptr<const tavrix::FieldView> view_;
    FieldPaintOptions options_;
    QRubberBand* band_ = nullptr;
    QPoint origin_;
    bool dragging_ = false;
};

class FlowFieldTab : public QWidget {
    Q_OBJECT

public:
    explicit FlowFieldTab(QWidget* parent = nullptr);

    // The press to show (none: a note asks for one). Keeps the zoom when the
    // section and its rotation stay the same.
    void setPress(std::shared_ptr<const tavrix::PressCase> press);
    // Computes the field now if it is out of date (the tab does so when it
    // is shown).
    void refresh();
    const tavrix::FieldView* view() const { return canvas_->view(); }
    // The view rectangle asked for; empty for the whole section.
    void zoomTo(double x0, double x1, double y0, double y1);
    void zoomToLeadingEdge();
    void zoomToSection();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void markStale();
    std::shared_ptr<const tavrix::PressCase> press_;
    std::optional<tavrix::PanelGeometry> panels_;
    tavrix::FieldViewRequest request_;
    bool stale_ = true;
    QComboBox* quantity_ = nullptr;
    QCheckBox* streamlines_ = nullptr;
    QCheckBox* panelsShown_ = nullptr;
    QPushButton* leadingEdge_ = nullptr;
    QPushButton* whole_ = nullptr;
    QLabel* info_ = nullptr;
    FieldCanvas* canvas_ = nullptr;
};

}  // namespace ui
