#pragma once

#include <QTableView>

class CatalogModel;
class HeaderColumns;

// The catalog list: the six cells and the fields over the store, full-row and multiple
// selection.
class CPlumetView : public QTableView {
    Q_OBJECT

public:
    static constexpr int kBackgroundRed = 208;
    static constexpr int kBackgroundGreen = 220;
    static constexpr int kBackgroundBlue = 230;

    explicit CPlumetView(CatalogModel& model, QWidget* parent = nullptr);

    CatalogModel& catalogModel() const { return model_; }
    HeaderColumns& headerColumns() const { return *headerColumns_; }
    // The selected rows in ascending order.
    std::vector<int> SelectedRows() const;

private:
    void ApplyLook();

    CatalogModel& model_;
    HeaderColumns* headerColumns_;
};
