#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "HeaderColumns.h"
#include "PosixFiles.h"
#include "frame/ColourContrast.h"
#include "support/FakeServices.h"
#include "support/GuiDriving.h"
#include "support/PlatformServices.h"

// The list as it meets the eye and the keyboard.
class ListLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CPlumetApp::SetApplicationNames(); }

    void init() {
        app_ = std::make_unique<CPlumetApp>(CPlumetApp::Services{files_, ui_, profile_, shell_,
                                                                 scan_.folders, scan_.drives,
                                                                 scan_.locale, scan_.processes});
        QVERIFY(app_->InitInstance(CommandLine::Parse({})));
        for (int i = 0; i < 40; ++i) {  // real files, which Enter can play
            const QString path = folder_.filePath(QString("Album %1/Track %1.mp3").arg(i));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            CatalogList& list = app_->list();
            const int row = list.InsertRow(list.RowCount(), i % 2 ? "Odd" : "Even");
            list.SetCell(row, kModified, "12/28/26 10:58 PM");
            list.SetCell(row, kPath, path.toStdString());
        }
        ShowActive(Frame());
    }

    void cleanup() { app_.reset(); }

    // At 1280 and 800 px the six cells share the width and the header spans the list, Path
    // taking the rest; the status panes sit side by side down to a narrow window.
    void columnsShareTheWidthAndStatusPanesNeverOverlap() {
        CPlumetView& view = Frame().view();
        QHeaderView& header = *view.horizontalHeader();
        Frame().SetMessageText(QString("A long word from the last command ").repeated(4));
        Frame().SetPlayerPaneText(QString("Artist - A very long title of a track ").repeated(2));
        Frame().awayPane().setText("12 not connected");
        Frame().awayPane().show();
        for (const int width : {1280, 800, 420}) {
            Frame().resize(width, 600);
            QTRY_COMPARE(Frame().width(), width);
            int total = 0;
            for (int column = 0; column < kColumnCount; ++column) {
                QVERIFY(header.sectionSize(column) >= view.headerColumns().MinimumWidth(column));
                total += header.sectionSize(column);
            }
            QVERIFY(header.sectionSize(kModified) >
                    view.fontMetrics().horizontalAdvance("12/28/26 10:58 PM"));
            if (width == 1280) {
                QCOMPARE(header.sectionSize(kTrack), CatalogModel::DefaultWidth(kTrack));
                QVERIFY(header.sectionSize(kPath) > CatalogModel::DefaultWidth(kPath));
            }
            if (width >= 800) {
                QCOMPARE(total, view.viewport()->width());
            }
            QList<QRect> panes;
            for (QLabel* pane : Frame().statusBar()->findChildren<QLabel*>()) {
                if (pane->isVisible() && pane->width() > 0) {
                    QVERIFY(Frame().statusBar()->rect().contains(pane->geometry()));
                    for (const QRect& other : panes) {
                        QVERIFY2(!other.intersects(pane->geometry()), qPrintable(pane->text()));
                    }
                    panes << pane->geometry();
                }
            }
            QVERIFY(panes.size() >= 3);
        }
    }

    // Tab onto the list finds a current row, Down in the search box the first row found, and
    // Enter in either plays the current row.
    void keysReachTheRows() {
        CPlumetView& view = Frame().view();
        auto* search = Frame().findChild<QLineEdit*>("searchBox");
        search->setFocus();
        QTest::keyClicks(search, "even");
        QTest::keyClick(search, Qt::Key_Escape);  // a search ended: a reset list
        view.setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(view.hasFocus());
        QVERIFY(view.currentIndex().isValid());
        const int current = view.currentIndex().row();
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(view.SelectedRows(), std::vector<int>{current});
        QCOMPARE(Played(), Cell(current));

        search->setFocus();
        QTest::keyClicks(search, "odd");
        QTRY_COMPARE(view.catalogModel().rowCount(), 20);
        QTest::keyClick(search, Qt::Key_Down);
        QVERIFY(view.hasFocus());
        QCOMPARE(view.currentIndex().row(), 0);
        QCOMPARE(view.SelectedRows(), std::vector<int>{0});
        view.selectRow(2);
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Enter);
        QCOMPARE(Played(), Cell(2));
    }

    // The list's greyed rows and shaded groups under the default palette and a dark one.
    void greyedRowsAndGroupsKeepTheirContrast() {
        const auto ratio = [](const QColor& a, const QColor& b) {
            return ColourContrast::Ratio({a.red(), a.green(), a.blue()},
                                         {b.red(), b.green(), b.blue()});
        };
        CatalogModel& model = Frame().view().catalogModel();
        const QPalette original = QApplication::palette();
        QPalette dark(QColor(45, 45, 48), QColor(35, 35, 38));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
        for (const QPalette& palette : {original, dark}) {
            QApplication::setPalette(palette);
            CPlumetView view(model);
            const QColor base = view.palette().color(QPalette::Base);
            QVERIFY(ratio(view.palette().color(QPalette::Text), base) >= 4.5);
            QVERIFY(ratio(model.awayColour(), base) >= 4.5);
            QVERIFY(ratio(model.awayColour(), model.oddGroupColour()) >= 4.5);
            QVERIFY(ratio(model.oddGroupColour(), base) >= 1.2);
        }
        QApplication::setPalette(original);
    }

private:
    CMainFrame& Frame() const { return *app_->mainFrame(); }
    QString Played() const {
        return shell_.opened.empty() ? QString() : QString::fromStdString(shell_.opened.back());
    }
    QString Cell(int row) const {
        return Frame().view().catalogModel().index(row, kPath).data().toString();
    }

    QTemporaryDir folder_;
    PosixFiles files_;
    ScriptedUserInterface ui_;
    MemoryProfile profile_;
    RecordingShell shell_;
    PlatformServices scan_;
    std::unique_ptr<CPlumetApp> app_;
};

QTEST_MAIN(ListLayoutTest)
#include "ListLayoutTest.moc"
