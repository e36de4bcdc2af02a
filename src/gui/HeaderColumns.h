#pragma once

#include <QObject>

class Profile;
class QHeaderView;
class QPoint;

// The list header's columns as the user arranges them: a right click on the header shows or
// hides any column (one always stays), sections can be dragged into another order, and the
// whole arrangement, widths included, is kept in the settings between runs.
class HeaderColumns : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kSection = "Settings";
    static constexpr const char* kName = "ListHeader";

    explicit HeaderColumns(QHeaderView& header);

    // The six cells shown in their order at their widths; the field columns hidden.
    void ApplyDefault();
    // The stored arrangement; the default when there is none or it cannot be used.
    void Restore(Profile& profile);
    void Save(Profile& profile) const;

private:
    void ShowMenu(const QPoint& position);
    void SetShown(int column, bool shown);
    // Whether a restored arrangement has every column and shows at least one.
    bool IsUsable() const;

    QHeaderView& header_;
};
