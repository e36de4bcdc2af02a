#include "StatisticsCounter.h"

#include <algorithm>

#include "DisplayText.h"
#include "browse/CatalogView.h"
#include "browse/StatisticsText.h"

namespace {

// A folder by its own name, the last of its path (the table gives it whole); a disc's label as
// it is.
QString ChartName(const QString& folder) {
    const QString last = folder.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty);
    return last.isEmpty() ? folder : last;
}

std::vector<ChartBar> Bars(const std::vector<StatisticsGroup>& groups, bool bySize) {
    std::vector<ChartBar> bars;
    bars.reserve(groups.size());
    for (const StatisticsGroup& group : groups) {
        // Only the bars shown by name need theirs: a million rows may have 100,000 folders.
        const bool named = bars.size() < kMostBars;
        bars.push_back({named ? std::string(group.name) : std::string(),
                        bySize ? group.sizeBytes : std::uint64_t(group.rows)});
    }
    return TopBarsWithOther(std::move(bars));
}

StatisticsCounter::Bar ShownBar(const ChartBar& bar, std::size_t groups, bool folder) {
    StatisticsCounter::Bar shown;
    if (bar.other) {
        shown.label = QStringLiteral("Other");
        shown.toolTip =
            QStringLiteral("The other %1 %2")
                .arg(groups - kMostBars + 1)
                .arg(folder ? QStringLiteral("discs and folders") : QStringLiteral("artists"));
    } else {
        shown.toolTip = DisplayText(bar.name);
        shown.label = folder ? ChartName(shown.toolTip) : shown.toolTip;
    }
    return shown;
}

StatisticsCounter::Result Summarize(std::span<const CatalogRow* const> rows,
                                    const std::string& separator, const std::atomic<bool>& stop) {
    StatisticsCounter::Result result;
    CatalogStatistics counted = CatalogStatistics::Of(rows, &stop);
    if (stop) {
        return result;
    }
    result.folders.reserve(counted.byFolder.size());
    for (const StatisticsGroup& group : counted.byFolder) {
        // A change waits for this loop to end: it reads the names in the store.
        if (result.folders.size() % 4096 == 0 && stop) {
            return result;
        }
        result.folders.push_back({DisplayText(group.name), group.rows, group.sizeBytes,
                                  group.seconds, group.firstRow, group.rowsWithLength > 0});
    }
    const SizeScale scale =
        ScaleFor(counted.byFolder.empty() ? 0 : counted.byFolder.front().sizeBytes);
    result.sizeUnit = QString::fromStdString(scale.unit);
    for (const ChartBar& bar : Bars(counted.byFolder, true)) {
        StatisticsCounter::Bar shown = ShownBar(bar, counted.byFolder.size(), true);
        shown.value = static_cast<double>(bar.value) / static_cast<double>(scale.bytes);
        shown.valueText = QString::fromStdString(ScaledText(bar.value, scale, separator));
        result.folderBars.push_back(std::move(shown));
    }
    for (const ChartBar& bar :
         Bars(CatalogStatistics::MostRows(counted.byArtist, counted.byArtist.size()), false)) {
        StatisticsCounter::Bar shown = ShownBar(bar, counted.byArtist.size(), false);
        shown.value = static_cast<double>(bar.value);
        shown.valueText = QString::fromStdString(GroupedNumber(bar.value, separator));
        result.artistBars.push_back(std::move(shown));
    }
    counted.byFolder.clear();
    counted.byArtist.clear();
    counted.byAlbum.clear();
    result.totals = std::move(counted);
    return result;
}

}  // namespace

StatisticsCounter::StatisticsCounter(const CatalogView& view, std::string groupSeparator,
                                     QObject* parent)
    : QObject(parent), view_(view), groupSeparator_(std::move(groupSeparator)) {
    view_.store().AddListener(this, CatalogList::Hears::First);
}

StatisticsCounter::~StatisticsCounter() {
    Stop();
    view_.store().RemoveListener(this);
}

void StatisticsCounter::Start(std::uint64_t request) {
    Stop();
    stop_ = false;
    started_ = request;
    counting_ = true;
    worker_ = std::thread([this, rows = CatalogStatistics::RowsOf(view_), request] {
        auto result = std::make_shared<Result>(Summarize(rows, groupSeparator_, stop_));
        if (stop_) {
            return;
        }
        result->request = request;
        // Posted to this object: dropped with it, and the destructor waits for this thread.
        QMetaObject::invokeMethod(
            this, [this, result] { Deliver(result); }, Qt::QueuedConnection);
    });
}

void StatisticsCounter::Cancel() {
    stop_ = true;
}

void StatisticsCounter::Stop() {
    stop_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
}

void StatisticsCounter::Deliver(const std::shared_ptr<const Result>& result) {
    if (result->request == started_) {
        counting_ = false;
    }
    emit Counted(*result);
}
