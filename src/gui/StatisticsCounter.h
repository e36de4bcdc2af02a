#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "browse/CatalogStatistics.h"
#include "catalog/CatalogListener.h"

class CatalogView;

// Counts the rows a view shows on a thread of its own, so that a million rows never hold up a
// keystroke. The count reads the rows shown when it started; the store is told to stop it
// before any row changes, so it never reads a row that is being changed, and a stopped count
// gives no result.
class StatisticsCounter : public QObject, private CatalogListener {
    Q_OBJECT

public:
    // A disc or folder, copied out of the store.
    struct Line {
        QString name;
        int rows = 0;
        std::uint64_t sizeBytes = 0;
        std::uint64_t seconds = 0;
        int firstRow = 0;          // view row when counted
        bool lengthKnown = false;  // some row has a length
    };
    struct Bar {
        QString label;    // as short as names go: a folder's last name
        QString toolTip;  // the whole name
        double value = 0;
        QString valueText;
    };
    struct Result {
        std::uint64_t request = 0;
        CatalogStatistics totals;  // without groups: theirs were views into the store
        std::vector<Line> folders;
        std::vector<Bar> folderBars;  // by size, in sizeUnit
        QString sizeUnit;
        std::vector<Bar> artistBars;  // by rows
    };

    StatisticsCounter(const CatalogView& view, std::string groupSeparator,
                      QObject* parent = nullptr);
    ~StatisticsCounter() override;

    // Counts the rows shown now; a count still running is stopped first. `request` comes back
    // with the result.
    void Start(std::uint64_t request);
    // Asks the running count to stop, without waiting.
    void Cancel();
    bool IsCounting() const { return counting_; }
    const std::string& groupSeparator() const { return groupSeparator_; }

signals:
    void Counted(const StatisticsCounter::Result& result);
    // The store changed; a count running then was stopped.
    void StoreChanged();

private:
    void Stop();
    void Deliver(const std::shared_ptr<const Result>& result);

    void RowsAboutToBeInserted(int, int) override { Stop(); }
    void RowsInserted(int, int) override { emit StoreChanged(); }
    void RowsAboutToBeRemoved(int, int) override { Stop(); }
    void RowsRemoved(int, int) override { emit StoreChanged(); }
    void AboutToReset() override { Stop(); }
    void Reset() override { emit StoreChanged(); }
    void LayoutAboutToChange() override { Stop(); }
    void LayoutChanged(std::span<const int>) override { emit StoreChanged(); }
    void CellsAboutToChange(int) override { Stop(); }
    void CellsChanged(int, int, int) override { emit StoreChanged(); }

    const CatalogView& view_;
    std::string groupSeparator_;
    std::atomic<bool> stop_{false};
    std::thread worker_;
    std::uint64_t started_ = 0;
    bool counting_ = false;
};
