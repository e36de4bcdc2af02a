#include "CellToolTipDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include "CatalogModel.h"
#include "catalog/CatalogRow.h"

bool CellToolTipDelegate::IsCutOff(const QStyleOptionViewItem& option, const QString& text) {
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
    return option.fontMetrics.horizontalAdvance(text) > option.rect.width() - 2 * margin;
}

bool CellToolTipDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                    const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip || !index.isValid()) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    // A row's own word (its disc is not connected) comes first.
    if (const QString said = index.data(Qt::ToolTipRole).toString(); !said.isEmpty()) {
        QToolTip::showText(event->globalPos(), said, view, option.rect);
    } else if (IsCutOff(cell, cell.text)) {
        QToolTip::showText(event->globalPos(), cell.text, view, option.rect);
    } else {
        QToolTip::hideText();
    }
    return true;
}

void CellToolTipDelegate::initStyleOption(QStyleOptionViewItem* option,
                                          const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    // "/home/user/Music/…" would hide the part of a folder or path that tells rows apart.
    if (index.column() == kFolderDisk || index.column() == kPath) {
        option->textElideMode = Qt::ElideMiddle;
    }
}

void CellToolTipDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.data(CatalogModel::kGroupStartRole).toBool()) {
        painter->save();
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawLine(option.rect.topLeft(), option.rect.topRight());
        painter->restore();
    }
}
