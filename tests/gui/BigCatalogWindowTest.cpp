#include <QHeaderView>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "CMainFrame.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "catalog/CatalogFile.h"
#include "support/BigCatalogSession.h"

namespace {

constexpr int kRows = 1'000'000;

std::string Folded(std::string_view text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return folded;
}

}  // namespace

// A million rows in the window, every step under a model tester: nothing is lost, the
// order holds, and the file saved at the end holds exactly the rows shown.
class BigCatalogWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { CPlumetApp::SetApplicationNames(); }

    void aMillionRowsOpenSortFilterScrollAndSave() {
        QTemporaryDir folder;
        const std::string path = folder.filePath("Million.plm").toStdString();
        QVERIFY(BigCatalogSession::WriteCatalog(path, kRows));

        BigCatalogSession session;
        QVERIFY(session.Open(path));
        CatalogModel& model = session.model();
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), kRows);

        // First click sorts ascending, ASCII case folded, and keeps ties in file order.
        session.ClickHeader(kArtist);
        const CatalogList& list = session.app().list();
        for (int row = 1; row < kRows; ++row) {
            const std::string before = Folded(list.RowRecord(row - 1)->Cell(kArtist));
            const std::string after = Folded(list.RowRecord(row)->Cell(kArtist));
            QVERIFY2(before <= after, qPrintable(QString::number(row)));
        }
        const std::string lastArtist(list.RowRecord(kRows - 1)->Cell(kArtist));

        const std::string folderKey(list.RowRecord(12345)->Cell(kFolderDisk));
        const int shown = session.FilterOnFolderOf(12345);
        QCOMPARE(shown, kRows / 1000);
        const CatalogView& shownRows = session.app().view();
        for (int row = 0; row < shown; ++row) {
            QCOMPARE(shownRows.RowRecord(row)->Cell(kFolderDisk), std::string_view(folderKey));
        }
        QCOMPARE(session.ShowAll(), kRows);
        QCOMPARE(std::string(list.RowRecord(kRows - 1)->Cell(kArtist)), lastArtist);

        QCOMPARE(session.PressCtrlEnd(), kRows - 1);
        CPlumetView& view = session.frame().view();
        QCOMPARE(view.rowAt(view.viewport()->height() - 1), kRows - 1);
        QCOMPARE(model.data(model.index(kRows - 1, kArtist)).toString(),
                 QString::fromStdString(lastArtist));

        const std::string savedPath = folder.filePath("Sorted.plm").toStdString();
        QVERIFY(session.SaveAs(savedPath));
        CatalogList saved;
        PosixFiles files;
        Files::OpenedFile opened;
        QVERIFY(files.OpenForReading(savedPath, opened));
        QVERIFY(CatalogFile::LoadCatalog(saved, *opened.source, true));
        QCOMPARE(saved.RowCount(), kRows);
        for (int row = 0; row < kRows; ++row) {
            QVERIFY2(*saved.RowRecord(row) == *list.RowRecord(row),
                     qPrintable(QString::number(row)));
        }
        QCOMPARE(session.frame().windowTitle(), QString("Sorted.plm - Plumet"));
    }
};

QTEST_MAIN(BigCatalogWindowTest)
#include "BigCatalogWindowTest.moc"
