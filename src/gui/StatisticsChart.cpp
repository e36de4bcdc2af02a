#include "StatisticsChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QValueAxis>
#include <algorithm>

namespace {

// Long folder paths would squeeze the bars to nothing; their ends tell them apart best.
constexpr int kLabelWidth = 190;

}  // namespace

StatisticsChart::StatisticsChart(const QString& title, QWidget* parent)
    : QChartView(parent), chart_(new QChart) {
    chart_->setTitle(title);
    chart_->legend()->hide();
    chart_->setMargins(QMargins(4, 4, 12, 4));
    setChart(chart_);  // the view owns the chart
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(360, 260);
}

void StatisticsChart::SetBars(const std::vector<Bar>& bars, const QString& unit) {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    labels_.clear();
    auto* set = new QBarSet(unit);
    QStringList categories;
    double most = 0;
    const QFontMetrics metrics(chart_->font());
    // Horizontal bars are laid out from the bottom: add them last first.
    for (auto bar = bars.rbegin(); bar != bars.rend(); ++bar) {
        QString label = metrics.elidedText(bar->label, Qt::ElideLeft, kLabelWidth);
        // A category axis drops a repeated label, which would shift every bar after it.
        while (categories.contains(label)) {
            label += QChar(0x200B);  // zero width space
        }
        categories.prepend(label);
        *set << bar->value;
        most = std::max(most, bar->value);
    }
    labels_ = categories;
    std::reverse(categories.begin(), categories.end());
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsPrecision(4);
    chart_->addSeries(series);
    auto* names = new QBarCategoryAxis;
    names->append(categories);
    chart_->addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    auto* values = new QValueAxis;
    values->setRange(0, most > 0 ? most * 1.15 : 1);
    values->setLabelFormat(most >= 10 ? QStringLiteral("%.0f") : QStringLiteral("%.1f"));
    values->setTitleText(unit);
    chart_->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
}
