#include "StatisticsChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QCursor>
#include <QGraphicsSimpleTextItem>
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
    chart_->setMargins(QMargins(kLabelWidth + 8, 4, 4, 4));  // room for the names
    setChart(chart_);                                        // the view owns the chart
    setRenderHint(QPainter::Antialiasing);
    // A label taller than its bar's band is drawn as "...": room for a full chart.
    const int band = QFontMetrics(chart_->font()).lineSpacing() + 6;
    setMinimumSize(360, static_cast<int>(kMostBars) * band + kChartFrameHeight);
    connect(chart_, &QChart::plotAreaChanged, this, &StatisticsChart::PlaceValues);
}

void StatisticsChart::SetBars(const std::vector<Bar>& bars, const QString& unit,
                              bool wholeNumbers) {
    chart_->removeAllSeries();
    series_ = nullptr;
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    labels_.clear();
    toolTips_.clear();
    valueTexts_.clear();
    qDeleteAll(valueItems_);
    valueItems_.clear();
    qDeleteAll(nameItems_);
    nameItems_.clear();
    auto* set = new QBarSet(unit);
    QStringList names;
    double most = 0;
    const QFontMetrics metrics(chart_->font());
    for (const Bar& bar : bars) {
        names << Unique(metrics.elidedText(bar.label, Qt::ElideMiddle, kLabelWidth), names);
        valueItems_.push_back(new QGraphicsSimpleTextItem(bar.valueText, chart_));
        valueItems_.back()->setBrush(palette().color(QPalette::WindowText));
        nameItems_.push_back(new QGraphicsSimpleTextItem(names.back(), chart_));
        nameItems_.back()->setBrush(palette().color(QPalette::WindowText));
        nameItems_.back()->setFont(chart_->font());
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
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    connect(set, &QBarSet::hovered, this, &StatisticsChart::ShowToolTip);
    chart_->addSeries(series);
    // The axis would draw a name taller than a third of its band as "...": the chart writes
    // the names itself.
    auto* nameAxis = new QBarCategoryAxis;
    nameAxis->append(names);
    nameAxis->setLabelsVisible(false);
    chart_->addAxis(nameAxis, Qt::AlignLeft);
    series->attachAxis(nameAxis);
    auto* scale = new QValueAxis;
    // Room past the longest bar for its value.
    const double room = most > 0 ? most * 1.25 : 1;
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
    series_ = series;
    PlaceValues();
}

void StatisticsChart::PlaceValues() {
    if (series_ == nullptr) {
        return;
    }
    const auto* set = series_->barSets().value(0);
    const int count = static_cast<int>(valueItems_.size());
    for (int bar = 0; bar < count; ++bar) {
        // The set holds the bars bottom first; a category stands at its index.
        const int at = count - 1 - bar;
        QGraphicsSimpleTextItem* item = valueItems_[static_cast<std::size_t>(bar)];
        const QPointF end = chart_->mapToPosition(QPointF(set->at(at), at), series_);
        item->setPos(end.x() + 4, end.y() - item->boundingRect().height() / 2);
        QGraphicsSimpleTextItem* name = nameItems_[static_cast<std::size_t>(bar)];
        name->setPos(chart_->plotArea().left() - 6 - name->boundingRect().width(),
                     end.y() - name->boundingRect().height() / 2);
    }
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
