#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

// The statistics window's table: one line per disc or folder of the rows shown.
class StatisticsTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kName, kRows, kSize, kLength, kConnected, kColumnCount };

    struct Line {
        QString name;
        int rows = 0;
        std::uint64_t sizeBytes = 0;
        std::uint64_t seconds = 0;
        bool connected = true;
        bool lengthKnown = true;  // else the length reads "unknown"
    };

    explicit StatisticsTableModel(std::string groupSeparator, QObject* parent = nullptr);

    // Replaces every line, keeping the order last asked for by sort().
    void SetLines(std::vector<Line> lines);
    const std::vector<Line>& lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Numbers sort as numbers; ties keep their order (largest first, as the lines came).
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void SortLines();

    std::string groupSeparator_;
    std::vector<Line> lines_;
    int sortColumn_ = -1;  // as given
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};
