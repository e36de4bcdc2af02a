#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "CMainFrame.h"
#include "CPlumetApp.h"
#include "CPlumetView.h"
#include "CatalogModel.h"
#include "LinuxMounts.h"
#include "MountWatcher.h"
#include "PosixFiles.h"
#include "VolumeDescriptor.h"
#include "catalog/CatalogFile.h"
#include "commands/CommandId.h"
#include "support/FakeServices.h"
#include "support/PlatformServices.h"
#include "volumes/VolumePieces.h"

namespace {

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quoted(const QString& path) {
    return "'" + path.toStdString() + "'";
}

std::optional<Mounts::Volume> VolumeAt(LinuxMounts& mounts, const QString& mountPoint) {
    for (const Mounts::Volume& volume : mounts.MountedVolumes()) {
        if (volume.mountPoint == mountPoint.toStdString()) {
            return volume;
        }
    }
    return std::nullopt;
}

}  // namespace

// A disc image mounted with fuseiso, as a user mounts one, and the watcher seeing it go and
// come back elsewhere.
class MountWatcherTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        for (const char* tool : {"genisoimage", "fuseiso", "fusermount"}) {
            if (!Run(std::string("command -v ") + tool)) {
                QSKIP(qPrintable(QString("%1 is not installed").arg(tool)));
            }
        }
        QVERIFY(QDir(folder_.path()).mkpath("content"));
        QVERIFY(QDir(folder_.path()).mkpath("A"));
        QVERIFY(QDir(folder_.path()).mkpath("B two"));
        std::ofstream(Path("content/tiny.txt").toStdString()) << "tiny";
        image_ = Path("disc image.iso");
        QVERIFY(Run("genisoimage -V TINY -J -o " + Quoted(image_) + " " + Quoted(Path("content"))));
        std::ifstream in(image_.toStdString(), std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        const std::optional<std::string> id =
            VolumeDescriptor::ReadId(VolumeDescriptor::FromMemory(bytes));
        QVERIFY(id.has_value());
        id_ = *id;
    }

    void cleanup() { Unmount(); }
    void cleanupTestCase() { Unmount(); }

    void aMountedImageIsADiscNamedByItsDescriptors() {
        if (!Run("fuseiso " + Quoted(image_) + " " + Quoted(Path("A")))) {
            QSKIP("fuseiso cannot mount here: /dev/fuse is missing or not usable");
        }
        mounted_.push_back(Path("A"));
        LinuxMounts mounts;
        const std::optional<Mounts::Volume> volume = VolumeAt(mounts, Path("A"));
        QVERIFY(volume.has_value());
        QCOMPARE(volume->id, id_);
        QVERIFY(volume->disc);
        const std::optional<Mounts::Volume> ofFile =
            mounts.VolumeOf(Path("A/tiny.txt").toStdString());
        QVERIFY(ofFile.has_value());
        QCOMPARE(ofFile->id, id_);
        QCOMPARE(QString::fromStdString(ofFile->mountPoint), Path("A"));
        QVERIFY(ofFile->disc);

        MountWatcher watcher;
        QVERIFY(watcher.isWatching());
        QSignalSpy changes(&watcher, &MountWatcher::mountsChanged);
        QVERIFY(Run("fusermount -u " + Quoted(Path("A"))));
        mounted_.clear();
        QVERIFY(changes.wait(1000));
        QVERIFY(!VolumeAt(mounts, Path("A")).has_value());

        QVERIFY(Run("fuseiso " + Quoted(image_) + " " + Quoted(Path("B two"))));
        mounted_.push_back(Path("B two"));
        QVERIFY(changes.wait(1000));
        const std::optional<Mounts::Volume> moved = VolumeAt(mounts, Path("B two"));
        QVERIFY(moved.has_value());
        QCOMPARE(moved->id, id_);
        QVERIFY(moved->disc);
        QCOMPARE(mounts.VolumeOf(Path("B two/tiny.txt").toStdString())->id, id_);
        // One signal for each change, however many steps the kernel took.
        QTest::qWait(300);
        QCOMPARE(changes.count(), 2);
    }

    // The whole program over a real image: its row greyed while the image is away, Play
    // waiting for it, and the file played from where it is mounted again.
    void theWindowWaitsForTheImageAndPlaysItFromItsNewPlace() {
        if (!Run("fuseiso " + Quoted(image_) + " " + Quoted(Path("A")))) {
            QSKIP("fuseiso cannot mount here: /dev/fuse is missing or not usable");
        }
        mounted_.push_back(Path("A"));
        LinuxMounts mounts;
        const std::string file = Path("A/tiny.txt").toStdString();
        const std::optional<Mounts::Volume> volume = mounts.VolumeOf(file);
        QVERIFY(volume.has_value());
        CatalogList list;
        list.AppendRows(
            {CatalogRow(RowCells{"A", "Tiny", "TINY", "4", "", file}, VolumePieces(*volume))});
        const std::string catalog = Path("tiny.plm").toStdString();
        QVERIFY(files_.ReplaceFile(
            catalog, [&list](ByteSink& sink) { return CatalogFile::StoreCatalog(list, sink); }));
        Unmount();

        CPlumetApp::SetApplicationNames();
        CPlumetApp app({files_, ui_, profile_, shell_, platform_.folders, platform_.drives,
                        platform_.locale, platform_.processes, nullptr, &mounts});
        QVERIFY(app.InitInstance(CommandLine::Parse({catalog})));
        MountWatcher watcher;
        connect(&watcher, &MountWatcher::mountsChanged, app.volumeFollower(),
                &VolumeFollower::Refresh);
        CatalogModel& model = app.mainFrame()->view().catalogModel();
        QVERIFY(model.IsAway(0));
        app.mainFrame()->view().selectRow(0);
        QVERIFY(app.mainFrame()->SendCommand(kPlay));
        QVERIFY(app.discPrompt().box() != nullptr);
        QVERIFY(shell_.opened.empty());

        QVERIFY(Run("fuseiso " + Quoted(image_) + " " + Quoted(Path("B two"))));
        mounted_.push_back(Path("B two"));
        QTRY_COMPARE_WITH_TIMEOUT(shell_.opened.size(), std::size_t(1), 3000);
        QCOMPARE(QString::fromStdString(shell_.opened.front()), Path("B two/tiny.txt"));
        QTRY_VERIFY(app.discPrompt().box() == nullptr);
        QVERIFY(!model.IsAway(0));
    }

private:
    QString Path(const QString& name) const { return folder_.path() + "/" + name; }
    void Unmount() {
        for (const QString& point : mounted_) {
            Run("fusermount -u " + Quoted(point));
        }
        mounted_.clear();
    }

    QTemporaryDir folder_;
    PosixFiles files_;
    ScriptedUserInterface ui_;
    MemoryProfile profile_;
    RecordingShell shell_;
    PlatformServices platform_;
    QString image_;
    std::string id_;
    std::vector<QString> mounted_;
};

QTEST_MAIN(MountWatcherTest)
#include "MountWatcherTest.moc"
