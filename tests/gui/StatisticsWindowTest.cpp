#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CStatisticsDlg.h"
#include "CatalogModel.h"
#include "PosixFiles.h"
#include "StatisticsChart.h"
#include "StatisticsTableModel.h"
#include "browse/CatalogStatistics.h"
#include "browse/StatisticsText.h"
#include "catalog/CatalogFile.h"
#include "commands/CommandId.h"
#include "support/FakeServices.h"
#include "support/GuiDriving.h"
#include "support/PlatformServices.h"

namespace {

struct Row {
    std::string artist, track, folder, size, album, length;
};

}  // namespace

// Tools > Statistics over a small catalog: the window opens from the menu, counts the rows
// shown, and follows a search, a filter and an edit while it stays open.
class StatisticsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CPlumetApp::SetApplicationNames(); }

    void init() {
        scan_.locale.separator = ",";
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
        QVERIFY(Open(list, "Albums.plm"));
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
        QTRY_VERIFY(!window->IsCounting());
        tester_ = std::make_unique<QAbstractItemModelTester>(
            &window->tableModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);

        // Names count as exact bytes: "abba" and "ABBA" are two artists.
        QCOMPARE(Totals(*window),
                 QStringList({"4", "4", "3", "3", "5.3 MB (5,568,901 bytes)", "0:11:12"}));
        QCOMPARE(Lines(*window),
                 QStringList({"CD1 2 5.3 MB 0:08:25 Yes", "CD2 1 999 bytes 0:02:47 Yes",
                              "R&B 1 12 bytes unknown Yes"}));
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
        QTRY_VERIFY(!window->IsCounting());
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

    // Thirty folders of long names, by thirty artists, with no albums and no lengths, in a
    // locale that groups digits with ".".
    void thirtyBarsReadAsNamesAndPlainNumbers() {
        app_.reset();
        scan_.locale.separator = ".";
        CatalogList list;
        std::vector<CatalogRow> rows;
        QStringList folders;
        for (int f = 0; f < 30; ++f) {
            folders << QString("/home/user/Music/Artist %1/Album with a long title number %1 (%2)")
                           .arg(f)
                           .arg(f % 2 ? "Remastered Deluxe Edition" : "Live");
            // Folder f has 1000 + f rows of 1,000,000 + f bytes: the last folder is largest.
            for (int r = 0; r < 1000 + f; ++r) {
                rows.emplace_back(RowCells{"Artist " + std::to_string(f), "t",
                                           folders.back().toStdString(),
                                           std::to_string(1'000'000 + f), "m", "p"});
            }
        }
        list.AppendRows(std::move(rows));
        QVERIFY(Open(list, "Thirty.plm"));
        CMainFrame& frame = *app_->mainFrame();
        ShowActive(frame);
        CStatisticsDlg* window = OpenFromToolsMenu(frame);
        QVERIFY(window != nullptr);
        QTRY_VERIFY(!window->IsCounting());

        QCOMPARE(window->TotalText("rows"), QString("30.435"));
        QCOMPARE(window->TotalText("albums"), QString("unknown"));
        QCOMPARE(window->TotalText("length"), QString("unknown"));
        QCOMPARE(window->tableModel().data(window->tableModel().index(0, 1)).toString(),
                 QString("1.029"));
        QCOMPARE(window->tableModel().data(window->tableModel().index(0, 3)).toString(),
                 QString("unknown"));

        // Largest first: folder 29 down to 16 by name, then the other 16 as one bar.
        std::uint64_t otherBytes = 0;
        int otherRows = 0;
        for (int f = 0; f < 16; ++f) {
            otherBytes += std::uint64_t(1000 + f) * (1'000'000 + f);
            otherRows += 1000 + f;
        }
        for (StatisticsChart* chart : {&window->folderChart(), &window->artistChart()}) {
            const bool byFolder = chart == &window->folderChart();
            QCOMPARE(chart->labels().size(), 15);
            QCOMPARE(chart->toolTips().size(), 15);
            for (int bar = 0; bar < 14; ++bar) {
                const int f = 29 - bar;
                const QString whole = byFolder ? folders[f] : QString("Artist %1").arg(f);
                QCOMPARE(chart->toolTips()[bar], whole);
                // The name, or its start and end around an ellipsis: never an ellipsis alone.
                // Names elided alike are told apart by zero width spaces.
                const QString label = QString(chart->labels()[bar]).remove(QChar(0x200B));
                const QString name = byFolder ? whole.section('/', -1) : whole;
                const qsizetype dots = label.indexOf(QChar(0x2026));
                if (dots < 0) {
                    QCOMPARE(label, name);
                } else {
                    QVERIFY2(dots >= 8 && label.size() - dots > 8, qPrintable(label));
                    QVERIFY(name.startsWith(label.left(dots)));
                    QVERIFY(name.endsWith(label.mid(dots + 1)));
                }
                const std::uint64_t bytes = std::uint64_t(1000 + f) * (1'000'000 + f);
                QCOMPARE(chart->valueTexts()[bar],
                         byFolder ? Scaled(bytes) : QString("1.0%1").arg(f));
            }
            QCOMPARE(chart->labels().back(), QString("Other"));
            QVERIFY(chart->toolTips().back().startsWith("The other 16 "));
            const QRegularExpression plain("^[0-9]{1,3}(\\.[0-9]{3})*(,[0-9])?$");
            for (const QString& text : chart->valueTexts()) {
                QVERIFY2(plain.match(text).hasMatch(), qPrintable(text));
            }
        }
        QCOMPARE(window->artistChart().valueTexts().back(), QString("16.120"));
        QCOMPARE(window->folderChart().valueTexts().back(), Scaled(otherBytes));
        QCOMPARE(otherRows, 16120);
    }

    // Counts started just before each change to the store, which stops them: the window ends
    // showing what the rows add up to, as a count on the window's thread finds.
    void changesWhileCountingLeaveTheLatestCount() {
        app_.reset();
        CatalogList list;
        std::vector<CatalogRow> rows;
        for (int i = 0; i < 60'000; ++i) {
            rows.emplace_back(RowCells{"Artist " + std::to_string(i % 97), "t",
                                       "CD" + std::to_string(i % 301), std::to_string(i), "m",
                                       "p"});
        }
        list.AppendRows(std::move(rows));
        QVERIFY(Open(list, "Changing.plm"));
        CMainFrame& frame = *app_->mainFrame();
        CStatisticsDlg* window = OpenFromToolsMenu(frame);
        QVERIFY(window != nullptr);
        CatalogList& store = app_->list();
        std::mt19937 random(7);
        for (int step = 0; step < 40; ++step) {
            window->Refresh();
            const int row = static_cast<int>(random() % std::uint32_t(store.RowCount()));
            switch (step % 4) {
                case 0:
                    store.SetCell(row, kFolderDisk, "New " + std::to_string(step));
                    break;
                case 1:
                    store.RemoveRows(std::vector<int>{row, row + 1});
                    break;
                case 2:
                    store.InsertRows(row,
                                     {CatalogRow(RowCells{"Late", "t", "CD1", "5", "m", "p"})});
                    break;
                default:
                    store.SortRows([](const CatalogRow& a, const CatalogRow& b) {
                        return a.Cell(kSize).size() < b.Cell(kSize).size() ? -1 : 0;
                    });
                    break;
            }
            QTest::qWait(static_cast<int>(random() % 3));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!window->IsCounting(), 20000);
        const CatalogStatistics expected =
            CatalogStatistics::Of(frame.view().catalogModel().view());
        QCOMPARE(window->TotalText("rows"),
                 QString::fromStdString(GroupedNumber(expected.rows, ",")));
        QCOMPARE(window->TotalText("artists"), QString::number(expected.artists));
        QCOMPARE(window->TotalText("folders"), QString::number(expected.folders));
        QCOMPARE(window->tableModel().rowCount(), expected.folders);
    }

private:
    // A size in the unit of the largest folder, 1,029 rows of 1,000,029 bytes.
    static QString Scaled(std::uint64_t bytes) {
        return QString::fromStdString(ScaledText(bytes, ScaleFor(1029ULL * 1'000'029), "."));
    }

    bool Open(const CatalogList& list, const QString& name) {
        const std::string path = folder_->filePath(name).toStdString();
        if (!files_.ReplaceFile(
                path, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); })) {
            return false;
        }
        app_ = std::make_unique<CPlumetApp>(CPlumetApp::Services{files_, ui_, profile_, shell_,
                                                                 scan_.folders, scan_.drives,
                                                                 scan_.locale, scan_.processes});
        return app_->InitInstance(CommandLine::Parse({path}));
    }

    static CStatisticsDlg* OpenFromToolsMenu(CMainFrame& frame) {
        for (QAction* menu : frame.menuBar()->actions()) {
            if (menu->text() != "&Tools") {
                continue;
            }
            for (QAction* item : menu->menu()->actions()) {
                if (item->text() == "Stat&istics") {
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
