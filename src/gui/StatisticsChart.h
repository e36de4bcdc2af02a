#pragma once

#include <QChartView>
#include <QString>
#include <QStringList>
#include <vector>

#include "StatisticsCounter.h"

class QAbstractBarSeries;
class QChart;
class QGraphicsSimpleTextItem;

// A bar chart of the statistics window: one horizontal bar per group, the first at the top,
// named on the left and its value written past its end.
class StatisticsChart : public QChartView {
    Q_OBJECT

public:
    using Bar = StatisticsCounter::Bar;

    StatisticsChart(const QString& title, QWidget* parent = nullptr);

    // `unit` names the values along the axis, as "GB" or "tracks".
    void SetBars(const std::vector<Bar>& bars, const QString& unit, bool wholeNumbers = false);
    // As shown, top first: the names (elided), their whole names, the values.
    const QStringList& labels() const { return labels_; }
    const QStringList& toolTips() const { return toolTips_; }
    const QStringList& valueTexts() const { return valueTexts_; }

private:
    void ShowToolTip(bool hovering, int index);
    // Each value just past the end of its bar, wherever the chart has put the bars.
    void PlaceValues();

    QChart* chart_;
    QStringList labels_;
    QStringList toolTips_;
    QStringList valueTexts_;
    QAbstractBarSeries* series_ = nullptr;              // owned by the chart
    std::vector<QGraphicsSimpleTextItem*> valueItems_;  // owned by the chart
    std::vector<QGraphicsSimpleTextItem*> nameItems_;
};
