#pragma once

#include <QMainWindow>

class CPlumetDoc;
class CPlumetView;
class CatalogModel;

// The main window: the catalog list fills it, its title names the document.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame(CPlumetDoc& document, CatalogModel& model, QWidget* parent = nullptr);

    CPlumetView& view() const { return *view_; }
    void UpdateTitle();

private:
    CPlumetDoc& document_;
    CPlumetView* view_;
};
