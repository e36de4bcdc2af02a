#include "CatalogModel.h"

#include <array>

#include "DisplayText.h"

namespace {

struct ColumnLook {
    const char* header;
    int width;
};

constexpr std::array<ColumnLook, kColumnCount> kColumns{{
    {"Artist", 130},
    {"Track", 150},
    {"In Folder/Disk", 120},
    {"Size", 80},
    {"Modified", 110},
    {"Path", 320},
}};

}  // namespace

CatalogModel::CatalogModel(CatalogView& view, QObject* parent)
    : QAbstractTableModel(parent), view_(view) {
    view_.AddListener(this);
}

CatalogModel::~CatalogModel() {
    view_.RemoveListener(this);
}

QString CatalogModel::HeaderText(int column) {
    return QString::fromLatin1(kColumns.at(column).header);
}

int CatalogModel::DefaultWidth(int column) {
    return kColumns.at(column).width;
}

int CatalogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : view_.RowCount();
}

int CatalogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CatalogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return DisplayText(view_.CellText(index.row(), index.column()));
}

QVariant CatalogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return HeaderText(section);
    }
    if (role == Qt::TextAlignmentRole) {
        return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
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
