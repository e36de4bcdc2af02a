#include <QtTest>
class MainWindowTest : public QObject { Q_OBJECT };
QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
