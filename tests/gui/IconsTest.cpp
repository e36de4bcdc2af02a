#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QtTest>

#include "commands/CommandTable.h"

namespace {

// True when at least one pixel of the image is not fully transparent.
bool HasPaint(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) != 0) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

class IconsTest : public QObject {
    Q_OBJECT

private slots:
    void rendersEachBundledIcon_data() {
        QTest::addColumn<QString>("path");
        const char* const toolbar[] = {
            "document-new",           "document-open", "document-save", "media-optical",
            "plumet-search-location", "process-stop",  "view-filter",   "media-playlist-shuffle",
            "applications-internet",  "help-about",    "edit-undo",     "edit-redo",
        };
        for (const char* name : toolbar) {
            const QString path = QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(name));
            QTest::newRow(name) << path;
        }
        QTest::newRow("program") << QStringLiteral(":/icons/plumet.svg");
    }

    void rendersEachBundledIcon() {
        QFETCH(QString, path);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        const QIcon icon(path);
        QVERIFY(!icon.isNull());
        for (const int size : {16, 30}) {
            const QPixmap pixmap = icon.pixmap(size, size);
            QVERIFY2(!pixmap.isNull(),
                     qPrintable(QStringLiteral("%1 at %2 px").arg(path).arg(size)));
            QCOMPARE(pixmap.width(), size);
            QVERIFY2(HasPaint(pixmap.toImage()), qPrintable(path));
        }
    }

    // A desktop whose theme lacks an icon still shows ours.
    void everyCommandIconHasOurImage() {
        for (const CommandInfo& command : CommandTable::All()) {
            if (*command.iconName) {
                const QString path =
                    QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(command.iconName));
                QVERIFY2(QFile::exists(path), qPrintable(path));
            }
        }
    }
};

QTEST_MAIN(IconsTest)
#include "IconsTest.moc"
