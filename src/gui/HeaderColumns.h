#pragma once

#include <QObject>

class Profile;
class QHeaderView;
class QPoint;

// The list header's columns as the user arranges them: a right click on the header shows or
// hides any column (one always stays), sections can be dragged into another order, and the
// whole arrangement, widths included, is kept in the settings between runs. Until the user
// sets a width by hand the columns share the list's width, Path taking what is left; the
// last column always reaches the right edge.
class HeaderColumns : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kSection = "Settings";
    static constexpr const char* kName = "ListHeader";
    static constexpr const char* kFitsName = "ListHeaderFits";

    explicit HeaderColumns(QHeaderView& header);

    // The six cells shown in their order, sharing the width; the field columns hidden.
    void ApplyDefault();
    // The stored arrangement; the default when there is none or it cannot be used.
    void Restore(Profile& profile);
    void Save(Profile& profile) const;

    // Whether the widths still follow the list's width.
    bool fits() const { return fits_; }
    // The narrowest a column may be made by sharing: Modified is never cut.
    int MinimumWidth(int column) const;
    // Shares the header's width among the columns shown, unless the user set widths.
    void Fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowMenu(const QPoint& position);
    void SetShown(int column, bool shown);
    void OnSectionResized(int column, int size);
    // The last column shown widened to the edge; `keepWider` keeps it wider than that.
    void Span(bool keepWider);
    // Whether a restored arrangement has every column and shows at least one.
    bool IsUsable() const;
    // The column shown last, which stretches to the edge; -1 for none.
    int LastShown() const;

    QHeaderView& header_;
    bool fits_ = true;
    bool adjusting_ = false;  // our own resizes are not the user's
};
