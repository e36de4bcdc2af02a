#include "HeaderColumns.h"

#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <algorithm>
#include <vector>

#include "CatalogModel.h"
#include "frame/ColumnFit.h"
#include "services.h"

namespace {

// The widest a Modified cell gets, in the form the scan writes.
constexpr const char* kWidestModified[] = {"00/00/00 00:00 AM", "00/00/00 00:00 PM"};
// Room around a cell's text: the style's margins and a header's sort arrow.
constexpr int kCellPadding = 12;
constexpr int kHeaderPadding = 24;
constexpr int kNarrowest = 40;

}  // namespace

HeaderColumns::HeaderColumns(QHeaderView& header) : QObject(&header), header_(header) {
    header_.setSectionsMovable(true);
    header_.setContextMenuPolicy(Qt::CustomContextMenu);
    header_.installEventFilter(this);
    connect(&header_, &QWidget::customContextMenuRequested, this, &HeaderColumns::ShowMenu);
    connect(&header_, &QHeaderView::sectionResized, this,
            [this](int column, int, int size) { OnSectionResized(column, size); });
}

void HeaderColumns::ApplyDefault() {
    adjusting_ = true;
    for (int column = 0; column < header_.count(); ++column) {
        header_.moveSection(header_.visualIndex(column), column);
        header_.setSectionHidden(column, false);
        header_.resizeSection(column, CatalogModel::DefaultWidth(column));
        header_.setSectionHidden(column, column >= kColumnCount);
    }
    header_.setStretchLastSection(false);
    adjusting_ = false;
    fits_ = true;
    Fit();
}

void HeaderColumns::Restore(Profile& profile) {
    const QByteArray stored =
        QByteArray::fromStdString(profile.GetString(kSection, kName, std::string()));
    const QByteArray state = QByteArray::fromBase64(stored);
    adjusting_ = true;
    const bool restored = !state.isEmpty() && header_.restoreState(state) && IsUsable();
    adjusting_ = false;
    if (!restored) {
        ApplyDefault();
    } else {
        header_.setStretchLastSection(false);  // the last column reaches the edge by Span
        fits_ = profile.GetInt(kSection, kFitsName, 1) != 0;
        Fit();
    }
    // The arrow belongs to the rows shown now, not to those of the last run.
    header_.setSortIndicatorShown(false);
}

void HeaderColumns::Save(Profile& profile) const {
    profile.WriteString(kSection, kName, header_.saveState().toBase64().toStdString());
    profile.WriteInt(kSection, kFitsName, fits_ ? 1 : 0);
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

int HeaderColumns::MinimumWidth(int column) const {
    const QFontMetrics& metrics = header_.fontMetrics();
    if (column == kModified) {
        int widest = 0;
        for (const char* text : kWidestModified) {
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(text)));
        }
        return widest + kCellPadding;
    }
    const int title = metrics.horizontalAdvance(CatalogModel::HeaderText(column)) + kHeaderPadding;
    return std::min(CatalogModel::DefaultWidth(column), std::max(kNarrowest, title));
}

int HeaderColumns::LastShown() const {
    for (int visual = header_.count() - 1; visual >= 0; --visual) {
        const int column = header_.logicalIndex(visual);
        if (!header_.isSectionHidden(column)) {
            return column;
        }
    }
    return -1;
}

void HeaderColumns::Fit() {
    if (header_.count() != kAllColumnCount) {
        return;
    }
    if (!fits_) {
        Span(false);
        return;
    }
    std::vector<int> shown;
    std::vector<ColumnFit::Want> wants;
    int filler = -1;
    for (int visual = 0; visual < header_.count(); ++visual) {
        const int column = header_.logicalIndex(visual);
        if (header_.isSectionHidden(column)) {
            continue;
        }
        const int minimum = MinimumWidth(column);
        if (column == kPath) {
            filler = static_cast<int>(shown.size());
        }
        shown.push_back(column);
        wants.push_back({std::max(minimum, CatalogModel::DefaultWidth(column)), minimum});
    }
    if (filler < 0) {
        filler = static_cast<int>(shown.size()) - 1;
    }
    const std::vector<int> widths = ColumnFit::Widths(header_.width(), wants, filler);
    adjusting_ = true;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        header_.resizeSection(shown[i], widths[i]);
    }
    adjusting_ = false;
}

void HeaderColumns::Span(bool keepWider) {
    const int last = LastShown();
    if (last < 0) {
        return;
    }
    int others = 0;
    for (int column = 0; column < header_.count(); ++column) {
        if (column != last && !header_.isSectionHidden(column)) {
            others += header_.sectionSize(column);
        }
    }
    int width = std::max(MinimumWidth(last), header_.width() - others);
    if (keepWider) {
        width = std::max(width, header_.sectionSize(last));
    }
    adjusting_ = true;
    header_.resizeSection(last, width);
    adjusting_ = false;
}

bool HeaderColumns::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &header_ && event->type() == QEvent::Resize) {
        Fit();
    }
    return QObject::eventFilter(watched, event);
}

void HeaderColumns::OnSectionResized(int column, int size) {
    if (adjusting_ || size == 0 || header_.isSectionHidden(column)) {
        return;
    }
    // A width set by hand is kept from then on; the last column still reaches the edge.
    fits_ = false;
    Span(true);
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
    adjusting_ = true;
    // A column shown comes in before the wide Path, not off screen after it.
    const int path = header_.visualIndex(kPath);
    if (shown && column != kPath && !header_.isSectionHidden(kPath) &&
        header_.visualIndex(column) > path) {
        header_.moveSection(header_.visualIndex(column), path);
    }
    header_.setSectionHidden(column, !shown);
    if (shown && header_.sectionSize(column) == 0) {
        header_.resizeSection(column, CatalogModel::DefaultWidth(column));
    }
    adjusting_ = false;
    Fit();
}
