// The sample-linearity window: the check on every close and the stored order.

#include "CalibrationTest.h"

#include "calibration/CalibrationLinear.h"

#include <QScrollBar>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

#include <memory>

using namespace CalibrationTest;

class LinearTest : public QObject
{
    Q_OBJECT

    static void fill(CalibrationLinear &w, const std::function<QString(int)> &text)
    {
        int n = 0;
        for (const char *name : {"tableWidget_Data", "tableWidget_Data1"}) {
            auto *table = child<QTableWidget>(&w, name);
            for (int r = 0; r < 2; ++r)
                for (int c = 1; c < table->columnCount(); ++c)
                    table->item(r, c)->setText(text(n++));
        }
    }

    static QString stored(const QString &project)
    {
        return projects(project).value(0).CalibrationLinear;
    }

    std::unique_ptr<Workspace> ws;

private slots:
    void init() { QVERIFY(enterFreshWorkspace(ws)); }
    void cleanup() { ws.reset(); }

    void form()
    {
        CalibrationLinear w;
        QCOMPARE(w.windowTitle(), QStringLiteral("样本线性校准"));
        auto *data = child<QTableWidget>(&w, "tableWidget_Data");
        auto *results = child<QTableWidget>(&w, "tableWidget_Data1");
        QCOMPARE(data->columnCount(), 11);
        QCOMPARE(results->columnCount(), 5);
        QCOMPARE(data->horizontalHeaderItem(0)->text(), QStringLiteral("项目"));
        QCOMPARE(data->horizontalHeaderItem(10)->text(), QStringLiteral("    10    "));
        QCOMPARE(results->horizontalHeaderItem(4)->text(), QStringLiteral("      不确定度      "));
        for (QTableWidget *t : {data, results}) {
            QCOMPARE(t->rowCount(), 2);
            QCOMPARE(t->item(0, 0)->text(), QStringLiteral("U1"));
            QCOMPARE(t->item(1, 0)->text(), QStringLiteral("U2"));
            QVERIFY(!(t->item(0, 0)->flags() & Qt::ItemIsEditable));
            QVERIFY(t->item(1, 1)->flags() & Qt::ItemIsEditable);
        }
        QCOMPARE(child<QPushButton>(&w, "pushButton_Set")->text(), QStringLiteral("确定"));
    }

    // One empty cell keeps the window open, from the button and from the frame.
    void emptyCellRefusesTheClose()
    {
        Tool::Struct_Calibration p;
        p.CalibrationName = QStringLiteral("线性项目");
        QVERIFY(Tool::addCalibration(p));
        MessageRecorder recorder;
        CalibrationLinear w;
        w.setProjectName(p.CalibrationName);
        w.show();
        fill(w, [](int i) { return i == 26 ? QString() : QStringLiteral("1"); });

        child<QPushButton>(&w, "pushButton_Set")->click();
        QVERIFY(w.isVisible());
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(recorder.texts(), (QStringList{"请将数据填写完整！", "请将数据填写完整！"}));
        QCOMPARE(recorder.last().title, QStringLiteral("提示"));
        QCOMPARE(stored(p.CalibrationName), QString());
        // The empty cell is the one shown to the user.
        auto *results = child<QTableWidget>(&w, "tableWidget_Data1");
        QCOMPARE(results->currentRow(), 1);
        QCOMPARE(results->currentColumn(), 3);
        // Blanks count as empty.
        results->item(1, 3)->setText(QStringLiteral("  "));
        QVERIFY(!w.close());
    }

    void allCellsStoredInOrder()
    {
        Tool::Struct_Calibration p;
        p.CalibrationName = QStringLiteral("顺序");
        QVERIFY(Tool::addCalibration(p));
        MessageRecorder recorder;
        CalibrationLinear w;
        w.setProjectName(p.CalibrationName);
        w.show();
        fill(w, [](int i) { return QString::number(i + 1); });
        QVERIFY(w.close());
        QVERIFY(recorder.isEmpty());
        QStringList expected;
        for (int i = 1; i <= 28; ++i)
            expected << QString::number(i);
        QCOMPARE(stored(p.CalibrationName), expected.join(','));

        // All "1": 28 ones.
        CalibrationLinear again;
        again.setProjectName(p.CalibrationName);
        fill(again, [](int) { return QStringLiteral("1"); });
        QVERIFY(again.close());
        QCOMPARE(stored(p.CalibrationName), QStringList(QVector<QString>(28, "1").toList()).join(','));
    }

    // Typed from the keyboard, value and Tab in turn, every value lands in its own cell: Tab
    // passes over the row names "U1" and "U2", where a typed value would be lost and every
    // later value would land one cell too far. Shift+Tab passes over them backwards.
    void tabPassesOverTheRowNames()
    {
        Tool::Struct_Calibration p;
        p.CalibrationName = QStringLiteral("键入");
        QVERIFY(Tool::addCalibration(p));
        MessageRecorder recorder;
        CalibrationLinear w;
        w.setProjectName(p.CalibrationName);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Each key to the widget that has the focus then, as the keyboard would send it.
        const auto type = [](const QString &text, Qt::Key then) {
            for (const QChar c : text)
                QTest::keyClicks(QApplication::focusWidget(), QString(c));
            QTest::keyClick(QApplication::focusWidget(), then);
        };
        QStringList expected;
        int n = 0;
        for (const char *name : {"tableWidget_Data", "tableWidget_Data1"}) {
            auto *table = child<QTableWidget>(&w, name);
            table->setFocus();
            table->setCurrentCell(0, 1);
            for (int i = 0; i < 2 * (table->columnCount() - 1); ++i) {
                expected << QString::number(++n);
                type(expected.last(), Qt::Key_Tab);
            }
            // Back from U2's first value over "U2" to U1's last one.
            table->setCurrentCell(1, 1);
            QTest::keyClick(table, Qt::Key_Backtab);
            QCOMPARE(table->currentRow(), 0);
            QCOMPARE(table->currentColumn(), table->columnCount() - 1);
        }
        QVERIFY(w.close());
        QVERIFY(recorder.isEmpty());
        QCOMPARE(stored(p.CalibrationName), expected.join(','));
    }

    // What is still in an open cell editor counts; a "," cannot be typed into a cell.
    void editorContentCounts()
    {
        Tool::Struct_Calibration p;
        p.CalibrationName = QStringLiteral("编辑中");
        QVERIFY(Tool::addCalibration(p));
        MessageRecorder recorder;
        CalibrationLinear w;
        w.setProjectName(p.CalibrationName);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        fill(w, [](int i) { return i == 27 ? QString() : QStringLiteral("2"); });
        auto *results = child<QTableWidget>(&w, "tableWidget_Data1");
        results->setCurrentCell(1, 4);
        results->editItem(results->item(1, 4));
        QWidget *editor = results->indexWidget(results->currentIndex());
        QVERIFY(editor);
        QTest::keyClicks(editor, "0,05");
        QVERIFY(w.close());
        QVERIFY(recorder.isEmpty());
        QVERIFY(stored(p.CalibrationName).endsWith(",2,005"));
        QCOMPARE(stored(p.CalibrationName).split(',').size(), 28);
    }

    // Every column of both tables in view when the window opens, in both languages (the English
    // result headers are the widest).
    void allColumnsInView()
    {
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(":/i18n/pcr_en.qm")));
        for (const bool inEnglish : {false, true}) {
            if (inEnglish)
                QCoreApplication::installTranslator(&english);
            CalibrationLinear w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_VERIFY(child<QTableWidget>(&w, "tableWidget_Data")->horizontalScrollBar()->maximum() == 0);
            QCOMPARE(child<QTableWidget>(&w, "tableWidget_Data1")->horizontalScrollBar()->maximum(), 0);
        }
        QCoreApplication::removeTranslator(&english);
    }

    void missingProjectIsAFailedSave()
    {
        MessageRecorder recorder;
        CalibrationLinear w;
        w.setProjectName(QStringLiteral("不存在"));
        w.show();
        fill(w, [](int) { return QStringLiteral("3"); });
        QVERIFY(!w.close());
        QCOMPARE(recorder.texts(), QStringList{"数据保存失败！"});
        QVERIFY(w.isVisible());
        // The values stay for another try once the project exists.
        Tool::Struct_Calibration p;
        p.CalibrationName = QStringLiteral("不存在");
        QVERIFY(Tool::addCalibration(p));
        QVERIFY(w.close());
        QCOMPARE(stored(p.CalibrationName).count('3'), 28);
    }
};

PCR_TEST_CLASS(LinearTest)
#include "tst_linear.moc"
