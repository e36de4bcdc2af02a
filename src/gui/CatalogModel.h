#pragma once

#include <QAbstractTableModel>

#include "browse/CatalogView.h"
#include "catalog/CatalogListener.h"

// The rows shown, seen by Qt: it follows every change of the catalog view and builds display
// strings only for the cells the list widget asks for.
class CatalogModel : public QAbstractTableModel, private CatalogListener {
    Q_OBJECT

public:
    explicit CatalogModel(CatalogView& view, QObject* parent = nullptr);
    ~CatalogModel() override;

    static QString HeaderText(int column);
    static int DefaultWidth(int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    CatalogView& view() const { return view_; }

private:
    void RowsAboutToBeInserted(int first, int last) override;
    void RowsInserted(int first, int last) override;
    void RowsAboutToBeRemoved(int first, int last) override;
    void RowsRemoved(int first, int last) override;
    void AboutToReset() override;
    void Reset() override;
    void LayoutAboutToChange() override;
    void LayoutChanged(std::span<const int> newRowOfOld) override;
    void CellsChanged(int row, int firstColumn, int lastColumn) override;

    CatalogView& view_;
};
