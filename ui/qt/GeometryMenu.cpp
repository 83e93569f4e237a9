#include "ui/qt/GeometryMenu.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <functional>

#include "app/AirfoilInUse.h"
#include "app/Form_TavrixS.h"
#include "app/GeometryEdits.h"

namespace ui {

namespace {

QLineEdit* field(QDialog* dialog, const char* name, const QString& text)
{
    auto* edit = new QLineEdit(text, dialog);
    edit->setObjectName(name);
    edit->setMaximumWidth(90);
    return edit;
}

QLabel* caption(QDialog* dialog, const char* name, const QString& text)
{
    auto* label = new QLabel(text, dialog);
    label->setObjectName(name);
    return label;
}

QLabel* note(QDialog* dialog, const char* name, const QString& text)
{
    auto* label = caption(dialog, name, text);
    label->setWordWrap(true);
    return label;
}

// The first line of each dialog: the airfoil the edit will change, filled in
// each time the dialog opens.
QLabel* airfoilLine(QDialog* dialog, const char* name)
{
    auto* label = caption(dialog, name, QString());
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// "Apply" and "Close" with object names: Apply edits the contour in use and
// closes the dialog when the edit was made; a refusal keeps it open.
void buttons(QDialog* dialog, QFormLayout* form, const char* applyName, const char* closeName,
             std::function<bool()> apply)
{
    auto* box = new QDialogButtonBox(dialog);
    box->setObjectName(QString(applyName).replace("Command_", "Buttons_"));
    auto* ok = box->addButton(QObject::tr("Apply"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(applyName);
    ok->setDefault(true);
    auto* close = box->addButton(QDialogButtonBox::Close);
    close->setObjectName(closeName);
    QObject::connect(ok, &QPushButton::clicked, dialog, [dialog, apply] {
        if (apply()) dialog->accept();
    });
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
    form->addRow(box);
}

}  // namespace

GeometryMenu::GeometryMenu(QMainWindow* window, tavrix::Form_TavrixS& logic, QAction* before)
    : QObject(window), window_(window), logic_(logic)
{
    setObjectName("GeometryMenu");
    auto* menu = new QMenu(tr("Geometry"), window);
    menu->setObjectName("Mn_GeometryMenu");
    window->menuBar()->insertMenu(before, menu);
    const std::pair<const char*, QString> entries[] = {
        {"Mn_Flap", tr("Flap...")},
        {"Mn_ScaleSection", tr("Scale thickness and camber...")},
        {"Mn_TrailingEdgeGap", tr("Trailing-edge gap...")},
    };
    QDialog* (GeometryMenu::*dialogs[])() = {&GeometryMenu::flapDialog, &GeometryMenu::scaleDialog,
                                             &GeometryMenu::gapDialog};
    for (int k = 0; k < 3; ++k) {
        auto* a = menu->addAction(entries[k].second);
        a->setObjectName(entries[k].first);
        connect(a, &QAction::triggered, this, [this, d = dialogs[k]] {
            QDialog* dialog = (this->*d)();
            const QString inUse = QString::fromStdString(tavrix::airfoilInUseText(logic_.common()));
            for (auto* label : dialog->findChildren<QLabel*>())
                if (label->objectName().endsWith("Airfoil")) label->setText(inUse);
            dialog->open();
        });
    }
}

QDialog* GeometryMenu::flapDialog()
{
    if (flap_) return flap_;
    flap_ = new QDialog(window_);
    flap_->setObjectName("Dialog_Flap");
    flap_->setWindowTitle(tr("Flap"));
    auto* form = new QFormLayout(flap_);
    form->addRow(airfoilLine(flap_, "Label_FlapAirfoil"));
    form->addRow(note(flap_, "Label_FlapAbout",
                      tr("The part of this airfoil behind the hinge is turned about the hinge. "
                         "Positions are fractions of the chord.")));
    auto* x = field(flap_, "Text_FlapHingeX", "0.75");
    form->addRow(caption(flap_, "Label_FlapHingeX", tr("Hinge x/c (0 to 1):")), x);
    auto* fraction = new QRadioButton(tr("fraction of the local thickness"), flap_);
    fraction->setObjectName("Option_FlapHingeFraction");
    fraction->setChecked(true);
    auto* absolute = new QRadioButton(tr("y/c"), flap_);
    absolute->setObjectName("Option_FlapHingeY");
    auto* heightKind = new QHBoxLayout;
    heightKind->addWidget(fraction);
    heightKind->addWidget(absolute);
    heightKind->addStretch();
    form->addRow(caption(flap_, "Label_FlapHingeKind", tr("Hinge height given as:")), heightKind);
    auto* height = field(flap_, "Text_FlapHingeHeight", "0.5");
    auto* heightLabel = caption(flap_, "Label_FlapHingeHeight", QString());
    const auto heightText = [heightLabel, absolute] {
        heightLabel->setText(absolute->isChecked()
                                 ? tr("Hinge y/c:")
                                 : tr("Hinge height (0 lower surface, 0.5 middle, 1 upper):"));
    };
    heightText();
    connect(absolute, &QRadioButton::toggled, flap_, heightText);
    form->addRow(heightLabel, height);
    auto* deflection = field(flap_, "Text_FlapDeflection", "10");
    form->addRow(caption(flap_, "Label_FlapDeflection",
                         tr("Deflection in degrees (+ trailing edge down, -90 to 90):")),
                 deflection);
    form->addRow(note(flap_, "Label_FlapNote",
                      tr("Apply changes the airfoil as it is now: applying twice adds the "
                         "deflections. Choose the airfoil again to start from the plain "
                         "section. After a press, the analysis window also shows the hinge "
                         "moment CH (per chord squared, positive when it turns the trailing "
                         "edge down).")));
    buttons(flap_, form, "Command_FlapApply", "Command_FlapClose", [=, this] {
        return tavrix::applyFlap(logic_, x->text().toStdString(), height->text().toStdString(),
                                 deflection->text().toStdString(), absolute->isChecked());
    });
    flap_->setMinimumWidth(520);
    return flap_;
}

QDialog* GeometryMenu::scaleDialog()
{
    if (scale_) return scale_;
    scale_ = new QDialog(window_);
    scale_->setObjectName("Dialog_ScaleSection");
    scale_->setWindowTitle(tr("Scale thickness and camber"));
    auto* form = new QFormLayout(scale_);
    form->addRow(airfoilLine(scale_, "Label_ScaleAirfoil"));
    form->addRow(note(scale_, "Label_ScaleAbout",
                      tr("The airfoil in use is split into its mean line and its thickness; "
                         "each is multiplied by its factor (1 keeps it, camber 0 gives a "
                         "symmetric airfoil).")));
    auto* thickness = field(scale_, "Text_ScaleThickness", "1");
    form->addRow(caption(scale_, "Label_ScaleThickness", tr("Thickness factor:")), thickness);
    auto* camber = field(scale_, "Text_ScaleCamber", "1");
    form->addRow(caption(scale_, "Label_ScaleCamber", tr("Camber factor:")), camber);
    buttons(scale_, form, "Command_ScaleApply", "Command_ScaleClose", [=, this] {
        return tavrix::scaleThicknessAndCamber(logic_, thickness->text().toStdString(),
                                               camber->text().toStdString());
    });
    scale_->setMinimumWidth(460);
    return scale_;
}

QDialog* GeometryMenu::gapDialog()
{
    if (gap_) return gap_;
    gap_ = new QDialog(window_);
    gap_->setObjectName("Dialog_TrailingEdgeGap");
    gap_->setWindowTitle(tr("Trailing-edge gap"));
    auto* form = new QFormLayout(gap_);
    form->addRow(airfoilLine(gap_, "Label_GapAirfoil"));
    auto* width = field(gap_, "Text_GapWidth", "0.005");
    form->addRow(caption(gap_, "Label_GapWidth", tr("Gap width (fraction of the chord):")), width);
    auto* blend = field(gap_, "Text_GapBlend", "0.3");
    form->addRow(caption(gap_, "Label_GapBlend",
                         tr("Blending length from the trailing edge (fraction of the chord):")),
                 blend);
    form->addRow(note(gap_, "Label_GapNote",
                      tr("The panel methods here need a closed trailing edge: after the gap "
                         "is opened, the edge is closed again at the mid point of the gap, as "
                         "an open coordinate file is. What stays is a thicker, blunter aft "
                         "part of the section. A width of 0 closes an open edge over the "
                         "blending length.")));
    buttons(gap_, form, "Command_GapApply", "Command_GapClose", [=, this] {
        return tavrix::setTrailingEdgeGapOf(logic_, width->text().toStdString(),
                                            blend->text().toStdString());
    });
    gap_->setMinimumWidth(520);
    return gap_;
}

}  // namespace ui
