#include "StatisticsChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QHorizontalBarSeries>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "browse/StatisticsText.h"

namespace {

// Long names would squeeze the bars to nothing.
constexpr int kLabelWidth = 180;
// Room for the title, the value axis and the margins around the bars.
constexpr int kChartFrameHeight = 110;

// A category axis drops a repeated label, which would shift every bar after it.
QString Unique(QString label, const QStringList& taken) {
    while (taken.contains(label)) {
        label += QChar(0x200B);  // zero width space
    }
    return label;
}

}  // namespace

StatisticsChart::StatisticsChart(const QString& title, QWidget* parent)
    : QChartView(parent), chart_(new QChart) {
    chart_->setTitle(title);
    chart_->legend()->hide();
    chart_->setMargins(QMargins(4, 4, 4, 4));
    setChart(chart_);  // the view owns the chart
    setRenderHint(QPainter::Antialiasing);
    // A label taller than its bar's band is drawn as "...": room for a full chart.
    const int band = QFontMetrics(chart_->font()).lineSpacing() + 6;
    setMinimumSize(360, static_cast<int>(kMostBars) * band + kChartFrameHeight);
}

void StatisticsChart::SetBars(const std::vector<Bar>& bars, const QString& unit,
                              bool wholeNumbers) {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    labels_.clear();
    toolTips_.clear();
    valueTexts_.clear();
    auto* set = new QBarSet(unit);
    QStringList names;
    QStringList values;
    double most = 0;
    const QFontMetrics metrics(chart_->font());
    for (const Bar& bar : bars) {
        names << Unique(metrics.elidedText(bar.label, Qt::ElideMiddle, kLabelWidth), names);
        values << Unique(bar.valueText, values);
        toolTips_ << bar.toolTip;
        valueTexts_ << bar.valueText;
        most = std::max(most, bar.value);
    }
    labels_ = names;
    // Horizontal bars are laid out from the bottom: add them last first.
    for (auto bar = bars.rbegin(); bar != bars.rend(); ++bar) {
        *set << bar->value;
    }
    std::reverse(names.begin(), names.end());
    std::reverse(values.begin(), values.end());
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    connect(set, &QBarSet::hovered, this, &StatisticsChart::ShowToolTip);
    chart_->addSeries(series);
    auto* nameAxis = new QBarCategoryAxis;
    nameAxis->append(names);
    chart_->addAxis(nameAxis, Qt::AlignLeft);
    series->attachAxis(nameAxis);
    // The values as the user writes numbers, each beside its bar.
    auto* valueAxis = new QCategoryAxis;
    valueAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    valueAxis->setStartValue(-0.5);
    for (int i = 0; i < values.size(); ++i) {
        valueAxis->append(values[i], i);
    }
    valueAxis->setRange(-0.5, std::max<qsizetype>(values.size(), 1) - 0.5);
    valueAxis->setGridLineVisible(false);
    valueAxis->setLineVisible(false);
    chart_->addAxis(valueAxis, Qt::AlignRight);
    series->attachAxis(valueAxis);
    auto* scale = new QValueAxis;
    const double room = most > 0 ? most * 1.05 : 1;
    if (wholeNumbers) {
        // Ticks on whole numbers only: steps of 1, 2 or 5 times a power of ten.
        double step = 1;
        for (int i = 0; room / step > 6; ++i) {
            step *= i % 3 == 1 ? 2.5 : 2;
        }
        scale->setTickType(QValueAxis::TicksDynamic);
        scale->setTickAnchor(0);
        scale->setTickInterval(step);
        scale->setRange(0, std::ceil(room / step) * step);
        scale->setLabelFormat(QStringLiteral("%.0f"));
    } else {
        scale->setRange(0, room);
        scale->applyNiceNumbers();
        scale->setLabelFormat(scale->max() >= 10 ? QStringLiteral("%.0f") : QStringLiteral("%.1f"));
    }
    scale->setTitleText(unit);
    chart_->addAxis(scale, Qt::AlignBottom);
    series->attachAxis(scale);
}

void StatisticsChart::ShowToolTip(bool hovering, int index) {
    // The set holds the bars bottom first.
    const int bar = static_cast<int>(toolTips_.size()) - 1 - index;
    if (!hovering || bar < 0 || bar >= toolTips_.size()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(QCursor::pos(), toolTips_[bar] + QStringLiteral(": ") + valueTexts_[bar],
                       this);
}
