#include "ui/qt/AirfoilFileMenu.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "app/AirfoilMenu.h"
#include "app/Form_TavrixS.h"

namespace ui {

namespace {

QAction* entry(QMenu* menu, const char* name, const QString& text)
{
    auto* a = menu->addAction(text);
    a->setObjectName(name);
    return a;
}

// OK and Cancel with object names, OK the default.
QDialogButtonBox* okCancel(QDialog* dialog, const char* okName, const char* cancelName)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->setObjectName(QString(okName).replace("Command_", "Buttons_"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(okName);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(cancelName);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

AirfoilFileMenu::AirfoilFileMenu(QMainWindow* window, tavrix::Form_TavrixS& logic)
    : QObject(window), window_(window), logic_(logic)
{
    setObjectName("AirfoilFileMenu");
    QMenu* file = window->menuBar()->addMenu(tr("File"));
    file->setObjectName("Mn_File");
    auto* open = entry(file, "Mn_OpenAirfoil", tr("Open airfoil file..."));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, [this] { openWithDialog(); });
    recent_ = file->addMenu(tr("Recent files"));
    recent_->setObjectName("Mn_RecentFiles");
    connect(recent_, &QMenu::aboutToShow, this, [this] { fillRecentFiles(); });
    fillRecentFiles();
    file->addSeparator();
    connect(entry(file, "Mn_NacaSection", tr("NACA section...")), &QAction::triggered, this,
            [this] { nacaDialog()->open(); });
    connect(entry(file, "Mn_Repanel", tr("Repanel...")), &QAction::triggered, this,
            [this] { repanelDialog()->open(); });
    connect(entry(file, "Mn_SaveContour", tr("Save contour as...")), &QAction::triggered, this,
            [this] { saveWithDialog(); });
    file->addSeparator();
    auto* quit = entry(file, "Mn_Quit", tr("Quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));  // the main window connects it
}

QString AirfoilFileMenu::fileFilters()
{
    return tr("Airfoil coordinates (*.dat *.arf *.txt);;All files (*)");
}

bool AirfoilFileMenu::openPath(const QString& path)
{
    const bool done = logic_.airfoilMenu().openFile(path.toStdString());
    fillRecentFiles();
    return done;
}

bool AirfoilFileMenu::savePath(const QString& path)
{
    return logic_.airfoilMenu().saveContour(path.toStdString());
}

bool AirfoilFileMenu::makeNaca(const QString& designation, bool openTrailingEdge)
{
    return logic_.airfoilMenu().makeNaca(designation.toStdString(), openTrailingEdge);
}

bool AirfoilFileMenu::repanel(const QString& count)
{
    return logic_.airfoilMenu().repanelCurrent(count.toStdString());
}

void AirfoilFileMenu::openWithDialog()
{
    const QString path = QFileDialog::getOpenFileName(window_, tr("Open airfoil file"),
                                                      QString(), fileFilters());
    if (!path.isEmpty()) openPath(path);
}

void AirfoilFileMenu::saveWithDialog()
{
    const QString path = QFileDialog::getSaveFileName(window_, tr("Save contour as"),
                                                      QString(), fileFilters());
    if (!path.isEmpty()) savePath(path);
}

void AirfoilFileMenu::fillRecentFiles()
{
    recent_->clear();
    const auto& files = logic_.airfoilMenu().recentFiles();
    int k = 0;
    for (const std::string& f : files) {
        const QString path = QString::fromStdString(f);
        auto* a = recent_->addAction(path);
        a->setObjectName(QString("Mn_Recent_%1").arg(++k));
        connect(a, &QAction::triggered, this, [this, path] { openPath(path); });
    }
    recent_->setEnabled(!files.empty());
}

QDialog* AirfoilFileMenu::nacaDialog()
{
    if (naca_) return naca_;
    naca_ = new QDialog(window_);
    naca_->setObjectName("Dialog_Naca");
    naca_->setWindowTitle(tr("NACA section"));
    auto* form = new QFormLayout(naca_);
    auto* designation = new QLineEdit("2412", naca_);
    designation->setObjectName("Text_NacaDesignation");
    auto* designationLabel = new QLabel(tr("NACA"), naca_);
    designationLabel->setObjectName("Label_NacaDesignation");
    form->addRow(designationLabel, designation);
    auto* open = new QCheckBox(tr("Open trailing edge (closed afterwards)"), naca_);
    open->setObjectName("Check_NacaOpenTE");
    form->addRow(open);
    auto* note = new QLabel(tr("Points: \"Number of panel end points =\""), naca_);
    note->setObjectName("Label_NacaPoints");
    form->addRow(note);
    form->addRow(okCancel(naca_, "Command_NacaOK", "Command_NacaCancel"));
    connect(naca_, &QDialog::accepted, this, [this, designation, open] {
        makeNaca(designation->text(), open->isChecked());
    });
    return naca_;
}

QDialog* AirfoilFileMenu::repanelDialog()
{
    if (repanel_) return repanel_;
    repanel_ = new QDialog(window_);
    repanel_->setObjectName("Dialog_Repanel");
    repanel_->setWindowTitle(tr("Repanel"));
    auto* form = new QFormLayout(repanel_);
    auto* count = new QLineEdit("161", repanel_);
    count->setObjectName("Text_RepanelCount");
    auto* countLabel = new QLabel(tr("Number of panel end points (3 to 1000) ="), repanel_);
    countLabel->setObjectName("Label_RepanelCount");
    form->addRow(countLabel, count);
    form->addRow(okCancel(repanel_, "Command_RepanelOK", "Command_RepanelCancel"));
    connect(repanel_, &QDialog::accepted, this, [this, count] { repanel(count->text()); });
    return repanel_;
}

}  // namespace ui
