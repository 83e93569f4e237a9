// The main window's "File" menu: open a coordinate file of any layout, the
// recent files, a NACA section, repanelling, saving the contour in the Selig
// layout, and quitting. Thin over the airfoil menu's logic; the dialogs are
// shown without blocking, and the entry points that take a path let tests
// and scripts skip the file dialogs.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QDialog;
class QMainWindow;
class QMenu;

namespace tavrix {
class Form_TavrixS;
}

namespace ui {

class AirfoilFileMenu : public QObject {
    Q_OBJECT

public:
    AirfoilFileMenu(QMainWindow* window, tavrix::Form_TavrixS& logic);

    // What the menu entries do once a path or the values are known.
    bool openPath(const QString& path);
    bool savePath(const QString& path);
    bool makeNaca(const QString& designation, bool openTrailingEdge);
    bool repanel(const QString& count);

    // The two small dialogs, created on first use and shown without blocking.
    QDialog* nacaDialog();
    QDialog* repanelDialog();

    static QString fileFilters();

private:
    void openWithDialog();
    void saveWithDialog();
    void fillRecentFiles();

    QMainWindow* window_;
    tavrix::Form_TavrixS& logic_;
    QMenu* recent_ = nullptr;
    QPointer<QDialog> naca_;
    QPointer<QDialog> repanel_;
};

}  // namespace ui
