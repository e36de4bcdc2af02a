#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "CommandActions.h"
#include "PosixFiles.h"
#include "ScanStatus.h"
#include "commands/CommandId.h"
#include "support/FakeServices.h"
#include "support/PlatformServices.h"

// Scans started from the window: rows arrive in the model in batches while the status bar
// shows the walk, and every way out of the window stops the worker first.
class ScanWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CPlumetApp::SetApplicationNames(); }

    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        ui_ = ScriptedUserInterface();
        for (int album = 0; album < 30; ++album) {
            for (int track = 0; track < 30; ++track) {
                Write(QString("Music/Album %1/Artist - Track %2.mp3").arg(album).arg(track));
            }
            Write(QString("Music/Album %1/cover.jpg").arg(album));
        }
        app_ = std::make_unique<CPlumetApp>(CPlumetApp::Services{files_, ui_, profile_, shell_,
                                                                 scan_.folders, scan_.drives,
                                                                 scan_.locale, scan_.processes});
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

        // New stops a walk, takes its rows in for the save question, then empties the list.
        QSignalSpy ended(&frame.scanStatus(), &ScanStatus::ScanEnded);
        ui_.folderChoices = {Bytes("Music"), Bytes("Music")};
        ui_.unscriptedAnswer = SaveAnswer::No;  // the scans replace the unsaved rows
        QVERIFY(frame.SendCommand(kSelectSearchLocation));
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 10000);
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

private:
    QString Path(const QString& relative) const { return folder_->filePath(relative); }
    std::string Bytes(const QString& relative) const { return Path(relative).toStdString(); }

    void Write(const QString& relative) const {
        const QString path = Path(relative);
        QDir().mkpath(QFileInfo(path).path());
        std::ofstream(path.toStdString()) << "x";
    }

    std::unique_ptr<QTemporaryDir> folder_;
    PosixFiles files_;
    ScriptedUserInterface ui_;
    MemoryProfile profile_;
    RecordingShell shell_;
    PlatformServices scan_;
    std::unique_ptr<CPlumetApp> app_;
};

QTEST_MAIN(ScanWindowTest)
#include "ScanWindowTest.moc"
