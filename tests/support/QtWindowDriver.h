// Test support: the program's real windows (offscreen) in a temporary working
// directory, their controls found by object name and used as a person uses
// them. Message boxes are collected instead of shown.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/Module_Common.h"
#include "ui/qt/QtWindows.h"

namespace tavrix::testing {

class WindowDriver {
protected:
    tavrix::Common common;
    std::unique_ptr<ui::QtWindows> windows;
    std::vector<std::string> messages;
    QTemporaryDir dir;

    // Program start-up with a fresh state; true once the main window is on screen.
    bool start()
    {
        common = tavrix::Common();
        common.WorkDir = dir.path().toStdString();
        windows = std::make_unique<ui::QtWindows>(common);
        messages.clear();
        windows->setMessageHandler([this](const std::string& m) { messages.push_back(m); });
        windows->logic().Form_Load();
        windows->mainWindow()->show();
        return QTest::qWaitForWindowExposed(windows->mainWindow());
    }
    void stop() { windows.reset(); }

    template <class W>
    W* find(const char* name)
    {
        auto* w = qobject_cast<W*>(windows->control(name));
        if (w == nullptr) qFatal("no control %s", name);
        return w;
    }
    QString text(const char* name) { return find<QLineEdit>(name)->text(); }
    void type(const char* name, const QString& value)
    {
        auto* edit = find<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClicks(edit, value);
    }
    // Click where a user aims: on the indicator of a check or option button,
    // in the middle of a push button.
    void click(const char* name)
    {
        auto* b = find<QAbstractButton>(name);
        const QPoint at = qobject_cast<QPushButton*>(b) != nullptr
                              ? b->rect().center()
                              : QPoint(8, b->height() / 2);
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
    }
};

}  // namespace tavrix::testing
