#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "CExtensionsDlg.h"
#include "CVolumeLabelDlg.h"
#include "QtUserInterface.h"
#include "support/FakeServices.h"
#include "support/GuiDriving.h"

namespace {

void ClickItem(QListWidget& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(row)).center());
}

}  // namespace

class ScanDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void theLabelDialogOpensReadyToReplaceTheLabel() {
        CVolumeLabelDlg dialog;
        QCOMPARE(dialog.windowTitle(), QString("Disk Volume Label "));
        QCOMPARE(dialog.promptLabel().text(), QString("Your Disk Volume Label is"));
        QCOMPARE(dialog.okButton().text(), QString("&OK"));
        QCOMPARE(dialog.cancelButton().text(), QString("Cancel"));
        QVERIFY(dialog.okButton().isDefault());
        QVERIFY(!dialog.cancelButton().isDefault());

        dialog.SetLabel("AUDIO_CD_07");
        ShowActive(dialog);
        QVERIFY(dialog.labelEdit().hasFocus());
        QCOMPARE(dialog.labelEdit().selectedText(), QString("AUDIO_CD_07"));

        // Tab goes OK, Cancel, edit and round again.
        QCOMPARE(PressTab(), &dialog.okButton());
        QCOMPARE(PressTab(), &dialog.cancelButton());
        QCOMPARE(PressTab(), &dialog.labelEdit());

        // Typing replaces the whole label and Enter in the edit confirms it.
        dialog.labelEdit().selectAll();
        QTest::keyClicks(&dialog.labelEdit(), "Jazz 1959");
        QCOMPARE(dialog.label(), QString("Jazz 1959"));
        QTest::keyClick(&dialog.labelEdit(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());

        ShowActive(dialog);
        QTest::mouseClick(&dialog.cancelButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void editVolumeLabelGivesUtf8OnOkAndNothingOnCancel() {
        QtUserInterface ui;
        QString shown;
        // A Latin-1 label from an old disc comes back as the UTF-8 of what the user saw.
        WhenModal([&shown](QWidget& modal) {
            auto& dialog = dynamic_cast<CVolumeLabelDlg&>(modal);
            shown = dialog.label();
            QTest::keyClick(&dialog.labelEdit(), Qt::Key_End);
            QTest::keyClicks(&dialog.labelEdit(), " 1998");
            dialog.okButton().click();
        });
        QCOMPARE(ui.EditVolumeLabel("\xE9t\xE9"),
                 std::optional<std::string>("\xC3\xA9t\xC3\xA9 1998"));
        QCOMPARE(shown, QString::fromUtf8("\xC3\xA9t\xC3\xA9"));

        WhenModal([](QWidget& modal) {
            auto& dialog = dynamic_cast<CVolumeLabelDlg&>(modal);
            QTest::keyClicks(&dialog.labelEdit(), "changed");
            dialog.cancelButton().click();
        });
        QCOMPARE(ui.EditVolumeLabel("DISC"), std::nullopt);
    }

    void theExtensionsDialogSaysSoOncePerSelectionChange() {
        ScriptedUserInterface ui;
        CExtensionsDlg dialog(ui);
        QCOMPARE(dialog.windowTitle(), QString("File Extensions"));
        QListWidget& list = dialog.extensionList();
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.item(0)->text(), QString("mp3"));
        QVERIFY(dialog.okButton().isDefault());

        ShowActive(dialog);
        QVERIFY(dialog.okButton().hasFocus());
        QCOMPARE(PressTab(), &dialog.cancelButton());
        QCOMPARE(PressTab(), &list);
        // Reaching the list is no choice.
        QVERIFY(ui.messages.empty());

        const std::vector<std::string> once{"Set OnSelchangeExtensions"};
        ClickItem(list, 0);
        QCOMPARE(ui.messages, once);
        // The same entry again, or the arrow keys in a list of one, change nothing.
        ClickItem(list, 0);
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(ui.messages, once);

        list.clearSelection();
        ClickItem(list, 0);
        QCOMPARE(ui.messages.size(), std::size_t(3));
        QVERIFY(ui.errors.empty());

        QTest::mouseClick(&dialog.cancelButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void theFolderPickerOpensAtTheMusicFolderWhenThereIsOne() {
        QTemporaryDir config;
        QTemporaryDir home;
        QVERIFY(config.isValid() && home.isValid());
        const QString music = home.filePath("Tunes");
        {
            QFile dirs(config.filePath("user-dirs.dirs"));
            QVERIFY(dirs.open(QIODevice::WriteOnly));
            dirs.write("XDG_MUSIC_DIR=\"" + QFile::encodeName(music) + "\"\n");
        }
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        const auto restore = qScopeGuard([&] { qputenv("XDG_CONFIG_HOME", savedConfig); });

        QCOMPARE(QtUserInterface::MusicFolder(), QString());
        QVERIFY(QDir().mkpath(music));
        QCOMPARE(QtUserInterface::MusicFolder(), music);

        QtUserInterface ui;
        const QString chosen = music + QString::fromUtf8("/Bart\xC3\xB3k");
        QVERIFY(QDir().mkpath(chosen));
        QString title;
        QString openedAt;
        bool foldersOnly = false;
        WhenModal([&](QWidget& modal) {
            auto& picker = dynamic_cast<QFileDialog&>(modal);
            title = picker.windowTitle();
            openedAt = picker.directory().absolutePath();
            foldersOnly = picker.fileMode() == QFileDialog::Directory &&
                          picker.testOption(QFileDialog::ShowDirsOnly);
            picker.setDirectory(chosen);
            static_cast<QDialog&>(picker).accept();  // QFileDialog hides it
        });
        QCOMPARE(ui.ChooseStartFolder("Choose the folder to scan"),
                 std::optional<std::string>(QFile::encodeName(chosen).toStdString()));
        QCOMPARE(title, QString("Choose the folder to scan"));
        QCOMPARE(openedAt, music);
        QVERIFY(foldersOnly);

        // Given a folder, it opens there instead.
        WhenModal([&](QWidget& modal) {
            auto& picker = dynamic_cast<QFileDialog&>(modal);
            openedAt = picker.directory().absolutePath();
            picker.reject();
        });
        QCOMPARE(ui.ChooseStartFolder("Choose the folder to scan",
                                      QFile::encodeName(chosen).toStdString()),
                 std::nullopt);
        QCOMPARE(openedAt, chosen);

        QVERIFY(QDir(music).removeRecursively());
        QCOMPARE(QtUserInterface::MusicFolder(), QString());
    }
};

QTEST_MAIN(ScanDialogsTest)
#include "ScanDialogsTest.moc"
