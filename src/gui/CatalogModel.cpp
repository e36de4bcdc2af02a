#include "CatalogModel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <array>

#include "DisplayText.h"
#include "browse/FieldDisplay.h"
#include "catalog/RowFields.h"
#include "frame/ColourContrast.h"

namespace {

// The fields that hold numbers line up on their last digit; the six cells keep their place
// on the left.
Qt::Alignment ColumnAlignment(int column) {
    return (IsNumberField(column) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

Rgb ToRgb(const QColor& colour) {
    return {colour.red(), colour.green(), colour.blue()};
}

QColor ToColour(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

CatalogModel::CatalogModel(CatalogView& view, QObject* parent)
    : QAbstractTableModel(parent), view_(view) {
    view_.AddListener(this);
    const QPalette palette = QGuiApplication::palette();
    SetColours(palette.color(QPalette::Base), palette.color(QPalette::Text),
               palette.color(QPalette::Highlight));
}

CatalogModel::~CatalogModel() {
    view_.RemoveListener(this);
}

QString CatalogModel::HeaderText(int column) {
    const std::string_view title = ColumnTitle(column);
    return QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size()));
}

void CatalogModel::SetColours(const QColor& base, const QColor& text, const QColor& highlight) {
    // Greyed, yet as readable as any text should be; the desktop's own disabled colour is
    // often far fainter.
    const Rgb shade = ColourContrast::DistinctShade(ToRgb(base), ToRgb(highlight));
    oddGroupColour_ = ToColour(shade);
    awayColour_ = ToColour(ColourContrast::SoftenedText(ToRgb(text), ToRgb(base), shade));
}

int CatalogModel::DefaultWidth(int column) {
    return ColumnStartWidth(column);
}

int CatalogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : view_.RowCount();
}

int CatalogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kAllColumnCount;
}

QVariant CatalogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int column = index.column();
    if (role == Qt::TextAlignmentRole) {
        return IsNumberField(column) ? QVariant(static_cast<int>(ColumnAlignment(column)))
                                     : QVariant();
    }
    if (role == Qt::BackgroundRole) {
        const int group = view_.GroupOf(index.row());
        return group % 2 == 1 ? QVariant(QBrush(oddGroupColour_)) : QVariant();
    }
    if (role == kGroupStartRole) {
        const int group = view_.GroupOf(index.row());
        return group >= 0 && index.row() > 0 && view_.GroupOf(index.row() - 1) != group;
    }
    if (role == Qt::ForegroundRole) {
        return IsAway(index.row()) ? QVariant(QBrush(awayColour_)) : QVariant();
    }
    if (role == Qt::ToolTipRole) {
        return IsAway(index.row()) ? QVariant(AwayText(view_.CellText(index.row(), kFolderDisk)))
                                   : QVariant();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const std::string_view cell = view_.CellText(index.row(), column);
    return column == kLength ? DisplayText(ShownCellText(column, cell)) : DisplayText(cell);
}

bool CatalogModel::IsAway(int row) const {
    return volumes_ != nullptr && volumes_->IsAway(view_.StoreRow(row));
}

void CatalogModel::RefreshPlaces() {
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kAllColumnCount - 1),
                         {Qt::ForegroundRole, Qt::ToolTipRole});
    }
}

QString CatalogModel::AwayText(std::string_view label) {
    return DisplayText(AwayRowTip(label));
}

QVariant CatalogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kAllColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return HeaderText(section);
    }
    if (role == Qt::TextAlignmentRole) {
        return static_cast<int>(ColumnAlignment(section));
    }
    return {};
}

void CatalogModel::RowsAboutToBeInserted(int first, int last) {
    beginInsertRows(QModelIndex(), first, last);
}

void CatalogModel::RowsInserted(int, int) {
    endInsertRows();
}

void CatalogModel::RowsAboutToBeRemoved(int first, int last) {
    beginRemoveRows(QModelIndex(), first, last);
}

void CatalogModel::RowsRemoved(int, int) {
    endRemoveRows();
}

void CatalogModel::AboutToReset() {
    beginResetModel();
}

void CatalogModel::Reset() {
    endResetModel();
}

void CatalogModel::LayoutAboutToChange() {
    emit layoutAboutToBeChanged();
}

void CatalogModel::LayoutChanged(std::span<const int> newRowOfOld) {
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        after.append(index(newRowOfOld[old.row()], old.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void CatalogModel::CellsChanged(int row, int firstColumn, int lastColumn) {
    emit dataChanged(index(row, firstColumn), index(row, lastColumn), {Qt::DisplayRole});
}
