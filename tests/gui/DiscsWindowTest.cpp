// Discs that are not in the drive, in the window: their rows are greyed and counted, and
// playing one asks for its disc without blocking the window, then plays from wherever the
// disc comes back.

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "PosixFiles.h"
#include "catalog/CatalogFile.h"
#include "commands/CommandId.h"
#include "support/FakeServices.h"
#include "support/PlatformServices.h"

class DiscsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CPlumetApp::SetApplicationNames(); }

    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        const std::string root = folder_->path().toStdString();
        CatalogList list;
        const auto add = [&](const char* track, const char* label, const std::string& pieces,
                             const std::string& path) {
            const RowCells cells{"A", track, label, "1", "", path};
            list.AppendRows({CatalogRow(cells, pieces)});
        };
        add("One", "CD1", "volume=D1\tmount=/media/CD1", "/media/CD1/One.mp3");
        add("Two", "CD1", "volume=D1\tmount=/media/CD1", "/media/CD1/Two.mp3");
        add("Three", "CD2", "volume=D2\tmount=" + root, root + "/Three.mp3");
        add("Four", "Folder", "", root + "/Four.mp3");
        path_ = root + "/Discs.plm";
        QVERIFY(files_.ReplaceFile(
            path_, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); }));
        std::ofstream(root + "/One.mp3") << "x";
        mounts_.volumes = {{"D2", root, true}};
        app_ = std::make_unique<CPlumetApp>(
            CPlumetApp::Services{files_, ui_, profile_, shell_, scan_.folders, scan_.drives,
                                 scan_.locale, scan_.processes, nullptr, &mounts_});
        QVERIFY(app_->InitInstance(CommandLine::Parse({path_})));
        tester_ = std::make_unique<QAbstractItemModelTester>(
            &Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    void cleanup() {
        tester_.reset();
        app_.reset();
    }

    void rowsOfADiscThatIsAwayAreGreyedSaidAndCounted() {
        // Greyed, yet readable: the list's own grey, not the desktop's fainter disabled text.
        const QBrush grey(Model().awayColour());
        for (int row = 0; row < 4; ++row) {
            const bool away = row < 2;
            QCOMPARE(Model().data(Model().index(row, kTrack), Qt::ForegroundRole),
                     away ? QVariant(grey) : QVariant());
            QCOMPARE(Model().data(Model().index(row, kPath), Qt::ToolTipRole).toString(),
                     away ? QStringLiteral("On \"CD1\", which is not connected") : QString());
        }
        QLabel& pane = Frame().awayPane();
        QCOMPARE(pane.text(), QStringLiteral("2 not connected"));
        QVERIFY(!pane.isHidden());
        // The count is of the rows shown.
        Frame().view().selectRow(1);
        QVERIFY(Frame().SendCommand(kFilterOnFolderDisk));
        QCOMPARE(pane.text(), QStringLiteral("2 not connected"));
        QVERIFY(Frame().SendCommand(kFilterOnFolderDisk));
        Frame().view().selectRow(2);
        QVERIFY(Frame().SendCommand(kFilterOnFolderDisk));
        QVERIFY(pane.isHidden());
    }

    void playingARowAwayWaitsForItsDiscAndPlaysFromWhereItComes() {
        Frame().view().selectRow(0);
        QVERIFY(Frame().SendCommand(kPlay));
        QMessageBox* box = app_->discPrompt().box();
        QVERIFY(box != nullptr && box->isVisible());
        QCOMPARE(box->text(), QStringLiteral("Insert the disc \"CD1\" to play \"One\"."));
        QVERIFY(QApplication::activeModalWidget() == nullptr);  // the window stays usable
        QVERIFY(shell_.opened.empty());

        // Another disc comes first: still waiting.
        const std::string root = folder_->path().toStdString();
        mounts_.volumes.push_back({"D7", "/media/D7", true});
        app_->volumeFollower()->Refresh();
        QVERIFY(box->isVisible());

        mounts_.volumes.push_back({"D1", root, true});
        app_->volumeFollower()->Refresh();
        QTRY_VERIFY(app_->discPrompt().box() == nullptr);
        QCOMPARE(shell_.opened, std::vector<std::string>{root + "/One.mp3"});
        QVERIFY(Frame().awayPane().isHidden());
        QCOMPARE(Model().data(Model().index(0, kTrack), Qt::ForegroundRole), QVariant());

        // Cancelled: the disc that comes later plays nothing.
        mounts_.volumes.pop_back();
        app_->volumeFollower()->Refresh();
        QVERIFY(Frame().SendCommand(kPlay));
        QVERIFY(app_->discPrompt().box() != nullptr);
        app_->discPrompt().box()->button(QMessageBox::Cancel)->click();
        mounts_.volumes.push_back({"D1", root, true});
        app_->volumeFollower()->Refresh();
        QCOMPARE(shell_.opened.size(), std::size_t(1));
    }

    // Rows on two discs that are away: one question at a time, each with its Cancel. A
    // question belongs to its catalog: opening another one ends it, and the disc that comes
    // later adds nothing to the catalog open then.
    void questionsComeOneAtATimeAndEndWithTheirCatalog() {
        const std::string root = folder_->path().toStdString();
        const std::size_t played = shell_.opened.size();
        mounts_.volumes.clear();
        app_->volumeFollower()->Refresh();
        QCOMPARE(Frame().awayPane().text(), QStringLiteral("3 not connected"));
        Frame().view().selectRow(0);
        Frame().view().selectionModel()->select(
            Model().index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(Frame().SendCommand(kPlay));
        QCOMPARE(Question(), QStringLiteral("Insert the disc \"CD1\" to play \"One\"."));

        // An Update of the third row waits behind the question on screen.
        Frame().view().selectRow(2);
        QVERIFY(Frame().SendCommand(kUpdate));
        QCOMPARE(Question(), QStringLiteral("Insert the disc \"CD1\" to play \"One\"."));

        // The first disc comes: the Play asks for its second disc, behind the Update.
        mounts_.volumes = {{"D1", root, true}};
        app_->volumeFollower()->Refresh();
        QCOMPARE(Question(), QStringLiteral("Insert the disc \"CD2\" to update it."));
        app_->discPrompt().box()->button(QMessageBox::Cancel)->click();
        QCOMPARE(Question(), QStringLiteral("Insert the disc \"CD2\" to play \"Three\"."));
        QCOMPARE(shell_.opened.size(), played);

        Frame().view().selectRow(2);
        QVERIFY(Frame().SendCommand(kUpdate));
        CatalogList other;
        const RowCells cells{"B", "Other", "Shelf", "1", "", "/elsewhere/Other.mp3"};
        other.AppendRows({CatalogRow(cells)});
        const std::string otherPath = root + "/Other.plm";
        QVERIFY(files_.ReplaceFile(otherPath, [&other](ByteSink& sink) {
            return CatalogFile::StoreCatalog(other, sink);
        }));
        ui_.openChoices.push_back(otherPath);
        QVERIFY(Frame().SendCommand(kFileOpen));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(app_->discPrompt().box() == nullptr);
        QCOMPARE(app_->document().path(), otherPath);

        std::ofstream(root + "/Three.mp3") << "x";
        mounts_.volumes.push_back({"D2", root, true});
        app_->volumeFollower()->Refresh();
        QVERIFY(!app_->scan().scanRunning());
        QCOMPARE(app_->list().RowCount(), 1);
        QCOMPARE(shell_.opened.size(), played);
        QVERIFY(!app_->document().modified());
    }

private:
    // The question on screen, once the boxes that went are gone; empty for none.
    QString Question() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QMessageBox* box = app_->discPrompt().box();
        if (box == nullptr || !box->isVisible() || box->button(QMessageBox::Cancel) == nullptr) {
            return {};
        }
        return box->text();
    }

    CMainFrame& Frame() const { return *app_->mainFrame(); }
    CatalogModel& Model() const { return Frame().view().catalogModel(); }

    std::unique_ptr<QTemporaryDir> folder_;
    std::string path_;
    PosixFiles files_;
    ScriptedUserInterface ui_;
    MemoryProfile profile_;
    RecordingShell shell_;
    PlatformServices scan_;
    ListedMounts mounts_;
    std::unique_ptr<CPlumetApp> app_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

QTEST_MAIN(DiscsWindowTest)
#include "DiscsWindowTest.moc"
