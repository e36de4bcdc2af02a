#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

class CatalogModel;
class CatalogRow;
class QLabel;
class QTableView;
class StatisticsChart;
class StatisticsTableModel;
struct CatalogStatistics;

// Tools > Statistics: what the rows shown add up to, the largest discs and folders, the
// artists with the most tracks, and a line per disc or folder. It follows the rows shown
// (a search or a filter gives its own statistics) until closed.
class CStatisticsDlg : public QDialog {
    Q_OBJECT

public:
    // Whether a row's disc or folder can be reached now; asked of one row per group.
    using ConnectedTest = std::function<bool(const CatalogRow&)>;

    CStatisticsDlg(CatalogModel& model, ConnectedTest connected, QWidget* parent = nullptr);
    ~CStatisticsDlg() override;

    // Replaces the test and shows its answers at once.
    void SetConnectedTest(ConnectedTest connected);

    // The totals as shown: "rows", "artists", "albums", "folders", "size", "length".
    QString TotalText(const QString& name) const;
    StatisticsTableModel& tableModel() const { return *table_; }
    StatisticsChart& folderChart() const { return *folderChart_; }
    StatisticsChart& artistChart() const { return *artistChart_; }

public slots:
    // Counts the rows shown again, as when discs come and go.
    void Refresh();

private:
    QWidget* CreateTotals();
    // Many changes in a row (a scan, a search as typed) count once.
    void ScheduleRefresh();
    void ShowTotals(const CatalogStatistics& statistics);
    void ShowCharts(const CatalogStatistics& statistics);

    CatalogModel& model_;
    ConnectedTest connected_;
    QLabel* scope_;
    StatisticsChart* folderChart_;
    StatisticsChart* artistChart_;
    StatisticsTableModel* table_;
    QTableView* tableView_;
    QTimer refreshTimer_;
};
