#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "CDuplicatesDlg.h"
#include "CEditItemDlg.h"
#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "CommandActions.h"
#include "PosixFiles.h"
#include "ScanStatus.h"
#include "commands/CommandId.h"
#include "support/FakeServices.h"
#include "support/GuiDriving.h"
#include "support/PlatformServices.h"

namespace {

// Lists real folders, waiting `delayMs` before each entry, so that a walk can outlast a test.
class SlowFolderReader : public FolderReader {
public:
    explicit SlowFolderReader(FolderReader& folders) : folders_(folders) {}

    std::unique_ptr<Listing> Open(const std::string& folder, std::error_code& error) override {
        std::unique_ptr<Listing> listing = folders_.Open(folder, error);
        return listing ? std::make_unique<SlowListing>(std::move(listing), delayMs) : nullptr;
    }

    std::atomic<int> delayMs{0};

private:
    class SlowListing : public Listing {
    public:
        SlowListing(std::unique_ptr<Listing> listing, const std::atomic<int>& delayMs)
            : listing_(std::move(listing)), delayMs_(delayMs) {}
        FolderIdentity Identity() const override { return listing_->Identity(); }
        bool Next(std::string_view& name, EntryKind& kind) override {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs_.load()));
            return listing_->Next(name, kind);
        }
        std::optional<FileFacts> Facts() override { return listing_->Facts(); }
        std::string Cause() const override { return listing_->Cause(); }
        bool OnPseudoFileSystem() const override { return listing_->OnPseudoFileSystem(); }

    private:
        std::unique_ptr<Listing> listing_;
        const std::atomic<int>& delayMs_;
    };

    FolderReader& folders_;
};

}  // namespace

// Scans started from the window: rows arrive in the model in batches while the status bar
// shows the walk, and every way out of the window stops the worker first.
class ScanWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CPlumetApp::SetApplicationNames(); }

    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        ui_ = ScriptedUserInterface();
        slow_.delayMs = 0;
        for (int album = 0; album < 30; ++album) {
            for (int track = 0; track < 30; ++track) {
                Write(QString("Music/Album %1/Artist - Track %2.mp3").arg(album).arg(track));
            }
            Write(QString("Music/Album %1/cover.jpg").arg(album));
        }
        app_ = std::make_unique<CPlumetApp>(CPlumetApp::Services{
            files_, ui_, profile_, shell_, slow_, scan_.drives, scan_.locale, scan_.processes});
        QVERIFY(app_->InitInstance(CommandLine::Parse({})));
    }

    void cleanup() { app_.reset(); }

    void scanFillsTheModelAndShowsTheWalk() {
        CMainFrame& frame = *app_->mainFrame();
        CatalogModel& model = frame.view().catalogModel();
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(!frame.commands().Action(kCancelSearch)->isEnabled());
        auto* busy = frame.statusBar()->findChild<QProgressBar*>();
        QVERIFY(busy != nullptr);

        QSignalSpy ended(&frame.scanStatus(), &ScanStatus::ScanEnded);
        ui_.folderChoices = {Bytes("Music")};
        QVERIFY(frame.SendCommand(kSelectSearchLocation));
        QCOMPARE(ui_.folderTitles, (std::vector<std::string>{"Select a Starting Directory"}));
        QVERIFY(frame.commands().Action(kCancelSearch)->isEnabled());
        QVERIFY(busy->isVisibleTo(&frame));
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);

        QCOMPARE(model.rowCount(), 900);
        QCOMPARE(frame.MessageText(), QString("900 items"));
        QVERIFY(!busy->isVisibleTo(&frame));
        QVERIFY(!frame.commands().Action(kCancelSearch)->isEnabled());
        QVERIFY(app_->document().modified());
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString("Artist"));
    }

    void commandsByIdOnlyAndTheExtensionsDialog() {
        CMainFrame& frame = *app_->mainFrame();
        for (int id : {kFindAudioFiles, kFindVideoFiles, kCustomizeExtensions}) {
            QVERIFY(frame.commands().Action(id)->associatedObjects().size() <= 1);
        }
        QTimer::singleShot(0, [] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                QCOMPARE(dialog->windowTitle(), QString("File Extensions"));
                dialog->close();
            }
        });
        QVERIFY(frame.SendCommand(kCustomizeExtensions));
    }

    void leavingMidScanStopsTheWalkAndKeepsItsRows() {
        CMainFrame& frame = *app_->mainFrame();
        ui_.folderChoices = {Bytes("Music")};
        QVERIFY(frame.SendCommand(kSelectSearchLocation));
        QVERIFY(frame.SendCommand(kCancelSearch));
        QVERIFY(!frame.commands().Action(kCancelSearch)->isEnabled());
        const int found = frame.view().catalogModel().rowCount();
        QVERIFY(found <= 900);
        // Said until the next command, whatever the stopped walk still brings in.
        const auto cancelled = [&frame] {
            return QString("Search cancelled: %1 items")
                .arg(frame.view().catalogModel().view().store().RowCount());
        };
        QCOMPARE(frame.MessageText(), cancelled());
        QTest::qWait(3 * ScanStatus::kDrainIntervalMs);
        QCOMPARE(frame.MessageText(), cancelled());

        // New stops a walk, takes its rows in for the save question, then empties the list.
        QSignalSpy ended(&frame.scanStatus(), &ScanStatus::ScanEnded);
        ui_.folderChoices = {Bytes("Music"), Bytes("Music")};
        ui_.unscriptedAnswer = SaveAnswer::No;  // the scans replace the unsaved rows
        QVERIFY(frame.SendCommand(kSelectSearchLocation));
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
        QCOMPARE(frame.MessageText(), QString("900 items"));
        QVERIFY(frame.SendCommand(kSelectSearchLocation));
        ui_.questions.clear();
        QVERIFY(frame.SendCommand(kFileNew));
        // The scan left an untitled list: New asks only when the walk had found rows.
        QVERIFY(ui_.questions.size() <= 1);
        QCOMPARE(frame.view().catalogModel().rowCount(), 0);
        QTest::qWait(3 * ScanStatus::kDrainIntervalMs);
        QCOMPARE(frame.view().catalogModel().rowCount(), 0);  // nothing of the old walk

        // Closing the window mid-walk joins the worker before anything goes.
        ui_.folderChoices = {Bytes("Music")};
        QVERIFY(frame.SendCommand(kSelectSearchLocation));
        ui_.answers = {SaveAnswer::No};
        frame.close();
        app_.reset();
    }

    // Started without a catalog: from the first scan on, the commands follow the rows and the
    // selection, however they are sent, and the count follows rows found under a search.
    void commandsFollowTheRowsFromTheFirstScan() {
        CMainFrame& frame = *app_->mainFrame();
        ShowActive(frame);
        const CatalogModel& model = frame.view().catalogModel();
        QAction* filter = frame.commands().Action(kFilterOnFolderDisk);
        QAction* selectionExport = frame.commands().Action(kExportSelectionToPlaylist);
        auto* funnel = qobject_cast<QToolButton*>(
            frame.findChild<QToolBar*>("toolbar")->widgetForAction(filter));
        QVERIFY(funnel != nullptr);
        QVERIFY(!filter->isEnabled());  // nothing to filter yet

        slow_.delayMs = 1;
        QSignalSpy ended(&frame.scanStatus(), &ScanStatus::ScanEnded);
        ui_.folderChoices = {Bytes("Music")};
        QVERIFY(frame.SendCommand(kSelectSearchLocation));
        auto* box = frame.findChild<QLineEdit*>("searchBox");
        QTest::keyClicks(box, "nowhere");
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
        QCOMPARE(frame.MessageText(), QString("0 of 900 rows"));
        box->clear();
        QCOMPARE(frame.MessageText(), QString("900 items"));

        QVERIFY(filter->isEnabled());
        QVERIFY(!selectionExport->isEnabled());
        frame.view().setFocus();
        frame.view().selectRow(3);
        QVERIFY(selectionExport->isEnabled());
        QTest::keyClick(&frame.view(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(model.rowCount(), 30);  // the rows of one album
        QVERIFY(filter->isChecked());
        funnel->click();  // Show All
        QCOMPARE(model.rowCount(), 900);
        QVERIFY(!filter->isChecked());

        WhenShown([](QWidget* shown) {
            auto* dialog = qobject_cast<CDuplicatesDlg*>(shown);
            QVERIFY(dialog != nullptr);
            dialog->okButton().click();
        });
        QVERIFY(frame.SendCommand(kFindDuplicates));
        QCOMPARE(frame.MessageText(), QString("900 rows in 30 groups"));
        QVERIFY(filter->isEnabled() && filter->isChecked());
        funnel->click();  // Show All ends the groups
        QVERIFY(!model.view().grouped());
        QCOMPARE(frame.MessageText(), QString("900 items"));
    }

    void cancellingTheCloseLeavesTheWalkRunning() {
        CMainFrame& frame = *app_->mainFrame();
        const CatalogModel& model = frame.view().catalogModel();
        slow_.delayMs = 20;  // about 20 s for the whole tree
        ui_.folderChoices = {Bytes("Music")};
        QVERIFY(frame.SendCommand(kSelectSearchLocation));
        QTRY_VERIFY(model.rowCount() > 0);
        QVERIFY(app_->document().modified());  // by the rows found

        ui_.answers = {SaveAnswer::Cancel};
        QVERIFY(!frame.close());
        QCOMPARE(ui_.questions, std::vector<std::string>{"Save changes to Untitled?"});
        QVERIFY(app_->scan().scanRunning());
        const int found = model.rowCount();
        QTRY_VERIFY(model.rowCount() > found);

        ui_.answers = {SaveAnswer::No};
        QVERIFY(frame.close());
        QVERIFY(!app_->scan().scanRunning());
        const int kept = model.rowCount();
        QTest::qWait(3 * ScanStatus::kDrainIntervalMs);
        QCOMPARE(model.rowCount(), kept);
    }

    // A new album folder comes in at the end, a gone file leaves, and an Artist the user
    // typed survives its file changing; the question starts at the selected row's folder.
    void updateFolderBringsInANewAlbumAndKeepsAnEdit() {
        CMainFrame& frame = *app_->mainFrame();
        const CatalogModel& model = frame.view().catalogModel();
        QSignalSpy ended(&frame.scanStatus(), &ScanStatus::ScanEnded);
        ui_.folderChoices = {Bytes("Music")};
        QVERIFY(frame.SendCommand(kSelectSearchLocation));
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
        const int edited = RowOf(model, "Album 3/Artist - Track 4.mp3");
        const int gone = RowOf(model, "Album 5/Artist - Track 6.mp3");
        QVERIFY(edited >= 0 && gone >= 0);

        frame.view().selectRow(edited);
        WhenShown([](QWidget* shown) {
            auto* dialog = qobject_cast<CEditItemDlg*>(shown);
            QVERIFY(dialog != nullptr);
            dialog->saveToDiskBox().setChecked(false);
            dialog->artistEdit().selectAll();
            QTest::keyClicks(&dialog->artistEdit(), "Mine");
            dialog->okButton().click();
        });
        QVERIFY(frame.SendCommand(kEdit));
        QCOMPARE(model.data(model.index(edited, kArtist)).toString(), QString("Mine"));

        Write("Music/Album 3/Artist - Track 4.mp3", "longer now");
        QFile::remove(Path("Music/Album 5/Artist - Track 6.mp3"));
        Write("Music/New Album/Newcomer - Fresh.mp3");
        QSignalSpy updated(&frame.scanStatus(), &ScanStatus::UpdateEnded);
        ui_.folderChoices = {Bytes("Music")};
        QVERIFY(frame.SendCommand(kUpdateFolder));
        QCOMPARE(ui_.folderTitles.back(), std::string("Select the Folder to Update"));
        QCOMPARE(ui_.folderStarts.back(), Bytes("Music/Album 3"));
        QTRY_COMPARE_WITH_TIMEOUT(updated.count(), 1, 10000);

        QCOMPARE(frame.MessageText(),
                 QString("Updated \"%1\": 1 added, 1 removed, 1 changed.").arg(Path("Music")));
        QCOMPARE(model.rowCount(), 900);
        QCOMPARE(RowOf(model, "Album 5/Artist - Track 6.mp3"), -1);
        QCOMPARE(RowOf(model, "New Album/Newcomer - Fresh.mp3"), 899);
        QCOMPARE(model.data(model.index(899, kFolderDisk)).toString(), Path("Music/New Album"));
        const int changed = RowOf(model, "Album 3/Artist - Track 4.mp3");
        QCOMPARE(model.data(model.index(changed, kArtist)).toString(), QString("Mine"));
        QCOMPARE(model.data(model.index(changed, kSize)).toString(), QString("10"));
        QVERIFY(app_->document().modified());

        // Undo takes the whole Update back and leaves the edit before it; Redo makes it again.
        QVERIFY(frame.SendCommand(kEditUndo));
        QCOMPARE(model.rowCount(), 900);
        QVERIFY(RowOf(model, "Album 5/Artist - Track 6.mp3") >= 0);
        QCOMPARE(RowOf(model, "New Album/Newcomer - Fresh.mp3"), -1);
        const int before = RowOf(model, "Album 3/Artist - Track 4.mp3");
        QCOMPARE(model.data(model.index(before, kArtist)).toString(), QString("Mine"));
        QVERIFY(model.data(model.index(before, kSize)).toString() != QString("10"));
        QVERIFY(frame.SendCommand(kEditRedo));
        QCOMPARE(RowOf(model, "New Album/Newcomer - Fresh.mp3"), 899);
        QCOMPARE(RowOf(model, "Album 5/Artist - Track 6.mp3"), -1);

        QVERIFY(frame.SendCommand(kUpdateFolder));  // cancelled
        QVERIFY(!app_->scan().updating());
    }

private:
    // The row whose Path ends in `tail`; -1 when none does.
    static int RowOf(const CatalogModel& model, const QString& tail) {
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.data(model.index(row, kPath)).toString().endsWith("/" + tail)) {
                return row;
            }
        }
        return -1;
    }

    QString Path(const QString& relative) const { return folder_->filePath(relative); }
    std::string Bytes(const QString& relative) const { return Path(relative).toStdString(); }

    void Write(const QString& relative, const char* text = "x") const {
        const QString path = Path(relative);
        QDir().mkpath(QFileInfo(path).path());
        std::ofstream(path.toStdString()) << text;
    }

    std::unique_ptr<QTemporaryDir> folder_;
    PosixFiles files_;
    ScriptedUserInterface ui_;
    MemoryProfile profile_;
    RecordingShell shell_;
    PlatformServices scan_;
    SlowFolderReader slow_{scan_.folders};
    std::unique_ptr<CPlumetApp> app_;
};

QTEST_MAIN(ScanWindowTest)
#include "ScanWindowTest.moc"
