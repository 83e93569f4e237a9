// The program's windows in Qt Widgets, and the toolkit operations on them.
// Every control carries its object name; events go to the handlers of the
// main-window logic.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/Form_TavrixS.h"
#include "app/Module_Common.h"
#include "ui/Toolkit.h"

class QSettings;
class QWidget;

namespace ui {

class PictureBox;

class QtWindows : public Toolkit {
public:
    explicit QtWindows(tavrix::Common& common);
    ~QtWindows() override;

    tavrix::Form_TavrixS& logic() { return *logic_; }
    QMainWindow* mainWindow() { return main_; }
    // Form_TavrixS, Form_KATJO, Form_ShowMat, Form_About or Form_Analysis.
    QWidget* window(std::string_view form) const;
    // The control of that object name in any of the windows, or nullptr.
    QWidget* control(std::string_view name) const;

    // Tests and scripts can take the message boxes instead of a modal dialog.
    void setMessageHandler(std::function<void(const std::string&)> handler)
    {
        messageHandler_ = std::move(handler);
    }

    // Keeps the main window's size and position and the recent airfoil files
    // in `settings`: restores them now (the window within the screen) and
    // saves them when the window closes or the program quits. Without this
    // call nothing is read or written.
    void rememberGeometry(std::unique_ptr<QSettings> settings);
    void saveGeometry();

    // Toolkit
    std::string text(std::string_view control) const override;
    void setText(std::string_view control, std::string_view text) override;
    int value(std::string_view control) const override;
    bool isSelected(std::string_view control) const override;
    void setSelected(std::string_view control, bool selected) override;
    void listClear(std::string_view control) override;
    void listAdd(std::string_view control, std::string_view line) override;
    void setVisible(std::string_view control, bool visible) override;
    bool isVisible(std::string_view control) const override;
    std::string path(std::string_view control) const override;
    void setPath(std::string_view control, std::string_view path) override;
    std::string fileName(std::string_view control) const override;
    void showWindow(std::string_view form) override;
    void message(std::string_view text) override;
    void messageFrom(std::string_view form, std::string_view text) override;
    double width(std::string_view picture) const override;
    double height(std::string_view picture) const override;
    void clear(std::string_view picture) override;
    void scale(std::string_view picture, double left, double top, double right,
               double bottom) override;
    void line(std::string_view picture, float x1, float y1, float x2, float y2,
              Rgb colour) override;
    void filledBox(std::string_view picture, float x1, float y1, float x2, float y2,
                   Rgb colour) override;

private:
    void buildMainWindow();
    void buildKatjoWindow();
    void buildShowMatWindow();
    void buildAboutWindow();
    // Sizes and moves a secondary window before it is shown: beside the main
    // window, or centred over it; wholly on the main window's screen.
    void placeWindow(QWidget* w, bool beside);
    // Saves the main window's place and closes every other window, cancelling
    // a run of the analysis window.
    void closeSecondaryWindows();
    PictureBox* picture(std::string_view name) const;
    void fillFileList(const QString& dir);

    tavrix::Common& common_;
    std::unique_ptr<tavrix::Form_TavrixS> logic_;
    QMainWindow* main_ = nullptr;
    QPointer<QWidget> katjo_;
    QPointer<QWidget> showMat_;
    QPointer<QWidget> about_;
    bool analysisPlaced_ = false;  // the analysis window has had its first place
    QPointer<QWidget> analysis_;
    std::function<void(const std::string&)> messageHandler_;
    std::string drivePath_, dirPath_, filePath_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<QObject> closeWatcher_;
};

}  // namespace ui
