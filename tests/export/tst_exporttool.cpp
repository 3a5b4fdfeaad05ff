#include <QtTest>
class TestExportTool : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(TestExportTool)
#include "tst_exporttool.moc"
