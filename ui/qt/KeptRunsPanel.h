// The list of kept polars beside the analysis window's polar table: a check
// box per run shows it on the polar plots or hides it, a double click renames
// it; "Keep" asks the window for the current polar, "Remove" drops the
// selected run, "Export..." writes it as CSV and "Import xfoil polar..." reads
// a polar file into the list.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "output/KeptRuns.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace ui {

class KeptRunsPanel : public QWidget {
    Q_OBJECT

public:
    // `tell` shows a message over the window (a refused file, a failed write).
    using Tell = std::function<void(const std::string&)>;
    KeptRunsPanel(Tell tell, QWidget* parent = nullptr);

    // The runs in the order of the list, names as edited, shown or hidden.
    const std::vector<tavrix::KeptRun>& runs() const { return runs_; }
    // Replaces the whole list (a stored session).
    void setRuns(std::vector<tavrix::KeptRun> runs);
    void add(std::vector<tavrix::KeptRun> runs);
    void remove(int row);
    // Shows or hides the run on the plots (as its check box does).
    void setShown(int row, bool shown);
    void rename(int row, const std::string& name);

    // Reads the file and appends its polar; on a refusal tells why, leaves the
    // list as it was and returns false.
    bool importXfoilPolar(const QString& path);
    // Writes the run as CSV; on failure tells why and returns false.
    bool exportRun(int row, const QString& path);

    // Whether there is a polar to keep (enables "Keep").
    void setCanKeep(bool can);
    int currentRow() const;

signals:
    void keepRequested();
    // The list changed: a run added, removed, renamed, shown or hidden.
    void runsChanged();

private:
    void fillList();
    void updateButtons();

    Tell tell_;
    std::vector<tavrix::KeptRun> runs_;
    QListWidget* list_ = nullptr;
    QPushButton* keep_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* export_ = nullptr;
    bool filling_ = false;
    bool canKeep_ = false;
};

}  // namespace ui
