#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>
#include <string>
#include <vector>

#include "CAboutDlg.h"
#include "CStaticLink.h"
#include "support/FakeServices.h"

namespace {

const QString kPage = QStringLiteral("file:///usr/share/doc/plumet/guide.html");
const QColor kBlue(0, 0, 255);
const QColor kPurple(128, 0, 128);

QColor TextColor(const QWidget& widget) {
    return widget.palette().color(QPalette::WindowText);
}

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale::c());
    }

    void showsTheProgramAndItsVersion() {
        RecordingShell shell;
        CAboutDlg about(
            shell, [] {}, kPage);
        QCOMPARE(about.windowTitle(), QString("About Plumet"));
        QCOMPARE(about.versionLabel().text(), QString("Plumet Version 1.5.0"));
        QVERIFY(!about.descriptionLabel().text().isEmpty());
        QCOMPARE(about.okButton().text(), QString("OK"));
        QVERIFY(about.okButton().isDefault());
        QCOMPARE(about.webLink().text(), kPage);
        QVERIFY(about.webLink().font().underline());
        QCOMPARE(TextColor(about.webLink()), kBlue);
        QVERIFY(shell.opened.empty());

        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseClick(&about.okButton(), Qt::LeftButton);
        QCOMPARE(about.result(), int(QDialog::Accepted));
        QVERIFY(!about.isVisible());
    }

    void aSuccessfulOpenTurnsTheLinkPurple() {
        RecordingShell shell;
        int beeps = 0;
        CAboutDlg about(
            shell, [&beeps] { ++beeps; }, kPage);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));

        QTest::mouseClick(&about.webLink(), Qt::LeftButton);
        QCOMPARE(shell.opened, std::vector<std::string>{kPage.toStdString()});
        QVERIFY(about.webLink().visited);
        QCOMPARE(TextColor(about.webLink()), kPurple);
        QCOMPARE(beeps, 0);

        // Only the left button opens it.
        QTest::mouseClick(&about.webLink(), Qt::RightButton);
        QCOMPARE(shell.opened.size(), std::size_t(1));
        QVERIFY(about.isVisible());
    }

    void aFailedOpenBeepsAndLeavesTheLinkBlue() {
        RecordingShell shell;
        shell.succeed = false;
        int beeps = 0;
        CAboutDlg about(
            shell, [&beeps] { ++beeps; }, kPage);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));

        QTest::mouseClick(&about.webLink(), Qt::LeftButton);
        QCOMPARE(shell.opened.size(), std::size_t(1));
        QCOMPARE(beeps, 1);
        QVERIFY(!about.webLink().visited);
        QCOMPARE(TextColor(about.webLink()), kBlue);
        // No message box: the About box is still the only window in front.
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(QApplication::topLevelWidgets().size(), qsizetype(1));

        // A later success still turns it purple.
        shell.succeed = true;
        about.webLink().OpenLink();
        QCOMPARE(TextColor(about.webLink()), kPurple);
        QCOMPARE(beeps, 1);
    }

    void eachNewBoxStartsBlue() {
        RecordingShell shell;
        {
            CAboutDlg first(
                shell, [] {}, kPage);
            first.webLink().OpenLink();
            QCOMPARE(TextColor(first.webLink()), kPurple);
        }
        CAboutDlg second(
            shell, [] {}, kPage);
        QVERIFY(!second.webLink().visited);
        QCOMPARE(TextColor(second.webLink()), kBlue);
    }

    void opensTheLinkMemberOrElseItsOwnText() {
        RecordingShell shell;
        CStaticLink link(shell, [] {});
        link.setText("Plumet's guide");
        link.link = "file:///tmp/guide.html#donate";
        link.OpenLink();
        link.link.clear();
        link.OpenLink();
        QCOMPARE(shell.opened,
                 (std::vector<std::string>{"file:///tmp/guide.html#donate", "Plumet's guide"}));

        // UTF-8 reaches the shell whole.
        link.setText(QString::fromUtf8("file:///home/j\xC3\xB3ga/guide.html"));
        link.OpenLink();
        QCOMPARE(shell.opened.back(), std::string("file:///home/j\xC3\xB3ga/guide.html"));
    }

    void theColoursCanBeChosen() {
        RecordingShell shell;
        CStaticLink link(shell, [] {});
        link.setText(kPage);
        link.colorUnvisited = Qt::darkGreen;
        link.colorVisited = Qt::darkRed;
        link.show();
        QVERIFY(QTest::qWaitForWindowExposed(&link));
        QCOMPARE(TextColor(link), QColor(Qt::darkGreen));
        link.OpenLink();
        QCOMPARE(TextColor(link), QColor(Qt::darkRed));
    }

    void theKeyboardReachesAndOpensTheLink() {
        RecordingShell shell;
        int beeps = 0;
        CAboutDlg about(
            shell, [&beeps] { ++beeps; }, kPage);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QApplication::setActiveWindow(&about);
        QVERIFY(QTest::qWaitForWindowActive(&about));

        about.webLink().setFocus(Qt::TabFocusReason);
        QVERIFY(about.webLink().hasFocus());
        QTest::keyClick(&about.webLink(), Qt::Key_Space);
        QCOMPARE(shell.opened.size(), std::size_t(1));
        // Enter on the link opens it rather than closing the box.
        QTest::keyClick(&about.webLink(), Qt::Key_Return);
        QCOMPARE(shell.opened.size(), std::size_t(2));
        QVERIFY(about.isVisible());

        QTest::keyClick(&about.webLink(), Qt::Key_Tab);
        QVERIFY(about.okButton().hasFocus());
        QTest::keyClick(&about.okButton(), Qt::Key_Tab);
        QVERIFY(about.webLink().hasFocus());
        QCOMPARE(beeps, 0);
    }
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
