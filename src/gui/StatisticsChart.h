#pragma once

#include <QChartView>
#include <QString>
#include <QStringList>
#include <vector>

class QChart;

// A bar chart of the statistics window: one horizontal bar per group, the first at the top.
class StatisticsChart : public QChartView {
    Q_OBJECT

public:
    struct Bar {
        QString label;
        double value = 0;
    };

    StatisticsChart(const QString& title, QWidget* parent = nullptr);

    // `unit` names the values along the axis, as "GB" or "tracks".
    void SetBars(const std::vector<Bar>& bars, const QString& unit, bool wholeNumbers = false);
    // The labels shown, top first.
    const QStringList& labels() const { return labels_; }

private:
    QChart* chart_;
    QStringList labels_;
};
