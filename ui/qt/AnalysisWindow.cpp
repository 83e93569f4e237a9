#include "ui/qt/AnalysisWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QApplication>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <span>

#include "app/GeometryEdits.h"
#include "app/NumberText.h"
#include "output/CoupledFiles.h"
#include "output/KeptRuns.h"
#include "viscous/InviscidCoupling.h"
#include "output/TypedNumber.h"
#include "ui/qt/FlowFieldTab.h"
#include "ui/qt/KeptRunsPanel.h"
#include "ui/qt/PlotView.h"

namespace ui {

namespace {

// Below a coupled point or polar that did not converge with a coupling on the
// panels' control points: those stop more often towards the stall, where the
// nose's bubble decides the layer; the Soinne-Laine coupling converges through
// the stall.
constexpr const char* kSoinneLaineAdvice =
    "The Soinne-Laine method's coupling converges at more angles: choose it for viscous work.";

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

template <class W, class... Args>
W* named(const char* name, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)...);
    w->setObjectName(name);
    return w;
}

QLabel* label(const char* name, const QString& text, QWidget* parent)
{
    return named<QLabel>(name, text, parent);
}

QLineEdit* numberBox(const char* name, const QString& text, QWidget* parent)
{
    auto* e = named<QLineEdit>(name, text, parent);
    e->setMaximumWidth(70);
    return e;
}

QString fixed(double v, int decimals) { return QString::number(v, 'f', decimals); }

constexpr int kAllFourIndex = 4;

}  // namespace

AnalysisWindow::AnalysisWindow(tavrix::Form_TavrixS& logic, Toolkit& toolkit,
                               QAbstractButton* calculate)
    : QWidget(nullptr, Qt::Window), logic_(logic), toolkit_(toolkit)
{
    setObjectName(qs(kAnalysisForm));
    setWindowTitle("Analysis");
    resize(1180, 720);
    auto* layout = new QVBoxLayout(this);
    caseLabel_ = label("Label_AnalysisCase", QString(), this);
    caseLabel_->setWordWrap(true);
    auto* top = new QHBoxLayout;
    top->addWidget(caseLabel_, 1);
    top->addWidget(label("Label_Reynolds", "Reynolds number:", this));
    reynolds_ = named<QLineEdit>("Text_Reynolds", this);
    reynolds_->setMaximumWidth(100);
    reynolds_->setPlaceholderText("inviscid");
    reynolds_->setToolTip("On the chord and the free-stream speed; empty or 0: no boundary layer");
    top->addWidget(reynolds_);
    top->addWidget(label("Label_ViscousModel", "Model:", this));
    model_ = named<QComboBox>("Combo_ViscousModel", this);
    model_->addItems({"Coupled (viscous-inviscid)", "One-way (teaching)"});
    model_->setToolTip(
        "Coupled: the boundary layer and wake act back on the flow (viscous lift, drag, "
        "stall; e\u207F transition with Ncrit; incompressible).\nOne-way: the layer on the "
        "inviscid speeds, without acting back (CL stays inviscid), for teaching.");
    top->addWidget(model_);
    top->addWidget(label("Label_Transition", "Transition:", this));
    transition_ = named<QComboBox>("Combo_Transition", this);
    transition_->addItems({"Michel", QString::fromUtf8("e\u207F envelope")});
    transition_->setToolTip(
        "Free transition: Michel's correlation of Re\u03B8 with Re\u209B, or the e\u207F "
        "envelope method, which follows the growth of the unstable waves");
    top->addWidget(transition_);
    top->addWidget(label("Label_Ncrit", "Ncrit:", this));
    ncrit_ = named<QLineEdit>("Text_Ncrit", this);
    ncrit_->setText("9");
    ncrit_->setMaximumWidth(40);
    ncrit_->setToolTip("Amplification at transition: 9 for a quiet free stream, 4 to 6 for a "
                       "wind tunnel");
    top->addWidget(ncrit_);
    layout->addLayout(top);
    buildLiftTargetRow(layout);

    auto* tabs = named<QTabWidget>("Tab_Analysis", this);
    tabs_ = tabs;
    auto* pressure = named<QWidget>("Tab_Pressure");
    auto* polar = named<QWidget>("Tab_Polar");
    auto* convergence = named<QWidget>("Tab_Convergence");
    auto* boundaryLayer = named<QWidget>("Tab_BoundaryLayer");
    tabs->addTab(pressure, "Pressure");
    tabs->addTab(polar, "Polar");
    tabs->addTab(convergence, "Convergence");
    tabs->addTab(boundaryLayer, "Boundary layer");
    flowField_ = new FlowFieldTab;
    tabs->addTab(flowField_, "Flow field");
    layout->addWidget(tabs, 1);
    buildPressureTab(pressure);
    buildPolarTab(polar);
    buildConvergenceTab(convergence);
    buildLayerTab(boundaryLayer);
    connect(reynolds_, &QLineEdit::editingFinished, this, [this] {
        updateLayer(true);
        markOutOfDate();
    });
    connect(transition_, &QComboBox::currentIndexChanged, this, [this] {
        enableLayerBoxes();
        updateLayer(true);
        markOutOfDate();
    });
    connect(model_, &QComboBox::currentIndexChanged, this, [this] {
        enableLayerBoxes();
        updateLayer(true);
        updatePressure();
        markOutOfDate();
    });
    enableLayerBoxes();
    connect(&pointWatcher_, &QFutureWatcher<void>::finished, this, [this] {
        pointRunning_ = false;
        if (pointAgain_) {
            // The case changed while the point ran: its answer is for another.
            pointAgain_ = false;
            updateCoupledPoint();
            return;
        }
        if (pendingPoints_ && !pendingPoints_->empty()) {
            coupledPoint_ = pendingPoints_->front();
            if (pendingMethods_.size() > 1) {
                comparePoints_ = std::move(*pendingPoints_);
                compareMethods_ = pendingMethods_;
            }
        }
        pendingPoints_.reset();
        showCoupledPoint();
        updatePressure();
    });
    connect(ncrit_, &QLineEdit::editingFinished, this, [this] {
        updateLayer(true);
        markOutOfDate();
    });

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &AnalysisWindow::showProgress);
    connect(&watcher_, &QFutureWatcher<void>::finished, this, [this] {
        progressTimer_->stop();
        // A complete run fills the bar; a cancelled one shows what was done.
        if (activeBar_ != nullptr) {
            if (cancel_) showProgress();
            else activeBar_->setValue(activeBar_->maximum());
        }
        setRunning(false);
        if (whenDone_) whenDone_();
        whenDone_ = nullptr;
    });

    if (calculate != nullptr)
        connect(calculate, &QAbstractButton::clicked, this, &AnalysisWindow::takeLastPress);
    takeLastPress();
}

AnalysisWindow::~AnalysisWindow()
{
    cancel_ = true;
    watcher_.waitForFinished();
    pointWatcher_.waitForFinished();
}

bool AnalysisWindow::coupledModel() const { return model_->currentIndex() == 0; }

void AnalysisWindow::enableLayerBoxes()
{
    transition_->setEnabled(!coupledModel());
    ncrit_->setEnabled(coupledModel() || transition_->currentIndex() == 1);
}

void AnalysisWindow::buildPressureTab(QWidget* tab)
{
    auto* layout = new QVBoxLayout(tab);
    auto* row = new QHBoxLayout;
    compare_ = named<QCheckBox>("Check_CompareMethods", "Compare methods", tab);
    exact_ = named<QCheckBox>("Check_ExactCp", "Exact Cp (Karman-Trefftz section)", tab);
    exact_->setChecked(true);
    correction_ = named<QComboBox>("Combo_Correction", tab);
    correction_->addItems({"Prandtl-Glauert", "Karman-Tsien"});
    auto* exportButton = named<QPushButton>("Command_ExportPressure", "Export...", tab);
    row->addWidget(compare_);
    row->addWidget(exact_);
    row->addSpacing(16);
    row->addWidget(label("Label_Correction", "Compressibility correction:", tab));
    row->addWidget(correction_);
    row->addStretch();
    row->addWidget(exportButton);
    layout->addLayout(row);
    pressurePlot_ = new PlotView("Plot_Pressure", tab);
    // Beside the pressure, with the coupled analysis: the displacement body
    // and the wake of the same point.
    bodyPlot_ = new PlotView("Plot_DisplacementBody", tab);
    bodyPlot_->hide();
    auto* plots = new QHBoxLayout;
    plots->addWidget(pressurePlot_, 3);
    plots->addWidget(bodyPlot_, 2);
    layout->addLayout(plots, 1);
    pressureInfo_ = label("Label_PressureInfo", QString(), tab);
    pressureInfo_->setWordWrap(true);
    layout->addWidget(pressureInfo_);

    connect(compare_, &QCheckBox::toggled, this, [this] {
        // The coupled model compares the coupled formulations: computed anew.
        if (coupledModel() && press_) updateCoupledPoint();
        updatePressure();
    });
    connect(exact_, &QCheckBox::toggled, this, &AnalysisWindow::updatePressure);
    connect(correction_, &QComboBox::currentIndexChanged, this, [this] {
        updatePressure();
        markOutOfDate();
    });
    connect(exportButton, &QPushButton::clicked, pressurePlot_, &PlotView::exportWithDialog);
}

void AnalysisWindow::buildPolarTab(QWidget* tab)
{
    auto* layout = new QVBoxLayout(tab);
    auto* row = new QHBoxLayout;
    alphaFrom_ = numberBox("Text_AlphaFrom", "-4", tab);
    alphaTo_ = numberBox("Text_AlphaTo", "12", tab);
    alphaStep_ = numberBox("Text_AlphaStep", "1", tab);
    polarMethod_ = named<QComboBox>("Combo_PolarMethod", tab);
    for (tavrix::PanelMethod m : tavrix::kAllMethods) polarMethod_->addItem(qs(tavrix::methodName(m)));
    polarMethod_->addItem("All four methods");
    connect(polarMethod_, &QComboBox::activated, this, [this] { polarMethodChosen_ = true; });
    runPolar_ = named<QPushButton>("Command_RunPolar", "Run", tab);
    cancelPolar_ = named<QPushButton>("Command_CancelPolar", "Cancel", tab);
    polarProgress_ = named<QProgressBar>("Progress_Polar", tab);
    polarProgress_->setMaximumWidth(180);
    polarProgress_->setValue(0);
    row->addWidget(label("Label_AlphaFrom", QString::fromUtf8("\u03b1 from"), tab));
    row->addWidget(alphaFrom_);
    row->addWidget(label("Label_AlphaTo", "to", tab));
    row->addWidget(alphaTo_);
    row->addWidget(label("Label_AlphaStep", "step", tab));
    row->addWidget(alphaStep_);
    row->addWidget(label("Label_AlphaUnit", "(deg)", tab));
    row->addSpacing(16);
    row->addWidget(label("Label_PolarMethod", "Method:", tab));
    row->addWidget(polarMethod_);
    row->addWidget(runPolar_);
    row->addWidget(cancelPolar_);
    row->addWidget(polarProgress_);
    row->addStretch();
    layout->addLayout(row);
    // Several Reynolds numbers in one run, each kept as a run of its own.
    auto* reRow = new QHBoxLayout;
    reRow->addWidget(label("Label_ReynoldsSweep", "Reynolds sweep:", tab));
    reynoldsList_ = named<QLineEdit>("Text_ReynoldsSweep", tab);
    reynoldsList_->setPlaceholderText("1e6 3e6 6e6");
    reynoldsList_->setMaximumWidth(200);
    reynoldsList_->setToolTip("Coupled polars at each of these Reynolds numbers with the angles, "
                              "method and Ncrit above; each is kept as a run");
    runReynoldsSweep_ = named<QPushButton>("Command_RunReynoldsSweep", "Run Re sweep", tab);
    reRow->addWidget(reynoldsList_);
    reRow->addWidget(runReynoldsSweep_);
    reRow->addStretch();
    layout->addLayout(reRow);
    connect(runReynoldsSweep_, &QPushButton::clicked, this, &AnalysisWindow::runReynoldsSweep);
    connect(reynoldsList_, &QLineEdit::returnPressed, this, &AnalysisWindow::runReynoldsSweep);

    polarCase_ = label("Label_PolarCase", QString(), tab);
    polarCase_->setWordWrap(true);
    polarCase_->setTextFormat(Qt::RichText);
    layout->addWidget(polarCase_);

    // Lift and moment on one page, the drag side of the boundary layer (filled
    // when the Reynolds number box holds a number) on the other.
    auto* pages = named<QTabWidget>("Tab_PolarPlots", tab);
    auto* liftPage = named<QWidget>("Tab_PolarLift");
    auto* dragPage = named<QWidget>("Tab_PolarDrag");
    pages->addTab(liftPage, "Lift and moment");
    pages->addTab(dragPage, "Drag (boundary layer)");
    auto* plots = new QHBoxLayout(liftPage);
    plots->setContentsMargins(0, 0, 0, 0);
    polarCL_ = new PlotView("Plot_PolarCL", liftPage);
    polarCM_ = new PlotView("Plot_PolarCM", liftPage);
    plots->addWidget(polarCL_);
    plots->addWidget(polarCM_);
    auto* dragPlots = new QHBoxLayout(dragPage);
    dragPlots->setContentsMargins(0, 0, 0, 0);
    polarCD_ = new PlotView("Plot_PolarCD", dragPage);
    polarTransition_ = new PlotView("Plot_PolarTransition", dragPage);
    dragPolar_ = new PlotView("Plot_DragPolar", dragPage);
    dragPlots->addWidget(polarCD_);
    dragPlots->addWidget(polarTransition_);
    dragPlots->addWidget(dragPolar_);
    layout->addWidget(pages, 3);

    polarTable_ = named<QTableWidget>("Table_Polar", tab);
    polarTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    polarTable_->verticalHeader()->hide();
    polarTable_->setMinimumHeight(120);
    // The polars kept for comparison beside the table of the current one.
    keptRuns_ = new KeptRunsPanel(
        [this](const std::string& message) { toolkit_.messageFrom(kAnalysisForm, message); }, tab);
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(polarTable_, 3);
    tableRow->addWidget(keptRuns_, 2);
    layout->addLayout(tableRow, 1);
    connect(keptRuns_, &KeptRunsPanel::keepRequested, this, &AnalysisWindow::keepPolar);
    connect(keptRuns_, &KeptRunsPanel::runsChanged, this, &AnalysisWindow::showPolarPlots);

    // The buttons on their own row: the notes below take the whole width.
    auto* bottom = new QHBoxLayout;
    polarInfo_ = label("Label_PolarInfo", QString(), tab);
    polarInfo_->setWordWrap(true);
    bottom->addStretch(1);
    auto* exportCL = named<QPushButton>("Command_ExportPolarCL", "Export CL plot...", tab);
    auto* exportCM = named<QPushButton>("Command_ExportPolarCM", "Export CM plot...", tab);
    auto* exportTable = named<QPushButton>("Command_ExportPolarTable", "Export table...", tab);
    auto* exportPolar = named<QPushButton>("Command_ExportPolarFile", "Export polar...", tab);
    bottom->addWidget(exportCL);
    bottom->addWidget(exportCM);
    bottom->addWidget(exportTable);
    bottom->addWidget(exportPolar);
    layout->addLayout(bottom);
    layout->addWidget(polarInfo_);

    connect(runPolar_, &QPushButton::clicked, this, &AnalysisWindow::runPolar);
    connect(cancelPolar_, &QPushButton::clicked, this, &AnalysisWindow::cancelRun);
    for (QLineEdit* e : {alphaFrom_, alphaTo_, alphaStep_})
        connect(e, &QLineEdit::returnPressed, this, &AnalysisWindow::runPolar);
    connect(exportCL, &QPushButton::clicked, polarCL_, &PlotView::exportWithDialog);
    connect(exportCM, &QPushButton::clicked, polarCM_, &PlotView::exportWithDialog);
    connect(exportTable, &QPushButton::clicked, this, [this] {
        if (!polarPress_) return;
        const QString path = QFileDialog::getSaveFileName(this, "Export polar table", QString(),
                                                          "CSV data (*.csv)");
        if (path.isEmpty()) return;
        if (!polar_.coupled.empty()) {
            if (auto failure = tavrix::WriteTextFile(
                    path.toStdString(), tavrix::coupledPolarCsvText(*polarPress_, polar_)))
                toolkit_.messageFrom(kAnalysisForm, *failure);
            return;
        }
        tavrix::SweepConditions conditions = tavrix::polarConditions(*polarPress_, polarCorrection_);
        if (!polar_.viscous.empty()) conditions.layer = polar_.layer;
        // The case in comment lines above the table's own header.
        const std::string text = tavrix::polarCaseLines(*polarPress_, polar_) +
            tavrix::CoefficientsCsvText(conditions, tavrix::methodSweeps(polar_));
        if (auto failure = tavrix::WriteTextFile(path.toStdString(), text))
            toolkit_.messageFrom(kAnalysisForm, *failure);
    });
    connect(exportPolar, &QPushButton::clicked, this, [this] {
        if (!polarPress_) return;
        const QString path = QFileDialog::getSaveFileName(this, "Export polar", QString(),
                                                          "Polar (*.txt *.pol)");
        if (path.isEmpty()) return;
        tavrix::SweepConditions conditions = tavrix::polarConditions(*polarPress_, polarCorrection_);
        if (!polar_.coupled.empty()) {
            // The converged points of each coupled method in xfoil's columns.
            conditions.mach = 0;
            for (std::size_t k = 0; k < polar_.methods.size() && k < polar_.coupled.size(); ++k) {
                if (polar_.coupled[k].empty()) continue;
                const std::filesystem::path file =
                    polar_.methods.size() == 1
                        ? std::filesystem::path(path.toStdString())
                        : tavrix::PolarFileFor(path.toStdString(), polar_.methods[k]);
                if (auto failure = tavrix::WriteTextFile(
                        file, tavrix::coupledPolarText(conditions, polar_.methods[k],
                                                       polar_.coupledOptions, polar_.coupled[k]))) {
                    toolkit_.messageFrom(kAnalysisForm, *failure);
                    return;
                }
            }
            return;
        }
        if (!polar_.viscous.empty()) conditions.layer = polar_.layer;
        const std::vector<tavrix::MethodSweep> sweeps = tavrix::methodSweeps(polar_);
        for (const tavrix::MethodSweep& sweep : sweeps) {
            // One file per method, as the batch front end names them.
            const std::filesystem::path file =
                sweeps.size() == 1 ? std::filesystem::path(path.toStdString())
                                   : tavrix::PolarFileFor(path.toStdString(), sweep.method);
            if (auto failure = tavrix::WriteTextFile(file, tavrix::PolarFileText(conditions, sweep))) {
                toolkit_.messageFrom(kAnalysisForm, *failure);
                return;
            }
        }
    });
    cancelPolar_->setEnabled(false);
}

void AnalysisWindow::buildConvergenceTab(QWidget* tab)
{
    auto* layout = new QVBoxLayout(tab);
    auto* row = new QHBoxLayout;
    runConvergence_ = named<QPushButton>("Command_RunConvergence", "Run", tab);
    cancelConvergence_ = named<QPushButton>("Command_CancelConvergence", "Cancel", tab);
    convergenceProgress_ = named<QProgressBar>("Progress_Convergence", tab);
    convergenceProgress_->setMaximumWidth(180);
    convergenceProgress_->setValue(0);
    auto* counts = label("Label_ConvergenceCounts",
                         "CL of the four methods with 25, 51, 101 and 199 points, "
                         "incompressible:",
                         tab);
    // Wrapped, so that the row does not set the window's least width.
    counts->setWordWrap(true);
    counts->setMinimumWidth(160);
    row->addWidget(counts, 1);
    row->addWidget(runConvergence_);
    row->addWidget(cancelConvergence_);
    row->addWidget(convergenceProgress_);
    row->addStretch();
    auto* exportCL = named<QPushButton>("Command_ExportConvergenceCL", "Export CL plot...", tab);
    auto* exportError =
        named<QPushButton>("Command_ExportConvergenceError", "Export error plot...", tab);
    row->addWidget(exportCL);
    row->addWidget(exportError);
    layout->addLayout(row);
    convergenceCase_ = label("Label_ConvergenceCase", QString(), tab);
    convergenceCase_->setWordWrap(true);
    convergenceCase_->setTextFormat(Qt::RichText);
    layout->addWidget(convergenceCase_);
    auto* plots = new QHBoxLayout;
    convergenceCL_ = new PlotView("Plot_ConvergenceCL", tab);
    convergenceError_ = new PlotView("Plot_ConvergenceError", tab);
    plots->addWidget(convergenceCL_);
    plots->addWidget(convergenceError_);
    layout->addLayout(plots, 1);
    convergenceInfo_ = label("Label_ConvergenceInfo", QString(), tab);
    convergenceInfo_->setWordWrap(true);
    layout->addWidget(convergenceInfo_);

    connect(runConvergence_, &QPushButton::clicked, this, &AnalysisWindow::runConvergence);
    connect(cancelConvergence_, &QPushButton::clicked, this, &AnalysisWindow::cancelRun);
    connect(exportCL, &QPushButton::clicked, convergenceCL_, &PlotView::exportWithDialog);
    connect(exportError, &QPushButton::clicked, convergenceError_, &PlotView::exportWithDialog);
    cancelConvergence_->setEnabled(false);
}

void AnalysisWindow::buildLayerTab(QWidget* tab)
{
    auto* pages = new QVBoxLayout(tab);
    pages->setContentsMargins(0, 0, 0, 0);
    layerPages_ = named<QStackedWidget>("Stack_BoundaryLayer", tab);
    pages->addWidget(layerPages_);
    auto* oneWay = named<QWidget>("Page_OneWayLayer");
    auto* coupledPage = named<QWidget>("Page_CoupledLayer");
    layerPages_->addWidget(oneWay);
    layerPages_->addWidget(coupledPage);

    // The coupled layer: the displacement body and wake above, one quantity
    // per tab below, each along both surfaces and the wake.
    {
        auto* layout = new QVBoxLayout(coupledPage);
        auto* split = new QSplitter(Qt::Vertical, coupledPage);
        coupledBody_ = new PlotView("Plot_CoupledBody", split);
        auto* quantities = named<QTabWidget>("Tab_CoupledLayer", split);
        const struct {
            tavrix::CoupledLayerQuantity quantity;
            const char* name;
            const char* caption;
        } plots[] = {
            {tavrix::CoupledLayerQuantity::EdgeSpeed, "Plot_CoupledUe", "ue"},
            {tavrix::CoupledLayerQuantity::Theta, "Plot_CoupledTheta", "\u03b8"},
            {tavrix::CoupledLayerQuantity::DisplacementThickness, "Plot_CoupledDstar", "\u03b4*"},
            {tavrix::CoupledLayerQuantity::ShapeFactor, "Plot_CoupledH", "H"},
            {tavrix::CoupledLayerQuantity::SkinFriction, "Plot_CoupledCf", "Cf"},
            {tavrix::CoupledLayerQuantity::Amplification, "Plot_CoupledN", "n (laminar)"},
            {tavrix::CoupledLayerQuantity::ShearStress, "Plot_CoupledCtau", "C\u03c4 (turbulent)"}};
        for (const auto& p : plots) {
            auto* view = new PlotView(p.name, quantities);
            quantities->addTab(view, QString::fromUtf8(p.caption));
            coupledLayer_.emplace_back(p.quantity, view);
        }
        split->setStretchFactor(0, 2);
        split->setStretchFactor(1, 3);
        layout->addWidget(split, 1);
        auto* bottom = new QHBoxLayout;
        coupledInfo_ = label("Label_CoupledInfo", QString(), coupledPage);
        coupledInfo_->setWordWrap(true);
        coupledInfo_->setTextFormat(Qt::RichText);
        bottom->addWidget(coupledInfo_, 1);
        auto* exportBody = named<QPushButton>("Command_ExportCoupledBody", "Export body...", coupledPage);
        auto* exportQuantity =
            named<QPushButton>("Command_ExportCoupledQuantity", "Export plot...", coupledPage);
        bottom->addWidget(exportBody);
        bottom->addWidget(exportQuantity);
        layout->addLayout(bottom);
        connect(exportBody, &QPushButton::clicked, coupledBody_, &PlotView::exportWithDialog);
        connect(exportQuantity, &QPushButton::clicked, this, [quantities] {
            if (auto* view = qobject_cast<PlotView*>(quantities->currentWidget()))
                view->exportWithDialog();
        });
    }

    tab = oneWay;
    auto* layout = new QVBoxLayout(tab);
    auto* grid = new QGridLayout;
    layerAirfoil_ = new PlotView("Plot_LayerAirfoil", tab);
    layerCf_ = new PlotView("Plot_LayerCf", tab);
    layerTheta_ = new PlotView("Plot_LayerTheta", tab);
    layerH_ = new PlotView("Plot_LayerH", tab);
    grid->addWidget(layerAirfoil_, 0, 0, 1, 3);
    grid->addWidget(layerCf_, 1, 0);
    grid->addWidget(layerTheta_, 1, 1);
    grid->addWidget(layerH_, 1, 2);
    layout->addLayout(grid, 1);
    auto* bottom = new QHBoxLayout;
    layerInfo_ = label("Label_LayerInfo", QString(), tab);
    layerInfo_->setWordWrap(true);
    layerInfo_->setTextFormat(Qt::RichText);
    bottom->addWidget(layerInfo_, 1);
    const struct {
        const char* name;
        const char* caption;
        PlotView* view;
    } exports[] = {{"Command_ExportLayerAirfoil", "Export airfoil...", layerAirfoil_},
                   {"Command_ExportLayerCf", "Export Cf...", layerCf_},
                   {"Command_ExportLayerTheta", "Export \u03b8...", layerTheta_},
                   {"Command_ExportLayerH", "Export H...", layerH_}};
    for (const auto& e : exports) {
        auto* button = named<QPushButton>(e.name, QString::fromUtf8(e.caption), tab);
        bottom->addWidget(button);
        connect(button, &QPushButton::clicked, e.view, &PlotView::exportWithDialog);
    }
    layout->addLayout(bottom);
}

bool AnalysisWindow::readReynolds(double& Re, bool tell)
{
    tavrix::readReynolds(reynolds_->text().toStdString(), Re, layerRefusal_);
    if (layerRefusal_.empty()) return true;
    if (tell) toolkit_.messageFrom(kAnalysisForm, layerRefusal_);
    return false;
}

bool AnalysisWindow::readLayerSetup(tavrix::BoundaryLayerSetup& setup, bool tell)
{
    if (!readReynolds(setup.Re, tell)) return false;
    if (setup.Re == 0 || transition_->currentIndex() != 1) return true;
    if (!tavrix::readNcrit(ncrit_->text().toStdString(), setup.transition.Ncrit, layerRefusal_)) {
        if (tell) toolkit_.messageFrom(kAnalysisForm, layerRefusal_);
        return false;
    }
    setup.transition.criterion = tavrix::TransitionCriterion::Envelope;
    return true;
}

bool AnalysisWindow::readCoupledOptions(tavrix::coupled::CoupledOptions& options, bool tell)
{
    if (!readReynolds(options.re, tell)) return false;
    if (options.re == 0) return true;
    if (!tavrix::readNcrit(ncrit_->text().toStdString(), options.ncrit, layerRefusal_)) {
        if (tell) toolkit_.messageFrom(kAnalysisForm, layerRefusal_);
        return false;
    }
    return true;
}

void AnalysisWindow::updateCoupledPoint()
{
    if (pointRunning_) {
        // One point at a time: the case is looked at again when it is back.
        pointAgain_ = true;
        coupledPoint_.reset();
        showCoupledPoint();
        return;
    }
    coupledPoint_.reset();
    comparePoints_.clear();
    compareMethods_.clear();
    coupledRefusal_.clear();
    tavrix::coupled::CoupledOptions options;
    const bool readable = readCoupledOptions(options, false);
    if (!press_ || !coupledModel() || !readable || options.re == 0) {
        showCoupledPoint();
        return;
    }
    const tavrix::PanelMethod method = press_->setup.method;
    if (!tavrix::coupled::couplingAvailable(method)) {
        coupledRefusal_ = qs(tavrix::coupled::couplingRefusal(method).message);
        showCoupledPoint();
        return;
    }
    if (press_->setup.noCirculation) {
        coupledRefusal_ = "The coupled analysis needs the trailing-edge condition: the press ran "
                          "without circulation.";
        showCoupledPoint();
        return;
    }
    coupledPointOptions_ = options;
    // "Compare methods": every coupled formulation at the press's point.
    pendingMethods_ = {method};
    if (compare_->isChecked())
        for (tavrix::PanelMethod m : tavrix::kAllMethods)
            if (m != method && tavrix::coupled::couplingAvailable(m)) pendingMethods_.push_back(m);
    pendingPoints_ = std::make_shared<std::vector<tavrix::CoupledPoint>>();
    pointRunning_ = true;
    pointWatcher_.setFuture(QtConcurrent::run(
        [points = pendingPoints_, press = press_, methods = pendingMethods_, options] {
            for (tavrix::PanelMethod m : methods)
                points->push_back(tavrix::computeCoupledPoint(*press, m, options));
        }));
    showCoupledPoint();
}

void AnalysisWindow::showCoupledPoint()
{
    const bool coupled = coupledModel();
    layerPages_->setCurrentIndex(coupled ? 1 : 0);
    const bool shown = coupled && coupledPoint_ && coupledPoint_->converged;
    bodyPlot_->setVisible(coupled && press_ && (pointRunning_ || coupledPoint_));
    if (!coupled) return;
    double Re = 0;
    std::string refusal;
    tavrix::readReynolds(reynolds_->text().toStdString(), Re, refusal);
    const bool readable = refusal.empty();
    QString info;
    if (!press_)
        info = QString();
    else if (!readable)
        info = qs(layerRefusal_).toHtmlEscaped();
    else if (Re == 0)
        info = "Type a Reynolds number above to run the coupled viscous-inviscid analysis of the "
               "last press.";
    else if (!coupledRefusal_.isEmpty())
        info = coupledRefusal_.toHtmlEscaped();
    else if (pointRunning_)
        info = "Computing the coupled analysis of the last press...";
    else if (coupledPoint_ && !coupledPoint_->converged) {
        info = "<b><span style=\"color:#b00000\">Not converged:</span></b> " +
               qs(coupledPoint_->reason).toHtmlEscaped();
        if (press_->setup.method != tavrix::PanelMethod::SoinneLaine)
            info += QString("<br>") + kSoinneLaineAdvice;
    }
    if (!shown) {
        coupledBody_->setPlot({});
        bodyPlot_->setPlot({});
        for (auto& [quantity, view] : coupledLayer_) view->setPlot({});
        coupledInfo_->setText(info);
        return;
    }
    const tavrix::CoupledPoint& p = *coupledPoint_;
    const std::string caseText = tavrix::coupledPointCaseText(*press_, coupledPointOptions_, p);
    const tavrix::PlotData body = tavrix::namedForCase(tavrix::displacementBodyPlot(p), caseText);
    coupledBody_->setPlot(body);
    bodyPlot_->setPlot(body);
    for (auto& [quantity, view] : coupledLayer_)
        view->setPlot(tavrix::namedForCase(tavrix::coupledLayerPlot(p, quantity), caseText));
    const auto xc = [](const std::optional<double>& x, const char* none) {
        return x ? fixed(*x, 4) : QString(none);
    };
    // (the layer's own panels where the contour was subdivided for it)
    const QString subdivided =
        p.layerPoints > p.contourPoints
            ? QString("; the layer on %1 points, the contour's %2 subdivided")
                  .arg(p.layerPoints)
                  .arg(p.contourPoints)
            : QString();
    coupledInfo_->setText(
        QString("<b>viscous CL = %1 &nbsp; CMc/4 = %2 &nbsp; CD = %3</b> &nbsp; (CDp = %4, CDf = "
                "%5) &nbsp;&nbsp; transition x/c: upper %6, lower %7 &nbsp;&nbsp; separation "
                "x/c: upper %8, lower %9<br>%10; %11 Newton steps%12")
            .arg(fixed(p.CL, 4), fixed(p.CM, 4), fixed(p.CD, 5), fixed(p.CDp, 5), fixed(p.CDf, 5))
            .arg(xc(p.transitionUpper, "laminar"), xc(p.transitionLower, "laminar"),
                 xc(p.separationUpper, "none"), xc(p.separationLower, "none"))
            .arg(QString::fromStdString(caseText).toHtmlEscaped())
            .arg(p.iterations)
            .arg(subdivided));
}

void AnalysisWindow::updateLayer(bool tell)
{
    if (coupledModel()) {
        // A refused box leaves the point on screen as it was.
        tavrix::coupled::CoupledOptions options;
        if (!readCoupledOptions(options, tell) && tell) return;
        layer_ = tavrix::ViscousResult{};
        updateCoupledPoint();
        return;
    }
    showCoupledPoint();
    tavrix::BoundaryLayerSetup setup;
    const bool readable = readLayerSetup(setup, tell);
    if (!readable && tell) return;
    const double Re = setup.Re;
    layer_ = tavrix::ViscousResult{};
    if (!readable || Re == 0 || !press_) {
        for (PlotView* v : {layerAirfoil_, layerCf_, layerTheta_, layerH_}) v->setPlot({});
        if (press_) layerAirfoil_->setPlot(tavrix::layerAirfoilPlot(*press_, layer_));
        // A refused box says why the layer is missing.
        if (!readable)
            layerInfo_->setText(QString::fromStdString(layerRefusal_).toHtmlEscaped());
        else
            layerInfo_->setText(press_ ? "Type a Reynolds number above to compute the boundary "
                                         "layer of the last press."
                                       : QString());
        return;
    }
    layer_ = tavrix::pressLayer(*press_, setup);
    char re[32];
    std::snprintf(re, sizeof re, ", Re = %.6g", Re);
    const std::string caseText = tavrix::caseTitle(*press_) + re;
    const auto titled = [&](tavrix::PlotData plot) {
        return tavrix::titledForCase(std::move(plot), caseText);
    };
    layerAirfoil_->setPlot(titled(tavrix::layerAirfoilPlot(*press_, layer_)));
    layerCf_->setPlot(titled(tavrix::layerPlot(layer_, tavrix::LayerQuantity::Cf)));
    layerTheta_->setPlot(titled(tavrix::layerPlot(layer_, tavrix::LayerQuantity::Theta)));
    layerH_->setPlot(titled(tavrix::layerPlot(layer_, tavrix::LayerQuantity::H)));
    QStringList lines;
    const std::vector<std::string> summary = tavrix::layerSummary(layer_);
    for (std::size_t i = 0; i < summary.size(); ++i) {
        QString line = QString::fromStdString(summary[i]).toHtmlEscaped();
        // The unreliable drag and the coupling note must not be overlooked.
        if (i == 0 && layer_.ok && !layer_.reliable)
            line = "<b><span style=\"color:#b00000\">" + line + "</span></b>";
        if (i + 1 == summary.size() && layer_.ok) line = "<b>" + line + "</b>";
        lines << line;
    }
    // Drag on the first line, the two surfaces on the second, the note last.
    QString text = QString("Re = %1 &nbsp;&nbsp; ").arg(Re, 0, 'g', 6);
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) text += (i == 1 || i == 3) ? " &nbsp;&nbsp; " : "<br>";
        text += lines[i];
    }
    layerInfo_->setText(text);
}

void AnalysisWindow::takeLastPress()
{
    if (!logic_.lastPressCompleted()) {
        showCase();
        return;
    }
    // The boxes hold what the press has just read.
    tavrix::FlowSetup setup;
    setup.etaDeg = tavrix::readLeadingNumber(toolkit_.text("Text_ItaD")).value;
    setup.mach = tavrix::readLeadingNumber(toolkit_.text("Text_Moo")).value;
    for (tavrix::PanelMethod m : tavrix::kAllMethods)
        if (toolkit_.isSelected(tavrix::methodOption(m))) setup.method = m;
    setup.noCirculation =
        setup.method == tavrix::PanelMethod::Hess && toolkit_.value("Check_Circulation") == 1;
    std::optional<tavrix::KarmanTrefftzSection> section;
    if (logic_.katjoCreated()) section = logic_.katjo().lastSection();
    press_ = std::make_shared<const tavrix::PressCase>(
        tavrix::makePressCase(logic_.common(), setup, section));
    flowField_->setPress(press_);
    // The polar runs the press's method until the user picks one.
    if (!polarMethodChosen_)
        for (int i = 0; i < kAllFourIndex; ++i)
            if (tavrix::kAllMethods[i] == setup.method) polarMethod_->setCurrentIndex(i);
    showCase();
    updatePressure();
    updateLayer();
    markOutOfDate();
    // An angle found for the earlier press is no answer for this one.
    liftTarget_.reset();
    liftTargetInfo_->clear();
}

tavrix::Compressibility AnalysisWindow::chosenCorrection() const
{
    return correction_->currentIndex() == 1 ? tavrix::Compressibility::KarmanTsien
                                            : tavrix::Compressibility::PrandtlGlauert;
}

bool AnalysisWindow::polarOutOfDate() const
{
    if (!polarPress_ || !press_) return false;
    if (!tavrix::sameFlowCase(*polarPress_, *press_, false)) return true;
    // The correction matters only with a Mach number.
    if (press_->setup.mach != 0 && polarCorrection_ != chosenCorrection()) return true;
    // The boundary layer of the boxes: a refused box counts as another case.
    tavrix::BoundaryLayerSetup now;
    std::string refusal;
    if (!tavrix::readReynolds(reynolds_->text().toStdString(), now.Re, refusal) &&
        !refusal.empty())
        return true;
    // The coupled analysis: its model, Re and Ncrit.
    const bool coupledNow = coupledModel() && now.Re > 0;
    if (coupledNow != !polar_.coupled.empty()) return true;
    if (coupledNow) {
        double ncrit = 0;
        return now.Re != polar_.coupledOptions.re ||
               !tavrix::readNcrit(ncrit_->text().toStdString(), ncrit, refusal) ||
               ncrit != polar_.coupledOptions.ncrit;
    }
    const tavrix::BoundaryLayerSetup& then = polar_.layer;
    const double thenRe = polar_.viscous.empty() ? 0 : then.Re;
    if (now.Re != thenRe) return true;
    if (now.Re == 0) return false;
    const bool envelope = transition_->currentIndex() == 1;
    if (envelope != (then.transition.criterion == tavrix::TransitionCriterion::Envelope))
        return true;
    if (envelope) {
        double ncrit = 0;
        if (!tavrix::readNcrit(ncrit_->text().toStdString(), ncrit, refusal) ||
            ncrit != then.transition.Ncrit)
            return true;
    }
    return false;
}

bool AnalysisWindow::convergenceOutOfDate() const
{
    return convergencePress_ && press_ && !tavrix::sameFlowCase(*convergencePress_, *press_, true);
}

void AnalysisWindow::markOutOfDate()
{
    const QString stale = QString::fromUtf8(
        "<b><span style=\"color:#b00000\">OUT OF DATE:</span></b> computed for %1, not for "
        "the case on screen; press Run to compute it for the case on screen.");
    const QString current = QString::fromUtf8("Computed for %1.");
    const auto polarText = [this] {
        if (!polar_.coupled.empty())
            return QString::fromStdString(tavrix::coupledPolarCaseText(*polarPress_, polar_))
                .toHtmlEscaped();
        std::string t = tavrix::caseTitle(*polarPress_, {false, false, false});
        if (polarPress_->setup.mach != 0)
            t += polarCorrection_ == tavrix::Compressibility::KarmanTsien ? " (Karman-Tsien)"
                                                                           : " (Prandtl-Glauert)";
        if (!polar_.viscous.empty()) {
            char re[64];
            std::snprintf(re, sizeof re, ", Re = %.6g", polar_.layer.Re);
            t += re;
            if (polar_.layer.transition.criterion == tavrix::TransitionCriterion::Envelope) {
                std::snprintf(re, sizeof re, ", e^n with Ncrit = %.6g", polar_.layer.transition.Ncrit);
                t += re;
            }
        }
        return QString::fromStdString(t).toHtmlEscaped();
    };
    const bool polarStale = polarOutOfDate();
    polarCase_->setText(!polarPress_ ? QString()
                        : polarStale ? stale.arg(polarText())
                                     : current.arg(polarText()));
    tabs_->setTabText(1, polarStale ? "Polar (out of date)" : "Polar");
    const bool convergenceStale = convergenceOutOfDate();
    const auto convergenceText = [this] {
        return QString::fromStdString(
                   tavrix::caseTitle(*convergencePress_, {true, false, true}))
            .toHtmlEscaped();
    };
    convergenceCase_->setText(!convergencePress_ ? QString()
                              : convergenceStale ? stale.arg(convergenceText())
                                                 : current.arg(convergenceText()));
    tabs_->setTabText(2, convergenceStale ? "Convergence (out of date)" : "Convergence");
}

void AnalysisWindow::showCase()
{
    if (!press_) {
        caseLabel_->setText(
            "No completed press yet: press \"Calculate velocities and show\" in the main window.");
        return;
    }
    const tavrix::PressCase& p = *press_;
    const QString source = QString::fromStdString(tavrix::sectionName(p));
    caseLabel_->setText(QString::fromUtf8("Last press: %1, %2 points · %3 method · \u03b1 = %4° · "
                                          "\u03b7 = %5° · M\u221e = %6")
                            .arg(source)
                            .arg(p.common.NP)
                            .arg(qs(tavrix::methodName(p.setup.method)))
                            .arg(p.alphaDeg, 0, 'g', 6)
                            .arg(p.setup.etaDeg, 0, 'g', 6)
                            .arg(std::fabs(p.setup.mach), 0, 'g', 4));
}

void AnalysisWindow::updatePressure()
{
    exact_->setEnabled(press_ && press_->section.has_value());
    if (!press_) return;
    tavrix::PressureRequest request;
    request.correction = correction_->currentIndex() == 1 ? tavrix::Compressibility::KarmanTsien
                                                          : tavrix::Compressibility::PrandtlGlauert;
    request.compareMethods = compare_->isChecked();
    request.exact = exact_->isChecked();
    const tavrix::PressureResult r = tavrix::pressurePlot(*press_, request);
    // With the coupled point of the press, its viscous pressure over the
    // inviscid one (the methods side by side stay inviscid).
    const bool viscous = coupledModel() && coupledPoint_ && coupledPoint_->converged &&
                         !request.compareMethods;
    if (coupledModel() && request.compareMethods && !comparePoints_.empty()) {
        pressurePlot_->setPlot(tavrix::namedForCase(
            tavrix::coupledPressureComparison(comparePoints_, compareMethods_),
            tavrix::coupledCaseText(*press_, "", coupledPointOptions_, {}) + ", \u03b1 = " +
                tavrix::generalForm(press_->alphaDeg) + "\u00b0"));
    } else if (viscous) {
        pressurePlot_->setPlot(tavrix::namedForCase(
            tavrix::coupledPressurePlot(*coupledPoint_, r.plot, press_->setup.method),
            tavrix::coupledPointCaseText(*press_, coupledPointOptions_, *coupledPoint_)));
    } else {
        pressurePlot_->setPlot(tavrix::titledForCase(r.plot, tavrix::caseTitle(*press_)));
    }

    QStringList info;
    const QString correction = correction_->currentText();
    if (press_->setup.mach == 0) {
        const tavrix::Coefficients k = tavrix::IntegrateForces(press_->common);
        QString line = QString("Press: CL = %1, CMc/4 = %2").arg(fixed(k.CL, 4), fixed(k.CM, 4));
        if (const auto ch = tavrix::pressHingeMoment(press_->common))
            line += QString(", CH = %1 (hinge moment, positive trailing edge down)").arg(fixed(*ch, 4));
        info << line;
    } else if (r.validity != tavrix::CorrectionValidity::Valid) {
        // No corrected coefficient is a result here.
        info << QString("The %1 correction does not hold: %2; CL and CMc/4 of the corrected "
                        "flow are not valid")
                    .arg(correction,
                         r.validity == tavrix::CorrectionValidity::Supercritical
                             ? QString("the free stream is past the critical Mach number of "
                                       "this case (locally supersonic flow)")
                             : QString("the corrected Cp falls below the vacuum limit"));
    } else if (r.hasCoefficients) {
        // The coefficients of the plotted curve, named by their correction.
        QString line = QString("CL = %1, CMc/4 = %2 (%3)")
                           .arg(fixed(r.CL, 4), fixed(r.CM, 4), correction);
        if (chosenCorrection() != tavrix::Compressibility::PrandtlGlauert) {
            const tavrix::Coefficients k = tavrix::IntegrateForces(press_->common);
            line += QString("; the main window shows CL = %1 (Prandtl-Glauert)").arg(fixed(k.CL, 4));
        }
        info << line;
    }
    if (press_->setup.mach != 0) {
        info << QString("Cp* = %1").arg(fixed(r.cpStar, 4));
        if (r.criticalMach > 0)
            info << QString("critical Mach number (%1) = %2")
                        .arg(correction_->currentText(), fixed(r.criticalMach, 4));
    }
    if (r.hasExact) info << QString("exact CL = %1").arg(fixed(r.exactCL, 4));
    if (viscous)
        info << QString("viscous (coupled, incompressible): CL = %1, CMc/4 = %2, CD = %3")
                    .arg(fixed(coupledPoint_->CL, 4), fixed(coupledPoint_->CM, 4),
                         fixed(coupledPoint_->CD, 5));
    else if (coupledModel() && pointRunning_)
        info << QString("computing the coupled analysis...");
    else if (coupledModel() && coupledPoint_ && !coupledPoint_->converged)
        info << QString("coupled analysis not converged: %1").arg(qs(coupledPoint_->reason));
    // The coupled methods side by side: each one's lift and drag, or why none.
    for (std::size_t k = 0; request.compareMethods && k < comparePoints_.size(); ++k) {
        const tavrix::CoupledPoint& p = comparePoints_[k];
        const QString name = qs(tavrix::methodName(compareMethods_[k]));
        info << (p.converged ? QString("%1 viscous: CL = %2, CD = %3")
                                   .arg(name, fixed(p.CL, 4), fixed(p.CD, 5))
                             : QString("%1: not converged").arg(name));
    }
    QString text = info.join("    ");
    if (!r.message.empty()) text += "\n" + QString::fromStdString(r.message);
    pressureInfo_->setText(text);
}

bool AnalysisWindow::running() const { return running_; }

void AnalysisWindow::setRunning(bool running)
{
    running_ = running;
    runPolar_->setEnabled(!running);
    runReynoldsSweep_->setEnabled(!running);
    runConvergence_->setEnabled(!running);
    cancelPolar_->setEnabled(running);
    cancelConvergence_->setEnabled(running);
}

void AnalysisWindow::cancelRun() { cancel_ = true; }

void AnalysisWindow::showProgress()
{
    if (activeBar_ == nullptr) return;
    // In per cent of the points: the bar's scale stays 0 to 100 from the start.
    const std::size_t total = std::max<std::size_t>(total_, 1);
    const std::size_t done = std::min<std::size_t>(done_, total);
    activeBar_->setValue(static_cast<int>(100 * done / total));
}

void AnalysisWindow::startRun(Job job, std::function<void()> done, QProgressBar* bar)
{
    cancel_ = false;
    done_ = 0;
    total_ = 1;
    activeBar_ = bar;
    bar->setRange(0, 100);
    bar->setValue(0);
    whenDone_ = std::move(done);
    setRunning(true);
    progressTimer_->start();
    watcher_.setFuture(QtConcurrent::run([this, job = std::move(job)] {
        job([this](std::size_t done, std::size_t total) {
            // The total first: a share is never read against the total of no run.
            total_ = total;
            done_ = done;
            return !cancel_.load();
        });
    }));
}

bool AnalysisWindow::readNumber(QLineEdit* edit, std::string_view what, double& value)
{
    const std::string text = edit->text().toStdString();
    const tavrix::TypedNumber n = tavrix::readTypedNumber(text);
    if (n.kind == tavrix::TypedNumber::Kind::TooLarge) {
        toolkit_.messageFrom(kAnalysisForm, tavrix::numberTooLargeMessage(text));
        return false;
    }
    if (n.kind != tavrix::TypedNumber::Kind::Number) {
        toolkit_.messageFrom(kAnalysisForm, tavrix::notANumberMessage(what, text));
        return false;
    }
    value = n.value;
    return true;
}

bool AnalysisWindow::readSweep(std::vector<double>& alphas,
                               std::vector<tavrix::PanelMethod>& methods)
{
    double from = 0, to = 0, step = 0;
    if (!readNumber(alphaFrom_, "The first angle of the sweep", from) ||
        !readNumber(alphaTo_, "The last angle of the sweep", to) ||
        !readNumber(alphaStep_, "The step of the sweep", step))
        return false;
    std::string refusal;
    alphas = tavrix::sweepAngles(from, to, step, refusal);
    if (alphas.empty()) {
        toolkit_.messageFrom(kAnalysisForm, refusal);
        return false;
    }
    methods.clear();
    if (polarMethod_->currentIndex() == kAllFourIndex)
        methods.assign(std::begin(tavrix::kAllMethods), std::end(tavrix::kAllMethods));
    else
        methods.push_back(tavrix::kAllMethods[polarMethod_->currentIndex()]);
    return true;
}

void AnalysisWindow::runPolar()
{
    if (running()) return;
    if (!press_) {
        toolkit_.messageFrom(kAnalysisForm, "Calculate velocities first: the polar uses the contour of the last press");
        return;
    }
    std::vector<double> alphas;
    std::vector<tavrix::PanelMethod> methods;
    if (!readSweep(alphas, methods)) return;
    const auto correction = correction_->currentIndex() == 1
                                ? tavrix::Compressibility::KarmanTsien
                                : tavrix::Compressibility::PrandtlGlauert;
    auto result = std::make_shared<tavrix::PolarResult>();
    std::shared_ptr<const tavrix::PressCase> press = press_;
    const auto done = [this, result, press, correction] {
        polar_ = std::move(*result);
        polarPress_ = press;
        polarCorrection_ = correction;
        showPolar();
        markOutOfDate();
    };
    if (coupledModel()) {
        tavrix::coupled::CoupledOptions options;
        if (!readCoupledOptions(options, true)) return;
        if (options.re > 0) {
            polarInfo_->setText("Running the coupled analysis outward from 0\u00b0...");
            startRun(
                [=](const tavrix::SweepProgress& progress) {
                    *result = tavrix::computeCoupledPolar(*press, methods, alphas, options,
                                                          progress);
                },
                done, polarProgress_);
            return;
        }
    }
    tavrix::BoundaryLayerSetup layer;
    if (!readLayerSetup(layer, true)) return;
    polarInfo_->setText("Running...");
    startRun(
        [=](const tavrix::SweepProgress& progress) {
            *result = tavrix::computePolar(*press, methods, alphas, correction, progress, layer);
        },
        done, polarProgress_);
}

void AnalysisWindow::runReynoldsSweep()
{
    if (running()) return;
    if (!press_) {
        toolkit_.messageFrom(kAnalysisForm, "Calculate velocities first: the polar uses the contour of the last press");
        return;
    }
    if (!coupledModel()) {
        toolkit_.messageFrom(kAnalysisForm, "The Reynolds sweep runs the coupled analysis: choose "
                                            "the model \"Coupled (viscous-inviscid)\"");
        return;
    }
    // The Reynolds numbers, separated by blanks, commas or semicolons.
    std::vector<double> numbers;
    QString list = reynoldsList_->text();
    list.replace(';', ' ');
    for (const QString& word : list.split(QRegularExpression("[\\s,]+"), Qt::SkipEmptyParts)) {
        double Re = 0;
        std::string refusal;
        tavrix::readReynolds(word.toStdString(), Re, refusal);
        if (!refusal.empty() || Re == 0) {
            toolkit_.messageFrom(kAnalysisForm,
                                 "The Reynolds sweep takes Reynolds numbers from 1e3 to 1e9 "
                                 "separated by blanks, not \"" + word.toStdString() + "\"");
            return;
        }
        numbers.push_back(Re);
    }
    if (numbers.empty()) {
        toolkit_.messageFrom(kAnalysisForm, "Type the Reynolds numbers of the sweep, such as "
                                            "\"1e6 3e6 6e6\"");
        return;
    }
    std::vector<double> alphas;
    std::vector<tavrix::PanelMethod> methods;
    if (!readSweep(alphas, methods)) return;
    tavrix::coupled::CoupledOptions options;
    if (!tavrix::readNcrit(ncrit_->text().toStdString(), options.ncrit, layerRefusal_)) {
        toolkit_.messageFrom(kAnalysisForm, layerRefusal_);
        return;
    }
    auto results = std::make_shared<std::vector<tavrix::PolarResult>>();
    std::shared_ptr<const tavrix::PressCase> press = press_;
    polarInfo_->setText("Running the Reynolds sweep...");
    startRun(
        [=](const tavrix::SweepProgress& progress) {
            const std::size_t perRe = methods.size() * alphas.size();
            const std::size_t total = perRe * numbers.size();
            for (std::size_t k = 0; k < numbers.size(); ++k) {
                tavrix::coupled::CoupledOptions o = options;
                o.re = numbers[k];
                results->push_back(tavrix::computeCoupledPolar(
                    *press, methods, alphas, o, [&](std::size_t done, std::size_t) {
                        return progress(k * perRe + done, total);
                    }));
                if (results->back().cancelled) break;
            }
        },
        [this, results, press] {
            // Each Reynolds number becomes a kept run of each method.
            for (const tavrix::PolarResult& polar : *results)
                keptRuns_->add(tavrix::keptRunsOf(*press, polar));
            QString info = QString("Reynolds sweep: %1 polars kept").arg(results->size());
            if (!results->empty() && results->back().cancelled) info += " (cancelled)";
            polarInfo_->setText(info + ".");
            showPolarPlots();
        },
        polarProgress_);
}

void AnalysisWindow::showCoupledPolar()
{
    QStringList headers{QString::fromUtf8("\u03b1 (deg)")};
    for (tavrix::PanelMethod m : polar_.methods) {
        const QString name = qs(tavrix::methodName(m));
        headers << name + " CL" << name + " CD" << name + " CDp" << name + " CMc/4"
                << name + " Xtr upper" << name + " Xtr lower" << name + " converged";
    }
    constexpr int perMethod = 7;
    std::size_t rows = 0;
    for (const auto& points : polar_.coupled) rows = std::max(rows, points.size());
    polarTable_->clear();
    polarTable_->setColumnCount(static_cast<int>(headers.size()));
    polarTable_->setRowCount(static_cast<int>(rows));
    polarTable_->setHorizontalHeaderLabels(headers);
    int failed = 0;
    // (of a coupling on the panels' control points)
    bool failedOnControlPoints = false;
    for (std::size_t k = 0; k < polar_.coupled.size(); ++k) {
        for (std::size_t i = 0; i < polar_.coupled[k].size(); ++i) {
            const tavrix::CoupledPoint& p = polar_.coupled[k][i];
            const int r = static_cast<int>(i);
            const int c = 1 + perMethod * static_cast<int>(k);
            polarTable_->setItem(r, 0, new QTableWidgetItem(QString::number(p.alphaDeg, 'g', 6)));
            if (!p.converged) {
                // No number of a point that did not converge is a result.
                ++failed;
                if (k < polar_.methods.size() && polar_.methods[k] != tavrix::PanelMethod::SoinneLaine &&
                    p.reason != tavrix::kCancelledReason)
                    failedOnControlPoints = true;
                auto* item = new QTableWidgetItem("no: " + qs(p.reason));
                item->setToolTip(qs(p.reason));
                item->setForeground(QColor(0xb0, 0, 0));
                polarTable_->setItem(r, c + 6, item);
                continue;
            }
            polarTable_->setItem(r, c, new QTableWidgetItem(fixed(p.CL, 4)));
            polarTable_->setItem(r, c + 1, new QTableWidgetItem(fixed(p.CD, 5)));
            polarTable_->setItem(r, c + 2, new QTableWidgetItem(fixed(p.CDp, 5)));
            polarTable_->setItem(r, c + 3, new QTableWidgetItem(fixed(p.CM, 4)));
            polarTable_->setItem(r, c + 4,
                                 new QTableWidgetItem(fixed(tavrix::transitionXc(p.transitionUpper), 4)));
            polarTable_->setItem(r, c + 5,
                                 new QTableWidgetItem(fixed(tavrix::transitionXc(p.transitionLower), 4)));
            polarTable_->setItem(r, c + 6, new QTableWidgetItem("yes"));
        }
    }
    polarTable_->resizeColumnsToContents();

    QStringList lines;
    for (std::size_t k = 0; k < polar_.methods.size() && k < polar_.coupled.size(); ++k) {
        if (polar_.coupled[k].empty()) continue;
        const QString name = qs(tavrix::methodName(polar_.methods[k]));
        if (const auto m = tavrix::polarLiftMaximum(polar_, k))
            lines << QString::fromUtf8("<b>CLmax = %1 at \u03b1 = %2°</b> (%3)")
                         .arg(fixed(m->cl, 4), qs(tavrix::generalForm(m->alphaDeg)), name);
        else
            lines << QString("CLmax: none in range, the lift still rises at the last converged "
                             "angle (%1)")
                         .arg(name);
    }
    QString info = lines.join(" &nbsp;&nbsp; ");
    if (failed > 0)
        info += QString("<br>%1 point%2 did not converge (or converged on another branch of "
                        "the equations): hollow on the plots at the last iterate, never joined "
                        "into the curves; the reasons are in the table.")
                    .arg(failed)
                    .arg(failed == 1 ? "" : "s");
    if (failedOnControlPoints)
        info += QString("<br>") + kSoinneLaineAdvice;
    if (polar_.cancelled) info += "<br>Cancelled: the angles solved before are kept.";
    if (!polar_.message.empty())
        info += "<br>" + QString::fromStdString(polar_.message).toHtmlEscaped();
    polarInfo_->setTextFormat(Qt::RichText);
    polarInfo_->setText(info);
}

void AnalysisWindow::showPolar()
{
    showPolarPlots();
    keptRuns_->setCanKeep(true);
    if (!polar_.coupled.empty()) {
        showCoupledPolar();
        return;
    }
    polarInfo_->setTextFormat(Qt::AutoText);

    QStringList headers{QString::fromUtf8("\u03b1 (deg)")};
    const bool viscous = !polar_.viscous.empty();
    // With a flap, its hinge moment follows CMc/4.
    const std::optional<tavrix::FlappedSection> flap =
        tavrix::flappedSectionInUse(polarPress_->common);
    const int hinge = flap ? 1 : 0;
    const int perMethod = (viscous ? 6 : 3) + hinge;
    for (tavrix::PanelMethod m : polar_.methods) {
        const QString name = qs(tavrix::methodName(m));
        // The inviscid pressure integral and the boundary layer's drag are
        // named as in the exported table and polar file.
        headers << name + " CL" << name + " CDp inviscid" << name + " CMc/4";
        if (flap) headers << name + " CH";
        if (viscous) headers << name + " CD boundary layer" << name + " Xtr upper" << name + " Xtr lower";
    }
    std::size_t rows = 0;
    for (const auto& points : polar_.points) rows = std::max(rows, points.size());
    polarTable_->clear();
    polarTable_->setColumnCount(static_cast<int>(headers.size()));
    polarTable_->setRowCount(static_cast<int>(rows));
    polarTable_->setHorizontalHeaderLabels(headers);
    for (std::size_t k = 0; k < polar_.points.size(); ++k) {
        for (std::size_t i = 0; i < polar_.points[k].size(); ++i) {
            const tavrix::OperatingPoint& p = polar_.points[k][i];
            const int r = static_cast<int>(i);
            const int c = 1 + perMethod * static_cast<int>(k);
            polarTable_->setItem(r, 0, new QTableWidgetItem(QString::number(p.alphaDeg, 'g', 6)));
            // Where the correction does not hold the numbers are no result.
            const bool holds = tavrix::pointValidity(p, polar_.mach, polar_.correction) ==
                               tavrix::CorrectionValidity::Valid;
            const auto shown = [holds](double v) {
                return holds ? fixed(v, 5) : "not valid (" + fixed(v, 5) + ")";
            };
            polarTable_->setItem(r, c, new QTableWidgetItem(shown(p.CL)));
            polarTable_->setItem(r, c + 1, new QTableWidgetItem(shown(p.CD)));
            polarTable_->setItem(r, c + 2, new QTableWidgetItem(shown(p.CM)));
            if (flap)
                polarTable_->setItem(r, c + 3, new QTableWidgetItem(shown(
                    tavrix::hingeMomentCoefficient(flap->contour, p.Cu, flap->hinge))));
            if (!viscous || k >= polar_.viscous.size() || i >= polar_.viscous[k].size()) continue;
            const tavrix::ViscousPoint& v = polar_.viscous[k][i];
            if (!v.ok) {
                polarTable_->setItem(r, c + 3 + hinge, new QTableWidgetItem("no layer"));
                continue;
            }
            polarTable_->setItem(
                r, c + 3 + hinge,
                new QTableWidgetItem(v.reliable ? fixed(v.CD, 5)
                                                : "not reliable (" + fixed(v.CD, 5) + ")"));
            polarTable_->setItem(r, c + 4 + hinge,
                                 new QTableWidgetItem(fixed(tavrix::transitionXc(v.transitionUpper), 4)));
            polarTable_->setItem(r, c + 5 + hinge,
                                 new QTableWidgetItem(fixed(tavrix::transitionXc(v.transitionLower), 4)));
        }
    }
    polarTable_->resizeColumnsToContents();

    QString info;
    if (polar_.hasAlpha0)
        info = QString::fromUtf8("Zero-lift angle \u03b1\u2080 = %1° (%2 method)")
                   .arg(fixed(polar_.alpha0Deg, 3), qs(tavrix::methodName(polar_.methods.front())));
    if (flap)
        info += (info.isEmpty() ? "" : "    ") +
                QString("CH: hinge moment about the hinge at x/c %1, y/c %2, per chord squared, "
                        "positive trailing edge down")
                    .arg(fixed(flap->hinge.x, 3), fixed(flap->hinge.y, 4));
    if (polar_.cancelled) info += (info.isEmpty() ? "" : "    ") + QString("Cancelled.");
    if (!polar_.message.empty()) info += "\n" + QString::fromStdString(polar_.message);
    for (const std::string& t : tavrix::correctionWarnings(polar_))
        info += (info.isEmpty() ? "" : "\n") + QString::fromStdString(t) + " (not plotted)";
    if (!polar_.viscous.empty()) {
        info += QString("%1Re = %2: %3")
                    .arg(info.isEmpty() ? "" : "\n")
                    .arg(polar_.layer.Re, 0, 'g', 6)
                    .arg(QString::fromUtf8(tavrix::kInviscidLiftNote));
        for (const std::string& t : tavrix::unreliableAngles(polar_))
            info += "\n" + QString::fromStdString(t);
    }
    polarInfo_->setText(info);
}

void AnalysisWindow::showPolarPlots()
{
    // Every plot names the case it was computed for, also in its exports; the
    // kept runs carry their own names in the legend.
    const std::vector<tavrix::KeptRun>& kept = keptRuns_->runs();
    if (!polarPress_ && kept.empty()) return;
    const tavrix::PolarResult none;
    const tavrix::PolarResult& polar = polarPress_ ? polar_ : none;
    const bool coupled = !polar.coupled.empty();
    const std::string caseText =
        !polarPress_ ? "kept polars"
        : coupled    ? tavrix::coupledPolarCaseText(*polarPress_, polar)
                     : tavrix::caseTitle(*polarPress_, {false, false, false});
    const auto titled = [&](tavrix::PlotData plot, tavrix::KeptPlot which) {
        return tavrix::withKeptRuns(tavrix::titledForCase(std::move(plot), caseText), kept, which);
    };
    if (coupled) {
        // (the coupled plots' CSVs open with their case)
        const auto titledCoupled = [&](tavrix::PlotData plot, tavrix::KeptPlot which) {
            return tavrix::withKeptRuns(tavrix::namedForCase(std::move(plot), caseText), kept,
                                        which);
        };
        polarCL_->setPlot(titledCoupled(tavrix::coupledLiftPlot(polar), tavrix::KeptPlot::Lift));
        polarCM_->setPlot(titledCoupled(tavrix::coupledMomentPlot(polar), tavrix::KeptPlot::Moment));
        polarCD_->setPlot(titledCoupled(tavrix::coupledDragPlot(polar), tavrix::KeptPlot::Drag));
        polarTransition_->setPlot(
            titledCoupled(tavrix::coupledTransitionPlot(polar), tavrix::KeptPlot::Transition));
        dragPolar_->setPlot(titledCoupled(tavrix::coupledDragPolarPlot(polar), tavrix::KeptPlot::DragPolar));
        return;
    }
    polarCL_->setPlot(titled(tavrix::polarLiftPlot(polar), tavrix::KeptPlot::Lift));
    polarCM_->setPlot(titled(tavrix::polarMomentPlot(polar), tavrix::KeptPlot::Moment));
    polarCD_->setPlot(titled(tavrix::polarDragPlot(polar), tavrix::KeptPlot::Drag));
    polarTransition_->setPlot(
        titled(tavrix::polarTransitionPlot(polar), tavrix::KeptPlot::Transition));
    dragPolar_->setPlot(titled(tavrix::dragPolarPlot(polar), tavrix::KeptPlot::DragPolar));
}

void AnalysisWindow::keepPolar()
{
    if (!polarPress_) return;
    keptRuns_->add(tavrix::keptRunsOf(*polarPress_, polar_));
}

void AnalysisWindow::buildLiftTargetRow(QBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    row->addWidget(label("Label_LiftTarget", "Target CL:", this));
    liftTargetBox_ = numberBox("Text_LiftTarget", "0.5", this);
    liftTargetBox_->setToolTip(
        "The lift coefficient to reach by the angle of attack for the method of the last "
        "press: inviscid, or viscous with a Reynolds number and the coupled model");
    row->addWidget(liftTargetBox_);
    auto* find = named<QPushButton>("Command_FindAlpha",
                                    QString::fromUtf8("Find α for CL"), this);
    row->addWidget(find);
    liftTargetInfo_ = label("Label_LiftTargetInfo", QString(), this);
    liftTargetInfo_->setWordWrap(true);
    row->addWidget(liftTargetInfo_, 1);
    layout->addLayout(row);
    connect(find, &QPushButton::clicked, this, &AnalysisWindow::findAlphaForLift);
    connect(liftTargetBox_, &QLineEdit::returnPressed, this, &AnalysisWindow::findAlphaForLift);
}

void AnalysisWindow::findAlphaForLift()
{
    if (!press_) {
        toolkit_.messageFrom(kAnalysisForm,
                             "Calculate velocities first: the angle is found on the contour "
                             "of the last press");
        return;
    }
    double target = 0;
    if (!readNumber(liftTargetBox_, "The target CL", target)) return;
    tavrix::coupled::CoupledOptions options;
    if (coupledModel() && !readCoupledOptions(options, true)) return;
    if (coupledModel() && options.re > 0) {
        // The viscous lift: the angle is an unknown of the coupled system.
        const tavrix::PanelMethod method = press_->setup.method;
        if (!tavrix::coupled::couplingAvailable(method)) {
            toolkit_.messageFrom(kAnalysisForm, tavrix::coupled::couplingRefusal(method).message);
            return;
        }
        options.targetCl = target;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const tavrix::CoupledPoint p = tavrix::computeCoupledPoint(*press_, method, options);
        QApplication::restoreOverrideCursor();
        if (!p.converged) {
            toolkit_.messageFrom(kAnalysisForm, "No angle of attack found for a viscous CL of " +
                                                    tavrix::generalForm(target) + ": " + p.reason);
            return;
        }
        liftTargetInfo_->setText(
            QString::fromUtf8("α = %1° gives viscous CL = %2 (CMc/4 = %3, CD = %4): %5")
                .arg(fixed(p.alphaDeg, 4), fixed(p.CL, 4), fixed(p.CM, 4), fixed(p.CD, 5),
                     QString::fromStdString(tavrix::coupledCaseText(
                         *press_, std::string(tavrix::methodName(method)), options, {}))));
        return;
    }
    const tavrix::Common& c = press_->common;
    const auto n = static_cast<std::size_t>(std::clamp(c.NP, 0, tavrix::kTableLast));
    tavrix::FlowSetup setup = press_->setup;
    setup.correction = chosenCorrection();
    const tavrix::Outcome<tavrix::LiftTarget> found = tavrix::alphaForLift(
        std::span<const double>(c.XCoord.data() + 1, n),
        std::span<const double>(c.YCoord.data() + 1, n), setup, target);
    if (!found) {
        // The earlier answer stays, with the case it belongs to.
        toolkit_.messageFrom(kAnalysisForm, found.refusal().message);
        return;
    }
    liftTarget_ = *found;
    QString flow = QString::fromUtf8("inviscid, M∞ = %1").arg(std::fabs(setup.mach), 0, 'g', 4);
    if (setup.mach != 0) flow += ", " + qs(tavrix::correctionName(setup.correction));
    liftTargetInfo_->setText(QString::fromUtf8("α = %1° gives CL = %2 (CMc/4 = %3): %4 "
                                               "method on %5, %6")
                                 .arg(fixed(found->alphaDeg, 4), fixed(found->CL, 4),
                                      fixed(found->CM, 4), qs(tavrix::methodName(setup.method)),
                                      QString::fromStdString(tavrix::sectionName(*press_)), flow));
}

void AnalysisWindow::runConvergence()
{
    if (running()) return;
    if (!press_) {
        toolkit_.messageFrom(kAnalysisForm, 
            "Calculate velocities first: the convergence study uses the section of the last press");
        return;
    }
    auto result = std::make_shared<tavrix::ConvergenceResult>();
    std::shared_ptr<const tavrix::PressCase> press = press_;
    convergenceInfo_->setText("Running...");
    startRun(
        [=](const tavrix::SweepProgress& progress) {
            *result = tavrix::computeConvergence(*press, progress);
        },
        [this, result, press] {
            convergence_ = std::move(*result);
            convergencePress_ = press;
            showConvergence();
            markOutOfDate();
        },
        convergenceProgress_);
}

void AnalysisWindow::showConvergence()
{
    const std::string caseText = tavrix::caseTitle(*convergencePress_, {true, false, true});
    convergenceCL_->setPlot(
        tavrix::titledForCase(tavrix::convergenceLiftPlot(convergence_), caseText));
    convergenceError_->setPlot(
        tavrix::titledForCase(tavrix::convergenceErrorPlot(convergence_), caseText));
    QString info;
    if (convergence_.hasExact)
        info = QString("Exact CL of the section = %1").arg(fixed(convergence_.exactCL, 5));
    else if (convergence_.message.empty())
        info = "The error needs the exact flow of a Karman-Trefftz section.";
    if (convergence_.cancelled) info += (info.isEmpty() ? "" : "    ") + QString("Cancelled.");
    if (!convergence_.message.empty())
        info += (info.isEmpty() ? "" : "\n") + QString::fromStdString(convergence_.message);
    convergenceInfo_->setText(info);
}

}  // namespace ui
