#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "CFileNamesDlg.h"
#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "CommandActions.h"
#include "HeaderColumns.h"
#include "PosixFiles.h"
#include "QSettingsProfile.h"
#include "commands/CommandId.h"
#include "scan/NamePattern.h"
#include "support/FakeServices.h"
#include "support/GuiDriving.h"
#include "support/PlatformServices.h"

namespace {

// The header's menu as the user sees it: each column's text, and whether it is checked and
// can be chosen; `choose` is then triggered, if given.
struct HeaderMenu {
    QStringList texts;
    QList<bool> checked;
    QList<bool> enabled;
};

HeaderMenu OpenHeaderMenu(QHeaderView& header, const QString& choose = QString()) {
    HeaderMenu seen;
    WhenShown([&seen, choose](QWidget* popup) {
        for (QAction* action : popup->actions()) {
            seen.texts << action->text();
            seen.checked << action->isChecked();
            seen.enabled << action->isEnabled();
        }
        for (QAction* action : popup->actions()) {
            if (action->text() == choose) {
                action->trigger();
            }
        }
        popup->close();
    });
    emit header.customContextMenuRequested(QPoint(5, 5));
    return seen;
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

void ReplacePattern(CFileNamesDlg& dialog, const QString& text) {
    QLineEdit* edit = dialog.patternBox().lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QStringList PreviewRow(const CFileNamesDlg& dialog, int row) {
    QStringList cells;
    for (int column = 0; column < dialog.preview().columnCount(); ++column) {
        const QTableWidgetItem* item = dialog.preview().item(row, column);
        cells << (item ? item->text() : QString());
    }
    return cells;
}

}  // namespace

// The fields in the window: their columns, the header that chooses them, and the settings
// that decide how later scans name files.
class FieldColumnsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Before the first QSettings: the header's arrangement goes to a folder of our own.
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        CPlumetApp::SetApplicationNames();
    }

    void fieldColumnsShowTheirValuesAndSortAsNumbers() {
        struct Case {
            const char* length;
            const char* shownLength;
            const char* bitrate;
            const char* album;
            QString shownAlbum;
        };
        const Case cases[] = {
            {"0", "0:00", "320", "OK Computer", "OK Computer"},
            {"59", "0:59", "96", "\xC3\x81g\xC3\xA6tis byrjun", QString::fromUtf8("Ágætis byrjun")},
            {"60", "1:00", "1411", "\xC1g\xE6tis byrjun", QString::fromUtf8("Ágætis byrjun")},
            {"3599", "59:59", "", "", ""},
            {"3600", "1:00:00", "8", "Kid A", "Kid A"},
            {"36000", "10:00:00", "128", "", ""},
            {"abc", "abc", "64", "", ""},
            {"", "", "1000", "", ""},
        };
        MemoryProfile profile;
        CPlumetApp app(Services(profile));
        QVERIFY(app.InitInstance(CommandLine::Parse({})));
        for (const Case& c : cases) {
            const int row = app.list().InsertRow(app.list().RowCount(), "Artist");
            app.list().SetCell(row, kLength, c.length);
            app.list().SetCell(row, kBitrate, c.bitrate);
            app.list().SetCell(row, kAlbum, c.album);
        }
        CatalogModel& model = app.mainFrame()->view().catalogModel();
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QStringList headers{"Album", "Album Artist", "Track No.", "Disc",
                                  "Year",  "Genre",        "Length",    "Bitrate"};
        for (int column = kAlbum; column <= kBitrate; ++column) {
            QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), headers[column - kAlbum]);
        }
        for (int row = 0; row < model.rowCount(); ++row) {
            const Case& c = cases[row];
            QCOMPARE(model.index(row, kLength).data().toString(), QString(c.shownLength));
            QCOMPARE(model.index(row, kBitrate).data().toString(), QString(c.bitrate));
            QCOMPARE(model.index(row, kAlbum).data().toString(), c.shownAlbum);
        }
        const auto alignment = [&model](int column) {
            return Qt::Alignment(model.index(0, column).data(Qt::TextAlignmentRole).toInt()) &
                   Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(kLength), Qt::AlignRight);
        QCOMPARE(alignment(kBitrate), Qt::AlignRight);
        QVERIFY(alignment(kAlbum) != Qt::AlignRight);

        // A click on the header sorts by value, empty first, and the arrow marks the column.
        QHeaderView* header = app.mainFrame()->view().horizontalHeader();
        emit header->sectionClicked(kBitrate);
        QStringList bitrates;
        for (int row = 0; row < model.rowCount(); ++row) {
            bitrates << model.index(row, kBitrate).data().toString();
        }
        QCOMPARE(bitrates, QStringList({"", "8", "64", "96", "128", "320", "1000", "1411"}));
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), int(kBitrate));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        QCOMPARE(model.index(0, kLength).data().toString(), QString("59:59"));  // rows move whole
    }

    void theHeaderMenuChoosesColumnsAndTheArrangementIsKept() {
        QSettingsProfile profile;
        profile.RemoveValue(HeaderColumns::kSection, HeaderColumns::kName);
        const QList<int> sixCells{kArtist, kTrack, kFolderDisk, kSize, kModified, kPath};
        {
            CPlumetApp app(Services(profile));
            QVERIFY(app.InitInstance(CommandLine::Parse({})));
            QHeaderView& header = *app.mainFrame()->view().horizontalHeader();
            QCOMPARE(ShownColumns(header), sixCells);

            const HeaderMenu menu = OpenHeaderMenu(header, "Album");
            QCOMPARE(menu.texts.size(), int(kAllColumnCount));
            QCOMPARE(menu.texts.mid(kAlbum),
                     QStringList({"Album", "Album Artist", "Track No.", "Disc", "Year", "Genre",
                                  "Length", "Bitrate"}));
            QCOMPARE(menu.checked.count(true), 6);
            QVERIFY(menu.checked[kPath] && !menu.checked[kAlbum]);
            OpenHeaderMenu(header, "Modified");
            // A column shown comes in before Path, which stays last.
            QCOMPARE(ShownColumns(header),
                     QList<int>({kArtist, kTrack, kFolderDisk, kSize, kAlbum, kPath}));
            QVERIFY(header.sectionSize(kAlbum) > 0);

            // Dragged to the front, Track widened by hand; closing keeps the arrangement.
            header.moveSection(header.visualIndex(kAlbum), 0);
            QVERIFY(app.mainFrame()->view().headerColumns().fits());
            header.resizeSection(kTrack, 200);
            QVERIFY(!app.mainFrame()->view().headerColumns().fits());
            emit header.sectionClicked(kTrack);
            QVERIFY(app.mainFrame()->close());
        }
        QVERIFY(!profile.GetString(HeaderColumns::kSection, HeaderColumns::kName, "").empty());
        {
            CPlumetApp app(Services(profile));
            QVERIFY(app.InitInstance(CommandLine::Parse({})));
            QHeaderView& header = *app.mainFrame()->view().horizontalHeader();
            QCOMPARE(ShownColumns(header),
                     QList<int>({kAlbum, kArtist, kTrack, kFolderDisk, kSize, kPath}));
            QCOMPARE(header.sectionSize(kTrack), 200);
            QVERIFY(!app.mainFrame()->view().headerColumns().fits());
            QVERIFY(!header.isSortIndicatorShown());  // a new list is in no column's order

            // Hiding goes on until one column is left, which cannot be hidden.
            for (const char* column : {"Album", "Artist", "Track", "In Folder/Disk", "Size"}) {
                OpenHeaderMenu(header, column);
            }
            const HeaderMenu last = OpenHeaderMenu(header, "Path");
            QCOMPARE(ShownColumns(header), QList<int>({kPath}));
            QCOMPARE(last.checked.count(true), 1);
            QVERIFY(!last.enabled[kPath]);
            QCOMPARE(last.enabled.count(true), int(kAllColumnCount) - 1);
        }

        // Whatever cannot be used gives the first arrangement: not a state at all, or one
        // that hides every column.
        QStandardItemModel allHidden(1, kAllColumnCount);
        QHeaderView other(Qt::Horizontal);
        other.setModel(&allHidden);
        for (int column = 0; column < kAllColumnCount; ++column) {
            other.hideSection(column);
        }
        for (const QByteArray& stored : {QByteArray("not a header"), QByteArray("bm90IGEgaGVhZGVy"),
                                         other.saveState().toBase64()}) {
            profile.WriteString(HeaderColumns::kSection, HeaderColumns::kName,
                                stored.toStdString());
            CPlumetApp app(Services(profile));
            QVERIFY(app.InitInstance(CommandLine::Parse({})));
            QHeaderView& header = *app.mainFrame()->view().horizontalHeader();
            QCOMPARE(ShownColumns(header), sixCells);
            QVERIFY(app.mainFrame()->view().headerColumns().fits());
        }
    }

    void fileNamesPreviewsThePatternAndOnlyOkKeepsIt() {
        MemoryProfile profile;
        CPlumetApp app(Services(profile));
        QVERIFY(app.InitInstance(CommandLine::Parse({})));
        const std::vector<std::string> paths{"/music/Radiohead/OK Computer/01 - Airbag.mp3",
                                             "/music/Sigur R\xC3\xB3s/Takk/02 Glosoli.flac",
                                             "/music/Misc/Untitled.ogg"};
        for (const std::string& path : paths) {
            app.list().SetCell(app.list().InsertRow(app.list().RowCount(), ""), kPath, path);
        }
        CMainFrame& frame = *app.mainFrame();

        // Read Tags starts on and switches the setting.
        QAction* readTags = frame.commands().Action(kReadTags);
        frame.UpdateCommandStates();
        QVERIFY(readTags->isCheckable() && readTags->isChecked());
        QVERIFY(frame.SendCommand(kReadTags));
        QCOMPARE(profile.values["Settings/ReadTags"], std::string("0"));
        QVERIFY(!readTags->isChecked());
        QVERIFY(frame.SendCommand(kReadTags));
        QCOMPARE(profile.values["Settings/ReadTags"], std::string("1"));

        // Nothing selected: the first rows. A pattern typed and cancelled keeps nothing.
        WhenShown([](QWidget* shown) {
            auto* dialog = qobject_cast<CFileNamesDlg*>(shown);
            QVERIFY(dialog != nullptr);
            QComboBox& box = dialog->patternBox();
            QCOMPARE(box.itemText(0), QString("Folder and file name (standard)"));
            QCOMPARE(box.count(), 1 + int(NamePattern::Examples().size()));
            QCOMPARE(box.currentText(), box.itemText(0));
            QTRY_VERIFY(dialog->patternBox().hasFocus());
            QCOMPARE(dialog->preview().rowCount(), 3);
            QVERIFY(dialog->okButton().isEnabled());

            ReplacePattern(*dialog, "<artist>/<album>/<track> - <title>");
            QCOMPARE(PreviewRow(*dialog, 0),
                     QStringList({"Radiohead/OK Computer/01 - Airbag.mp3", "Radiohead", "Airbag",
                                  "OK Computer", "1"}));
            QVERIFY(PreviewRow(*dialog, 1)[1].startsWith("Does not match: the standard rule"));
            QCOMPARE(dialog->problemLabel().text(),
                     QString("2 of 3 names do not match the pattern; the standard rule names "
                             "those files."));

            ReplacePattern(*dialog, "<artist> - <name>");
            QVERIFY(dialog->problemLabel().text().startsWith(
                "This pattern cannot be used: <name> is not a field."));
            QVERIFY(!dialog->okButton().isEnabled());
            QCOMPARE(PreviewRow(*dialog, 0)[1], QString());

            ReplacePattern(*dialog, "<track> <title>");
            QTest::keyClick(dialog->patternBox().lineEdit(), Qt::Key_Escape);
        });
        QVERIFY(frame.SendCommand(kFileNames));
        QVERIFY(profile.values.count("Settings/NamePattern") == 0);

        // The selected row; Enter keeps the pattern typed.
        frame.view().selectRow(1);
        WhenShown([](QWidget* shown) {
            auto* dialog = qobject_cast<CFileNamesDlg*>(shown);
            QCOMPARE(dialog->preview().rowCount(), 1);
            ReplacePattern(*dialog, "<track> <title>");
            QCOMPARE(PreviewRow(*dialog, 0),
                     QStringList({"02 Glosoli.flac", "", "Glosoli", "", "2"}));
            QVERIFY(dialog->problemLabel().isHidden());
            QTest::keyClick(dialog->patternBox().lineEdit(), Qt::Key_Return);
        });
        QVERIFY(frame.SendCommand(kFileNames));
        QCOMPARE(profile.values["Settings/NamePattern"], std::string("<track> <title>"));

        // It opens with the pattern kept; the standard rule is kept as the empty pattern.
        WhenShown([](QWidget* shown) {
            auto* dialog = qobject_cast<CFileNamesDlg*>(shown);
            QCOMPARE(dialog->patternBox().currentText(), QString("<track> <title>"));
            dialog->patternBox().setCurrentIndex(0);
            dialog->okButton().click();
        });
        QVERIFY(frame.SendCommand(kFileNames));
        QCOMPARE(profile.values["Settings/NamePattern"], std::string());
    }

private:
    CPlumetApp::Services Services(Profile& profile) {
        return {files_,        ui_,          profile,      shell_,
                scan_.folders, scan_.drives, scan_.locale, scan_.processes};
    }

    QTemporaryDir config_;
    PosixFiles files_;
    ScriptedUserInterface ui_;
    RecordingShell shell_;
    PlatformServices scan_;
};

QTEST_MAIN(FieldColumnsTest)
#include "FieldColumnsTest.moc"
