#include "CStatisticsDlg.h"

#include <QElapsedTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "CatalogModel.h"
#include "DisplayText.h"
#include "StatisticsChart.h"
#include "StatisticsTableModel.h"
#include "browse/CatalogStatistics.h"
#include "browse/FieldDisplay.h"

namespace {

constexpr std::size_t kBarCount = 10;
// The least wait before counting again; a slow count waits longer, so a scan's stream of
// rows never keeps the window counting all the time.
constexpr int kLeastRefreshDelayMs = 150;
constexpr int kRefreshDelayPerCount = 4;

struct TotalLine {
    const char* name;
    const char* label;
};
constexpr std::array<TotalLine, 6> kTotals{{{"rows", "Rows:"},
                                            {"artists", "Artists:"},
                                            {"albums", "Albums:"},
                                            {"folders", "Discs and folders:"},
                                            {"size", "Total size:"},
                                            {"length", "Total length:"}}};

QString Number(std::uint64_t value) {
    return QLocale().toString(qulonglong{value});
}

// The size unit the largest group reads best in, and its bytes.
std::pair<QString, double> SizeUnit(std::uint64_t largest) {
    static const char* const kUnits[] = {"bytes", "KB", "MB", "GB", "TB", "PB"};
    double unit = 1;
    std::size_t index = 0;
    while (largest / unit >= 1024 && index + 1 < std::size(kUnits)) {
        unit *= 1024;
        ++index;
    }
    return {QString::fromLatin1(kUnits[index]), unit};
}

// A folder by its own name, the last of its path (the table below gives it whole); a disc's
// label as it is.
QString ChartName(const QString& folder) {
    const QString last = folder.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty);
    return last.isEmpty() ? folder : last;
}

}  // namespace

CStatisticsDlg::CStatisticsDlg(CatalogModel& model, ConnectedTest connected, QWidget* parent)
    : QDialog(parent),
      model_(model),
      connected_(std::move(connected)),
      scope_(new QLabel(this)),
      folderChart_(new StatisticsChart(QStringLiteral("Largest discs and folders"), this)),
      artistChart_(new StatisticsChart(QStringLiteral("Artists with the most tracks"), this)),
      table_(new StatisticsTableModel(this)),
      tableView_(new QTableView(this)) {
    setWindowTitle(QStringLiteral("Statistics"));
    setSizeGripEnabled(true);
    auto* top = new QHBoxLayout;
    top->addWidget(CreateTotals());
    top->addWidget(folderChart_, 1);
    top->addWidget(artistChart_, 1);
    tableView_->setModel(table_);
    tableView_->verticalHeader()->hide();
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->horizontalHeader()->setSortIndicator(StatisticsTableModel::kSize,
                                                     Qt::DescendingOrder);
    tableView_->setSortingEnabled(true);
    tableView_->horizontalHeader()->setSectionResizeMode(StatisticsTableModel::kName,
                                                         QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scope_);
    layout->addLayout(top);
    layout->addWidget(tableView_, 1);
    resize(1060, 640);

    refreshTimer_.setSingleShot(true);
    connect(&refreshTimer_, &QTimer::timeout, this, &CStatisticsDlg::Refresh);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(&model_, signal, this, &CStatisticsDlg::ScheduleRefresh);
    }
    // A sort moves rows without changing what they add up to: layout changes are left out.
    connect(&model_, &QAbstractItemModel::modelReset, this, &CStatisticsDlg::ScheduleRefresh);
    connect(&model_, &QAbstractItemModel::dataChanged, this, &CStatisticsDlg::ScheduleRefresh);
    Refresh();
}

CStatisticsDlg::~CStatisticsDlg() = default;

QWidget* CStatisticsDlg::CreateTotals() {
    auto* totals = new QWidget(this);
    auto* form = new QFormLayout(totals);
    for (const TotalLine& line : kTotals) {
        auto* value = new QLabel(totals);
        value->setObjectName(QString::fromLatin1(line.name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromLatin1(line.label), value);
    }
    return totals;
}

void CStatisticsDlg::SetConnectedTest(ConnectedTest connected) {
    connected_ = std::move(connected);
    Refresh();
}

QString CStatisticsDlg::TotalText(const QString& name) const {
    const auto* label = findChild<QLabel*>(name);
    return label != nullptr ? label->text() : QString();
}

void CStatisticsDlg::ScheduleRefresh() {
    if (!refreshTimer_.isActive()) {
        refreshTimer_.start();
    }
}

void CStatisticsDlg::Refresh() {
    refreshTimer_.stop();
    QElapsedTimer took;
    took.start();
    const CatalogView& view = model_.view();
    const CatalogStatistics statistics = CatalogStatistics::Of(view);
    // The groups' names point into the store: everything shown is copied out here.
    std::vector<StatisticsTableModel::Line> lines;
    lines.reserve(statistics.byFolder.size());
    for (const StatisticsGroup& group : statistics.byFolder) {
        const CatalogRow* row = view.RowRecord(group.firstRow);
        lines.push_back({DisplayText(group.name), group.rows, group.sizeBytes, group.seconds,
                         !connected_ || (row != nullptr && connected_(*row))});
    }
    table_->SetLines(std::move(lines));
    ShowTotals(statistics);
    ShowCharts(statistics);
    refreshTimer_.setInterval(std::max<int>(
        kLeastRefreshDelayMs, static_cast<int>(took.elapsed()) * kRefreshDelayPerCount));
}

void CStatisticsDlg::ShowTotals(const CatalogStatistics& statistics) {
    const int all = model_.view().store().RowCount();
    scope_->setText(
        statistics.rows == all
            ? QStringLiteral("Every row of the catalog")
            : QStringLiteral("The %1 rows shown of %2").arg(Number(statistics.rows), Number(all)));
    QString size = QString::fromStdString(SizeText(statistics.sizeBytes));
    if (statistics.sizeTooLarge) {
        size = QStringLiteral("more than ") + size;
    } else if (statistics.sizeBytes >= 1024) {
        size += QStringLiteral(" (%1 bytes)").arg(Number(statistics.sizeBytes));
    }
    const std::array<QString, kTotals.size()> texts{
        Number(std::uint64_t(statistics.rows)),
        Number(std::uint64_t(statistics.artists)),
        Number(std::uint64_t(statistics.albums)),
        Number(std::uint64_t(statistics.folders)),
        size,
        QString::fromStdString(DurationText(statistics.seconds))};
    for (std::size_t i = 0; i < kTotals.size(); ++i) {
        findChild<QLabel*>(QString::fromLatin1(kTotals[i].name))->setText(texts[i]);
    }
}

void CStatisticsDlg::ShowCharts(const CatalogStatistics& statistics) {
    const std::size_t folders = std::min(kBarCount, statistics.byFolder.size());
    const auto [unit, bytes] =
        SizeUnit(folders > 0 ? statistics.byFolder.front().sizeBytes : std::uint64_t{0});
    std::vector<StatisticsChart::Bar> bars;
    for (std::size_t i = 0; i < folders; ++i) {
        const StatisticsGroup& group = statistics.byFolder[i];
        bars.push_back(
            {ChartName(DisplayText(group.name)), static_cast<double>(group.sizeBytes) / bytes});
    }
    folderChart_->SetBars(bars, unit);
    bars.clear();
    for (const StatisticsGroup& group :
         CatalogStatistics::MostRows(statistics.byArtist, kBarCount)) {
        bars.push_back({DisplayText(group.name), static_cast<double>(group.rows)});
    }
    artistChart_->SetBars(bars, QStringLiteral("tracks"), true);
}
