#include <QApplication>
#include <QSettings>
#include <csignal>
#include <memory>

#include "app/NumberText.h"
#include "ui/qt/QtWindows.h"

int main(int argc, char* argv[])
{
    // A file-size limit makes a result file fail to be written, reported as
    // such, instead of ending the program and the user's session.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    tavrix::Common common;
    common.DecimalSeparator = tavrix::localeDecimalSeparator();
    ui::QtWindows windows(common);
    windows.rememberGeometry(std::make_unique<QSettings>("Tavrix-S", "tavrixs"));
    windows.logic().Form_Load();
    windows.mainWindow()->show();
    return app.exec();
}
