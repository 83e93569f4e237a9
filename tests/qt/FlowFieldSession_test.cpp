// The analysis window's flow-field tab and the sessions of the main window,
// on the real windows, driven by object name.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>

#include "app/GeometryEdits.h"
#include "support/QtWindowDriver.h"
#include "support/Session.h"
#include "ui/qt/AnalysisWindow.h"
#include "ui/qt/FlowFieldTab.h"
#include "ui/qt/KeptRunsPanel.h"
#include "ui/qt/SessionFile.h"

class FlowFieldSessionTest : public QObject, protected tavrix::testing::WindowDriver {
    Q_OBJECT

private:
    ui::FlowFieldTab* fieldTab() { return find<ui::FlowFieldTab>("Tab_FlowField"); }
    ui::SessionMenu* sessions()
    {
        return windows->mainWindow()->findChild<ui::SessionMenu*>("SessionMenu");
    }
    void press(const char* alpha, const char* method)
    {
        type("Text_AlfaD", alpha);
        click(method);
        click("Command_Calculate");
        QVERIFY(windows->logic().lastPressCompleted());
    }
    // A section of so many points, pressed with a method at an angle.
    void press(const char* points, const char* section, const char* alpha, const char* method)
    {
        type("Text_NP", points);
        click(section);
        press(alpha, method);
    }
    // A session opened without a word of complaint.
    void opens(const char* name)
    {
        QVERIFY(sessions()->openPath(dir.filePath(name)));
        QVERIFY(messages.empty());
    }
    // The contour in use as bytes, to be compared bit for bit.
    QByteArray contourBytes()
    {
        const tavrix::Common& c = windows->logic().common();
        QByteArray b;
        b.append(reinterpret_cast<const char*>(&c.NP), sizeof c.NP);
        b.append(reinterpret_cast<const char*>(c.XCoord.data() + 1), c.NP * sizeof(double));
        b.append(reinterpret_cast<const char*>(c.YCoord.data() + 1), c.NP * sizeof(double));
        return b;
    }
    ui::KeptRunsPanel* keptRuns() { return find<ui::KeptRunsPanel>("Panel_KeptRuns"); }
    // Two lists of kept polars alike to the last bit of every number.
    static bool sameRuns(const std::vector<tavrix::KeptRun>& a,
                         const std::vector<tavrix::KeptRun>& b)
    {
        const auto bits = [](const std::vector<double>& x, const std::vector<double>& y) {
            return x.size() == y.size() &&
                   (x.empty() || std::memcmp(x.data(), y.data(), x.size() * sizeof(double)) == 0);
        };
        using R = tavrix::KeptRun;
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](const R& p, const R& q) {
            const tavrix::RunCase &c = p.runCase, &d = q.runCase;
            for (auto column : {&R::alpha, &R::CL, &R::CD, &R::CDp, &R::CM, &R::topXtr, &R::botXtr})
                if (!bits(p.*column, q.*column)) return false;
            return p.name == q.name && p.shown == q.shown && c.airfoil == d.airfoil &&
                   c.method == d.method && c.model == d.model && c.origin == d.origin &&
                   bits({c.Re, c.Ncrit, c.mach}, {d.Re, d.Ncrit, d.mach});
        });
    }
    static QJsonObject readJson(const QString& path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(f.readAll()).object();
    }
    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void init() { QVERIFY(start()); }
    void cleanup() { stop(); }

    void flowFieldTabFollowsThePressAndZooms()
    {
        windows->mainWindow()->findChild<QAction*>("Mn_Analysis")->trigger();
        press("61", "Option_N0012", "4", "Option_VORPAN");
        auto* tabs = find<QTabWidget>("Tab_Analysis");
        // The existing tabs keep their places; the field comes last.
        QCOMPARE(tabs->count(), 5);
        const QStringList before = {"Pressure", "Polar", "Convergence", "Boundary layer"};
        for (int i = 0; i < 4; ++i) QVERIFY(tabs->tabText(i).startsWith(before[i]));
        tabs->setCurrentWidget(fieldTab());
        QTRY_VERIFY(fieldTab()->view() != nullptr);
        const tavrix::FieldView* v = fieldTab()->view();
        QVERIFY(QString::fromStdString(v->title).contains(QString::fromUtf8("\u03b1 = 4\u00b0")));
        QVERIFY(QString::fromStdString(v->title).contains("Vortex panel"));
        QVERIFY(QString::fromStdString(v->note).contains("incompressible"));
        QCOMPARE(v->CL, windows->logic().common().LastPoint->CL);
        // The whole section is in view, the dividing streamline leaves the edge.
        QVERIFY(v->grid.box.x0 < -0.4 && v->grid.box.x1 > 1.4);
        QVERIFY(v->points.rearAtTrailingEdge);
        QVERIFY(!v->streamlines.empty());

        // A new press is followed.
        press("8", "Option_Soinne");
        QTRY_VERIFY(fieldTab()->view() != nullptr &&
                    QString::fromStdString(fieldTab()->view()->title)
                        .contains(QString::fromUtf8("\u03b1 = 8\u00b0")));

        click("Command_FieldLeadingEdge");
        const tavrix::FieldBox le = fieldTab()->view()->grid.box;
        QVERIFY(le.x0 < 0 && le.x1 > 0 && le.y0 < 0 && le.y1 > 0);
        QVERIFY2(le.x1 - le.x0 < 0.3, qPrintable(QString::number(le.x1 - le.x0)));

        // One notch of the wheel towards the user zooms out about the pointer.
        auto* canvas = find<QWidget>("Picture_FlowField");
        const QPointF at = canvas->rect().center();
        QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(canvas, &wheel);
        QTRY_VERIFY(fieldTab()->view()->grid.box.x1 - fieldTab()->view()->grid.box.x0 >
                    1.2 * (le.x1 - le.x0));

        click("Command_FieldWhole");
        QVERIFY(fieldTab()->view()->grid.box.x0 < -0.4);

        // Cp instead of the speed: the stagnation value 1 tops the scale.
        find<QComboBox>("Combo_FieldQuantity")->setCurrentIndex(1);
        QCOMPARE(fieldTab()->view()->quantity, tavrix::FieldQuantity::Cp);
        QCOMPARE(fieldTab()->view()->high, 1.0);
    }

    void sessionRoundTripGivesTheSamePointsAndResults()
    {
        type("Text_NP", "81");
        QVERIFY(windows->logic().airfoilMenu().makeNaca("2412", false));
        type("Text_ItaD", "1.5");
        click("Check_WritePanel");
        press("3.25", "Option_Soinne");
        const QByteArray points = contourBytes();
        const double CL = windows->logic().common().LastPoint->CL;
        const QString shownCL = text("Text_CL");
        QVERIFY(sessions()->savePath(dir.filePath("a.json")));
        QVERIFY(messages.empty());

        // Something else in the meantime.
        type("Text_ItaD", "0");
        click("Check_WritePanel");
        press("31", "Option_CIRCLE", "0", "Option_HESS");
        QVERIFY(contourBytes() != points);

        opens("a.json");
        QCOMPARE(contourBytes(), points);
        QCOMPARE(text("Text_AlfaD"), QString("3.25"));
        QCOMPARE(text("Text_ItaD"), QString("1.5"));
        QCOMPARE(text("Text_NP"), QString("81"));
        QVERIFY(find<QRadioButton>("Option_Soinne")->isChecked());
        QCOMPARE(windows->value("Check_WritePanel"), 1);
        QCOMPARE(QString::fromStdString(windows->logic().common().AirfoilName), QString("NACA 2412"));
        // The session pressed again: the same results, to the bit.
        QVERIFY(windows->logic().lastPressCompleted());
        QCOMPARE(windows->logic().common().LastPoint->CL, CL);
        QCOMPARE(text("Text_CL"), shownCL);
    }

    // The boundary layer's model is an input of the session; a session
    // written before the coupled analysis existed reads with the one-way
    // layer it was made with. A damaged or foreign file is refused and
    // changes nothing.
    void sessionKeepsTheLayerModelAndADamagedOrForeignOneChangesNothing()
    {
        press("41", "Option_N0012", "0", "Option_HESS");
        windows->mainWindow()->findChild<QAction*>("Mn_Analysis")->trigger();
        auto* model = find<QComboBox>("Combo_ViscousModel");
        QCOMPARE(model->currentIndex(), 0);  // coupled, by default
        type("Text_ReynoldsSweep", "1e6 3e6");
        QVERIFY(sessions()->savePath(dir.filePath("coupled.json")));
        model->setCurrentIndex(1);
        type("Text_ReynoldsSweep", "");
        opens("coupled.json");
        QCOMPARE(model->currentIndex(), 0);
        QCOMPARE(text("Text_ReynoldsSweep"), QString("1e6 3e6"));

        QJsonObject root = readJson(dir.filePath("coupled.json"));
        QJsonObject inputs = root.value("inputs").toObject();
        QVERIFY(inputs.contains("Combo_ViscousModel"));
        inputs.remove("Combo_ViscousModel");
        root.insert("inputs", inputs);
        writeFile(dir.filePath("older.json"), QJsonDocument(root).toJson());
        opens("older.json");
        QCOMPARE(model->currentText(), QString("One-way (teaching)"));

        const QByteArray bytes = QByteArray::fromStdString(
            tavrix::testing::readFile(dir.filePath("coupled.json").toStdString()));
        press("21", "Option_CIRCLE", "5", "Option_VORPAN");
        const QByteArray points = contourBytes();
        QByteArray badPoint = bytes;
        const qsizetype at = badPoint.indexOf("\"0x");
        QVERIFY(at > 0);
        badPoint.replace(at + 1, 3, "0xZ");
        QByteArray otherVersion = bytes;
        otherVersion.replace("\"version\": 1", "\"version\": 7");
        QVERIFY(otherVersion != bytes);
        const QByteArray cases[] = {bytes.left(bytes.size() / 2), QByteArray("{}"),
                                    QByteArray("[1, 2, 3]"), QByteArray("\x89PNG\r\n\x1a\n", 8),
                                    badPoint, otherVersion};
        int n = 0;
        for (const QByteArray& content : cases) {
            const QString path = dir.filePath(QString("bad%1.json").arg(++n));
            writeFile(path, content);
            messages.clear();
            QVERIFY(!sessions()->openPath(path));
            QCOMPARE(messages.size(), std::size_t{1});
            QVERIFY2(QString::fromStdString(messages[0]).startsWith("Cannot open the session"),
                     messages[0].c_str());
            QVERIFY(QString::fromStdString(messages[0]).contains("Nothing has been changed"));
            QCOMPARE(contourBytes(), points);
            QCOMPARE(text("Text_AlfaD"), QString("5"));
            QCOMPARE(text("Text_NP"), QString("21"));
            QVERIFY(find<QRadioButton>("Option_VORPAN")->isChecked());
        }
        messages.clear();
        QVERIFY(!sessions()->openPath(dir.filePath("missing.json")));
        QCOMPARE(messages.size(), std::size_t{1});
    }

    void sessionKeepsTheKeptPolarsAndTheFlap()
    {
        type("Text_NP", "121");
        QVERIFY(windows->logic().airfoilMenu().makeNaca("2412", false));
        windows->mainWindow()->findChild<QAction*>("Mn_Flap")->trigger();
        type("Text_FlapHingeX", "0.75");
        type("Text_FlapHingeHeight", "0.5");
        type("Text_FlapDeflection", "10");
        click("Command_FlapApply");
        press("4", "Option_VORPAN");
        const std::optional<double> ch = tavrix::pressHingeMoment(windows->logic().common());
        QVERIFY(ch.has_value());
        const QByteArray points = contourBytes();

        windows->mainWindow()->findChild<QAction*>("Mn_Analysis")->trigger();
        auto* analysis = static_cast<ui::AnalysisWindow*>(windows->window(ui::kAnalysisForm));
        type("Text_AlphaFrom", "0");
        type("Text_AlphaTo", "4");
        type("Text_AlphaStep", "2");
        find<QComboBox>("Combo_PolarMethod")->setCurrentIndex(1);  // vortex panel
        click("Command_RunPolar");
        QTRY_VERIFY_WITH_TIMEOUT(!analysis->running(), 60000);
        click("Command_KeepRun");
        QVERIFY(keptRuns()->importXfoilPolar(QString(TAVRIX_SOURCE_DIR) +
                                             "/tests/data/xfoil_viscous/naca4415_re3e6.pol"));
        keptRuns()->rename(0, "flapped 2412");
        keptRuns()->setShown(1, false);
        const std::vector<tavrix::KeptRun> runs = keptRuns()->runs();
        QCOMPARE(runs.size(), std::size_t{2});
        QVERIFY(runs[1].hasDrag() && !runs[0].hasDrag());
        QVERIFY(sessions()->savePath(dir.filePath("kept.json")));
        QVERIFY(messages.empty());

        // Another section without a flap, and no kept polars.
        press("41", "Option_N0012", "0", "Option_HESS");
        keptRuns()->setRuns({});
        QVERIFY(!tavrix::pressHingeMoment(windows->logic().common()));

        opens("kept.json");
        QCOMPARE(contourBytes(), points);
        QVERIFY(sameRuns(keptRuns()->runs(), runs));
        const std::optional<double> reopened = tavrix::pressHingeMoment(windows->logic().common());
        QVERIFY(reopened.has_value());
        QCOMPARE(std::memcmp(&*reopened, &*ch, sizeof(double)), 0);
        QVERIFY(find<QLabel>("Label_PressureInfo")->text().contains("CH = "));

        // A damaged kept polar refuses the whole file: nothing changes.
        QJsonObject root = readJson(dir.filePath("kept.json"));
        QJsonArray kept = root.value("keptRuns").toArray();
        QCOMPARE(kept.size(), 2);
        QJsonObject second = kept[1].toObject();
        QJsonObject columns = second.value("columns").toObject();
        QJsonArray cm = columns.value("CM").toArray();
        cm.removeLast();
        columns["CM"] = cm;
        second["columns"] = columns;
        kept[1] = second;
        root["keptRuns"] = kept;
        writeFile(dir.filePath("damaged.json"), QJsonDocument(root).toJson());
        type("Text_AlfaD", "7");
        keptRuns()->remove(0);
        const std::vector<tavrix::KeptRun> before = keptRuns()->runs();
        QVERIFY(!sessions()->openPath(dir.filePath("damaged.json")));
        QCOMPARE(messages.size(), std::size_t{1});
        QVERIFY2(QString::fromStdString(messages[0]).contains("kept polar 2"), messages[0].c_str());
        QVERIFY(sameRuns(keptRuns()->runs(), before));
        QCOMPARE(text("Text_AlfaD"), QString("7"));
        messages.clear();

        // A session written before the kept polars and the flap were kept
        // opens with neither.
        root = readJson(dir.filePath("kept.json"));
        root.remove("keptRuns");
        QJsonObject airfoil = root.value("airfoil").toObject();
        airfoil.remove("flap");
        root["airfoil"] = airfoil;
        writeFile(dir.filePath("older.json"), QJsonDocument(root).toJson());
        opens("older.json");
        QCOMPARE(contourBytes(), points);
        QVERIFY(keptRuns()->runs().empty());
        QVERIFY(!tavrix::pressHingeMoment(windows->logic().common()));
    }
};

QTEST_MAIN(FlowFieldSessionTest)
#include "FlowFieldSession_test.moc"
