#pragma once

#include <QTableView>

class CatalogModel;

// The catalog list: six columns over the store, full-row and multiple selection.
class CPlumetView : public QTableView {
    Q_OBJECT

public:
    static constexpr int kBackgroundRed = 208;
    static constexpr int kBackgroundGreen = 220;
    static constexpr int kBackgroundBlue = 230;

    explicit CPlumetView(CatalogModel& model, QWidget* parent = nullptr);

    CatalogModel& catalogModel() const { return model_; }
    // The selected rows in ascending order.
    std::vector<int> SelectedRows() const;

private:
    void ApplyLook();

    CatalogModel& model_;
};
