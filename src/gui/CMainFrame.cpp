#include "CMainFrame.h"

#include <QGuiApplication>
#include <QScreen>

#include "CPlumetView.h"
#include "DisplayText.h"
#include "catalog/CPlumetDoc.h"

CMainFrame::CMainFrame(CPlumetDoc& document, CatalogModel& model, QWidget* parent)
    : QMainWindow(parent), document_(document), view_(new CPlumetView(model, this)) {
    setCentralWidget(view_);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        resize(screen->availableSize() * 0.7);
    }
    UpdateTitle();
}

void CMainFrame::UpdateTitle() {
    setWindowTitle(DisplayText(document_.WindowTitle()));
}
