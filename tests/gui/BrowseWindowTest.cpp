#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "CDuplicatesDlg.h"
#include "CEditItemDlg.h"
#include "CFindTrackDlg.h"
#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "CommandActions.h"
#include "PosixFiles.h"
#include "ViewCommands.h"
#include "catalog/CatalogFile.h"
#include "commands/CommandId.h"
#include "support/FakeServices.h"
#include "support/GuiDriving.h"
#include "support/PlatformServices.h"

namespace {

struct Row {
    std::string artist, track, folder, size;
};

}  // namespace

// The list's commands in the window, under a model tester that checks every change the
// store reports to Qt.
class BrowseWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CPlumetApp::SetApplicationNames(); }

    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        ui_ = ScriptedUserInterface();
        CatalogList list;
        const std::vector<Row> rows{{"Björk", "Jóga", "CD1", "1,000,000"},
                                    {"abba", "Waterloo", "CD2", "999"},
                                    {"ABBA", "SOS", "CD1", "4,567,890"},
                                    {"Cream", "Crossroads", "R&B", "12"}};
        for (const Row& row : rows) {
            const int index = list.InsertRow(list.RowCount(), row.artist);
            list.SetCell(index, kTrack, row.track);
            list.SetCell(index, kFolderDisk, row.folder);
            list.SetCell(index, kSize, row.size);
            list.SetCell(index, kPath, "/music/" + row.track + ".mp3");
        }
        const std::string path = folder_->filePath("Albums.plm").toStdString();
        QVERIFY(files_.ReplaceFile(
            path, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); }));
        app_ = std::make_unique<CPlumetApp>(CPlumetApp::Services{files_, ui_, profile_, shell_,
                                                                 scan_.folders, scan_.drives,
                                                                 scan_.locale, scan_.processes});
        QVERIFY(app_->InitInstance(CommandLine::Parse({path})));
        tester_ = std::make_unique<QAbstractItemModelTester>(
            &Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    void cleanup() {
        tester_.reset();
        app_.reset();
    }

    void headerClicksSortBothWaysAndTheSelectionFollows() {
        CPlumetView& view = Frame().view();
        view.selectRow(2);  // ABBA
        view.horizontalHeader()->sectionClicked(kSize);
        QCOMPARE(Column(kSize), QStringList({"12", "999", "1,000,000", "4,567,890"}));
        QCOMPARE(view.horizontalHeader()->sortIndicatorSection(), int(kSize));
        QCOMPARE(view.horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        QCOMPARE(view.SelectedRows(), std::vector<int>{3});

        view.horizontalHeader()->sectionClicked(kArtist);  // the direction flips for any column
        QCOMPARE(Column(kArtist), QStringList({"Cream", "Björk", "abba", "ABBA"}));
        QCOMPARE(view.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QVERIFY(!app_->document().modified());
    }

    void filterNarrowsToTheSelectedFolderAndBack() {
        CMainFrame& frame = Frame();
        QAction* filter = frame.commands().Action(kFilterOnFolderDisk);
        frame.UpdateCommandStates();
        QVERIFY(filter->isEnabled());  // a catalog named on the command line was loaded
        QVERIFY(frame.SendCommand(kFilterOnFolderDisk));
        QCOMPARE(ui_.messages,
                 std::vector<std::string>{"Select an item in the list to use the filter function"});

        frame.view().selectRow(2);
        QVERIFY(frame.SendCommand(kFilterOnFolderDisk));
        QCOMPARE(Column(kArtist), QStringList({"Björk", "ABBA"}));
        QVERIFY(filter->isChecked());
        QVERIFY(frame.SendCommand(kFilterOnArtist));  // any filter command shows all
        QCOMPARE(Column(kArtist), QStringList({"Björk", "abba", "ABBA", "Cream"}));
        QVERIFY(!filter->isChecked());
    }

    void contextMenuFollowsTheSelectionAndRunsItsCommands() {
        CPlumetView& view = Frame().view();
        view.selectRow(3);
        QStringList labels;
        bool playlistEnabled = false;
        WhenShown([&labels, &playlistEnabled](QWidget* popup) {
            for (const QAction* action : popup->actions()) {
                labels << action->text();
            }
            playlistEnabled = popup->actions().back()->isEnabled();
            popup->close();
        });
        Frame().viewCommands().ShowContextMenu(QPoint(4, 4));
        QCOMPARE(labels, QStringList({"Filter On R&&B", "Filter On Artist", "Edit",
                                      "Remove From List", "Re-read &Names and Tags", "&Update",
                                      "Play", "Open Folder", "Export To &Playlist..."}));
        QVERIFY(playlistEnabled);  // the row selected since the last command counts

        view.selectAll();
        labels.clear();
        WhenShown([&labels](QWidget* popup) {
            for (QAction* action : popup->actions()) {
                labels << action->text();
            }
            popup->actions()[0]->trigger();  // "Filter On Artist", keyed on the last row
            popup->close();
        });
        Frame().viewCommands().ShowContextMenu(QPoint(4, 4));
        QCOMPARE(labels.mid(0, 3),
                 QStringList({"Filter On Artist", "Edit Folder Name", "Edit Artist Name"}));
        QCOMPARE(Column(kArtist), QStringList({"Cream"}));
    }

    void removeAndFindWorkOnTheSelection() {
        CMainFrame& frame = Frame();
        frame.view().selectRow(1);
        QVERIFY(frame.SendCommand(kRemoveFromList));
        QCOMPARE(Column(kArtist), QStringList({"Björk", "ABBA", "Cream"}));
        QVERIFY(app_->document().modified());

        frame.view().selectRow(0);
        WhenShown([](QWidget* dialog) {
            QTest::keyClicks(dialog->focusWidget(), "cross");
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        });
        QVERIFY(frame.SendCommand(kFindTrack));
        QCOMPARE(frame.view().SelectedRows(), std::vector<int>{2});

        WhenShown([](QWidget* dialog) {
            QTest::keyClicks(dialog->focusWidget(), "nowhere");
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        });
        QVERIFY(frame.SendCommand(kFindTrack));
        QCOMPARE(ui_.errors, std::vector<std::string>{"Unable to find the folder"});
        QCOMPARE(frame.view().SelectedRows(), std::vector<int>{2});
    }

    void editRenamesTheFileOnDiskAndCancelChangesNothing() {
        CMainFrame& frame = Frame();
        CatalogList& list = app_->list();
        const std::string old = folder_->filePath("old.mp3").toStdString();
        std::ofstream(old) << "x";
        list.SetCell(0, kPath, old);
        frame.view().selectRow(0);

        WhenShown([](QWidget* shown) {
            auto* dialog = qobject_cast<CEditItemDlg*>(shown);
            QVERIFY(dialog != nullptr);
            QTest::keyClicks(&dialog->artistEdit(), "Anything");
            dialog->reject();
        });
        QVERIFY(frame.SendCommand(kEdit));
        QCOMPARE(Column(kArtist)[0], QString("Björk"));

        WhenShown([](QWidget* shown) {
            auto* dialog = qobject_cast<CEditItemDlg*>(shown);
            QVERIFY(dialog->saveToDiskBox().isChecked());
            for (auto [edit, text] : {std::pair{&dialog->artistEdit(), "New"},
                                      std::pair{&dialog->trackEdit(), "Song"}}) {
                edit->selectAll();
                QTest::keyClicks(edit, text);
            }
            dialog->okButton().click();
        });
        QVERIFY(frame.SendCommand(kEdit));
        const QString renamed = folder_->filePath("New - Song.mp3");
        QCOMPARE(Model().data(Model().index(0, kPath)).toString(), renamed);
        QVERIFY(QFile::exists(renamed) && !QFile::exists(QString::fromStdString(old)));
        QCOMPARE(Column(kTrack)[0], QString("Song"));
        QVERIFY(app_->document().modified());
        QCOMPARE(frame.windowTitle(), QString("Albums.plm - Plumet"));
    }

    void playbackWritesThePlayerPaneAndExportOpensThePage() {
        CMainFrame& frame = Frame();
        frame.view().selectRow(1);
        frame.view().doubleClicked(Model().index(1, 0));
        QCOMPARE(frame.playerPane().text(), QString("Waterloo"));
        QCOMPARE(ui_.messages, std::vector<std::string>{"Could not find the file"});

        QVERIFY(frame.SendCommand(kRandomPlay));
        QVERIFY(frame.playerPane().text().startsWith(' '));
        QVERIFY(frame.playerPane().text().contains(" - "));

        QVERIFY(frame.SendCommand(kExportToHtml));
        const QString page = folder_->filePath("Albums.html");
        QVERIFY(QFile::exists(page));
        QCOMPARE(QString::fromStdString(shell_.opened.back()), page);
    }

    // File > Export holds the four exports; CSV writes the rows the search keeps, in the order
    // the list shows them, and a failed write leaves the earlier file and the window as they were.
    void exportWritesTheRowsShownInTheirOrder() {
        CMainFrame& frame = Frame();
        QMenu* exportMenu = nullptr;
        for (QAction* action : frame.menuBar()->actions()[0]->menu()->actions()) {
            if (action->text() == "&Export") {
                exportMenu = action->menu();
            }
        }
        QVERIFY(exportMenu != nullptr);
        QStringList texts;
        for (const QAction* action : exportMenu->actions()) {
            texts << action->text();
        }
        QCOMPARE(texts, QStringList({"&Export To HTML", "Export To &CSV...",
                                     "Export To &Playlist...", "Export &Searchable Page..."}));

        frame.view().horizontalHeader()->sectionClicked(kSize);   // 12, 999, 1,000,000, ...
        frame.findChild<QLineEdit*>("searchBox")->setText("cd");  // all but Cream's
        QCOMPARE(Column(kTrack), QStringList({"Waterloo", "Jóga", "SOS"}));
        const QString csv = folder_->filePath("Albums.csv");
        ui_.saveChoices.push_back(csv.toStdString());
        QVERIFY(frame.SendCommand(kExportToCsv));
        QCOMPARE(QString::fromStdString(ui_.dialogs.back().proposedPath), csv);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        file.close();
        const QList<QByteArray> lines = written.split('\n');
        QCOMPARE(lines.size(), 5);  // the header, three rows, and nothing after the last CR LF
        QVERIFY(lines[1].startsWith("abba,Waterloo,CD2,999,,/music/Waterloo.mp3"));
        QVERIFY(lines[2].startsWith("Björk,Jóga,CD1,1000000,"));
        QVERIFY(lines[3].startsWith("ABBA,SOS,CD1,4567890,"));

        std::ofstream(folder_->filePath("plain").toStdString()) << "a file, not a folder";
        const std::string below = folder_->filePath("plain/Albums.csv").toStdString();
        ui_.saveChoices.push_back(below);
        QVERIFY(frame.SendCommand(kExportToCsv));
        QCOMPARE(ui_.errors, std::vector<std::string>{below + " contains an invalid path."});
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), written);
        QCOMPARE(Column(kTrack), QStringList({"Waterloo", "Jóga", "SOS"}));
        QVERIFY(!app_->document().modified());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void whatIsDoneWhileFilteredStaysInTheCatalog() {
        CMainFrame& frame = Frame();
        frame.view().selectRow(2);  // ABBA on CD1
        QVERIFY(frame.SendCommand(kFilterOnFolderDisk));
        QCOMPARE(Column(kArtist), QStringList({"Björk", "ABBA"}));
        QCOMPARE(frame.MessageText(), QString("2 items"));
        frame.view().selectRow(1);
        QVERIFY(frame.SendCommand(kRemoveFromList));
        frame.view().selectRow(0);
        WhenShown([](QWidget* shown) {
            auto* dialog = qobject_cast<CEditItemDlg*>(shown);
            dialog->artistEdit().selectAll();
            QTest::keyClicks(&dialog->artistEdit(), "Bjork");
            dialog->okButton().click();
        });
        QVERIFY(frame.SendCommand(kEdit));
        QCOMPARE(frame.MessageText(), QString("1 items"));

        QVERIFY(frame.SendCommand(kFilterOnFolderDisk));  // Show All
        QCOMPARE(Column(kArtist), QStringList({"Bjork", "abba", "Cream"}));
        QCOMPARE(frame.MessageText(), QString("3 items"));
        QVERIFY(app_->document().modified());
        QVERIFY(frame.SendCommand(kFileSave));
        CatalogList saved;
        Files::OpenedFile opened;
        QVERIFY(files_.OpenForReading(app_->document().path(), opened));
        QVERIFY(CatalogFile::LoadCatalog(saved, *opened.source, true));
        QCOMPARE(saved.RowCount(), 3);
        QCOMPARE(saved.CellText(0, kArtist), std::string_view("Bjork"));
    }

    // A disc row's In Folder/Disk is its label; an OK that changed no name renames nothing,
    // although "Save to Disk" starts checked.
    void openFolderAndAnUnchangedEditFollowThePath() {
        CMainFrame& frame = Frame();
        const std::string file = folder_->filePath("04 - Allegro.ogg").toStdString();
        std::ofstream(file) << "x";
        app_->list().SetCell(0, kPath, file);
        frame.view().selectRow(0);
        QVERIFY(frame.SendCommand(kOpenFolder));
        QCOMPARE(QString::fromStdString(shell_.opened.back()), folder_->path());

        WhenShown([](QWidget* shown) {
            auto* dialog = qobject_cast<CEditItemDlg*>(shown);
            QVERIFY(dialog->saveToDiskBox().isChecked());
            dialog->okButton().click();
        });
        QVERIFY(frame.SendCommand(kEdit));
        QVERIFY(QFile::exists(QString::fromStdString(file)));
        QCOMPARE(Column(kPath)[0], QString::fromStdString(file));
        QVERIFY(!app_->document().modified());
    }

    void theCountAndTheSortArrowFollowTheRowsShown() {
        CMainFrame& frame = Frame();
        QHeaderView* header = frame.view().horizontalHeader();
        header->sectionClicked(kArtist);
        QVERIFY(header->isSortIndicatorShown());

        // Merged rows that keep the order keep the arrow; rows out of order take it away.
        CatalogList more;
        more.InsertRow(0, "Zappa");
        more.InsertRow(1, "Adele");
        const std::string morePath = folder_->filePath("More.plm").toStdString();
        QVERIFY(files_.ReplaceFile(
            morePath, [&more](ByteSink& sink) { return CatalogFile::StoreCatalog(more, sink); }));
        ui_.openChoices.push_back(morePath);
        QVERIFY(frame.SendCommand(kMerge));
        QCOMPARE(Model().rowCount(), 6);
        QCOMPARE(frame.MessageText(), QString("6 items"));
        QVERIFY(!header->isSortIndicatorShown());

        ui_.answers.push_back(SaveAnswer::No);
        QVERIFY(frame.SendCommand(kFileNew));
        QCOMPARE(frame.MessageText(), QString("0 items"));
    }

    // Each key a Linux desktop user reaches for, pressed in the shown window, runs its command
    // through the command table. The cases run in order on one window.
    void keysRunTheirCommandsInTheWindow() {
        CMainFrame& frame = Frame();
        CPlumetView& view = frame.view();
        shell_ = RecordingShell();
        const std::string song = folder_->filePath("SOS.mp3").toStdString();
        std::ofstream(song) << "x";
        app_->list().SetCell(2, kPath, song);
        QSignalSpy removals(&Model(), &QAbstractItemModel::rowsRemoved);
        QString shown;  // what the key opened: a dialog's class or the context menu
        const auto record = [&shown] {
            WhenShown([&shown](QWidget* widget) {
                shown = widget->objectName().isEmpty() ? widget->metaObject()->className()
                                                       : widget->objectName();
                if (auto* find = qobject_cast<CFindTrackDlg*>(widget)) {
                    shown += " " + find->textEdit().selectedText();
                    find->textEdit().setText("abba");
                    find->accept();
                    return;
                }
                widget->close();
            });
        };
        const auto select = [this, &view](std::vector<int> rows) {
            view.clearSelection();
            for (const int row : rows) {
                view.selectionModel()->setCurrentIndex(
                    Model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
            }
        };
        struct KeyCase {
            const char* keys;
            std::function<void()> arrange;
            std::function<void()> check;
        };
        const std::vector<KeyCase> cases{
            {"Ctrl+A", [&] { select({1}); },
             [&] {
                 QCOMPARE(view.SelectedRows(), (std::vector<int>{0, 1, 2, 3}));
             }},
            {"Return", [&] { select({2}); },
             [&] { QCOMPARE(shell_.opened, std::vector<std::string>{song}); }},
            {"F2",
             [&] {
                 select({0});
                 record();
             },
             [&] { QCOMPARE(shown, QString("CEditItemDlg")); }},
            {"Shift+F10",
             [&] {
                 select({3});
                 record();
             },
             [&] { QCOMPARE(shown, QString("contextMenu")); }},
            {"Menu",
             [&] {
                 select({3});
                 record();
             },
             [&] { QCOMPARE(shown, QString("contextMenu")); }},
            {"Ctrl+Shift+S", [] {},
             [&] {
                 QCOMPARE(ui_.dialogs.size(), std::size_t(1));
                 QCOMPARE(ui_.dialogs[0].title, std::string("Save As"));
             }},
            // No text yet: F3 asks for one, then finds the next row that holds it.
            {"F3",
             [&] {
                 select({0});
                 record();
             },
             [&] {
                 QCOMPARE(shown, QString("CFindTrackDlg "));
                 QCOMPARE(view.SelectedRows(), std::vector<int>{1});
             }},
            {"F3", [&] { shown.clear(); },
             [&] {
                 QCOMPARE(shown, QString());
                 QCOMPARE(view.SelectedRows(), std::vector<int>{2});
             }},
            {"F3", [] {}, [&] { QCOMPARE(view.SelectedRows(), std::vector<int>{1}); }},
            {"Ctrl+D", [&] { record(); },
             [&] {
                 QCOMPARE(shown, QString("CFindTrackDlg abba"));
                 QCOMPARE(view.SelectedRows(), std::vector<int>{2});
             }},
            // Two runs of rows: one removal each, the catalog marked modified.
            {"Delete",
             [&] {
                 select({0, 1, 3});
             },
             [&] {
                 QCOMPARE(Column(kArtist), QStringList({"ABBA"}));
                 QCOMPARE(removals.count(), 2);
                 QVERIFY(app_->document().modified());
                 QCOMPARE(frame.MessageText(), QString("1 items"));
             }},
            {"Ctrl+Q", [&] { ui_.answers.push_back(SaveAnswer::No); },
             [&] {
                 QCOMPARE(ui_.questions.size(), std::size_t(1));
                 QVERIFY(!frame.isVisible());
             }},
        };
        for (const KeyCase& keyCase : cases) {
            ShowActive(frame);  // a closed popup may leave no window active offscreen
            view.setFocus();
            keyCase.arrange();
            QTest::keySequence(&view, QKeySequence(QString::fromLatin1(keyCase.keys)));
            keyCase.check();
            if (QTest::currentTestFailed()) {
                qWarning("after %s", keyCase.keys);
                return;
            }
        }
    }

    // The list area says how to start while there are no rows.
    void anEmptyListShowsHowToStart() {
        CMainFrame& frame = Frame();
        ShowActive(frame);
        const QLabel* hint = frame.view().findChild<QLabel*>("emptyHint");
        QVERIFY(hint != nullptr && !hint->isVisible());
        ui_.answers.push_back(SaveAnswer::No);
        QVERIFY(frame.SendCommand(kFileNew));
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(), QString("Scan a folder (Tools > Select Search Location) or a disc "
                                       "(Tools > Load from CD), or open a catalog."));
        app_->list().InsertRow(0, "First");
        app_->list().InsertRow(1, "Second");
        QVERIFY(!hint->isVisible());
        // A filter whose rows are all removed shows none of a catalog that is not empty.
        frame.view().selectRow(0);
        QVERIFY(frame.SendCommand(kFilterOnArtist));
        frame.view().selectAll();
        QVERIFY(frame.SendCommand(kRemoveFromList));
        QCOMPARE(Model().rowCount(), 0);
        QVERIFY(!hint->isVisible());
        QVERIFY(frame.SendCommand(kFilterOnArtist));
        frame.view().selectAll();
        QVERIFY(frame.SendCommand(kRemoveFromList));
        QVERIFY(hint->isVisible());
    }

    // The toolbar's search narrows the rows as the user types, within a filter, and every
    // command works on the rows it shows.
    void theSearchBoxNarrowsAsTheUserTypes() {
        CMainFrame& frame = Frame();
        ShowActive(frame);
        auto* box = frame.findChild<QLineEdit*>("searchBox");
        QVERIFY(box != nullptr);
        QCOMPARE(box->placeholderText(), QString("Search"));
        QVERIFY(frame.SendCommand(kSearch));
        QVERIFY(box->hasFocus());

        QTest::keyClicks(box, "JOGA");  // case and accents ignored
        QCOMPARE(Column(kArtist), QStringList({"Björk"}));
        QCOMPARE(frame.MessageText(), QString("1 of 4 rows"));
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(box->text().isEmpty());
        QCOMPARE(Model().rowCount(), 4);
        QCOMPARE(frame.MessageText(), QString("4 items"));

        QTest::keyClicks(box, "abba cd");
        QCOMPARE(Column(kTrack), QStringList({"Waterloo", "SOS"}));
        QTest::keyClicks(box, "1");  // "abba cd1": fewer rows, tested among those shown
        QCOMPARE(Column(kTrack), QStringList({"SOS"}));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(Column(kTrack), QStringList({"Waterloo", "SOS"}));
        Frame().view().selectRow(1);  // the filter keeps CD1 within the search
        QVERIFY(frame.SendCommand(kFilterOnFolderDisk));
        QCOMPARE(Column(kTrack), QStringList({"SOS"}));
        QVERIFY(frame.SendCommand(kFilterOnFolderDisk));  // Show All ends the filter only
        QCOMPARE(Column(kTrack), QStringList({"Waterloo", "SOS"}));
        Frame().view().selectRow(0);
        QVERIFY(frame.SendCommand(kRemoveFromList));
        QCOMPARE(Column(kTrack), QStringList({"SOS"}));
        QCOMPARE(frame.MessageText(), QString("1 of 3 rows"));
        QVERIFY(app_->document().modified());

        // A new catalog ends the search and empties the box.
        ui_.answers.push_back(SaveAnswer::No);
        QVERIFY(frame.SendCommand(kFileNew));
        QVERIFY(box->text().isEmpty());
        QVERIFY(!Model().view().searching());
    }

    // Undo takes back a removal under a search, by its key, and an edit with its rename on
    // disk; the document is as saved again when undo comes back to the file's rows.
    void undoTakesBackRemovalsAndEditsWithTheirRenames() {
        CMainFrame& frame = Frame();
        ShowActive(frame);
        const auto enabled = [&frame](int id) {
            frame.UpdateCommandStates();
            return frame.commands().Action(id)->isEnabled();
        };
        QVERIFY(!enabled(kEditUndo) && !enabled(kEditRedo));
        auto* box = frame.findChild<QLineEdit*>("searchBox");
        QTest::keyClicks(box, "abba");
        QVERIFY(frame.SendCommand(kSelectAll));
        QVERIFY(frame.SendCommand(kRemoveFromList));
        QCOMPARE(Model().rowCount(), 0);
        QVERIFY(app_->document().modified() && enabled(kEditUndo));

        QTest::keyClick(&frame.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Column(kTrack), QStringList({"Waterloo", "SOS"}));  // the search stays
        QCOMPARE(frame.MessageText(), QString("2 of 4 rows"));
        QVERIFY(!app_->document().modified() && enabled(kEditRedo) && !enabled(kEditUndo));
        QTest::keyClick(&frame.view(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Model().rowCount(), 0);
        QVERIFY(app_->document().modified());
        QTest::keyClick(&frame.view(), Qt::Key_Y, Qt::ControlModifier);  // nothing to redo
        QVERIFY(frame.SendCommand(kEditUndo));
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(Column(kArtist), QStringList({"Björk", "abba", "ABBA", "Cream"}));

        const std::string old = folder_->filePath("old.mp3").toStdString();
        std::ofstream(old) << "x";
        app_->list().SetCell(0, kPath, old);
        frame.view().selectRow(0);
        WhenShown([](QWidget* shown) {
            auto* dialog = qobject_cast<CEditItemDlg*>(shown);
            for (auto [edit, text] : {std::pair{&dialog->artistEdit(), "New"},
                                      std::pair{&dialog->trackEdit(), "Song"}}) {
                edit->selectAll();
                QTest::keyClicks(edit, text);
            }
            dialog->okButton().click();
        });
        QVERIFY(frame.SendCommand(kEdit));
        const QString renamed = folder_->filePath("New - Song.mp3");
        QVERIFY(QFile::exists(renamed));
        QVERIFY(frame.SendCommand(kEditUndo));
        QVERIFY(QFile::exists(QString::fromStdString(old)) && !QFile::exists(renamed));
        QCOMPARE(Column(kArtist)[0], QString("Björk"));
        QCOMPARE(Model().data(Model().index(0, kPath)).toString(), QString::fromStdString(old));
        QVERIFY(frame.SendCommand(kEditRedo));
        QVERIFY(QFile::exists(renamed));
        QCOMPARE(Column(kArtist)[0], QString("New"));

        // Gone from disk meanwhile: the user is told, and the row still names the file.
        QFile::remove(renamed);
        QVERIFY(frame.SendCommand(kEditUndo));
        QCOMPARE(ui_.errors.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(ui_.errors[0]).contains("New - Song.mp3"));
        QCOMPARE(Column(kArtist)[0], QString("New"));
        QVERIFY(enabled(kEditUndo));
    }

    // Find Duplicates shows the groups in key order, alternate groups shaded; commands work
    // on them and Show All ends them.
    void duplicatesShowTheirGroupsUntilShowAll() {
        CMainFrame& frame = Frame();
        ShowActive(frame);
        const auto findDuplicates = [&](DuplicateKind kind, bool lengthsKnown) {
            WhenShown([=](QWidget* shown) {
                auto* dialog = qobject_cast<CDuplicatesDlg*>(shown);
                QVERIFY(dialog != nullptr);
                QVERIFY(dialog->choice(DuplicateKind::ArtistTrack).isChecked());
                QCOMPARE(dialog->choice(DuplicateKind::ArtistTrackLength).isEnabled(),
                         lengthsKnown);
                dialog->choice(kind).click();
                QCOMPARE(dialog->kind(), kind);
                dialog->okButton().click();
            });
            QVERIFY(frame.SendCommand(kFindDuplicates));
        };
        findDuplicates(DuplicateKind::ArtistTrack, false);  // the tracks differ
        QCOMPARE(ui_.messages, std::vector<std::string>{"No duplicates were found."});
        QCOMPARE(Model().rowCount(), 4);
        QVERIFY(!Model().view().grouped());

        CatalogList& store = Model().view().store();
        store.SetCell(2, kTrack, "waterloo");
        for (const auto& [artist, track] : std::vector<std::pair<std::string, std::string>>{
                 {"cream", "CROSSROADS"}, {"BJORK", "joga"}}) {
            store.SetCell(store.InsertRow(store.RowCount(), artist), kTrack, track);
        }
        store.SetCell(0, kLength, "245");
        auto* box = frame.findChild<QLineEdit*>("searchBox");
        QTest::keyClicks(box, "o");
        findDuplicates(DuplicateKind::ArtistTrack, true);
        QVERIFY(box->text().isEmpty());  // the search ended
        QCOMPARE(Column(kArtist),
                 QStringList({"abba", "ABBA", "Björk", "BJORK", "Cream", "cream"}));
        QCOMPARE(frame.MessageText(), QString("6 rows in 3 groups"));
        const auto shaded = [this](int row) {
            return Model().data(Model().index(row, kTrack), Qt::BackgroundRole).isValid();
        };
        QCOMPARE(QList<bool>({shaded(0), shaded(1), shaded(2), shaded(3), shaded(4), shaded(5)}),
                 QList<bool>({false, false, true, true, false, false}));
        frame.UpdateCommandStates();
        QVERIFY(frame.commands().Action(kFilterOnFolderDisk)->isChecked());

        // Removing rows keeps the others' groups, and their shading.
        frame.view().selectRow(1);
        QVERIFY(frame.SendCommand(kRemoveFromList));
        frame.view().selectRow(0);
        QVERIFY(frame.SendCommand(kRemoveFromList));
        QCOMPARE(Column(kArtist), QStringList({"Björk", "BJORK", "Cream", "cream"}));
        QCOMPARE(frame.MessageText(), QString("4 rows in 2 groups"));
        QVERIFY(shaded(0) && !shaded(2));
        QCOMPARE(store.RowCount(), 4);

        QVERIFY(frame.SendCommand(kFilterOnFolderDisk));  // Show All
        QVERIFY(!Model().view().grouped());
        QCOMPARE(Column(kArtist), QStringList({"Björk", "Cream", "cream", "BJORK"}));
        QCOMPARE(frame.MessageText(), QString("4 items"));
        QVERIFY(!shaded(1));

        // Name and size: none alike, nothing changes.
        findDuplicates(DuplicateKind::NameSize, true);
        QCOMPARE(ui_.messages.size(), std::size_t(2));
        QCOMPARE(Model().rowCount(), 4);
    }

private:
    CMainFrame& Frame() const { return *app_->mainFrame(); }
    CatalogModel& Model() const { return Frame().view().catalogModel(); }
    QStringList Column(int column) const {
        QStringList cells;
        for (int row = 0; row < Model().rowCount(); ++row) {
            cells << Model().data(Model().index(row, column)).toString();
        }
        return cells;
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

QTEST_MAIN(BrowseWindowTest)
#include "BrowseWindowTest.moc"
