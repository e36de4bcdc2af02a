#include <random>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "CellToolTipDelegate.h"
#include "HeaderColumns.h"
#include "PosixFiles.h"
#include "QSettingsProfile.h"
#include "catalog/CatalogFile.h"
#include "support/FakeServices.h"
#include "support/PlatformServices.h"

namespace {

CommandLine Open(const QString& path) {
    return CommandLine::Parse({path.toStdString()});
}

CatalogRow Row(std::string_view artist, std::string_view track, std::string_view path) {
    return CatalogRow(RowCells{artist, track, "/music", "1,024", "01/02/03 04:05 PM", path});
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale::c());
        CPlumetApp::SetApplicationNames();
    }

    void startsWithTheCatalogNamedOnTheCommandLine() {
        QTemporaryDir folder;
        const QString path = folder.filePath("Albums.plm");
        WriteCatalog(path, {Row("Abba", "Waterloo", "/music/a.mp3"),
                            Row("Björk", "Jóga", "/music/b.mp3"), CatalogRow()});

        PosixFiles files;
        ScriptedUserInterface ui;
        MemoryProfile profile;
        RecordingShell shell;
        PlatformServices scan;
        CPlumetApp app(
            {files, ui, profile, shell, scan.folders, scan.drives, scan.locale, scan.processes});
        QVERIFY(app.InitInstance(Open(path)));
        QVERIFY(ui.errors.empty());

        CMainFrame* frame = app.mainFrame();
        QCOMPARE(frame->windowTitle(), QString("Albums.plm - Plumet"));
        CPlumetView& view = frame->view();
        CatalogModel& model = view.catalogModel();
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);

        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), kAllColumnCount);
        QCOMPARE(model.index(1, 0).data().toString(), QString("Björk"));
        QCOMPARE(model.index(1, 1).data().toString(), QString("Jóga"));
        QCOMPARE(model.index(0, 5).data().toString(), QString("/music/a.mp3"));
        QCOMPARE(model.index(2, 3).data().toString(), QString());

        const QStringList headers{"Artist", "Track", "In Folder/Disk", "Size", "Modified", "Path"};
        // At 1280 px the cells have their own widths (Modified its whole text), Path the rest.
        frame->resize(1280, 700);
        frame->show();
        QApplication::processEvents();
        const QList<int> widths{130, 150, 120, 80,
                                std::max(110, view.headerColumns().MinimumWidth(kModified))};
        for (int column = 0; column < 6; ++column) {
            QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), headers[column]);
            if (column < 5) {
                QCOMPARE(view.horizontalHeader()->sectionSize(column), widths[column]);
            }
        }
        QVERIFY(view.horizontalHeader()->sectionSize(kPath) > 320);
        for (int column = kColumnCount; column < kAllColumnCount; ++column) {
            QVERIFY(view.isColumnHidden(column));  // the fields wait to be asked for
        }
        QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view.selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(view.palette().color(QPalette::Base), QColor(208, 220, 230));
        QCOMPARE(view.font().pointSize(), 9);
        QCOMPARE(view.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    }

    void startsEmptyAndUntitledWithoutArguments() {
        PosixFiles files;
        ScriptedUserInterface ui;
        MemoryProfile profile;
        RecordingShell shell;
        PlatformServices scan;
        CPlumetApp app(
            {files, ui, profile, shell, scan.folders, scan.drives, scan.locale, scan.processes});
        QVERIFY(app.InitInstance(CommandLine::Parse({})));
        QCOMPARE(app.mainFrame()->windowTitle(), QString("Untitled - Plumet"));
        QCOMPARE(app.mainFrame()->view().model()->rowCount(), 0);
    }

    void refusesAMissingCatalogWithItsName() {
        QTemporaryDir folder;
        const QString path = folder.filePath("gone.plm");
        PosixFiles files;
        ScriptedUserInterface ui;
        MemoryProfile profile;
        RecordingShell shell;
        PlatformServices scan;
        CPlumetApp app(
            {files, ui, profile, shell, scan.folders, scan.drives, scan.locale, scan.processes});
        QVERIFY(!app.InitInstance(Open(path)));
        QVERIFY(app.mainFrame() == nullptr);
        QCOMPARE(ui.errors.size(), size_t(1));
        QCOMPARE(QString::fromStdString(ui.errors[0]), path + " was not found.");
    }

    // Every store change must reach Qt as a consistent model change.
    void modelFollowsEveryStoreChange() {
        CatalogList list;
        CatalogView shown(list);
        CatalogModel model(shown);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        CPlumetView view(model);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);

        list.ReplaceRows({Row("c", "3", "/c"), Row("a", "1", "/a"), Row("b", "2", "/b")});
        QCOMPARE(resets.count(), 1);
        list.AppendRows({Row("d", "4", "/d"), Row("e", "5", "/e")});
        QCOMPARE(inserts.count(), 1);
        QCOMPARE(model.rowCount(), 5);
        list.InsertRow(0, "first");
        list.SetCell(0, kPath, "/first");
        QCOMPARE(model.index(0, 5).data().toString(), QString("/first"));
        list.RemoveRow(1);

        // Selection follows its row through a sort.
        view.selectRow(list.RowCount() - 1);  // "e"
        list.SortRows([](const CatalogRow& a, const CatalogRow& b) {
            return a.Cell(kArtist).compare(b.Cell(kArtist));
        });
        QCOMPARE(model.index(0, 0).data().toString(), QString("a"));
        QCOMPARE(view.SelectedRows(), std::vector<int>{3});
        QCOMPARE(model.index(3, 0).data().toString(), QString("e"));

        list.ClearRows();
        QCOMPARE(model.rowCount(), 0);

        // Narrowed and widened at random while rows come, change and go: every step reaches
        // Qt consistently, and the model shows exactly the view's rows.
        std::mt19937 random(11);
        const auto pick = [&random](int count) { return static_cast<int>(random() % count); };
        for (int step = 0; step < 400; ++step) {
            const int rows = shown.RowCount();
            switch (pick(8)) {
                case 0: {
                    std::vector<CatalogRow> more;
                    for (int i = pick(40); i >= 0; --i) {
                        const std::string n = std::to_string(pick(6));
                        more.push_back(Row("a" + n, n, "/" + n));
                    }
                    list.AppendRows(std::move(more));
                    break;
                }
                case 1:
                    if (rows > 0) {
                        const std::string key(shown.CellText(pick(rows), kTrack));
                        shown.Narrow(
                            [key](const CatalogRow& row) { return row.Cell(kTrack) == key; });
                    }
                    break;
                case 2:
                    shown.ShowAll();
                    break;
                case 3:
                    shown.Sort(pick(kColumnCount), pick(2) == 0);
                    break;
                case 4:
                case 5: {
                    std::vector<int> selected;
                    for (int row = 0; row < rows; ++row) {
                        if (pick(4) == 0) {
                            selected.push_back(row);
                        }
                    }
                    shown.RemoveRows(RowSelection(selected));
                    break;
                }
                case 6:
                    if (rows > 0) {
                        shown.SetCell(pick(rows), pick(kColumnCount), std::to_string(pick(6)));
                    }
                    break;
                default:
                    list.InsertRow(pick(list.RowCount() + 1), "x");
                    break;
            }
            QCOMPARE(model.rowCount(), shown.RowCount());
            for (int row = 0; row < shown.RowCount(); ++row) {
                QCOMPARE(model.index(row, kPath).data().toString(),
                         QString::fromStdString(std::string(shown.CellText(row, kPath))));
            }
        }
    }

    void showsBytesThatAreNotUtf8AsLatin1() {
        CatalogList list;
        CatalogView shown(list);
        CatalogModel model(shown);
        list.AppendRows({CatalogRow(RowCells{"Mot\xF6rhead", "", "", "", "", ""})});
        QCOMPARE(model.index(0, 0).data().toString(), QString::fromLatin1("Mot\xF6rhead"));
    }

    void toolTipOnlyForCutOffCells() {
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 60, 18);
        QVERIFY(CellToolTipDelegate::IsCutOff(option, QString(200, QChar('W'))));
        QVERIFY(!CellToolTipDelegate::IsCutOff(option, "a"));
    }

    void settingsLiveUnderTheSettingsRoot() {
        QSettingsProfile profile;
        QVERIFY2(profile.FileName().endsWith("/Tavisk/Plumet.conf"),
                 qPrintable(profile.FileName()));
        // Test mode moves it below HOME, which the tests point at the build tree.
        QVERIFY(profile.FileName().startsWith(qEnvironmentVariable("HOME") + "/"));
        const std::string latin1Path = "/music/Mot\xF6rhead.plm";
        profile.WriteString("Recent File List", "File1", latin1Path);
        profile.WriteString("Recent File List", "File2", "/music/Björk.plm");
        profile.WriteInt("Settings", "Auto_Open", 1);
        QSettingsProfile reread;
        QCOMPARE(reread.GetString("Recent File List", "File1", ""), latin1Path);
        QCOMPARE(reread.GetString("Recent File List", "File2", ""),
                 std::string("/music/Björk.plm"));
        QCOMPARE(reread.GetInt("Settings", "Auto_Open", 0), 1);
        QCOMPARE(reread.GetInt("Settings", "Missing", 7), 7);
        reread.RemoveAll();
        QCOMPARE(QSettingsProfile().GetInt("Settings", "Auto_Open", 0), 0);
    }

private:
    static void WriteCatalog(const QString& path, std::vector<CatalogRow> rows) {
        CatalogList list;
        list.AppendRows(std::move(rows));
        PosixFiles files;
        const Result saved = files.ReplaceFile(path.toStdString(), [&list](ByteSink& sink) {
            return CatalogFile::StoreCatalog(list, sink);
        });
        QVERIFY2(saved.ok(), saved.error().c_str());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
