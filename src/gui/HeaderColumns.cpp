#include "HeaderColumns.h"

#include <QHeaderView>
#include <QMenu>

#include "CatalogModel.h"
#include "services.h"

HeaderColumns::HeaderColumns(QHeaderView& header) : QObject(&header), header_(header) {
    header_.setSectionsMovable(true);
    header_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&header_, &QWidget::customContextMenuRequested, this, &HeaderColumns::ShowMenu);
}

void HeaderColumns::ApplyDefault() {
    for (int column = 0; column < header_.count(); ++column) {
        header_.moveSection(header_.visualIndex(column), column);
        header_.setSectionHidden(column, false);
        header_.resizeSection(column, CatalogModel::DefaultWidth(column));
        header_.setSectionHidden(column, column >= kColumnCount);
    }
}

void HeaderColumns::Restore(Profile& profile) {
    const QByteArray stored =
        QByteArray::fromStdString(profile.GetString(kSection, kName, std::string()));
    const QByteArray state = QByteArray::fromBase64(stored);
    if (state.isEmpty() || !header_.restoreState(state) || !IsUsable()) {
        ApplyDefault();
    }
    // The arrow belongs to the rows shown now, not to those of the last run.
    header_.setSortIndicatorShown(false);
}

void HeaderColumns::Save(Profile& profile) const {
    profile.WriteString(kSection, kName, header_.saveState().toBase64().toStdString());
}

bool HeaderColumns::IsUsable() const {
    if (header_.count() != kAllColumnCount || header_.hiddenSectionCount() >= header_.count()) {
        return false;
    }
    for (int column = 0; column < header_.count(); ++column) {
        const int visual = header_.visualIndex(column);
        if (visual < 0 || header_.logicalIndex(visual) != column) {
            return false;
        }
    }
    return true;
}

void HeaderColumns::ShowMenu(const QPoint& position) {
    QMenu menu(&header_);
    menu.setObjectName(QStringLiteral("headerMenu"));
    const bool oneShown = header_.count() - header_.hiddenSectionCount() == 1;
    for (int column = 0; column < header_.count(); ++column) {
        QAction* action = menu.addAction(CatalogModel::HeaderText(column));
        const bool shown = !header_.isSectionHidden(column);
        action->setCheckable(true);
        action->setChecked(shown);
        action->setEnabled(!(shown && oneShown));  // the list never loses its last column
        connect(action, &QAction::toggled, this,
                [this, column](bool checked) { SetShown(column, checked); });
    }
    menu.exec(header_.viewport()->mapToGlobal(position));
}

void HeaderColumns::SetShown(int column, bool shown) {
    if (!shown && header_.count() - header_.hiddenSectionCount() <= 1) {
        return;
    }
    header_.setSectionHidden(column, !shown);
    if (shown && header_.sectionSize(column) == 0) {
        header_.resizeSection(column, CatalogModel::DefaultWidth(column));
    }
}
