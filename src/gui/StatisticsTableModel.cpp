#include "StatisticsTableModel.h"

#include <algorithm>

#include "browse/FieldDisplay.h"
#include "browse/StatisticsText.h"

StatisticsTableModel::StatisticsTableModel(std::string groupSeparator, QObject* parent)
    : QAbstractTableModel(parent), groupSeparator_(std::move(groupSeparator)) {}

void StatisticsTableModel::SetLines(std::vector<Line> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    SortLines();
    endResetModel();
}

int StatisticsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int StatisticsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant StatisticsTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Line& line = lines_[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() != kName && index.column() != kConnected;
        return QVariant::fromValue((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    if (role == Qt::ToolTipRole && index.column() == kSize) {
        return QStringLiteral("%1 bytes")
            .arg(QString::fromStdString(GroupedNumber(line.sizeBytes, groupSeparator_)));
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case kName:
            return line.name;
        case kRows:
            return QString::fromStdString(GroupedNumber(std::uint64_t(line.rows), groupSeparator_));
        case kSize:
            return QString::fromStdString(ReadableSize(line.sizeBytes, groupSeparator_));
        case kLength:
            return line.lengthKnown ? QString::fromStdString(DurationText(line.seconds))
                                    : QStringLiteral("unknown");
        case kConnected:
            return line.connected ? QStringLiteral("Yes") : QStringLiteral("No");
        default:
            return {};
    }
}

QVariant StatisticsTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kHeaders[kColumnCount] = {"Disc/Folder", "Rows", "Size", "Length",
                                                       "Connected"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(kHeaders[section])
                                                  : QVariant();
}

void StatisticsTableModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    beginResetModel();
    SortLines();
    endResetModel();
}

void StatisticsTableModel::SortLines() {
    if (sortColumn_ < 0 || sortColumn_ >= kColumnCount) {
        return;
    }
    const auto less = [column = sortColumn_](const Line& a, const Line& b) {
        switch (column) {
            case kRows:
                return a.rows < b.rows;
            case kSize:
                return a.sizeBytes < b.sizeBytes;
            case kLength:
                return a.seconds < b.seconds;
            case kConnected:
                return a.connected < b.connected;
            default:
                return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
        }
    };
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    std::stable_sort(lines_.begin(), lines_.end(), [&](const Line& a, const Line& b) {
        return ascending ? less(a, b) : less(b, a);
    });
}
