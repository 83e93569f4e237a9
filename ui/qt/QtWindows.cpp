#include "ui/qt/QtWindows.h"
#include "ui/qt/SessionFile.h"

#include <algorithm>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QPalette>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include "output/MatrixSummary.h"
#include "ui/Controls.h"
#include "ui/qt/MatrixPanel.h"
#include "ui/qt/AirfoilFileMenu.h"
#include "ui/qt/GeometryMenu.h"
#include "ui/qt/AnalysisWindow.h"
#include "ui/qt/WindowPlacement.h"
#include "ui/qt/PictureBox.h"

#ifndef TAVRIX_VERSION
#define TAVRIX_VERSION "unknown"
#endif

namespace ui {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
std::string ss(const QString& s) { return s.toUtf8().toStdString(); }

QString caption(std::string_view name)
{
    const ControlInfo* info = findControl(name);
    return info != nullptr ? qs(info->caption) : QString();
}

QLabel* label(std::string_view name, QWidget* parent)
{
    auto* l = new QLabel(caption(name), parent);
    l->setObjectName(qs(name));
    return l;
}

QLineEdit* lineEdit(std::string_view name, QWidget* parent, bool output = false)
{
    auto* e = new QLineEdit(caption(name), parent);
    e->setObjectName(qs(name));
    e->setReadOnly(output);
    e->setMaximumWidth(110);
    return e;
}

QGroupBox* group(std::string_view name, QWidget* parent)
{
    auto* g = new QGroupBox(caption(name), parent);
    g->setObjectName(qs(name));
    return g;
}

template <class Button>
Button* button(std::string_view name, QWidget* parent)
{
    auto* b = new Button(caption(name), parent);
    b->setObjectName(qs(name));
    return b;
}

// Runs a call when a watched window is closed by its user.
class CloseWatcher : public QObject {
public:
    explicit CloseWatcher(std::function<void(QObject*)> onClose) : onClose_(std::move(onClose)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) onClose_(watched);
        return false;
    }

private:
    std::function<void(QObject*)> onClose_;
};

}  // namespace

QtWindows::QtWindows(tavrix::Common& common)
    : common_(common), logic_(std::make_unique<tavrix::Form_TavrixS>(common, *this))
{
    buildMainWindow();
    buildKatjoWindow();
    buildShowMatWindow();
    buildAboutWindow();
    new SessionMenu(main_, *this);  // File > Open session..., Save session...
    // Closing the Karman-Trefftz window without a new section leaves the
    // contour in use as it was, and the options say so again.
    // Closing the main window ends the program: the other windows close with
    // it (a polar or convergence run is cancelled), so that none is left
    // behind without the menu that would quit it.
    closeWatcher_ = std::make_unique<CloseWatcher>([this](QObject* watched) {
        if (watched == main_) closeSecondaryWindows();
        if (watched == katjo_.data()) logic_->showAirfoilInUse();
    });
    main_->installEventFilter(closeWatcher_.get());
    katjo_->installEventFilter(closeWatcher_.get());
}

QtWindows::~QtWindows()
{
    delete katjo_.data();
    delete showMat_.data();
    delete about_.data();
    delete analysis_.data();
    delete main_;
}

void QtWindows::buildMainWindow()
{
    main_ = new QMainWindow;
    main_->setObjectName(qs(kMainForm));
    main_->setWindowTitle(qs(kMainCaption));
    new AirfoilFileMenu(main_, *logic_);  // "File", before "About"
    auto* about = main_->menuBar()->addAction(caption("Mn_About"));
    about->setObjectName("Mn_About");
    QObject::connect(about, &QAction::triggered, [this] { logic_->Mn_About_Click(); });
    // File > Quit (Ctrl+Q) works from every window and closes them all.
    auto* quit = main_->findChild<QAction*>("Mn_Quit");
    quit->setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(quit, &QAction::triggered, [this] {
        closeSecondaryWindows();
        main_->close();
        QCoreApplication::quit();
    });
    auto* inUse = new QLabel(main_);
    inUse->setObjectName("Label_AirfoilInUse");
    main_->statusBar()->setObjectName("StatusBar_Main");
    main_->statusBar()->addWidget(inUse, 1);
    auto* analysisMenu = new QMenu("Analysis", main_);
    analysisMenu->setObjectName("Mn_AnalysisMenu");
    main_->menuBar()->insertMenu(about, analysisMenu);
    auto* analysis = analysisMenu->addAction("Analysis...");
    analysis->setObjectName("Mn_Analysis");
    analysis->setShortcut(QKeySequence(Qt::Key_F5));
    QObject::connect(analysis, &QAction::triggered, [this] { showWindow(kAnalysisForm); });
    new GeometryMenu(main_, *logic_, analysisMenu->menuAction());  // "Geometry", before "Analysis"

    auto* central = new QWidget(main_);
    auto* columns = new QHBoxLayout(central);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left, 0);
    columns->addLayout(right, 1);
    main_->setCentralWidget(central);

    // Airfoil source and point count.
    auto* airfoil = group(kFrameAirfoil, central);
    auto* airfoilLayout = new QVBoxLayout(airfoil);
    auto* sources = new QButtonGroup(airfoil);
    const std::pair<const char*, void (tavrix::Form_TavrixS::*)()> sourceOptions[] = {
        {"Option_CIRCLE", &tavrix::Form_TavrixS::Option_CIRCLE_Click},
        {"Option_N0012", &tavrix::Form_TavrixS::Option_N0012_Click},
        {"Option_DOSYA", &tavrix::Form_TavrixS::Option_DOSYA_Click},
        {"Option_KATJO", &tavrix::Form_TavrixS::Option_KATJO_Click},
    };
    for (const auto& [name, handler] : sourceOptions) {
        auto* option = button<QRadioButton>(name, airfoil);
        sources->addButton(option);
        airfoilLayout->addWidget(option);
        QObject::connect(option, &QRadioButton::clicked,
                         [this, handler = handler] { (logic_.get()->*handler)(); });
    }
    auto* npRow = new QHBoxLayout;
    npRow->addWidget(label("Label_NP", airfoil));
    auto* np = lineEdit("Text_NP", airfoil);
    np->setMaximumWidth(70);
    npRow->addWidget(np);
    npRow->addStretch();
    airfoilLayout->addLayout(npRow);
    left->addWidget(airfoil);

    // File browser: drive list, directory tree, "*.arf" files; hidden at start.
    auto* browser = new QGroupBox(main_->tr("Airfoil coordinate files"), central);
    browser->setObjectName(qs(kFileBrowser));
    auto* browserLayout = new QVBoxLayout(browser);
    auto* drives = new QComboBox(browser);
    drives->setObjectName("Drive1");
    QStringList roots{"/"};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    drives->addItems(roots);
    auto* dirs = new QTreeView(browser);
    dirs->setObjectName("Dir1");
    auto* model = new QFileSystemModel(dirs);
    model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model->setRootPath("/");
    dirs->setModel(model);
    for (int c = 1; c < model->columnCount(); ++c) dirs->hideColumn(c);
    dirs->header()->hide();
    dirs->setMinimumHeight(150);
    auto* files = new QListWidget(browser);
    files->setObjectName("File1");
    files->setMinimumHeight(90);
    auto* pathRow = new QHBoxLayout;
    auto* typedPath = new QLineEdit(browser);
    typedPath->setObjectName("Text_FilePath");
    typedPath->setPlaceholderText(main_->tr("Type a file or folder path"));
    auto* open = button<QPushButton>("Command_OpenPath", browser);
    auto* close = button<QPushButton>("Command_CloseBrowser", browser);
    open->setAutoDefault(false);
    close->setAutoDefault(false);
    pathRow->addWidget(typedPath, 1);
    pathRow->addWidget(open);
    browserLayout->addWidget(drives);
    browserLayout->addWidget(dirs);
    browserLayout->addWidget(files);
    browserLayout->addLayout(pathRow);
    browserLayout->addWidget(close, 0, Qt::AlignRight);
    QObject::connect(open, &QPushButton::clicked, [this] { logic_->Command_OpenPath_Click(); });
    QObject::connect(typedPath, &QLineEdit::returnPressed,
                     [this] { logic_->Command_OpenPath_Click(); });
    QObject::connect(close, &QPushButton::clicked,
                     [this] { logic_->Command_CloseBrowser_Click(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), browser);
    escape->setObjectName("Shortcut_CloseBrowser");
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(escape, &QShortcut::activated,
                     [this] { logic_->Command_CloseBrowser_Click(); });
    // The browser lies over the upper left part of the window when shown.
    browser->setAutoFillBackground(true);
    browser->setVisible(false);
    drivePath_.assign(1, '/');  // assigning a literal trips a GCC 12 -Wrestrict false positive
    const QString start = QDir::currentPath();
    dirPath_ = ss(start);
    dirs->setCurrentIndex(model->index(start));
    dirs->scrollTo(model->index(start));
    fillFileList(start);
    QObject::connect(drives, &QComboBox::textActivated, [this](const QString& drive) {
        drivePath_ = ss(drive);
        logic_->Drive1_Change();
    });
    QObject::connect(dirs, &QTreeView::clicked, [this, model](const QModelIndex& index) {
        dirPath_ = ss(model->filePath(index));
        logic_->Dir1_Change();
    });
    // The arrow keys move the tree's current directory as a click does.
    QObject::connect(dirs->selectionModel(), &QItemSelectionModel::currentChanged,
                     [this, model](const QModelIndex& index) {
                         if (!index.isValid()) return;
                         const std::string path = ss(model->filePath(index));
                         if (path == dirPath_) return;
                         dirPath_ = path;
                         logic_->Dir1_Change();
                     });
    QObject::connect(files, &QListWidget::itemClicked, [this] { logic_->File1_Click(); });

    // Free flow conditions.
    auto* flow = group(kFrameFlow, central);
    auto* flowGrid = new QGridLayout(flow);
    flowGrid->addWidget(label("Label_AlfaD", flow), 0, 0, Qt::AlignRight);
    flowGrid->addWidget(lineEdit("Text_AlfaD", flow), 0, 1);
    flowGrid->addWidget(label("Label_AlfaUnit", flow), 0, 2);
    flowGrid->addWidget(label("Label_ItaD", flow), 1, 0, Qt::AlignRight);
    flowGrid->addWidget(lineEdit("Text_ItaD", flow), 1, 1);
    flowGrid->addWidget(label("Label_ItaUnit", flow), 1, 2);
    flowGrid->addWidget(label("Label_Compressibility", flow), 2, 1, 1, 2);
    flowGrid->addWidget(label("Label_Moo", flow), 3, 0, Qt::AlignRight);
    flowGrid->addWidget(lineEdit("Text_Moo", flow), 3, 1);
    flowGrid->setColumnStretch(3, 1);
    left->addWidget(flow);

    // Panel method and the button that starts the calculation.
    auto* method = group(kFrameMethod, central);
    auto* methodLayout = new QVBoxLayout(method);
    auto* methods = new QButtonGroup(method);
    for (const tavrix::PanelMethodInfo& info : tavrix::panelMethods()) {
        const std::string name(info.option);
        auto* option = button<QRadioButton>(name.c_str(), method);
        option->setChecked(findControl(info.option)->initiallySelected);
        methods->addButton(option);
        methodLayout->addWidget(option);
    }
    auto* calculate = button<QPushButton>("Command_Calculate", method);
    calculate->setDefault(true);
    methodLayout->addWidget(calculate);
    QObject::connect(calculate, &QPushButton::clicked,
                     [this] { logic_->Command_Calculate_Click(); });
    analysis_ = new AnalysisWindow(*logic_, *this, calculate);
    left->addWidget(method);

    auto* options = group(kFrameOptions, central);
    auto* optionsLayout = new QVBoxLayout(options);
    for (const char* name : {"Check_WritePanel", "Check_WriteMat", "Check_WriteSingularities",
                             "Check_ShowMat", "Check_Circulation"})
        optionsLayout->addWidget(button<QCheckBox>(name, options));
    left->addWidget(options);
    left->addStretch();
    // Close rows, so that the column fits a 720-pixel-high screen.
    left->setSpacing(4);
    for (std::string_view name : {kFrameAirfoil, kFrameFlow, kFrameMethod, kFrameOptions}) {
        QLayout* rows = central->findChild<QGroupBox*>(qs(name))->layout();
        rows->setSpacing(2);
        rows->setContentsMargins(8, 2, 8, 4);
    }

    // Plots, and the coefficients below them.
    right->addWidget(new PictureBox("Picture_Airfoil", QSize(640, 300), central), 1);
    right->addWidget(new PictureBox("Picture_PressureDistribution", QSize(640, 300), central),
                     1);
    // Both plots are fitted afresh to every new size, so that a chord station
    // stays above its pressure value; a small screen still has room for them.
    for (const char* name : {"Picture_Airfoil", "Picture_PressureDistribution"}) {
        auto* box = central->findChild<PictureBox*>(name);
        box->setMinimumSize(240, 100);
        box->setResized([this] { logic_->redrawPlots(); });
    }
    auto* coefficients = group(kFrameCoefficients, central);
    auto* coefficientsGrid = new QGridLayout(coefficients);
    coefficientsGrid->addWidget(label("Label_CL", coefficients), 0, 0);
    coefficientsGrid->addWidget(lineEdit("Text_CL", coefficients, true), 0, 1);
    coefficientsGrid->addWidget(label("Label_CM", coefficients), 1, 0);
    coefficientsGrid->addWidget(lineEdit("Text_CM", coefficients, true), 1, 1);
    coefficientsGrid->setColumnStretch(2, 1);
    right->addWidget(coefficients, 0);

    // Enter in any input box presses the default button.
    for (auto* edit : central->findChildren<QLineEdit*>()) {
        if (!edit->isReadOnly() && edit->objectName() != "Text_FilePath")
            QObject::connect(edit, &QLineEdit::returnPressed, calculate, &QPushButton::click);
    }
}

void QtWindows::closeSecondaryWindows()
{
    saveGeometry();
    if (auto* analysis = qobject_cast<AnalysisWindow*>(analysis_.data())) analysis->cancelRun();
    for (QWidget* w : {katjo_.data(), showMat_.data(), about_.data(), analysis_.data()})
        if (w != nullptr && w->isVisible()) w->close();
}

void QtWindows::buildKatjoWindow()
{
    auto* w = new QWidget(nullptr, Qt::Window);
    katjo_ = w;
    w->setObjectName(qs(kKatjoForm));
    w->setWindowTitle(qs(kKatjoCaption));
    auto* layout = new QVBoxLayout(w);

    auto* inputs = group("Frame1", w);
    auto* grid = new QGridLayout(inputs);
    const char* rows[][3] = {{"Label_Delta", "Label_DeltaSymbol", "Text_Delta"},
                             {"Label_Gamma", "Label_GammaSymbol", "Text_Gamma"},
                             {"Label_Tau", "Label_TauSymbol", "Text_Tau"}};
    int r = 0;
    for (const auto& row : rows) {
        grid->addWidget(label(row[0], inputs), r, 0);
        grid->addWidget(label(row[1], inputs), r, 1);
        grid->addWidget(lineEdit(row[2], inputs), r, 2);
        ++r;
    }
    // "x" with its subscript delta, over c.
    auto* location = label("Label_xDltc", inputs);
    location->setTextFormat(Qt::RichText);
    location->setText("Max thickness location&nbsp;&nbsp;&nbsp;:&nbsp;&nbsp;&nbsp;x<sub>" +
                      caption("Label_xDltcSubscript") + "</sub>&nbsp;/ c");
    grid->addWidget(location, r, 0, 1, 2);
    grid->addWidget(lineEdit("Text_xDltc", inputs), r, 2);
    layout->addWidget(inputs);

    auto* outputs = group("Frame2", w);
    auto* outGrid = new QGridLayout(outputs);
    outGrid->addWidget(label("Label_F", outputs), 0, 0);
    outGrid->addWidget(lineEdit("Text_F", outputs, true), 0, 1);
    outGrid->addWidget(label("Label_G", outputs), 1, 0);
    outGrid->addWidget(lineEdit("Text_G", outputs, true), 1, 1);
    outGrid->addWidget(label("Label_m", outputs), 2, 0);
    outGrid->addWidget(lineEdit("Text_m", outputs, true), 2, 1);
    auto* family = lineEdit("Text_Sonuc", outputs, true);
    family->setMaximumWidth(260);
    outGrid->addWidget(family, 3, 0, 1, 3);
    outGrid->setColumnStretch(2, 1);
    layout->addWidget(outputs);

    auto* calculate = button<QPushButton>("Command1", w);
    calculate->setDefault(true);
    QObject::connect(calculate, &QPushButton::clicked,
                     [this] { logic_->katjo().Command1_Click(); });
    for (auto* edit : inputs->findChildren<QLineEdit*>())
        QObject::connect(edit, &QLineEdit::returnPressed, calculate, &QPushButton::click);
    layout->addWidget(calculate);

    auto* list = new QListWidget(w);
    list->setObjectName("List1");
    list->setMinimumSize(420, 220);
    QFont mono = list->font();
    mono.setStyleHint(QFont::Monospace);
    mono.setFamily("DejaVu Sans Mono");
    list->setFont(mono);
    layout->addWidget(list, 1);
}

void QtWindows::buildShowMatWindow()
{
    auto* w = new QWidget(nullptr, Qt::Window);
    showMat_ = w;
    w->setObjectName(qs(kShowMatForm));
    w->setWindowTitle(qs(kShowMatCaption));
    auto* layout = new QVBoxLayout(w);
    auto* columns = new QHBoxLayout;
    auto* box = new PictureBox("Picture_ShowMat", QSize(420, 420), w);
    box->setMinimumSize(200, 200);
    columns->addWidget(new MatrixPanel(box, w), 1);

    // Colour scale: level 15 at the top, each swatch beside the magnitudes it stands for.
    auto* scale = new QGroupBox(w->tr("Magnitude"), w);
    scale->setObjectName("Frame_MatrixScale");
    auto* scaleGrid = new QGridLayout(scale);
    scaleGrid->setVerticalSpacing(1);
    for (int k = tavrix::kMatrixLevels - 1; k >= 0; --k) {
        const int row = tavrix::kMatrixLevels - 1 - k;
        auto* swatch = new QLabel(scale);
        swatch->setObjectName(QString("Label_MatrixSwatch%1").arg(k));
        const Rgb c = tavrix::matrixLevelColour(k);
        swatch->setFixedSize(22, 14);
        swatch->setStyleSheet(QString("background-color: rgb(%1, %2, %3); border: 1px solid "
                                      "rgb(160, 160, 160);")
                                  .arg(c.red)
                                  .arg(c.green)
                                  .arg(c.blue));
        auto* number = new QLabel(QString::number(k), scale);
        number->setObjectName(QString("Label_MatrixLevelNumber%1").arg(k));
        auto* value = new QLabel(scale);
        value->setObjectName(QString("Label_MatrixLevel%1").arg(k));
        value->setMinimumWidth(120);
        scaleGrid->addWidget(number, row, 0, Qt::AlignRight);
        scaleGrid->addWidget(swatch, row, 1);
        scaleGrid->addWidget(value, row, 2);
    }
    columns->addWidget(scale, 0, Qt::AlignTop);
    layout->addLayout(columns, 1);
    for (const char* name : {"Label_MatrixSystem", "Label_MatrixCondition"}) {
        auto* l = label(name, w);
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(l);
    }
}

void QtWindows::buildAboutWindow()
{
    auto* w = new QWidget(nullptr, Qt::Window);
    about_ = w;
    w->setObjectName(qs(kAboutForm));
    w->setWindowTitle(qs(kAboutCaption));
    auto* layout = new QVBoxLayout(w);
    int n = 1;
    for (std::string_view line : kAboutLines) {
        auto* l = new QLabel(qs(line), w);
        l->setObjectName(QString("Label_About%1").arg(n++));
        l->setAlignment(Qt::AlignCenter);
        layout->addWidget(l);
    }
    QFont title = w->findChild<QLabel*>("Label_About1")->font();
    title.setPointSizeF(title.pointSizeF() * 1.6);
    title.setBold(true);
    w->findChild<QLabel*>("Label_About1")->setFont(title);
    w->setMinimumWidth(320);

    // The version, selectable so that it can be quoted in a report.
    auto* version = new QLineEdit(w->tr("Version %1").arg(TAVRIX_VERSION), w);
    version->setObjectName("Text_AboutVersion");
    version->setReadOnly(true);
    version->setFrame(false);
    version->setAlignment(Qt::AlignCenter);
    version->setFocusPolicy(Qt::NoFocus);
    QPalette flat = version->palette();
    flat.setColor(QPalette::Base, Qt::transparent);
    version->setPalette(flat);
    layout->addWidget(version);
    auto* ok = new QPushButton(w->tr("OK"), w);
    ok->setObjectName("Command_AboutOK");
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    QObject::connect(ok, &QPushButton::clicked, w, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), w);
    escape->setObjectName("Shortcut_CloseAbout");
    QObject::connect(escape, &QShortcut::activated, w, &QWidget::close);
}

QWidget* QtWindows::window(std::string_view form) const
{
    if (form == kMainForm) return main_;
    if (form == kKatjoForm) return katjo_;
    if (form == kShowMatForm) return showMat_;
    if (form == kAboutForm) return about_;
    if (form == kAnalysisForm) return analysis_;
    return nullptr;
}

QWidget* QtWindows::control(std::string_view name) const
{
    const QString n = qs(name);
    for (QWidget* w : {static_cast<QWidget*>(main_), katjo_.data(), showMat_.data(),
                       about_.data(), analysis_.data()}) {
        if (w == nullptr) continue;
        if (w->objectName() == n) return w;
        if (auto* found = w->findChild<QWidget*>(n)) return found;
    }
    return nullptr;
}

PictureBox* QtWindows::picture(std::string_view name) const
{
    return dynamic_cast<PictureBox*>(control(name));
}

std::string QtWindows::text(std::string_view name) const
{
    if (auto* edit = qobject_cast<QLineEdit*>(control(name))) return ss(edit->text());
    if (auto* l = qobject_cast<QLabel*>(control(name))) return ss(l->text());
    return {};
}

void QtWindows::setText(std::string_view name, std::string_view text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control(name))) {
        edit->setText(qs(text));
        edit->setCursorPosition(0);
    } else if (auto* l = qobject_cast<QLabel*>(control(name))) {
        l->setText(qs(text));
    }
}

int QtWindows::value(std::string_view name) const
{
    if (auto* box = qobject_cast<QCheckBox*>(control(name))) {
        switch (box->checkState()) {
        case Qt::Checked: return 1;
        case Qt::PartiallyChecked: return 2;  // greyed: counts as clear
        default: return 0;
        }
    }
    return 0;
}

bool QtWindows::isSelected(std::string_view name) const
{
    auto* option = qobject_cast<QRadioButton*>(control(name));
    return option != nullptr && option->isChecked();
}

void QtWindows::setSelected(std::string_view name, bool selected)
{
    auto* option = qobject_cast<QRadioButton*>(control(name));
    if (option == nullptr || option->isChecked() == selected) return;
    QButtonGroup* group = option->group();
    // An exclusive group lets no button be cleared by itself.
    const bool exclusive = group != nullptr && group->exclusive();
    if (exclusive && !selected) group->setExclusive(false);
    option->setChecked(selected);
    if (exclusive && !selected) group->setExclusive(true);
}

void QtWindows::listClear(std::string_view name)
{
    if (auto* list = qobject_cast<QListWidget*>(control(name))) list->clear();
}

void QtWindows::listAdd(std::string_view name, std::string_view line)
{
    if (auto* list = qobject_cast<QListWidget*>(control(name))) {
        list->addItem(qs(line));
        list->scrollToBottom();
    }
}

void QtWindows::setVisible(std::string_view name, bool visible)
{
    QWidget* w = control(name);
    if (w == nullptr) return;
    if (name == kFileBrowser && visible) {
        const QRect airfoil = control(kFrameAirfoil)->geometry();
        const int room = w->parentWidget()->height() - airfoil.bottom() - 12;
        const int height = std::max(220, std::min(w->sizeHint().height() + 60, room));
        w->setGeometry(airfoil.left(), airfoil.bottom() + 6, airfoil.width(), height);
        w->raise();
    }
    w->setVisible(visible);
}

bool QtWindows::isVisible(std::string_view name) const
{
    QWidget* w = control(name);
    return w != nullptr && !w->isHidden();
}

void QtWindows::rememberGeometry(std::unique_ptr<QSettings> settings)
{
    settings_ = std::move(settings);
    std::vector<std::string> recent;
    for (const QString& path : settings_->value("AirfoilFiles/recent").toStringList())
        recent.push_back(path.toStdString());
    logic_->airfoilMenu().setRecentFiles(recent);
    const QByteArray saved = settings_->value("MainWindow/geometry").toByteArray();
    if (!saved.isEmpty() && main_->restoreGeometry(saved)) return;
    // First start: the natural size, within the screen the window opens on.
    const QScreen* screen = main_->screen();
    if (screen == nullptr) return;
    const QRect room = screen->availableGeometry();
    const QSize size = main_->sizeHint().boundedTo(room.size() * 0.95).expandedTo(main_->minimumSizeHint());
    main_->resize(size);
    main_->move(room.center() - QPoint(size.width() / 2, size.height() / 2));
}

void QtWindows::saveGeometry()
{
    if (!settings_) return;
    settings_->setValue("MainWindow/geometry", main_->saveGeometry());
    QStringList recent;
    for (const std::string& path : logic_->airfoilMenu().recentFiles()) recent << qs(path);
    settings_->setValue("AirfoilFiles/recent", recent);
    settings_->sync();
}

std::string QtWindows::path(std::string_view name) const
{
    if (name == "Drive1") return drivePath_;
    if (name == "Dir1") return dirPath_;
    if (name == "File1") return filePath_;
    return {};
}

void QtWindows::setPath(std::string_view name, std::string_view path)
{
    if (name == "Drive1") {
        drivePath_ = std::string(path);
        if (auto* drives = qobject_cast<QComboBox*>(control("Drive1"))) {
            if (drives->findText(qs(path)) < 0) drives->addItem(qs(path));
            drives->setCurrentText(qs(path));
        }
        logic_->Drive1_Change();
    } else if (name == "Dir1") {
        dirPath_ = std::string(path);
        if (auto* tree = qobject_cast<QTreeView*>(control("Dir1"))) {
            auto* model = static_cast<QFileSystemModel*>(tree->model());
            const QModelIndex index = model->index(qs(path));
            tree->setCurrentIndex(index);
            tree->scrollTo(index);
        }
        logic_->Dir1_Change();
    } else if (name == "File1") {
        fillFileList(qs(path));
    }
}

void QtWindows::fillFileList(const QString& dir)
{
    filePath_ = ss(dir);
    auto* files = qobject_cast<QListWidget*>(control("File1"));
    if (files == nullptr) return;
    files->clear();
    // An unreadable directory simply lists nothing.
    const QStringList patterns = caption("File1").split(' ', Qt::SkipEmptyParts);
    files->addItems(QDir(dir).entryList(patterns, QDir::Files | QDir::Readable, QDir::Name));
}

std::string QtWindows::fileName(std::string_view name) const
{
    auto* files = qobject_cast<QListWidget*>(control(name));
    if (files == nullptr || files->currentItem() == nullptr) return {};
    return ss(files->currentItem()->text());
}

void QtWindows::placeWindow(QWidget* w, bool beside)
{
    const QScreen* screen = main_->screen();
    if (screen == nullptr) return;
    const QRect room = screen->availableGeometry();
    // The frame a window manager adds, as it adds it to the main window.
    const QSize frame = main_->isVisible() ? main_->frameGeometry().size() - main_->size()
                                           : QSize(0, 0);
    const QSize wanted = (w->isVisible() ? w->size() : w->size().expandedTo(w->sizeHint())) + frame;
    const QSize least = w->minimumSizeHint().expandedTo(w->minimumSize()) + frame;
    QRect placed;
    if (beside) {
        placed = besideWindow(main_->frameGeometry(), wanted, least, room);
    } else {
        // Centred over the main window, then moved wholly onto the screen.
        QRect centred(QPoint(0, 0), wanted);
        centred.moveCenter(main_->frameGeometry().center());
        placed = withinScreen(centred, least, room);
    }
    w->resize(placed.size() - frame);
    w->move(placed.topLeft());  // a top-level widget's position is its frame's
}

void QtWindows::showWindow(std::string_view form)
{
    if (QWidget* w = window(form)) {
        // The analysis window opens beside the main window the first time (then
        // where the user left it); About opens over the main window, on screen.
        if (form == kAnalysisForm && !analysisPlaced_) {
            placeWindow(w, true);
            analysisPlaced_ = true;
        } else if (form == kAboutForm && !w->isVisible()) {
            placeWindow(w, false);
        }
        w->show();
        w->raise();
        w->activateWindow();
    }
}

void QtWindows::message(std::string_view text) { messageFrom(kMainForm, text); }

void QtWindows::messageFrom(std::string_view form, std::string_view text)
{
    if (messageHandler_) {
        messageHandler_(std::string(text));
        return;
    }
    QWidget* owner = window(form);
    QMessageBox box(QMessageBox::NoIcon, qs(kMessageTitle), qs(text), QMessageBox::Ok,
                    owner != nullptr ? owner : main_);
    box.exec();
}

double QtWindows::width(std::string_view name) const
{
    const PictureBox* p = picture(name);
    return p != nullptr ? p->width() : 1;
}

double QtWindows::height(std::string_view name) const
{
    const PictureBox* p = picture(name);
    return p != nullptr ? p->height() : 1;
}

void QtWindows::clear(std::string_view name)
{
    if (PictureBox* p = picture(name)) {
        p->drawing().clear();
        p->update();
    }
}

void QtWindows::scale(std::string_view name, double left, double top, double right,
                      double bottom)
{
    if (PictureBox* p = picture(name))
        p->drawing().setScale(left, top, right, bottom, p->width(), p->height());
}

void QtWindows::line(std::string_view name, float x1, float y1, float x2, float y2,
                     Rgb colour)
{
    if (PictureBox* p = picture(name)) {
        p->drawing().line(x1, y1, x2, y2, colour);
        p->update();
    }
}

void QtWindows::filledBox(std::string_view name, float x1, float y1, float x2, float y2,
                          Rgb colour)
{
    if (PictureBox* p = picture(name)) {
        p->drawing().filledBox(x1, y1, x2, y2, colour);
        p->update();
    }
}

}  // namespace ui
