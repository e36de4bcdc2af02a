#pragma once

#include <QStyledItemDelegate>

// Draws the list's cells: folders and paths shortened in the middle, where they differ, and
// a line above each group of duplicates; a cell too narrow for its text shows it whole as a
// tool tip.
class CellToolTipDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    static bool IsCutOff(const QStyleOptionViewItem& option, const QString& text);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
