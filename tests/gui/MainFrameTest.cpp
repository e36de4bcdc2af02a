#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CommandActions.h"
#include "PosixFiles.h"
#include "catalog/CatalogFile.h"
#include "commands/CommandId.h"
#include "frame/WindowPlacement.h"
#include "support/FakeServices.h"
#include "support/PlatformServices.h"

namespace {

CommandLine Open(const QString& path) {
    return CommandLine::Parse({path.toStdString()});
}

QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            texts << "-";
        } else if (action->isVisible()) {
            QString text = action->text();
            if (!action->shortcut().isEmpty()) {
                text += '\t' + action->shortcut().toString();
            }
            texts << text;
        }
    }
    return texts;
}

}  // namespace

// The main window driven by command ids, as a user's menus, toolbar and keys drive it.
class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale::c());
        CPlumetApp::SetApplicationNames();
    }

    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        profile_ = MemoryProfile();
        ui_ = ScriptedUserInterface();
        shell_ = RecordingShell();
    }

    void menusToolbarAndStatusBar() {
        CPlumetApp app(Services());
        QVERIFY(app.InitInstance(CommandLine::Parse({})));
        CMainFrame& frame = *app.mainFrame();
        QCOMPARE(frame.windowTitle(), QString("Untitled - Plumet"));

        const QList<QAction*> menus = frame.menuBar()->actions();
        QCOMPARE(menus.size(), 5);
        QCOMPARE(menus[0]->text(), QString("&File"));
        QCOMPARE(MenuTexts(menus[0]->menu()),
                 QStringList({"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S",
                              "Save &As...\tCtrl+Shift+S", "&Merge", "&Export", "-", "Recent File",
                              "-", "E&xit\tCtrl+Q"}));
        QCOMPARE(menus[1]->text(), QString("&Edit"));
        QCOMPARE(MenuTexts(menus[1]->menu()),
                 QStringList({"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "&Find Track...\tCtrl+D",
                              "Find &Next\tF3", "&Search\tCtrl+K", "-", "Edit &Item...\tF2",
                              "Re&move From List\tDel", "-", "Select &All\tCtrl+A"}));
        QCOMPARE(menus[2]->text(), QString("&View"));
        QCOMPARE(MenuTexts(menus[2]->menu()),
                 QStringList({"&Toolbar", "&Status Bar", "&Open Last File"}));
        QCOMPARE(menus[3]->text(), QString("&Tools"));
        QCOMPARE(MenuTexts(menus[3]->menu()),
                 QStringList({"&Load from CD", "&Select Search Location", "&Update Folder...",
                              "&Cancel Search", "&Filter on Folder/Disk\tCtrl+F",
                              "Find &Duplicates...", "Stat&istics", "Random Play\tCtrl+R", "-",
                              "Read &Tags", "File &Names..."}));
        QCOMPARE(menus[4]->text(), QString("&Help"));
        QCOMPARE(MenuTexts(menus[4]->menu()),
                 QStringList({"Program Website", "&Make a Donation", "-", "&About Plumet..."}));

        auto* toolBar = frame.findChild<QToolBar*>();
        QVERIFY(toolBar);
        QList<int> buttons;
        for (const QAction* action : toolBar->actions()) {
            buttons << (action->isSeparator() ? 0 : action->data().toInt());
        }
        QCOMPARE(buttons,
                 QList<int>({kFileNew, kFileOpen, kFileSave, 0, kEditUndo, kEditRedo, 0,
                             kLoadFromCD, kSelectSearchLocation, kCancelSearch, kFilterOnFolderDisk,
                             0, kRandomPlay, 0, kProgramWebsite, 0, kAppAbout, 0, kSearch}));
        QCOMPARE(frame.commands().Action(kFileNew)->statusTip(), QString("Create a new document"));
        QCOMPARE(frame.commands().Action(kSelectSearchLocation)->toolTip(),
                 QString("Select search location - Creates a new list"));

        QCOMPARE(frame.MessageText(), QString("Ready"));
        QCOMPARE(frame.playerPane().text(), QString());
        QVERIFY(frame.playerPane().maximumWidth() > 300);

        // View > Toolbar hides and shows the bar, with its check mark.
        QVERIFY(frame.commands().Action(kViewToolbar)->isChecked());
        QVERIFY(frame.SendCommand(kViewToolbar));
        QVERIFY(toolBar->isHidden());
        QVERIFY(!frame.commands().Action(kViewToolbar)->isChecked());
        QVERIFY(frame.SendCommand(kViewStatusBar));
        QVERIFY(!frame.commands().Action(kViewStatusBar)->isChecked());
    }

    void recentFilesShowInTheMenuAndAreWrittenAtExit() {
        const QString first = WriteCatalog("first.plm", 2);
        const QString second = WriteCatalog("second.plm", 3);
        profile_.WriteString("Recent File List", "File1", first.toStdString());
        CPlumetApp app(Services());
        QVERIFY(app.InitInstance(Open(second)));
        CMainFrame& frame = *app.mainFrame();
        QCOMPARE(frame.windowTitle(), QString("second.plm - Plumet"));
        frame.UpdateCommandStates();
        const QMenu* file = frame.menuBar()->actions()[0]->menu();
        const QStringList texts = MenuTexts(file);
        QVERIFY2(texts[7].startsWith("&1 ") && texts[7].endsWith("second.plm"),
                 qPrintable(texts.join('|')));
        QVERIFY(texts[8].startsWith("&2 ") && texts[8].endsWith("first.plm"));

        QVERIFY(frame.SendCommand(kFileMruFirst + 1));
        QCOMPARE(frame.windowTitle(), QString("first.plm - Plumet"));
        QCOMPARE(app.list().RowCount(), 2);
        app.ExitInstance();
        QCOMPARE(QString::fromStdString(profile_.values["Recent File List/File1"]), first);
        QCOMPARE(QString::fromStdString(profile_.values["Recent File List/File2"]), second);
    }

    void closingWritesSettingsBeforeTheSaveQuestion() {
        CPlumetApp app(Services());
        QVERIFY(app.InitInstance(CommandLine::Parse({})));
        CMainFrame& frame = *app.mainFrame();
        app.list().InsertRow(0, "scanned");
        app.document().SetModified(true);
        ui_.answers = {SaveAnswer::Cancel};
        QVERIFY(frame.SendCommand(kOpenLastFile));
        QVERIFY(!frame.close());
        QVERIFY(frame.isVisible());
        QCOMPARE(ui_.questions, std::vector<std::string>{"Save changes to Untitled?"});
        QCOMPARE(profile_.values["Settings/Auto_Open"], std::string("1"));
        QVERIFY(WindowPlacement::Parse(profile_.values["Settings/WindowPos"]));

        ui_.answers = {SaveAnswer::No};
        QVERIFY(frame.close());
    }

    void autoOpenOpensTheFirstRecentFileOnce() {
        const QString path = WriteCatalog("last.plm", 4);
        profile_.WriteInt("Settings", "Auto_Open", 7);  // any non-zero value is on
        profile_.WriteString("Recent File List", "File1", path.toStdString());
        CPlumetApp app(Services());
        QVERIFY(app.InitInstance(CommandLine::Parse({})));
        CMainFrame& frame = *app.mainFrame();
        QCOMPARE(app.list().RowCount(), 0);
        QTRY_COMPARE(frame.windowTitle(), QString("last.plm - Plumet"));
        QCOMPARE(app.list().RowCount(), 4);
        QVERIFY(frame.commands().Action(kOpenLastFile)->isChecked());
        QVERIFY(frame.SendCommand(kOpenLastFile));  // 7 -> off
        frame.SaveSettings();
        QCOMPARE(profile_.values["Settings/Auto_Open"], std::string("0"));
    }

    void autoOpenWithNoRecentFileOpensNothing() {
        profile_.WriteInt("Settings", "Auto_Open", 1);
        CPlumetApp app(Services());
        QVERIFY(app.InitInstance(CommandLine::Parse({})));
        QTest::qWait(20);
        QCOMPARE(app.mainFrame()->windowTitle(), QString("Untitled - Plumet"));
        QVERIFY(ui_.errors.empty());
    }

    void windowPlacementRoundTrips() {
        {
            CPlumetApp app(Services());
            QVERIFY(app.InitInstance(CommandLine::Parse({})));
            CMainFrame& frame = *app.mainFrame();
            frame.setGeometry(40, 50, 600, 400);
            frame.SaveSettings();
        }
        const std::optional<WindowPlacement> normal =
            WindowPlacement::Parse(profile_.values["Settings/WindowPos"]);
        QVERIFY(normal);
        QCOMPARE(normal->showCommand, 1u);
        QCOMPARE(normal->Width(), 600);
        {
            CPlumetApp app(Services());
            QVERIFY(app.InitInstance(CommandLine::Parse({})));
            CMainFrame& frame = *app.mainFrame();
            QCOMPARE(frame.geometry(), QRect(40, 50, 600, 400));
            frame.showMaximized();
            frame.SaveSettings();
        }
        const std::optional<WindowPlacement> maximized =
            WindowPlacement::Parse(profile_.values["Settings/WindowPos"]);
        QVERIFY(maximized);
        QCOMPARE(maximized->showCommand, 3u);
        {
            CPlumetApp app(Services());
            QVERIFY(app.InitInstance(CommandLine::Parse({})));
            QVERIFY(app.mainFrame()->windowState() & Qt::WindowMaximized);
            QCOMPARE(app.mainFrame()->normalGeometry().size(), QSize(600, 400));
        }
        // Off every screen, or short of numbers: the first-start size instead.
        for (const char* stored : {"0,1,-1,-1,-1,-1,90000,90000,90600,90400", "0,1,2,3"}) {
            profile_.WriteString("Settings", "WindowPos", stored);
            CPlumetApp app(Services());
            QVERIFY(app.InitInstance(CommandLine::Parse({})));
            const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
            QCOMPARE(app.mainFrame()->size(), screen * 7 / 10);
        }
    }

    void droppedFilesOpenInTurnAndTheLastStays() {
        const QString first = WriteCatalog("first.plm", 1);
        const QString second = WriteCatalog("second.plm", 2);
        CPlumetApp app(Services());
        QVERIFY(app.InitInstance(CommandLine::Parse({})));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
        // Qt delivers a drop only to the widget the drag entered.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(app.mainFrame(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(app.mainFrame(), &drop);
        QCOMPARE(app.mainFrame()->windowTitle(), QString("second.plm - Plumet"));
        QCOMPARE(app.list().RowCount(), 2);
        QCOMPARE(app.recentFiles().Count(), 2);
    }

    void disabledCommandsDoNothing() {
        CPlumetApp app(Services());
        QVERIFY(app.InitInstance(CommandLine::Parse({})));
        QVERIFY(!app.mainFrame()->SendCommand(kFilterOnName));  // never handled
        QVERIFY(!app.mainFrame()->SendCommand(12345));
    }

    void helpCommandsOpenTheProgramPages() {
        CPlumetApp app(Services());
        QVERIFY(app.InitInstance(CommandLine::Parse({})));
        QVERIFY(app.mainFrame()->SendCommand(kProgramWebsite));
        QCOMPARE(shell_.opened.size(), size_t(1));
        QVERIFY(QString::fromStdString(shell_.opened[0]).startsWith("file:///"));
        QVERIFY(QString::fromStdString(shell_.opened[0]).endsWith("/guide.html"));
        shell_.succeed = false;
        QVERIFY(app.mainFrame()->SendCommand(kMakeDonation));
        QVERIFY(QString::fromStdString(shell_.opened[1]).endsWith("/guide.html#donate"));
        QCOMPARE(ui_.beeps, 1);
        QVERIFY(ui_.messages.empty() && ui_.errors.empty());
    }

private:
    CPlumetApp::Services Services() {
        return {files_,        ui_,          profile_,     shell_,
                scan_.folders, scan_.drives, scan_.locale, scan_.processes};
    }

    QString WriteCatalog(const QString& name, int rows) {
        CatalogList list;
        for (int row = 0; row < rows; ++row) {
            list.InsertRow(row, "artist " + std::to_string(row));
        }
        const QString path = folder_->filePath(name);
        files_.ReplaceFile(path.toStdString(), [&list](ByteSink& sink) {
            return CatalogFile::StoreCatalog(list, sink);
        });
        return path;
    }

    std::unique_ptr<QTemporaryDir> folder_;
    PosixFiles files_;
    ScriptedUserInterface ui_;
    PlatformServices scan_;
    MemoryProfile profile_;
    RecordingShell shell_;
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
