#pragma once

#include <QStyledItemDelegate>

// Shows a cell's whole text as a tool tip, but only when the cell is too narrow for it.
class CellToolTipDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    static bool IsCutOff(const QStyleOptionViewItem& option, const QString& text);
};
