#include "support/BigCatalogSession.h"

#include <QApplication>
#include <QHeaderView>
#include <QtTest>
#include <vector>

#include "CMainFrame.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "catalog/CatalogFile.h"
#include "commands/CommandId.h"

BigCatalogSession::BigCatalogSession()
    : app_(std::make_unique<CPlumetApp>(
          CPlumetApp::Services{files_, ui_, profile_, shell_, platform_.folders, platform_.drives,
                               platform_.locale, platform_.processes})) {}

BigCatalogSession::~BigCatalogSession() = default;

Result BigCatalogSession::WriteCatalog(const std::string& path, int rows) {
    CatalogList list;
    std::vector<CatalogRow> batch;
    batch.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        const int artist = (i * 7919) % 5000;
        const std::string name = (artist % 2 == 0 ? "artist " : "Artist ") + std::to_string(artist);
        const std::string folder = "CD " + std::to_string(i % 1000);
        const std::string track = "Track " + std::to_string(i);
        batch.emplace_back(
            RowCells{name, track, folder, std::to_string(1000 + (i * 31) % 9000) + ",512",
                     "0" + std::to_string(1 + i % 9) + "/1" + std::to_string(i % 10) + "/0" +
                         std::to_string(i % 10) + " 0" + std::to_string(1 + i % 9) + ":30 " +
                         (i % 2 ? "AM" : "PM"),
                     "/music/" + folder + "/" + name + " - " + track + ".mp3"});
    }
    list.AppendRows(std::move(batch));
    PosixFiles files;
    return files.ReplaceFile(
        path, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); });
}

bool BigCatalogSession::Open(const std::string& path) {
    if (!app_->InitInstance(CommandLine::Parse({path}))) {
        return false;
    }
    frame().resize(1000, 700);
    frame().show();
    Repaint();
    return true;
}

CMainFrame& BigCatalogSession::frame() const {
    return *app_->mainFrame();
}

CatalogModel& BigCatalogSession::model() const {
    return frame().view().catalogModel();
}

void BigCatalogSession::ClickHeader(int column) {
    frame().view().horizontalHeader()->sectionClicked(column);
    Repaint();
}

int BigCatalogSession::FilterOnFolderOf(int row) {
    frame().view().selectRow(row);
    frame().SendCommand(kFilterOnFolderDisk);
    Repaint();
    return model().rowCount();
}

int BigCatalogSession::ShowAll() {
    frame().SendCommand(kFilterOnFolderDisk);
    Repaint();
    return model().rowCount();
}

int BigCatalogSession::PressCtrlEnd() {
    CPlumetView& view = frame().view();
    view.setFocus();
    // Without a current row the first key press only makes the top row current.
    if (!view.currentIndex().isValid()) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(4, 4));
    }
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    Repaint();
    return view.currentIndex().row();
}

bool BigCatalogSession::SaveAs(const std::string& path) {
    ui_.saveChoices.push_back(path);
    return frame().SendCommand(kFileSaveAs) && ui_.errors.empty();
}

// The view paints what the step changed before the step counts as done.
void BigCatalogSession::Repaint() const {
    QApplication::processEvents();
    frame().view().viewport()->repaint();
}
