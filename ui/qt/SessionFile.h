// A session in one JSON file: the airfoil in use (its points as exact
// hexadecimal floating-point texts, so that they read back bit for bit, its
// name, its source and file, and the hinge of its flap when it has one), the
// inputs of the main, Karman-Trefftz and analysis windows, the analysis
// window's kept polars (their numbers exact as well) and whether the last
// press had completed, in which case opening the session presses again and
// shows the same results. Sessions written before the flap and the kept
// polars were kept simply have neither. "Save session..." and "Open
// session..." sit in the main window's File menu.
#pragma once

#include <QObject>
#include <QString>
#include <string>

class QMainWindow;

namespace ui {

class QtWindows;

inline constexpr const char* kSessionFormat = "Tavrix-S session";
inline constexpr int kSessionVersion = 1;

// The session as JSON text.
QByteArray sessionJson(QtWindows& windows);

// Writes the session to `path`; an error text, empty when it was written.
std::string saveSession(QtWindows& windows, const QString& path);

// Reads the session at `path` and, only when all of it is sound, puts it in
// place; an error text (and nothing changed) when the file cannot be read,
// is not JSON, is not a session of this program or holds a value that is
// out of range.
std::string openSession(QtWindows& windows, const QString& path);

// The two entries of the File menu, before its Quit entry; their refusals go
// to the main window's message box.
class SessionMenu : public QObject {
    Q_OBJECT

public:
    SessionMenu(QMainWindow* window, QtWindows& windows);
    // What the entries do once a file is chosen; false after a refusal,
    // which has been shown.
    bool savePath(const QString& path);
    bool openPath(const QString& path);

private:
    QMainWindow* window_;
    QtWindows& windows_;
};

}  // namespace ui
