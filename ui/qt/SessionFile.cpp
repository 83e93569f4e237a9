#include "ui/qt/SessionFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSaveFile>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "app/AirfoilInUse.h"
#include "app/ContourTables.h"
#include "app/GeometryEdits.h"
#include "output/KeptRuns.h"
#include "solvers/PanelMethods.h"
#include "ui/qt/KeptRunsPanel.h"
#include "ui/qt/QtWindows.h"

namespace ui {

namespace {

// A session file is a few tens of kilobytes; anything far larger is not one.
constexpr qint64 kLargestSession = 16 * 1024 * 1024;
constexpr int kLongestText = 400;

// The inputs kept, by the object names of their controls.
constexpr const char* kTextBoxes[] = {
    "Text_NP",       "Text_AlfaD",    "Text_ItaD",     "Text_Moo",     "Text_Delta",
    "Text_Gamma",    "Text_Tau",      "Text_xDltc",    "Text_Reynolds", "Text_Ncrit",
    "Text_AlphaFrom", "Text_AlphaTo", "Text_AlphaStep", "Text_ReynoldsSweep"};
constexpr const char* kCheckBoxes[] = {"Check_WritePanel",     "Check_WriteMat",
                                       "Check_WriteSingularities", "Check_ShowMat",
                                       "Check_Circulation",    "Check_CompareMethods",
                                       "Check_ExactCp",        "Check_FieldStreamlines",
                                       "Check_FieldPanels"};
constexpr const char* kComboBoxes[] = {"Combo_Transition", "Combo_Correction", "Combo_PolarMethod",
                                       "Combo_FieldQuantity", "Combo_ViscousModel"};
// A session written before the coupled analysis came had the one-way layer
// as its only model: read without a model, it keeps that one.
constexpr const char* kModelBox = "Combo_ViscousModel";
constexpr int kOneWayModel = 1;

const std::pair<tavrix::ContourSource, const char*> kSources[] = {
    {tavrix::ContourSource::None, "none"},
    {tavrix::ContourSource::Circle, "circle"},
    {tavrix::ContourSource::Naca0012, "naca0012"},
    {tavrix::ContourSource::File, "file"},
    {tavrix::ContourSource::KarmanTrefftz, "karman-trefftz"},
    {tavrix::ContourSource::Naca, "naca"},
    {tavrix::ContourSource::Repanelled, "repanelled"},
};

// A double as the hexadecimal text that reads back as the same bits,
// "0x1.999999999999ap-4", "-0x1p+0".
QString exactText(double v)
{
    char digits[40];
    const bool negative = std::signbit(v);
    const auto r = std::to_chars(digits, digits + sizeof digits, negative ? -v : v,
                                 std::chars_format::hex);
    return QString(negative ? "-0x" : "0x") + QString::fromLatin1(digits, static_cast<int>(r.ptr - digits));
}

std::optional<double> readExact(const QJsonValue& value)
{
    if (!value.isString()) return std::nullopt;
    const QByteArray text = value.toString().toLatin1();
    const char* p = text.constData();
    const char* end = p + text.size();
    bool negative = false;
    if (p != end && *p == '-') {
        negative = true;
        ++p;
    }
    if (end - p < 3 || p[0] != '0' || (p[1] != 'x' && p[1] != 'X')) return std::nullopt;
    p += 2;
    double v = 0;
    const auto r = std::from_chars(p, end, v, std::chars_format::hex);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) return std::nullopt;
    return negative ? -v : v;
}

QJsonArray exactColumn(const std::vector<double>& values)
{
    QJsonArray a;
    for (double v : values) a.append(exactText(v));
    return a;
}

// The columns of a kept polar as they stand in a session.
struct KeptColumn {
    const char* key;
    std::vector<double> tavrix::KeptRun::*column;
};
constexpr KeptColumn kKeptColumns[] = {
    {"alpha", &tavrix::KeptRun::alpha}, {"CL", &tavrix::KeptRun::CL},
    {"CD", &tavrix::KeptRun::CD},       {"CDp", &tavrix::KeptRun::CDp},
    {"CM", &tavrix::KeptRun::CM},       {"topXtr", &tavrix::KeptRun::topXtr},
    {"botXtr", &tavrix::KeptRun::botXtr}};

// The texts of a kept polar's case.
struct CaseText {
    const char* key;
    std::string tavrix::RunCase::*text;
};
constexpr CaseText kCaseTexts[] = {{"airfoil", &tavrix::RunCase::airfoil},
                                   {"method", &tavrix::RunCase::method},
                                   {"model", &tavrix::RunCase::model},
                                   {"origin", &tavrix::RunCase::origin}};
struct CaseNumber {
    const char* key;
    double tavrix::RunCase::*number;
};
constexpr CaseNumber kCaseNumbers[] = {{"Re", &tavrix::RunCase::Re},
                                       {"Ncrit", &tavrix::RunCase::Ncrit},
                                       {"mach", &tavrix::RunCase::mach}};

QJsonObject keptRunJson(const tavrix::KeptRun& run)
{
    QJsonObject runCase;
    for (const CaseText& t : kCaseTexts)
        runCase[t.key] = QString::fromStdString(run.runCase.*t.text);
    for (const CaseNumber& n : kCaseNumbers) runCase[n.key] = exactText(run.runCase.*n.number);
    QJsonObject columns;
    for (const KeptColumn& k : kKeptColumns) columns[k.key] = exactColumn(run.*k.column);
    QJsonObject o;
    o["name"] = QString::fromStdString(run.name);
    o["shown"] = run.shown;
    o["case"] = runCase;
    o["columns"] = columns;
    return o;
}

// A kept polar of the session, or why it is not one: every column a list of
// exact numbers, alpha, CL, CDp and CM one per row, CD and the transition
// points either absent (no boundary layer) or one per row as well.
std::optional<tavrix::KeptRun> readKeptRun(const QJsonValue& value, QString& why)
{
    if (!value.isObject()) {
        why = "is not a polar";
        return std::nullopt;
    }
    const QJsonObject o = value.toObject();
    tavrix::KeptRun run;
    const QJsonValue name = o.value("name");
    if (!name.isString() || name.toString().trimmed().isEmpty()) {
        why = "has no name";
        return std::nullopt;
    }
    run.name = name.toString().toStdString();
    const QJsonValue shown = o.value("shown");
    if (!shown.isBool()) {
        why = "is neither shown nor hidden";
        return std::nullopt;
    }
    run.shown = shown.toBool();
    const QJsonObject runCase = o.value("case").toObject();
    for (const CaseText& t : kCaseTexts) {
        const QJsonValue v = runCase.value(t.key);
        if (!v.isString()) {
            why = QString("has no %1 in its case").arg(t.key);
            return std::nullopt;
        }
        run.runCase.*t.text = v.toString().toStdString();
    }
    for (const CaseNumber& n : kCaseNumbers) {
        const auto v = readExact(runCase.value(n.key));
        if (!v) {
            why = QString("has no number for %1 in its case").arg(n.key);
            return std::nullopt;
        }
        run.runCase.*n.number = *v;
    }
    const QJsonObject columns = o.value("columns").toObject();
    for (const KeptColumn& k : kKeptColumns) {
        const QJsonValue v = columns.value(k.key);
        if (!v.isArray()) {
            why = QString("has no column %1").arg(k.key);
            return std::nullopt;
        }
        const QJsonArray a = v.toArray();
        std::vector<double>& column = run.*k.column;
        for (qsizetype i = 0; i < a.size(); ++i) {
            const auto x = readExact(a[i]);
            if (!x) {
                why = QString("has a value in its column %1 that is not a number").arg(k.key);
                return std::nullopt;
            }
            column.push_back(*x);
        }
    }
    const std::size_t rows = run.rows();
    const bool drag = !run.CD.empty();
    for (const KeptColumn& k : kKeptColumns) {
        const std::size_t n = (run.*k.column).size();
        const bool dragColumn = k.column == &tavrix::KeptRun::CD ||
                                k.column == &tavrix::KeptRun::topXtr ||
                                k.column == &tavrix::KeptRun::botXtr;
        if (n != (dragColumn && !drag ? 0 : rows)) {
            why = QString("has %1 values in its column %2 for %3 angles")
                      .arg(n)
                      .arg(k.key)
                      .arg(rows);
            return std::nullopt;
        }
    }
    if (rows == 0) {
        why = "has no angles";
        return std::nullopt;
    }
    return run;
}

// Everything a session puts in place, read and checked before any of it is.
struct Session {
    tavrix::Contour contour;
    tavrix::ContourSource source = tavrix::ContourSource::None;
    std::string file;
    std::optional<tavrix::FlapHinge> flap;
    std::vector<tavrix::KeptRun> keptRuns;
    QJsonObject inputs;
    QString method;
    bool pressed = false;
};

std::optional<Session> readSession(QtWindows& windows, const QByteArray& bytes, QString& why)
{
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError) {
        why = "it is not a JSON file (" + parse.errorString() + " at byte " +
              QString::number(parse.offset) + ")";
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value("format").toString() != kSessionFormat) {
        why = "it is not a session of this program";
        return std::nullopt;
    }
    if (root.value("version").toInt(-1) != kSessionVersion) {
        why = "it was written by another version of this program (session version " +
              QString::number(root.value("version").toInt(-1)) + ")";
        return std::nullopt;
    }
    Session s;
    const QJsonObject airfoil = root.value("airfoil").toObject();
    const QJsonArray xs = airfoil.value("x").toArray();
    const QJsonArray ys = airfoil.value("y").toArray();
    if (xs.size() != ys.size()) {
        why = QString("its airfoil has %1 x but %2 y coordinates").arg(xs.size()).arg(ys.size());
        return std::nullopt;
    }
    if (xs.size() < 2 || xs.size() > tavrix::kTableLast) {
        why = QString("its airfoil has %1 points; 2 to %2 are needed")
                  .arg(xs.size())
                  .arg(tavrix::kTableLast);
        return std::nullopt;
    }
    for (qsizetype i = 0; i < xs.size(); ++i) {
        const auto x = readExact(xs[i]);
        const auto y = readExact(ys[i]);
        if (!x || !y) {
            why = "point " + QString::number(i + 1) + " of its airfoil is not a number";
            return std::nullopt;
        }
        s.contour.x.push_back(*x);
        s.contour.y.push_back(*y);
    }
    const QString name = airfoil.value("name").toString();
    if (name.size() > kLongestText) {
        why = "the name of its airfoil is too long";
        return std::nullopt;
    }
    s.contour.name = name.toStdString();
    const QString source = airfoil.value("source").toString();
    bool known = false;
    for (const auto& [value, word] : kSources)
        if (source == word) {
            s.source = value;
            known = true;
        }
    if (!known) {
        why = "the source of its airfoil, \"" + source.left(40) + "\", is unknown";
        return std::nullopt;
    }
    s.file = airfoil.value("file").toString().left(4096).toStdString();
    // A flapped section keeps its hinge for the hinge moment; older
    // sessions have none.
    if (const QJsonValue flap = airfoil.value("flap"); !flap.isUndefined()) {
        const QJsonObject f = flap.toObject();
        const auto x = readExact(f.value("x"));
        const auto y = readExact(f.value("y"));
        const auto deflection = readExact(f.value("deflection"));
        const auto chord = readExact(f.value("chord"));
        if (!flap.isObject() || !x || !y || !deflection || !chord || !(*chord > 0)) {
            why = "the flap of its airfoil is not a hinge and a deflection";
            return std::nullopt;
        }
        s.flap = tavrix::FlapHinge{*x, *y, *deflection, *chord};
    }
    // The analysis window's kept polars; older sessions have none.
    if (const QJsonValue kept = root.value("keptRuns"); !kept.isUndefined()) {
        if (!kept.isArray()) {
            why = "its kept polars are not a list";
            return std::nullopt;
        }
        const QJsonArray runs = kept.toArray();
        for (qsizetype i = 0; i < runs.size(); ++i) {
            QString whyNot;
            std::optional<tavrix::KeptRun> run = readKeptRun(runs[i], whyNot);
            if (!run) {
                why = QString("its kept polar %1 %2").arg(i + 1).arg(whyNot);
                return std::nullopt;
            }
            s.keptRuns.push_back(std::move(*run));
        }
    }

    s.inputs = root.value("inputs").toObject();
    for (const char* n : kTextBoxes) {
        const QJsonValue v = s.inputs.value(n);
        if (!v.isUndefined() && (!v.isString() || v.toString().size() > kLongestText)) {
            why = QString("its input %1 is not a text").arg(n);
            return std::nullopt;
        }
    }
    for (const char* n : kCheckBoxes) {
        const QJsonValue v = s.inputs.value(n);
        if (!v.isUndefined() && !v.isBool()) {
            why = QString("its input %1 is neither true nor false").arg(n);
            return std::nullopt;
        }
    }
    for (const char* n : kComboBoxes) {
        const QJsonValue v = s.inputs.value(n);
        if (v.isUndefined()) continue;
        auto* combo = qobject_cast<QComboBox*>(windows.control(n));
        const int index = v.toInt(-1);
        if (!v.isDouble() || index < 0 || (combo != nullptr && index >= combo->count())) {
            why = QString("its input %1 is not one of the choices").arg(n);
            return std::nullopt;
        }
    }
    s.method = s.inputs.value("method").toString();
    bool methodKnown = false;
    for (const tavrix::PanelMethodInfo& info : tavrix::panelMethods())
        if (s.method == QString::fromUtf8(info.option.data(), static_cast<int>(info.option.size())))
            methodKnown = true;
    if (!methodKnown) {
        why = "its method, \"" + s.method.left(40) + "\", is unknown";
        return std::nullopt;
    }
    s.pressed = root.value("pressed").toBool(false);
    return s;
}

}  // namespace

QByteArray sessionJson(QtWindows& windows)
{
    const tavrix::Common& c = windows.logic().common();
    QJsonObject airfoil;
    QJsonArray xs, ys;
    for (int i = 1; i <= c.NP; ++i) {
        xs.append(exactText(c.XCoord[static_cast<std::size_t>(i)]));
        ys.append(exactText(c.YCoord[static_cast<std::size_t>(i)]));
    }
    airfoil["name"] = QString::fromStdString(c.AirfoilName);
    for (const auto& [value, word] : kSources)
        if (value == c.AirfoilSource) airfoil["source"] = word;
    airfoil["file"] = QString::fromStdString(c.AirfoilFilePath);
    airfoil["points"] = c.NP;
    airfoil["x"] = xs;
    airfoil["y"] = ys;
    if (const std::optional<tavrix::FlapHinge> flap = tavrix::flapInUse(c)) {
        QJsonObject f;
        f["x"] = exactText(flap->x);
        f["y"] = exactText(flap->y);
        f["deflection"] = exactText(flap->deflectionDeg);
        f["chord"] = exactText(flap->chord);
        airfoil["flap"] = f;
    }

    QJsonObject inputs;
    for (const char* n : kTextBoxes)
        if (auto* edit = qobject_cast<QLineEdit*>(windows.control(n))) inputs[n] = edit->text();
    for (const char* n : kCheckBoxes)
        if (auto* box = qobject_cast<QCheckBox*>(windows.control(n))) inputs[n] = box->isChecked();
    for (const char* n : kComboBoxes)
        if (auto* combo = qobject_cast<QComboBox*>(windows.control(n)))
            inputs[n] = combo->currentIndex();
    for (const tavrix::PanelMethodInfo& info : tavrix::panelMethods())
        if (windows.isSelected(info.option))
            inputs["method"] = QString::fromUtf8(info.option.data(), static_cast<int>(info.option.size()));

    QJsonObject root;
    root["format"] = kSessionFormat;
    root["version"] = kSessionVersion;
    root["airfoil"] = airfoil;
    root["inputs"] = inputs;
    QJsonArray kept;
    if (auto* panel = qobject_cast<KeptRunsPanel*>(windows.control("Panel_KeptRuns")))
        for (const tavrix::KeptRun& run : panel->runs()) kept.append(keptRunJson(run));
    root["keptRuns"] = kept;
    root["pressed"] = c.AirfoilReady && windows.logic().lastPressCompleted();
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::string saveSession(QtWindows& windows, const QString& path)
{
    if (!windows.logic().common().AirfoilReady)
        return "there is no airfoil yet: choose one first";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
    const QByteArray bytes = sessionJson(windows);
    if (file.write(bytes) != bytes.size() || !file.commit()) return file.errorString().toStdString();
    return {};
}

std::string openSession(QtWindows& windows, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return file.errorString().toStdString();
    if (file.size() > kLargestSession) return "it is too large to be a session";
    const QByteArray bytes = file.readAll();
    QString why;
    std::optional<Session> read = readSession(windows, bytes, why);
    if (!read) return why.toStdString();
    Session& s = *read;

    // Everything is sound: the inputs, then the airfoil, then the press.
    for (const char* n : kTextBoxes)
        if (s.inputs.contains(n)) windows.setText(n, s.inputs.value(n).toString().toStdString());
    for (const char* n : kCheckBoxes)
        if (auto* box = qobject_cast<QCheckBox*>(windows.control(n)); box && s.inputs.contains(n))
            box->setChecked(s.inputs.value(n).toBool());
    windows.setSelected(s.method.toStdString(), true);
    tavrix::Common& c = windows.logic().common();
    if (!tavrix::showContourInUse(c, windows, s.contour, s.source))
        return "its airfoil cannot be used";  // checked above: not reached
    c.AirfoilFilePath = s.file;
    c.Flap.reset();
    if (s.flap) tavrix::tieFlapToContourInUse(c, *s.flap);
    windows.logic().showAirfoilInUse();
    if (s.pressed) {
        if (auto* calculate = qobject_cast<QAbstractButton*>(windows.control("Command_Calculate")))
            calculate->click();
    }
    if (auto* panel = qobject_cast<KeptRunsPanel*>(windows.control("Panel_KeptRuns")))
        panel->setRuns(std::move(s.keptRuns));
    // The analysis window's choices last: a press sets the polar's method
    // to its own until the user picks one, as the session's user had.
    if (!s.inputs.contains(kModelBox)) s.inputs.insert(kModelBox, kOneWayModel);
    for (const char* n : kComboBoxes) {
        auto* combo = qobject_cast<QComboBox*>(windows.control(n));
        if (combo == nullptr || !s.inputs.contains(n)) continue;
        const int index = s.inputs.value(n).toInt();
        if (combo->currentIndex() == index) continue;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    return {};
}

SessionMenu::SessionMenu(QMainWindow* window, QtWindows& windows)
    : QObject(window), window_(window), windows_(windows)
{
    setObjectName("SessionMenu");
    auto* file = window->findChild<QMenu*>("Mn_File");
    if (file == nullptr) {
        file = window->menuBar()->addMenu(tr("File"));
        file->setObjectName("Mn_File");
    }
    auto* open = new QAction(tr("Open session..."), file);
    open->setObjectName("Mn_OpenSession");
    auto* save = new QAction(tr("Save session..."), file);
    save->setObjectName("Mn_SaveSession");
    // Before the separator above Quit, in a group of their own.
    QAction* before = nullptr;
    const QList<QAction*> actions = file->actions();
    for (qsizetype i = 0; i < actions.size(); ++i)
        if (actions[i]->objectName() == "Mn_Quit")
            before = i > 0 && actions[i - 1]->isSeparator() ? actions[i - 1] : actions[i];
    file->insertAction(before, open);
    file->insertAction(before, save);
    file->insertSeparator(open);
    const QString filters = tr("Tavrix-S sessions (*.tavrix.json *.json);;All files (*)");
    connect(save, &QAction::triggered, this, [this, filters] {
        QString path = QFileDialog::getSaveFileName(window_, tr("Save session"), QString(), filters);
        if (path.isEmpty()) return;
        if (!path.contains('.')) path += ".json";
        savePath(path);
    });
    connect(open, &QAction::triggered, this, [this, filters] {
        const QString path =
            QFileDialog::getOpenFileName(window_, tr("Open session"), QString(), filters);
        if (!path.isEmpty()) openPath(path);
    });
}

bool SessionMenu::savePath(const QString& path)
{
    const std::string why = saveSession(windows_, path);
    if (why.empty()) return true;
    windows_.message("Cannot save the session \"" + path.toStdString() + "\": " + why);
    return false;
}

bool SessionMenu::openPath(const QString& path)
{
    const std::string why = openSession(windows_, path);
    if (why.empty()) return true;
    windows_.message("Cannot open the session \"" + path.toStdString() + "\": " + why +
                     ". Nothing has been changed.");
    return false;
}

}  // namespace ui
