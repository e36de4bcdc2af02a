#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include "browse/CatalogView.h"
#include "catalog/CatalogListener.h"
#include "volumes/RowVolumeIndex.h"

// The rows shown, seen by Qt: it follows every change of the catalog view and builds display
// strings only for the cells the list widget asks for.
class CatalogModel : public QAbstractTableModel, private CatalogListener {
    Q_OBJECT

public:
    explicit CatalogModel(CatalogView& view, QObject* parent = nullptr);
    ~CatalogModel() override;

    // True on the first row of every group of duplicates but the first: a line goes above it.
    static constexpr int kGroupStartRole = Qt::UserRole + 1;

    static QString HeaderText(int column);
    static int DefaultWidth(int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    CatalogView& view() const { return view_; }

    // With it, rows on file systems that are not mounted are drawn greyed and say so.
    void SetVolumes(const RowVolumeIndex* volumes) { volumes_ = volumes; }
    bool IsAway(int row) const;
    // The list's own colours, from which greyed rows and shaded groups are made.
    void SetColours(const QColor& base, const QColor& text, const QColor& highlight);
    const QColor& awayColour() const { return awayColour_; }
    const QColor& oddGroupColour() const { return oddGroupColour_; }
    // Which file systems are here changed: every row is drawn again.
    void RefreshPlaces();
    // "On "LABEL", which is not connected"
    static QString AwayText(std::string_view label);

signals:
    // Store rows came or went that the view does not show: the rows shown are as they were,
    // but "N of M rows" is not.
    void unshownRowsChanged();

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
    void UnshownRowsChanged() override { emit unshownRowsChanged(); }

    CatalogView& view_;
    const RowVolumeIndex* volumes_ = nullptr;
    QColor awayColour_;
    QColor oddGroupColour_;
};
