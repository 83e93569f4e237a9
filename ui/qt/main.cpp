#include <QApplication>

#include "app/NumberText.h"
#include "ui/qt/QtWindows.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    tavrix::Common common;
    common.DecimalSeparator = tavrix::localeDecimalSeparator();
    ui::QtWindows windows(common);
    windows.logic().Form_Load();
    windows.mainWindow()->show();
    return app.exec();
}
