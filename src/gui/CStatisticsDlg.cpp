#include "CStatisticsDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
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
#include "browse/StatisticsText.h"

namespace {

// Many changes in a row (a scan, a search as typed) count once, soon after the first.
constexpr int kRefreshDelayMs = 120;

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

}  // namespace

CStatisticsDlg::CStatisticsDlg(CatalogModel& model, ConnectedTest connected,
                               std::string groupSeparator, QWidget* parent)
    : QDialog(parent),
      model_(model),
      connected_(std::move(connected)),
      scope_(new QLabel(this)),
      folderChart_(new StatisticsChart(QStringLiteral("Largest discs and folders"), this)),
      artistChart_(new StatisticsChart(QStringLiteral("Artists with the most tracks"), this)),
      table_(new StatisticsTableModel(groupSeparator, this)),
      tableView_(new QTableView(this)),
      counter_(new StatisticsCounter(model.view(), std::move(groupSeparator), this)) {
    setWindowTitle(QStringLiteral("Statistics"));
    setSizeGripEnabled(true);
    // The charts side by side across the window, so that their names have room.
    auto* charts = new QHBoxLayout;
    charts->addWidget(folderChart_, 1);
    charts->addWidget(artistChart_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(CreateTotals(), 0, Qt::AlignTop);
    bottom->addWidget(tableView_, 1);
    tableView_->setModel(table_);
    tableView_->verticalHeader()->hide();
    tableView_->setWordWrap(false);
    tableView_->setTextElideMode(Qt::ElideMiddle);  // a path differs at its end
    tableView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView_->horizontalHeader()->setSortIndicator(StatisticsTableModel::kSize,
                                                     Qt::DescendingOrder);
    tableView_->setSortingEnabled(true);
    tableView_->horizontalHeader()->setSectionResizeMode(StatisticsTableModel::kName,
                                                         QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scope_);
    layout->addLayout(charts);
    layout->addLayout(bottom, 1);
    resize(1060, 760);

    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(kRefreshDelayMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &CStatisticsDlg::Refresh);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(&model_, signal, this, &CStatisticsDlg::ScheduleRefresh);
    }
    // A sort changes no total, but the rows the groups start at.
    connect(&model_, &QAbstractItemModel::layoutChanged, this, &CStatisticsDlg::ScheduleRefresh);
    connect(&model_, &QAbstractItemModel::modelReset, this, &CStatisticsDlg::ScheduleRefresh);
    connect(&model_, &QAbstractItemModel::dataChanged, this, &CStatisticsDlg::ScheduleRefresh);
    connect(counter_, &StatisticsCounter::StoreChanged, this, &CStatisticsDlg::ScheduleRefresh);
    connect(counter_, &StatisticsCounter::Counted, this, &CStatisticsDlg::Show);
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
    if (shown_ != nullptr && !IsCounting()) {
        ShowLines();  // the rows are as counted: ask the new test at once
    } else {
        Refresh();
    }
}

QString CStatisticsDlg::TotalText(const QString& name) const {
    const auto* label = findChild<QLabel*>(name);
    return label != nullptr ? label->text() : QString();
}

bool CStatisticsDlg::IsCounting() const {
    return refreshTimer_.isActive() || shown_ == nullptr || shown_->request != changes_;
}

void CStatisticsDlg::ScheduleRefresh() {
    ++changes_;
    counter_->Cancel();  // its rows are no longer the rows shown
    if (!refreshTimer_.isActive()) {
        refreshTimer_.start();
    }
}

void CStatisticsDlg::Refresh() {
    refreshTimer_.stop();
    ++changes_;
    counter_->Start(changes_);
}

void CStatisticsDlg::Show(const StatisticsCounter::Result& result) {
    if (result.request != changes_) {
        return;  // rows have changed since: a later count follows
    }
    shown_ = std::make_shared<const StatisticsCounter::Result>(result);
    ShowLines();
    ShowTotals(result.totals);
    folderChart_->SetBars(result.folderBars, result.sizeUnit);
    artistChart_->SetBars(result.artistBars, QStringLiteral("tracks"), true);
}

void CStatisticsDlg::ShowLines() {
    const CatalogView& view = model_.view();
    std::vector<StatisticsTableModel::Line> lines;
    lines.reserve(shown_->folders.size());
    for (const StatisticsCounter::Line& folder : shown_->folders) {
        const CatalogRow* row = view.RowRecord(folder.firstRow);
        lines.push_back({folder.name, folder.rows, folder.sizeBytes, folder.seconds,
                         !connected_ || (row != nullptr && connected_(*row)), folder.lengthKnown});
    }
    table_->SetLines(std::move(lines));
}

void CStatisticsDlg::ShowTotals(const CatalogStatistics& statistics) {
    const std::string& separator = counter_->groupSeparator();
    const auto number = [&separator](std::uint64_t value) {
        return QString::fromStdString(GroupedNumber(value, separator));
    };
    const int all = model_.view().store().RowCount();
    scope_->setText(statistics.rows == all ? QStringLiteral("Every row of the catalog")
                                           : QStringLiteral("The %1 rows shown of %2")
                                                 .arg(number(std::uint64_t(statistics.rows)),
                                                      number(std::uint64_t(all))));
    QString size = QString::fromStdString(ReadableSize(statistics.sizeBytes, separator));
    if (statistics.sizeTooLarge) {
        size = QStringLiteral("more than ") + size;
    } else if (statistics.sizeBytes >= 1024) {
        size += QStringLiteral(" (%1 bytes)").arg(number(statistics.sizeBytes));
    }
    // Nothing counted is not zero: no album fields or no lengths leave the total unknown.
    const bool none = statistics.rows == 0;
    const std::array<QString, kTotals.size()> texts{
        number(std::uint64_t(statistics.rows)),
        number(std::uint64_t(statistics.artists)),
        QString::fromStdString(CountOrUnknown(std::uint64_t(statistics.albums),
                                              none || statistics.albums > 0, separator)),
        number(std::uint64_t(statistics.folders)),
        size,
        none || statistics.rowsWithLength > 0
            ? QString::fromStdString(DurationText(statistics.seconds))
            : QStringLiteral("unknown")};
    for (std::size_t i = 0; i < kTotals.size(); ++i) {
        findChild<QLabel*>(QString::fromLatin1(kTotals[i].name))->setText(texts[i]);
    }
}
