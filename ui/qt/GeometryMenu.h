// The main window's "Geometry" menu: a plain flap, thickness and camber
// scaled, the trailing-edge gap. Each entry opens a small dialog whose OK
// applies the edit to the contour in use through the geometry edits' logic;
// a refused input shows its message, keeps the contour in use and leaves the
// dialog open for a correction.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QDialog;
class QMainWindow;

namespace tavrix {
class Form_TavrixS;
}

namespace ui {

class GeometryMenu : public QObject {
    Q_OBJECT

public:
    // The menu goes into the window's menu bar before `before`.
    GeometryMenu(QMainWindow* window, tavrix::Form_TavrixS& logic, QAction* before);

    // The three dialogs, created on first use and shown without blocking.
    QDialog* flapDialog();
    QDialog* scaleDialog();
    QDialog* gapDialog();

private:
    QMainWindow* window_;
    tavrix::Form_TavrixS& logic_;
    QPointer<QDialog> flap_;
    QPointer<QDialog> scale_;
    QPointer<QDialog> gap_;
};

}  // namespace ui
