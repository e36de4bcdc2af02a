#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CStatisticsDlg.h"
#include "CatalogModel.h"
#include "PosixFiles.h"
#include "StatisticsChart.h"
#include "StatisticsTableModel.h"
#include "catalog/CatalogFile.h"
#include "commands/CommandId.h"
#include "support/FakeServices.h"
#include "support/GuiDriving.h"
#include "support/PlatformServices.h"

namespace {

struct Row {
    std::string artist, track, folder, size, album, length;
};

QString Number(qulonglong value) {
    return QLocale().toString(value);
}

}  // namespace

// Tools > Statistics over a small catalog: the window opens from the menu, counts the rows
// shown, and follows a search, a filter and an edit while it stays open.
class StatisticsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CPlumetApp::SetApplicationNames(); }

    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        CatalogList list;
        const std::vector<Row> rows{
            {"Björk", "Jóga", "CD1", "1,000,000", "Homogenic", "305"},
            {"abba", "Waterloo", "CD2", "999", "Waterloo", "167"},
            {"ABBA", "SOS", "CD1", "4,567,890", "ABBA", "200"},
            {"Cream", "Crossroads", "R&B", "12", "", "3:20"},  // not seconds: no length
        };
        for (const Row& row : rows) {
            const int index = list.InsertRow(list.RowCount(), row.artist);
            list.SetCell(index, kTrack, row.track);
            list.SetCell(index, kFolderDisk, row.folder);
            list.SetCell(index, kSize, row.size);
            list.SetCell(index, kPath, "/music/" + row.track + ".mp3");
            list.SetCell(index, kAlbum, row.album);
            list.SetCell(index, kLength, row.length);
        }
        const std::string path = folder_->filePath("Albums.plm").toStdString();
        QVERIFY(files_.ReplaceFile(
            path, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); }));
        app_ = std::make_unique<CPlumetApp>(CPlumetApp::Services{files_, ui_, profile_, shell_,
                                                                 scan_.folders, scan_.drives,
                                                                 scan_.locale, scan_.processes});
        QVERIFY(app_->InitInstance(CommandLine::Parse({path})));
    }

    void cleanup() {
        tester_.reset();
        app_.reset();
    }

    void opensFromToolsAndFollowsTheRowsShown() {
        CMainFrame& frame = *app_->mainFrame();
        ShowActive(frame);
        CStatisticsDlg* window = OpenFromToolsMenu(frame);
        QVERIFY(window != nullptr);
        QVERIFY(window->isVisible() && !window->isModal());
        tester_ = std::make_unique<QAbstractItemModelTester>(
            &window->tableModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);

        // Names count as exact bytes: "abba" and "ABBA" are two artists.
        QCOMPARE(
            Totals(*window),
            QStringList({"4", "4", "3", "3", "5.3 MB (" + Number(5568901) + " bytes)", "0:11:12"}));
        QCOMPARE(Lines(*window),
                 QStringList({"CD1 2 5.3 MB 0:08:25 Yes", "CD2 1 999 bytes 0:02:47 Yes",
                              "R&B 1 12 bytes 0:00:00 Yes"}));
        QCOMPARE(window->folderChart().labels(), QStringList({"CD1", "CD2", "R&B"}));
        QCOMPARE(window->artistChart().labels().size(), 4);

        // The search box narrows the rows, and the window follows once they settle.
        auto* box = frame.findChild<QLineEdit*>("searchBox");
        QTest::keyClicks(box, "abba");
        QTRY_COMPARE(window->TotalText("rows"), QString("2"));
        QCOMPARE(Totals(*window).mid(1, 3), QStringList({"2", "2", "2"}));
        QCOMPARE(window->TotalText("length"), QString("0:06:07"));
        QTest::keyClick(box, Qt::Key_Escape);
        QTRY_COMPARE(window->TotalText("rows"), QString("4"));

        // A filter on a folder, then an edit made in the list.
        frame.view().selectRow(0);
        QVERIFY(frame.SendCommand(kFilterOnFolderDisk));
        QTRY_COMPARE(Lines(*window), QStringList({"CD1 2 5.3 MB 0:08:25 Yes"}));
        app_->list().SetCell(0, kArtist, "ABBA");
        QTRY_COMPARE(window->TotalText("artists"), QString("1"));
        QVERIFY(frame.SendCommand(kFilterOnFolderDisk));  // Show All
        QTRY_COMPARE(window->TotalText("rows"), QString("4"));

        // Which discs are connected is asked of the frame's test, and shown at once.
        frame.SetConnectedTest(
            [](const CatalogRow& row) { return row.Cell(kFolderDisk) != "CD2"; });
        QCOMPARE(Lines(*window)[1], QString("CD2 1 999 bytes 0:02:47 No"));

        // One window at a time; Esc closes it.
        QCOMPARE(OpenFromToolsMenu(frame), window);
        QCOMPARE(frame.findChildren<CStatisticsDlg*>().size(), 1);
        tester_.reset();
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(frame.statisticsWindow() == nullptr);
        QVERIFY(frame.findChildren<CStatisticsDlg*>().isEmpty());
    }

private:
    static CStatisticsDlg* OpenFromToolsMenu(CMainFrame& frame) {
        for (QAction* menu : frame.menuBar()->actions()) {
            if (menu->text() != "&Tools") {
                continue;
            }
            for (QAction* item : menu->menu()->actions()) {
                if (item->text() == "&Statistics") {
                    item->trigger();
                    return frame.statisticsWindow();
                }
            }
        }
        return nullptr;
    }

    static QStringList Totals(const CStatisticsDlg& window) {
        QStringList texts;
        for (const char* name : {"rows", "artists", "albums", "folders", "size", "length"}) {
            texts << window.TotalText(name);
        }
        return texts;
    }

    static QStringList Lines(const CStatisticsDlg& window) {
        const StatisticsTableModel& table = window.tableModel();
        QStringList lines;
        for (int row = 0; row < table.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table.columnCount(); ++column) {
                cells << table.data(table.index(row, column)).toString();
            }
            lines << cells.join(' ');
        }
        return lines;
    }

    std::unique_ptr<QTemporaryDir> folder_;
    PosixFiles files_;
    ScriptedUserInterface ui_;
    MemoryProfile profile_;
    RecordingShell shell_;
    PlatformServices scan_;
    std::unique_ptr<CPlumetApp> app_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

QTEST_MAIN(StatisticsWindowTest)
#include "StatisticsWindowTest.moc"
