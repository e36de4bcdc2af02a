#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <string>

#include "CEditItemDlg.h"
#include "CFindTrackDlg.h"
#include "support/GuiDriving.h"

namespace {

// QTest::keyClicks takes ASCII only; these keys carry any text, as a keyboard layout would.
void Type(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, &widget, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
    }
}

void ReplaceText(QLineEdit& edit, const QString& text) {
    edit.selectAll();
    Type(edit, text);
}

EditItemForm OneRow() {
    EditItemForm form;
    form.artist = "Miles Davis";
    form.track = "So What";
    form.album = "Kind of Blue";
    form.folder = "Kind of Blue";
    form.size = "9,245,123";
    form.saveToDisk = true;
    return form;
}

// What the core opens for several rows: one column to set, nothing to rename.
EditItemForm SeveralRows(bool folderMode) {
    EditItemForm form;
    form.folder = "Kind of Blue";
    form.artistEnabled = !folderMode;
    form.trackEnabled = false;
    form.albumEnabled = false;
    form.folderEnabled = folderMode;
    form.saveToDiskEnabled = false;
    return form;
}

}  // namespace

class BrowseDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void oneRowOpensWithEveryFieldAndGivesBackWhatWasTyped() {
        CEditItemDlg dialog(OneRow());
        QCOMPARE(dialog.windowTitle(), QString("Edit Item"));
        QCOMPARE(dialog.font().family(), QString("Arial"));
        QCOMPARE(dialog.font().pointSize(), 10);
        QCOMPARE(dialog.artistEdit().text(), QString("Miles Davis"));
        QCOMPARE(dialog.trackEdit().text(), QString("So What"));
        QCOMPARE(dialog.albumEdit().text(), QString("Kind of Blue"));
        QCOMPARE(dialog.folderEdit().text(), QString("Kind of Blue"));
        QCOMPARE(dialog.sizeEdit().text(), QString("9,245,123"));
        for (QWidget* field : std::initializer_list<QWidget*>{
                 &dialog.artistEdit(), &dialog.trackEdit(), &dialog.albumEdit(),
                 &dialog.folderEdit(), &dialog.sizeEdit(), &dialog.saveToDiskBox()}) {
            QVERIFY(field->isEnabled());
        }
        QVERIFY(dialog.sizeEdit().isReadOnly());
        QVERIFY(dialog.saveToDiskBox().isChecked());
        QCOMPARE(dialog.okButton().text(), QString("OK"));
        QVERIFY(dialog.okButton().isDefault());
        QVERIFY(!dialog.cancelButton().isDefault());

        ShowActive(dialog);
        QVERIFY(dialog.artistEdit().hasFocus());
        QCOMPARE(PressTab(), &dialog.trackEdit());
        QCOMPARE(PressTab(), &dialog.albumEdit());
        QCOMPARE(PressTab(), &dialog.folderEdit());
        QCOMPARE(PressTab(), &dialog.sizeEdit());
        QCOMPARE(PressTab(), &dialog.saveToDiskBox());
        QCOMPARE(PressTab(), &dialog.okButton());
        QCOMPARE(PressTab(), &dialog.cancelButton());
        QCOMPARE(PressTab(), &dialog.artistEdit());

        QTest::keyClick(&dialog.artistEdit(), Qt::Key_End);
        QTest::keyClicks(&dialog.artistEdit(), " Quintet");
        ReplaceText(dialog.trackEdit(), "Freddie Freeloader");
        dialog.albumEdit().selectAll();
        QTest::keyClick(&dialog.albumEdit(), Qt::Key_Delete);  // an empty Album removes the field
        ReplaceText(dialog.folderEdit(), QString::fromUtf8("Caf\xC3\xA9"));
        // Typing in Size is refused.
        QTest::keyClicks(&dialog.sizeEdit(), "0");
        QTest::keyClick(&dialog.saveToDiskBox(), Qt::Key_Space);

        const EditItemForm form = dialog.form();
        QCOMPARE(form.artist, std::string("Miles Davis Quintet"));
        QCOMPARE(form.track, std::string("Freddie Freeloader"));
        QCOMPARE(form.album, std::string());
        QCOMPARE(form.folder, std::string("Caf\xC3\xA9"));
        QCOMPARE(form.size, std::string("9,245,123"));
        QVERIFY(!form.saveToDisk);
        QVERIFY(form.artistEnabled && form.trackEnabled && form.folderEnabled &&
                form.saveToDiskEnabled);
    }

    void severalRowsOpenOnlyTheColumnBeingSet() {
        for (const bool folderMode : {true, false}) {
            CEditItemDlg dialog(SeveralRows(folderMode));
            QLineEdit& open = folderMode ? dialog.folderEdit() : dialog.artistEdit();
            QLineEdit& closed = folderMode ? dialog.artistEdit() : dialog.folderEdit();
            QVERIFY(open.isEnabled());
            QVERIFY(!closed.isEnabled());
            QVERIFY(!dialog.trackEdit().isEnabled());
            QVERIFY(!dialog.albumEdit().isEnabled());
            QVERIFY(!dialog.saveToDiskBox().isEnabled());
            QVERIFY(!dialog.saveToDiskBox().isChecked());
            QVERIFY(dialog.artistEdit().text().isEmpty());
            QVERIFY(dialog.trackEdit().text().isEmpty());
            QVERIFY(dialog.sizeEdit().text().isEmpty());

            // Disabled fields drop out of the tab chain.
            ShowActive(dialog);
            QVERIFY(open.hasFocus());
            QCOMPARE(PressTab(), &dialog.sizeEdit());
            QCOMPARE(PressTab(), &dialog.okButton());
            QCOMPARE(PressTab(), &dialog.cancelButton());
            QCOMPARE(PressTab(), &open);

            ReplaceText(open, "Coltrane");
            const EditItemForm form = dialog.form();
            QCOMPARE(folderMode ? form.folder : form.artist, std::string("Coltrane"));
            QCOMPARE(folderMode ? form.artist : form.folder,
                     folderMode ? std::string() : std::string("Kind of Blue"));
            QVERIFY(form.track.empty() && form.size.empty());
            QVERIFY(!form.saveToDisk);
            QCOMPARE(form.folderEnabled, folderMode);
            QCOMPARE(form.artistEnabled, !folderMode);
            QVERIFY(!form.trackEnabled && !form.saveToDiskEnabled);
        }
    }

    void textNotInUtf8ComesBackUnchangedUnlessRetyped() {
        EditItemForm latin1 = OneRow();
        latin1.artist = "Bj\xF6rk";
        latin1.track = "J\xF3ga";
        latin1.folder = "Homogenic \xFF";
        CEditItemDlg dialog(latin1);
        QCOMPARE(dialog.artistEdit().text(), QString::fromUtf8("Bj\xC3\xB6rk"));
        ShowActive(dialog);

        // Typed and taken back again is no change either.
        QTest::keyClick(&dialog.artistEdit(), Qt::Key_End);
        QTest::keyClicks(&dialog.artistEdit(), "x");
        QTest::keyClick(&dialog.artistEdit(), Qt::Key_Backspace);
        QTest::keyClick(&dialog.trackEdit(), Qt::Key_End);
        QTest::keyClicks(&dialog.trackEdit(), "!");

        const EditItemForm form = dialog.form();
        QCOMPARE(form.artist, std::string("Bj\xF6rk"));
        QCOMPARE(form.track, std::string("J\xC3\xB3ga!"));
        QCOMPARE(form.folder, std::string("Homogenic \xFF"));
    }

    void theEditDialogRunsModally() {
        WhenModal([](QWidget& modal) {
            auto& dialog = dynamic_cast<CEditItemDlg&>(modal);
            QTest::keyClicks(&dialog.artistEdit(), "changed");
            dialog.cancelButton().click();
        });
        {
            CEditItemDlg dialog(OneRow());
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        }

        WhenModal([](QWidget& modal) {
            QTest::keyClick(&dynamic_cast<CEditItemDlg&>(modal).artistEdit(), Qt::Key_Escape);
        });
        {
            CEditItemDlg dialog(OneRow());
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        }

        // Enter in an edit presses OK.
        WhenModal([](QWidget& modal) {
            auto& dialog = dynamic_cast<CEditItemDlg&>(modal);
            ReplaceText(dialog.artistEdit(), "Bill Evans");
            QTest::keyClick(&dialog.artistEdit(), Qt::Key_Return);
        });
        CEditItemDlg dialog(OneRow());
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.form().artist, std::string("Bill Evans"));
        QCOMPARE(dialog.form().track, std::string("So What"));
    }

    void theFindDialogFindsOnEnterAndCancelsOnEscape() {
        {
            CFindTrackDlg dialog;
            QCOMPARE(dialog.windowTitle(), QString("Find Track Dialog"));
            QCOMPARE(dialog.findButton().text(), QString("Find"));
            QCOMPARE(dialog.cancelButton().text(), QString("Cancel"));
            QVERIFY(dialog.findButton().isDefault());
            QVERIFY(!dialog.cancelButton().isDefault());
            QCOMPARE(dialog.font(), QApplication::font());
        }

        bool openedEmptyAndFocused = false;
        WhenModal([&openedEmptyAndFocused](QWidget& modal) {
            auto& dialog = dynamic_cast<CFindTrackDlg&>(modal);
            openedEmptyAndFocused =
                dialog.textEdit().text().isEmpty() && dialog.focusWidget() == &dialog.textEdit();
            Type(dialog.textEdit(), QString::fromUtf8("Bart\xC3\xB3k"));
            QTest::keyClick(&dialog.textEdit(), Qt::Key_Return);
        });
        CFindTrackDlg dialog;
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(openedEmptyAndFocused);
        QCOMPARE(dialog.text(), std::string("Bart\xC3\xB3k"));

        WhenModal([](QWidget& modal) {
            auto& find = dynamic_cast<CFindTrackDlg&>(modal);
            QTest::keyClicks(&find.textEdit(), "Ravel");
            QTest::keyClick(&find.textEdit(), Qt::Key_Escape);
        });
        CFindTrackDlg cancelled;
        QCOMPARE(cancelled.exec(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(BrowseDialogsTest)
#include "BrowseDialogsTest.moc"
