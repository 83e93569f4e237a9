#include "ui/qt/FlowFieldTab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRubberBand>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/Form_TavrixS.h"

namespace ui {

namespace {

template <class W, class... Args>
W* named(const char* name, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)...);
    w->setObjectName(name);
    return w;
}

}  // namespace

FieldCanvas::FieldCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName("Picture_FlowField");
    setMinimumSize(320, 220);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMouseTracking(false);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
}

void FieldCanvas::setView(std::shared_ptr<const tavrix::FieldView> view, FieldPaintOptions options)
{
    view_ = std::move(view);
    options_ = options;
    update();
}

double FieldCanvas::fieldAspect() const
{
    const QRectF area = fieldArea(QRectF(rect()));
    return area.width() > 0 ? area.height() / area.width() : 0.5;
}

QRectF FieldCanvas::plotRect() const
{
    return view_ ? fieldPlotRect(QRectF(rect()), view_->grid.box) : QRectF();
}

void FieldCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!view_) {
        painter.fillRect(rect(), Qt::white);
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignCenter,
                         "No completed press yet: press \"Calculate velocities and show\" in the "
                         "main window.");
        return;
    }
    paintFieldView(painter, *view_, QRectF(rect()), options_);
}

void FieldCanvas::wheelEvent(QWheelEvent* event)
{
    if (!view_) return;
    const QRectF plot = plotRect();
    const tavrix::FieldBox& b = view_->grid.box;
    const QPointF at = pixelToField(plot, b, event->position());
    // One notch of the wheel: a fifth closer or farther, about the pointer.
    const double f = std::pow(0.8, event->angleDelta().y() / 120.0);
    emit zoomRequested(at.x() - (at.x() - b.x0) * f, at.x() + (b.x1 - at.x()) * f,
                       at.y() - (at.y() - b.y0) * f, at.y() + (b.y1 - at.y()) * f);
    event->accept();
}

void FieldCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !view_) return;
    origin_ = event->position().toPoint();
    dragging_ = true;
    band_->setGeometry(QRect(origin_, QSize()));
    band_->show();
}

void FieldCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_) band_->setGeometry(QRect(origin_, event->position().toPoint()).normalized());
}

void FieldCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    band_->hide();
    const QRect r = QRect(origin_, event->position().toPoint()).normalized();
    if (r.width() < 8 || r.height() < 8 || !view_) return;
    const QRectF plot = plotRect();
    const tavrix::FieldBox& b = view_->grid.box;
    const QPointF a = pixelToField(plot, b, r.topLeft());
    const QPointF c = pixelToField(plot, b, r.bottomRight());
    emit zoomRequested(std::min(a.x(), c.x()), std::max(a.x(), c.x()), std::min(a.y(), c.y()),
                       std::max(a.y(), c.y()));
}

void FieldCanvas::mouseDoubleClickEvent(QMouseEvent*) { emit resetRequested(); }

void FieldCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

FlowFieldTab::FlowFieldTab(QWidget* parent) : QWidget(parent)
{
    setObjectName("Tab_FlowField");
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(named<QLabel>("Label_FieldQuantity", "Colour:", this));
    quantity_ = named<QComboBox>("Combo_FieldQuantity", this);
    quantity_->addItems({QString::fromUtf8("Speed V/V\u221e"), "Pressure coefficient Cp"});
    row->addWidget(quantity_);
    streamlines_ = named<QCheckBox>("Check_FieldStreamlines", "Streamlines", this);
    streamlines_->setChecked(true);
    row->addWidget(streamlines_);
    panelsShown_ = named<QCheckBox>("Check_FieldPanels", "Panels and control points", this);
    panelsShown_->setChecked(true);
    row->addWidget(panelsShown_);
    leadingEdge_ = named<QPushButton>("Command_FieldLeadingEdge", "Leading edge", this);
    leadingEdge_->setToolTip("Zoom into the nose: a tenth of the chord round the leading edge");
    row->addWidget(leadingEdge_);
    whole_ = named<QPushButton>("Command_FieldWhole", "Whole section", this);
    whole_->setToolTip("The section with half a chord in front and behind");
    row->addWidget(whole_);
    row->addStretch(1);
    layout->addLayout(row);
    canvas_ = new FieldCanvas(this);
    layout->addWidget(canvas_, 1);
    info_ = named<QLabel>("Label_FieldInfo",
                          "Wheel: zoom about the pointer \u00b7 drag a rectangle: zoom into it "
                          "\u00b7 double click: the whole section",
                          this);
    info_->setWordWrap(true);
    layout->addWidget(info_);

    auto* later = new QTimer(this);
    later->setSingleShot(true);
    later->setInterval(120);
    connect(later, &QTimer::timeout, this, [this] { refresh(); });
    connect(canvas_, &FieldCanvas::zoomRequested, this,
            [this, later](double x0, double x1, double y0, double y1) {
                request_.x0 = x0;
                request_.x1 = x1;
                request_.y0 = y0;
                request_.y1 = y1;
                markStale();
                later->start();
            });
    connect(canvas_, &FieldCanvas::resized, this, [this, later] {
        markStale();
        if (isVisible()) later->start();
    });
    connect(canvas_, &FieldCanvas::resetRequested, this, &FlowFieldTab::zoomToSection);
    connect(leadingEdge_, &QPushButton::clicked, this, &FlowFieldTab::zoomToLeadingEdge);
    connect(whole_, &QPushButton::clicked, this, &FlowFieldTab::zoomToSection);
    connect(quantity_, &QComboBox::currentIndexChanged, this, [this] {
        markStale();
        refresh();
    });
    for (QCheckBox* box : {streamlines_, panelsShown_}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            if (canvas_->view() != nullptr) {
                // Only what is drawn changes: the same field, painted again.
                auto keep = std::make_shared<const tavrix::FieldView>(*canvas_->view());
                canvas_->setView(keep, {streamlines_->isChecked(), panelsShown_->isChecked()});
            }
        });
    }
}

void FlowFieldTab::setPress(std::shared_ptr<const tavrix::PressCase> press)
{
    std::optional<tavrix::PanelGeometry> panels;
    if (press) {
        const auto built = tavrix::buildPanelGeometry(tavrix::contourX(press->common),
                                                      tavrix::contourY(press->common),
                                                      press->setup.etaDeg);
        if (built) panels = *built;
    }
    // Another section, or the same one turned otherwise: back to the whole.
    const bool sameSection = panels && panels_ && panels->X == panels_->X && panels->Y == panels_->Y;
    if (!sameSection) request_.x0 = request_.x1 = request_.y0 = request_.y1 = 0;
    press_ = std::move(press);
    panels_ = std::move(panels);
    markStale();
    if (isVisible()) refresh();
}

void FlowFieldTab::markStale() { stale_ = true; }

void FlowFieldTab::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (stale_) QTimer::singleShot(0, this, [this] { refresh(); });
}

void FlowFieldTab::refresh()
{
    if (!stale_) return;
    stale_ = false;
    if (!press_ || !panels_) {
        canvas_->setView(nullptr, {});
        return;
    }
    tavrix::FieldViewRequest request = request_;
    // The rectangle widened to the picture's aspect about its centre, so
    // that the field fills the picture at equal scales.
    tavrix::FieldBox box = tavrix::defaultFieldBox(*panels_);
    if (request.x1 > request.x0 && request.y1 > request.y0) {
        box.x0 = request.x0;
        box.x1 = request.x1;
        box.y0 = request.y0;
        box.y1 = request.y1;
    }
    const double aspect = canvas_->fieldAspect();
    double w = box.x1 - box.x0, h = box.y1 - box.y0;
    if (h / w < aspect) h = w * aspect;
    else w = h / aspect;
    const double cx = (box.x0 + box.x1) / 2, cy = (box.y0 + box.y1) / 2;
    request.x0 = cx - w / 2;
    request.x1 = cx + w / 2;
    request.y0 = cy - h / 2;
    request.y1 = cy + h / 2;
    request.quantity =
        quantity_->currentIndex() == 1 ? tavrix::FieldQuantity::Cp : tavrix::FieldQuantity::Speed;
    request.columns = std::clamp(static_cast<int>(fieldArea(QRectF(canvas_->rect())).width() / 4),
                                 60, 240);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const tavrix::Outcome<tavrix::FieldView> made = tavrix::makeFieldView(*press_, request);
    QApplication::restoreOverrideCursor();
    if (!made) {
        canvas_->setView(nullptr, {});
        info_->setText(QString::fromStdString("No field: " + made.refusal().message));
        return;
    }
    canvas_->setView(std::make_shared<const tavrix::FieldView>(*made),
                     {streamlines_->isChecked(), panelsShown_->isChecked()});
}

void FlowFieldTab::zoomTo(double x0, double x1, double y0, double y1)
{
    request_.x0 = x0;
    request_.x1 = x1;
    request_.y0 = y0;
    request_.y1 = y1;
    markStale();
    refresh();
}

void FlowFieldTab::zoomToLeadingEdge()
{
    if (!panels_) return;
    const tavrix::FieldBox b = tavrix::leadingEdgeBox(*panels_, canvas_->fieldAspect());
    zoomTo(b.x0, b.x1, b.y0, b.y1);
}

void FlowFieldTab::zoomToSection() { zoomTo(0, 0, 0, 0); }

}  // namespace ui
