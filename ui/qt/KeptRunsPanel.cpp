#include "ui/qt/KeptRunsPanel.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "output/PolarFiles.h"
#include "output/XfoilPolarFile.h"
#include "ui/qt/SeriesStyle.h"

namespace ui {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A small square of the run's colour beside its name, as in the plots' legend.
QIcon colourIcon(int colour)
{
    QPixmap square(12, 12);
    square.fill(paletteColour(colour));
    return QIcon(square);
}

}  // namespace

KeptRunsPanel::KeptRunsPanel(Tell tell, QWidget* parent) : QWidget(parent), tell_(std::move(tell))
{
    setObjectName("Panel_KeptRuns");
    // The list over its buttons, so that names take the panel's width and the
    // plots above keep their height.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* caption = new QLabel("Kept polars: tick to show on the plots, double-click to rename", this);
    caption->setObjectName("Label_KeptRuns");
    layout->addWidget(caption);
    list_ = new QListWidget(this);
    list_->setObjectName("List_KeptRuns");
    list_->setToolTip("Each kept polar is drawn over the current one, in a colour of its own");
    list_->setMinimumHeight(44);
    list_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    layout->addWidget(list_, 1);

    auto* buttons = new QHBoxLayout;
    keep_ = new QPushButton("Keep", this);
    keep_->setObjectName("Command_KeepRun");
    keep_->setToolTip("Keep the current polar in the list, one entry per method");
    remove_ = new QPushButton("Remove", this);
    remove_->setObjectName("Command_RemoveRun");
    export_ = new QPushButton("Export...", this);
    export_->setObjectName("Command_ExportRun");
    export_->setToolTip("Write the selected polar as CSV, its case in the header");
    auto* import = new QPushButton("Import xfoil polar...", this);
    import->setObjectName("Command_ImportXfoilPolar");
    import->setToolTip("Read a polar file saved by xfoil (or exported here) and overlay it");
    for (QPushButton* b : {keep_, remove_, export_, import}) buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(keep_, &QPushButton::clicked, this, &KeptRunsPanel::keepRequested);
    connect(remove_, &QPushButton::clicked, this, [this] { remove(currentRow()); });
    connect(export_, &QPushButton::clicked, this, [this] {
        const int row = currentRow();
        if (row < 0) return;
        const QString path = QFileDialog::getSaveFileName(this, "Export kept polar", QString(),
                                                          "CSV data (*.csv)");
        if (!path.isEmpty()) exportRun(row, path);
    });
    connect(import, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, "Import xfoil polar", QString(), "Polar files (*.pol *.txt *.dat);;All files (*)");
        if (!path.isEmpty()) importXfoilPolar(path);
    });
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (filling_) return;
        const int row = list_->row(item);
        if (row < 0 || row >= static_cast<int>(runs_.size())) return;
        tavrix::KeptRun& run = runs_[static_cast<std::size_t>(row)];
        const std::string name = item->text().trimmed().toStdString();
        const bool shown = item->checkState() == Qt::Checked;
        if (name.empty()) {
            // A run keeps a name: an emptied one goes back to what it was.
            filling_ = true;
            item->setText(qs(run.name));
            filling_ = false;
        } else {
            run.name = name;
        }
        run.shown = shown;
        emit runsChanged();
    });
    connect(list_, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
    updateButtons();
}

void KeptRunsPanel::fillList()
{
    filling_ = true;
    const int row = list_->currentRow();
    list_->clear();
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        const tavrix::KeptRun& run = runs_[r];
        auto* item = new QListWidgetItem(colourIcon(tavrix::keptColour(r)),
                                         qs(run.name), list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
        item->setCheckState(run.shown ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(qs(tavrix::caseCommentLines(run.runCase, run.alpha)).remove("# ").trimmed());
    }
    list_->setCurrentRow(std::min(row, list_->count() - 1));
    filling_ = false;
    updateButtons();
}

void KeptRunsPanel::updateButtons()
{
    keep_->setEnabled(canKeep_);
    const bool selected = currentRow() >= 0;
    remove_->setEnabled(selected);
    export_->setEnabled(selected);
}

int KeptRunsPanel::currentRow() const
{
    const int row = list_->currentRow();
    return row >= 0 && row < static_cast<int>(runs_.size()) ? row : -1;
}

void KeptRunsPanel::setCanKeep(bool can)
{
    canKeep_ = can;
    updateButtons();
}

void KeptRunsPanel::setRuns(std::vector<tavrix::KeptRun> runs)
{
    runs_ = std::move(runs);
    fillList();
    emit runsChanged();
}

void KeptRunsPanel::add(std::vector<tavrix::KeptRun> runs)
{
    if (runs.empty()) return;
    for (tavrix::KeptRun& run : runs) runs_.push_back(std::move(run));
    fillList();
    list_->setCurrentRow(static_cast<int>(runs_.size()) - 1);
    emit runsChanged();
}

void KeptRunsPanel::remove(int row)
{
    if (row < 0 || row >= static_cast<int>(runs_.size())) return;
    runs_.erase(runs_.begin() + row);
    fillList();
    emit runsChanged();
}

void KeptRunsPanel::setShown(int row, bool shown)
{
    if (row < 0 || row >= list_->count()) return;
    list_->item(row)->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
}

void KeptRunsPanel::rename(int row, const std::string& name)
{
    if (row < 0 || row >= list_->count()) return;
    list_->item(row)->setText(qs(name));
}

bool KeptRunsPanel::importXfoilPolar(const QString& path)
{
    tavrix::Outcome<tavrix::KeptRun> run = tavrix::readXfoilPolarFile(path.toStdString());
    if (!run) {
        tell_(run.refusal().message);
        return false;
    }
    add({std::move(*run)});
    return true;
}

bool KeptRunsPanel::exportRun(int row, const QString& path)
{
    if (row < 0 || row >= static_cast<int>(runs_.size())) return false;
    if (auto failure = tavrix::WriteTextFile(path.toStdString(),
                                             tavrix::keptRunCsvText(runs_[static_cast<std::size_t>(row)]))) {
        tell_(*failure);
        return false;
    }
    return true;
}

}  // namespace ui
