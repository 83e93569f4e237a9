// The analysis window: pressure distribution of the last press, polars and
// the convergence with the number of points. It reads the main window's last
// completed press and never changes the main window's state or files; long
// runs go to a worker thread on a copy of that press and can be cancelled.
#pragma once

#include <QFutureWatcher>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string_view>

#include "app/Form_TavrixS.h"
#include "output/AnalysisSeries.h"
#include "output/BoundaryLayerSeries.h"
#include "output/CoupledSeries.h"
#include "solvers/LiftTarget.h"
#include "ui/Toolkit.h"

class QAbstractButton;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QStackedWidget;
class QPushButton;
class QTableWidget;
class QTabWidget;
class QTimer;

namespace ui {

class KeptRunsPanel;
class PlotView;
class FlowFieldTab;

inline constexpr std::string_view kAnalysisForm = "Form_Analysis";

class AnalysisWindow : public QWidget {
    Q_OBJECT

public:
    // `calculate` is the main window's "Calculate velocities and show": after
    // each completed press the window takes a copy of its results.
    AnalysisWindow(tavrix::Form_TavrixS& logic, Toolkit& toolkit, QAbstractButton* calculate);
    ~AnalysisWindow() override;

    bool hasPress() const { return press_ != nullptr; }
    const tavrix::PressCase* press() const { return press_.get(); }
    // Whether a polar or convergence run is going on in the background (until
    // its results are shown).
    bool running() const;
    // Whether the shown polar or convergence study belongs to another case
    // than the one on screen (and says so).
    bool polarOutOfDate() const;
    bool convergenceOutOfDate() const;

    const tavrix::PolarResult& polar() const { return polar_; }
    const tavrix::ConvergenceResult& convergence() const { return convergence_; }
    // The boundary layer on the last press at the Reynolds number of the box
    // (not ok, with an empty message, when the box is empty or 0).
    const tavrix::ViscousResult& layer() const { return layer_; }

    void takeLastPress();
    void updatePressure();
    // tell: a refused Reynolds number is shown as a message and the plots stay.
    void updateLayer(bool tell = false);
    void runPolar();
    void runConvergence();
    void cancelRun();

    // The polars kept for comparison (beside the polar table).
    KeptRunsPanel* keptRuns() const { return keptRuns_; }
    // Keeps the shown polar, one run per method.
    void keepPolar();
    // The angle of attack at the CL of the box "Target CL" for the press's
    // method and the window's correction; shown beside the box, refused with
    // a message when the section does not reach it.
    void findAlphaForLift();
    const std::optional<tavrix::LiftTarget>& liftTarget() const { return liftTarget_; }

    // The boundary layer's model: the coupled viscous-inviscid analysis (the
    // default) or the one-way layer on the inviscid speeds, for teaching.
    bool coupledModel() const;
    // The coupled point of the last press at the Reynolds number of the box
    // (computed in the background: none while it runs, or without a
    // Reynolds number, or in the one-way model).
    const std::optional<tavrix::CoupledPoint>& coupledPoint() const { return coupledPoint_; }
    bool coupledPointRunning() const { return pointRunning_; }
    // Coupled polars of the boxes' angles and method at every Reynolds
    // number of the box "Reynolds sweep", each kept as a run.
    void runReynoldsSweep();

private:
    using Job = std::function<void(const tavrix::SweepProgress&)>;
    void buildPressureTab(QWidget* tab);
    void buildPolarTab(QWidget* tab);
    void buildConvergenceTab(QWidget* tab);
    void buildLayerTab(QWidget* tab);
    // The Reynolds number of the box: false when it is refused (with a
    // message) ; Re = 0 for no boundary layer.
    bool readReynolds(double& Re, bool tell);
    // Re and the transition criterion of the boxes; false when the Reynolds
    // number or Ncrit is refused (with a message when tell).
    bool readLayerSetup(tavrix::BoundaryLayerSetup& setup, bool tell);
    void startRun(Job job, std::function<void()> done, QProgressBar* bar);
    void setRunning(bool running);
    // The bar of the run: the share of its points done so far.
    void showProgress();
    void showPolar();
    // The polar plots: the shown polar (if any) and the kept runs over it.
    void showPolarPlots();
    void buildLiftTargetRow(QBoxLayout* layout);
    void showConvergence();
    void showCase();
    // Marks the polar and the convergence study out of date when the case on
    // screen (press, correction, boundary layer) is no longer theirs.
    void markOutOfDate();
    tavrix::Compressibility chosenCorrection() const;
    // Re, Ncrit and the trips of the coupled analysis from the boxes; false
    // when one is refused (with a message when tell).
    bool readCoupledOptions(tavrix::coupled::CoupledOptions& options, bool tell);
    // Starts the coupled point of the last press in the background (the
    // earlier one is dropped when it comes back late).
    void updateCoupledPoint();
    void showCoupledPoint();
    // The model's boxes: the transition criterion belongs to the one-way
    // layer, Ncrit to the coupled analysis and the one-way e^n method.
    void enableLayerBoxes();
    // The viscous polar's table and notes.
    void showCoupledPolar();
    // The angles and methods of the polar boxes; false when refused.
    bool readSweep(std::vector<double>& alphas, std::vector<tavrix::PanelMethod>& methods);
    // The number of a box as a whole; a text that is not one is refused with
    // a message naming the box as `what`.
    bool readNumber(QLineEdit* edit, std::string_view what, double& value);

    tavrix::Form_TavrixS& logic_;
    Toolkit& toolkit_;
    std::shared_ptr<const tavrix::PressCase> press_;

    QLabel* caseLabel_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* polarCase_ = nullptr;
    QLabel* convergenceCase_ = nullptr;
    QLineEdit* reynolds_ = nullptr;
    QComboBox* transition_ = nullptr;
    bool polarMethodChosen_ = false;  // the user picked the polar's method
    QLineEdit* ncrit_ = nullptr;
    std::string layerRefusal_;  // why the last reading of the layer's boxes failed

    PlotView* layerAirfoil_ = nullptr;
    PlotView* layerCf_ = nullptr;
    PlotView* layerTheta_ = nullptr;
    PlotView* layerH_ = nullptr;
    QLabel* layerInfo_ = nullptr;
    tavrix::ViscousResult layer_;
    QCheckBox* compare_ = nullptr;
    QCheckBox* exact_ = nullptr;
    QComboBox* correction_ = nullptr;
    PlotView* pressurePlot_ = nullptr;
    PlotView* bodyPlot_ = nullptr;  // the displacement body and the wake (coupled)
    QComboBox* model_ = nullptr;
    // The boundary layer tab: the one-way layer's page or the coupled one's.
    QStackedWidget* layerPages_ = nullptr;
    PlotView* coupledBody_ = nullptr;
    std::vector<std::pair<tavrix::CoupledLayerQuantity, PlotView*>> coupledLayer_;
    QLabel* coupledInfo_ = nullptr;
    std::optional<tavrix::CoupledPoint> coupledPoint_;
    tavrix::coupled::CoupledOptions coupledPointOptions_;  // of coupledPoint_
    QString coupledRefusal_;  // why there is no coupled point (a method that is not coupled)
    QFutureWatcher<void> pointWatcher_;
    // What the running point fills: the press's method first, then (with
    // "Compare methods") the other coupled methods.
    std::shared_ptr<std::vector<tavrix::CoupledPoint>> pendingPoints_;
    std::vector<tavrix::PanelMethod> pendingMethods_;
    // The coupled points of every method for "Compare methods" (empty otherwise).
    std::vector<tavrix::CoupledPoint> comparePoints_;
    std::vector<tavrix::PanelMethod> compareMethods_;
    bool pointRunning_ = false;
    bool pointAgain_ = false;  // the case changed while the point ran
    int pointGeneration_ = 0;
    QLabel* pressureInfo_ = nullptr;

    QLineEdit* alphaFrom_ = nullptr;
    QLineEdit* alphaTo_ = nullptr;
    QLineEdit* alphaStep_ = nullptr;
    QComboBox* polarMethod_ = nullptr;
    QPushButton* runPolar_ = nullptr;
    QPushButton* cancelPolar_ = nullptr;
    QProgressBar* polarProgress_ = nullptr;
    PlotView* polarCL_ = nullptr;
    PlotView* polarCM_ = nullptr;
    PlotView* polarCD_ = nullptr;
    PlotView* polarTransition_ = nullptr;
    PlotView* dragPolar_ = nullptr;
    QTableWidget* polarTable_ = nullptr;
    QLineEdit* reynoldsList_ = nullptr;
    QPushButton* runReynoldsSweep_ = nullptr;
    QLabel* polarInfo_ = nullptr;
    tavrix::PolarResult polar_;
    // The press and correction the shown polar was computed for.
    std::shared_ptr<const tavrix::PressCase> polarPress_;
    tavrix::Compressibility polarCorrection_ = tavrix::Compressibility::PrandtlGlauert;

    FlowFieldTab* flowField_ = nullptr;
    KeptRunsPanel* keptRuns_ = nullptr;
    QLineEdit* liftTargetBox_ = nullptr;
    QLabel* liftTargetInfo_ = nullptr;
    std::optional<tavrix::LiftTarget> liftTarget_;

    QPushButton* runConvergence_ = nullptr;
    QPushButton* cancelConvergence_ = nullptr;
    QProgressBar* convergenceProgress_ = nullptr;
    PlotView* convergenceCL_ = nullptr;
    PlotView* convergenceError_ = nullptr;
    QLabel* convergenceInfo_ = nullptr;
    tavrix::ConvergenceResult convergence_;
    std::shared_ptr<const tavrix::PressCase> convergencePress_;

    // The background run: its progress and the flag that cancels it.
    QFutureWatcher<void> watcher_;
    QTimer* progressTimer_ = nullptr;
    QProgressBar* activeBar_ = nullptr;
    std::function<void()> whenDone_;
    bool running_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<std::size_t> done_{0}, total_{1};
};

}  // namespace ui
