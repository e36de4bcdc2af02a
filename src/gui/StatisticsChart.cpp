#include "StatisticsChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

// Long names would squeeze the bars to nothing.
constexpr int kLabelWidth = 150;

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

void StatisticsChart::SetBars(const std::vector<Bar>& bars, const QString& unit,
                              bool wholeNumbers) {
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
        QString label = metrics.elidedText(bar->label, Qt::ElideRight, kLabelWidth);
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
    set->setLabelColor(palette().color(QPalette::WindowText));  // white, unless told
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsPrecision(3);
    chart_->addSeries(series);
    auto* names = new QBarCategoryAxis;
    names->append(categories);
    chart_->addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    auto* values = new QValueAxis;
    // Room past the longest bar for its value, then round figures along the axis.
    const double room = most > 0 ? most * 1.2 : 1;
    if (wholeNumbers) {
        // Ticks on whole numbers only: steps of 1, 2 or 5 times a power of ten.
        double step = 1;
        for (int i = 0; room / step > 6; ++i) {
            step *= i % 3 == 1 ? 2.5 : 2;
        }
        values->setTickType(QValueAxis::TicksDynamic);
        values->setTickAnchor(0);
        values->setTickInterval(step);
        values->setRange(0, std::ceil(room / step) * step);
        values->setLabelFormat(QStringLiteral("%.0f"));
    } else {
        values->setRange(0, room);
        values->applyNiceNumbers();
        values->setLabelFormat(values->max() >= 10 ? QStringLiteral("%.0f")
                                                   : QStringLiteral("%.1f"));
    }
    values->setTitleText(unit);
    chart_->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
}
