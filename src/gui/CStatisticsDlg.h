#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "StatisticsCounter.h"

class CatalogModel;
class CatalogRow;
class QLabel;
class QTableView;
class StatisticsChart;
class StatisticsTableModel;

// Tools > Statistics: what the rows shown add up to, the largest discs and folders, the
// artists with the most tracks, and a line per disc or folder. It follows the rows shown
// (a search or a filter gives its own statistics) until closed, counting on a thread of its
// own: only the count of the rows shown now is ever shown.
class CStatisticsDlg : public QDialog {
    Q_OBJECT

public:
    // Whether a row's disc or folder can be reached now; asked of one row per group.
    using ConnectedTest = std::function<bool(const CatalogRow&)>;

    // Numbers are grouped by `groupSeparator`, the user's.
    CStatisticsDlg(CatalogModel& model, ConnectedTest connected, std::string groupSeparator,
                   QWidget* parent = nullptr);
    ~CStatisticsDlg() override;

    // Replaces the test and shows its answers at once.
    void SetConnectedTest(ConnectedTest connected);

    // The totals as shown: "rows", "artists", "albums", "folders", "size", "length".
    QString TotalText(const QString& name) const;
    StatisticsTableModel& tableModel() const { return *table_; }
    StatisticsChart& folderChart() const { return *folderChart_; }
    StatisticsChart& artistChart() const { return *artistChart_; }
    // Whether what is shown is not yet the count of the rows shown now.
    bool IsCounting() const;

public slots:
    // Counts the rows shown again, as when discs come and go.
    void Refresh();

private:
    QWidget* CreateTotals();
    // Many changes in a row (a scan, a search as typed) count once.
    void ScheduleRefresh();
    void Show(const StatisticsCounter::Result& result);
    void ShowLines();
    void ShowTotals(const CatalogStatistics& statistics);

    CatalogModel& model_;
    ConnectedTest connected_;
    QLabel* scope_;
    StatisticsChart* folderChart_;
    StatisticsChart* artistChart_;
    StatisticsTableModel* table_;
    QTableView* tableView_;
    QTimer refreshTimer_;
    StatisticsCounter* counter_;
    std::uint64_t changes_ = 0;  // the count shown must have started after the last
    std::shared_ptr<const StatisticsCounter::Result> shown_;
};
