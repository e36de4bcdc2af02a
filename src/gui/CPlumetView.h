#pragma once

#include <QTableView>

class CatalogModel;
class HeaderColumns;
class QLabel;

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
    // How to start, shown in the list area while it has no rows.
    QLabel& emptyHint() const { return *emptyHint_; }
    static const QString& EmptyHintText();

    // The first row shown becomes the current and only selected one, and the list takes the
    // keyboard: Down from the search box.
    void FocusFirstRow();
    // Plays the selection, or the current row when nothing is selected: Enter.
    void PlayCurrent();
    // A list with rows always has a current one, the first row when there was none; false
    // without rows.
    bool EnsureCurrentRow();

signals:
    // Enter on the rows selected.
    void PlayRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void ApplyLook();
    void CreateEmptyHint();
    void UpdateEmptyHint();
    // Where the keyboard's context menu opens: at the current row, else the top left.
    QPoint CurrentRowPosition() const;

    CatalogModel& model_;
    HeaderColumns* headerColumns_;
    QLabel* emptyHint_ = nullptr;
};
