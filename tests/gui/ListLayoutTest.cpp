#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "HeaderColumns.h"
#include "PosixFiles.h"
#include "catalog/CatalogFile.h"
#include "frame/ColourContrast.h"
#include "support/FakeServices.h"
#include "support/GuiDriving.h"
#include "support/PlatformServices.h"

namespace {

Rgb ToRgb(const QColor& colour) {
    return {colour.red(), colour.green(), colour.blue()};
}

double Ratio(const QColor& first, const QColor& second) {
    return ColourContrast::Ratio(ToRgb(first), ToRgb(second));
}

QList<int> ShownColumns(const QHeaderView& header) {
    QList<int> shown;  // in the order they show
    for (int visual = 0; visual < header.count(); ++visual) {
        if (!header.isSectionHidden(header.logicalIndex(visual))) {
            shown << header.logicalIndex(visual);
        }
    }
    return shown;
}

}  // namespace

// The list as it meets the eye and the keyboard: columns sharing the window's width, status
// panes side by side at any width, readable colours, and the keys that reach the rows.
class ListLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CPlumetApp::SetApplicationNames(); }

    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        ui_ = ScriptedUserInterface();
        CatalogList list;
        for (int i = 0; i < 40; ++i) {
            // Real files, which Enter can play.
            const std::string album =
                folder_->filePath("Music/Collection/Album %1").arg(i).toStdString();
            QVERIFY(QDir().mkpath(QString::fromStdString(album)));
            const int row = list.InsertRow(list.RowCount(), "Artist " + std::to_string(i % 7));
            list.SetCell(row, kTrack, (i % 2 ? "Odd song " : "Even song ") + std::to_string(i));
            list.SetCell(row, kFolderDisk, album);
            list.SetCell(row, kSize, "4,567,890");
            list.SetCell(row, kModified, "12/28/26 10:58 PM");
            list.SetCell(row, kPath, album + "/Track " + std::to_string(i) + ".mp3");
            QFile file(QString::fromStdString(std::string(list.CellText(row, kPath))));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const std::string path = folder_->filePath("Albums.plm").toStdString();
        QVERIFY(files_.ReplaceFile(
            path, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); }));
        app_ = std::make_unique<CPlumetApp>(CPlumetApp::Services{files_, ui_, profile_, shell_,
                                                                 scan_.folders, scan_.drives,
                                                                 scan_.locale, scan_.processes});
        QVERIFY(app_->InitInstance(CommandLine::Parse({path})));
    }

    void cleanup() { app_.reset(); }

    void columnsShareTheWidthAndStatusPanesNeverOverlap() {
        CMainFrame& frame = *app_->mainFrame();
        CPlumetView& view = frame.view();
        QHeaderView& header = *view.horizontalHeader();
        HeaderColumns& columns = view.headerColumns();
        const QList<int> sixCells{kArtist, kTrack, kFolderDisk, kSize, kModified, kPath};
        frame.SetMessageText(QString("A long word from the last command ").repeated(4));
        frame.SetPlayerPaneText(QString("Artist - A very long title of a track ").repeated(2));
        frame.awayPane().setText("12 not connected");
        frame.awayPane().show();
        ShowActive(frame);
        const int modifiedText = view.fontMetrics().horizontalAdvance("12/28/26 10:58 PM");

        for (const int width : {1280, 800}) {
            frame.resize(width, 600);
            QTRY_COMPARE(frame.width(), width);
            QApplication::processEvents();
            QCOMPARE(ShownColumns(header), sixCells);
            int total = 0;
            for (int column : sixCells) {
                QVERIFY2(header.sectionSize(column) >= columns.MinimumWidth(column),
                         qPrintable(QString("%1 px, column %2").arg(width).arg(column)));
                total += header.sectionSize(column);
            }
            // The header spans the list, no more and no less; Modified is never cut.
            QCOMPARE(total, header.width());
            QCOMPARE(header.width(), view.viewport()->width());
            QVERIFY(header.sectionSize(kModified) > modifiedText);
            if (width == 1280) {
                // Room to spare: each its own width, Path the rest.
                for (int column : {kArtist, kTrack, kFolderDisk, kSize}) {
                    QCOMPARE(header.sectionSize(column), CatalogModel::DefaultWidth(column));
                }
                QVERIFY(header.sectionSize(kPath) > CatalogModel::DefaultWidth(kPath));
            } else {
                QVERIFY(header.sectionSize(kTrack) < CatalogModel::DefaultWidth(kTrack));
            }
        }

        // Status panes side by side, from wide to narrower than any of their texts.
        for (const int width : {1280, 800, 420}) {
            frame.resize(width, 600);
            QApplication::processEvents();
            QList<QRect> panes;
            for (QWidget* pane :
                 frame.statusBar()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (pane->isVisible() && pane->width() > 0 && pane->inherits("QLabel")) {
                    panes << pane->geometry();
                    QVERIFY(frame.statusBar()->rect().contains(pane->geometry()));
                }
            }
            QVERIFY(panes.size() >= 3);
            for (int i = 0; i < panes.size(); ++i) {
                for (int j = i + 1; j < panes.size(); ++j) {
                    QVERIFY2(!panes[i].intersects(panes[j]), qPrintable(QString::number(width)));
                }
            }
        }

        // A field column shown comes in before Path, and the columns share the width again.
        frame.resize(1280, 600);
        QApplication::processEvents();
        header.setSectionHidden(kAlbum, false);  // as the menu would, through the same path
        header.moveSection(header.visualIndex(kAlbum), header.visualIndex(kPath));
        columns.Fit();
        QCOMPARE(ShownColumns(header).last(), int(kPath));
        int total = 0;
        for (int column : ShownColumns(header)) {
            total += header.sectionSize(column);
        }
        QCOMPARE(total, header.width());
    }

    void keysReachTheRowsFromTheSearchBox() {
        CMainFrame& frame = *app_->mainFrame();
        CPlumetView& view = frame.view();
        ShowActive(frame);
        auto* search = frame.findChild<QLineEdit*>("searchBox");
        QVERIFY(search != nullptr);

        // A search ends and starts anew while the box has the keyboard; Tab onto the list
        // then finds a current row, which Enter plays.
        search->setFocus();
        QTRY_VERIFY(search->hasFocus());
        QTest::keyClicks(search, "even");
        QTest::keyClick(search, Qt::Key_Escape);
        QVERIFY(PressTab() != nullptr);
        view.setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(view.hasFocus());
        QVERIFY(view.currentIndex().isValid());
        const int current = view.currentIndex().row();
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(view.SelectedRows(), std::vector<int>{current});
        QCOMPARE(Played(), Cell(current, kPath));

        // Down from a search: the first row found; Enter in the box plays the current row.
        view.selectRow(5);
        search->setFocus();
        QTest::keyClicks(search, "odd");
        QTRY_COMPARE(view.catalogModel().rowCount(), 20);
        QTest::keyClick(search, Qt::Key_Down);
        QVERIFY(view.hasFocus());
        QCOMPARE(view.currentIndex().row(), 0);
        QCOMPARE(view.SelectedRows(), std::vector<int>{0});
        view.selectRow(2);
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(Played(), Cell(2, kPath));

        // Enter on a list with a current row and nothing selected plays that row.
        view.clearSelection();
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_Enter);
        QCOMPARE(view.SelectedRows(), std::vector<int>{2});
        QCOMPARE(Played(), Cell(2, kPath));
    }

    // A greyed row and the shading of duplicate groups, in the default palette and a dark one.
    void greyedRowsAndGroupsKeepTheirContrast() {
        CatalogModel& model = app_->mainFrame()->view().catalogModel();
        QPalette dark;
        dark.setColor(QPalette::Base, QColor(35, 35, 38));
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
        dark.setColor(QPalette::Disabled, QPalette::Text, QColor(80, 80, 80));
        const QPalette original = QApplication::palette();
        for (const QPalette& palette : {original, dark}) {
            QApplication::setPalette(palette);
            CPlumetView view(model);
            const QColor base = view.palette().color(QPalette::Base);
            QVERIFY(Ratio(view.palette().color(QPalette::Text), base) >= ColourContrast::kReadable);
            QVERIFY(Ratio(model.awayColour(), base) >= ColourContrast::kReadable);
            QVERIFY(Ratio(model.oddGroupColour(), base) >= ColourContrast::kDistinct);
            QVERIFY(Ratio(model.awayColour(), model.oddGroupColour()) >= ColourContrast::kReadable);
        }
        QApplication::setPalette(original);
    }

private:
    QString Played() const {
        return shell_.opened.empty() ? QString() : QString::fromStdString(shell_.opened.back());
    }
    QString Cell(int row, int column) const {
        const CatalogModel& model = app_->mainFrame()->view().catalogModel();
        return model.index(row, column).data().toString();
    }

    std::unique_ptr<QTemporaryDir> folder_;
    PosixFiles files_;
    ScriptedUserInterface ui_;
    MemoryProfile profile_;
    RecordingShell shell_;
    PlatformServices scan_;
    std::unique_ptr<CPlumetApp> app_;
};

QTEST_MAIN(ListLayoutTest)
#include "ListLayoutTest.moc"
