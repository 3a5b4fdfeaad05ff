// The sample-linearity window: numbers only, the error worked out as values are typed, saving
// (audited) in the stored order, and cancelling.

#include "CalibrationTest.h"

#include "calibration/CalibrationLinear.h"
#include "calibration/LinearityValues.h"

#include <QScrollBar>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

#include <memory>

using namespace CalibrationTest;

class LinearTest : public QObject
{
    Q_OBJECT

    // Every typed cell in stored order gets text(n); the two error cells are left to the window.
    static void fill(CalibrationLinear &w, const std::function<QString(int)> &text)
    {
        int n = 0;
        for (const char *name : {"tableWidget_Data", "tableWidget_Data1"}) {
            auto *table = child<QTableWidget>(&w, name);
            for (int r = 0; r < 2; ++r)
                for (int c = 1; c < table->columnCount(); ++c) {
                    const QString t = text(n++);
                    if (table->item(r, c)->flags() & Qt::ItemIsEditable)
                        table->item(r, c)->setText(t);
                }
        }
    }

    static QString stored(const QString &project)
    {
        return projects(project).value(0).CalibrationLinear;
    }

    static Tool::Struct_Calibration project(const QString &name)
    {
        Tool::Struct_Calibration p;
        p.CalibrationName = name;
        return p;
    }

    std::unique_ptr<Workspace> ws;

private slots:
    void init() { QVERIFY(enterFreshWorkspace(ws)); }
    void cleanup() { ws.reset(); }

    void values_data()
    {
        QTest::addColumn<QString>("standard");
        QTest::addColumn<QString>("measured");
        QTest::addColumn<QString>("error");
        QTest::newRow("above") << "100" << "105" << "5.00";
        QTest::newRow("below") << "2.0E6" << "1.9e6" << "-5.00";
        QTest::newRow("equal") << "3" << "3.000" << "0.00";
        QTest::newRow("rounded") << "3" << "3.1" << "3.33";
        QTest::newRow("standard zero") << "0" << "1" << "";
        QTest::newRow("letters") << "1x" << "1" << "";
        QTest::newRow("missing") << "100" << " " << "";
    }

    void values()
    {
        QFETCH(QString, standard);
        QFETCH(QString, measured);
        QTEST(LinearityValues::indicationError(standard, measured), "error");
        QCOMPARE(LinearityValues::isValue("1.5e-3"), true);
        QCOMPARE(LinearityValues::isValue("abc"), false);
        QCOMPARE(LinearityValues::isValue("1,5"), false);
    }

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
        // Units are shown.
        QVERIFY(results->horizontalHeaderItem(3)->text().contains(QStringLiteral("(%)")));
        QVERIFY(results->horizontalHeaderItem(1)->text().contains(QStringLiteral("copies/μL")));
        for (QTableWidget *t : {data, results}) {
            QCOMPARE(t->rowCount(), 2);
            QCOMPARE(t->item(0, 0)->text(), QStringLiteral("U1"));
            QCOMPARE(t->item(1, 0)->text(), QStringLiteral("U2"));
            QVERIFY(!(t->item(0, 0)->flags() & Qt::ItemIsEditable));
            QVERIFY(t->item(1, 1)->flags() & Qt::ItemIsEditable);
        }
        QVERIFY(!(results->item(0, CalibrationLinear::ErrorColumn)->flags() & Qt::ItemIsEditable));
        QCOMPARE(child<QPushButton>(&w, "pushButton_Set")->text(), QStringLiteral("确定"));
        QCOMPARE(child<QPushButton>(&w, "pushButton_Cancel")->text(), QStringLiteral("取消"));
    }

    // An empty cell or one without a number keeps the window open and is pointed at; the error
    // follows what is typed.
    void incompleteOrNonNumericIsRefused()
    {
        QVERIFY(Tool::addCalibration(project("线性项目")));
        MessageRecorder recorder;
        CalibrationLinear w;
        w.setProjectName("线性项目");
        w.show();
        fill(w, [](int i) { return i == 27 ? QString() : QStringLiteral("1"); });
        auto *results = child<QTableWidget>(&w, "tableWidget_Data1");
        QCOMPARE(results->item(0, 3)->text(), QStringLiteral("0.00"));
        child<QPushButton>(&w, "pushButton_Set")->click();
        QVERIFY(w.isVisible());
        QCOMPARE(results->currentRow(), 1);
        QCOMPARE(results->currentColumn(), 4);
        results->item(1, 4)->setText(QStringLiteral("abc"));
        QCOMPARE(results->item(1, 4)->background().color(), QColor(255, 200, 200));
        child<QPushButton>(&w, "pushButton_Set")->click();
        QCOMPARE(recorder.texts(), (QStringList{"请将数据填写完整！", "U2 / 不确定度 (%, k=2) 不是数值！"}));
        QCOMPARE(recorder.last().title, QStringLiteral("提示"));
        QCOMPARE(stored("线性项目"), QString());
        results->item(1, 2)->setText(QStringLiteral("1.1"));
        QCOMPARE(results->item(1, 3)->text(), QStringLiteral("10.00"));
        results->item(1, 1)->setText(QString());
        QCOMPARE(results->item(1, 3)->text(), QString());
    }

    void savedInOrderAndAudited()
    {
        QVERIFY(Tool::addCalibration(project("顺序")));
        MessageRecorder recorder;
        CalibrationLinear w;
        w.setProjectName("顺序");
        w.show();
        fill(w, [](int i) { return QString::number(i + 1); });
        child<QPushButton>(&w, "pushButton_Set")->click();
        QVERIFY(!w.isVisible());
        QVERIFY(recorder.isEmpty());
        QStringList expected;
        for (int i = 1; i <= 28; ++i)
            expected << QString::number(i);
        // The errors of U1 (21 → 22) and U2 (25 → 26).
        expected[22] = QStringLiteral("4.76");
        expected[26] = QStringLiteral("4.00");
        QCOMPARE(stored("顺序"), expected.join(','));
        const QList<Tool::Struct_AuditLog> audit = Workspace::audit();
        QCOMPARE(audit.last().Details, QStringLiteral("样本线性校准数据保存：顺序"));
        QCOMPARE(audit.last().Type, QStringLiteral("设备校准-校准"));
    }

    // Cancel and the frame ask before typed values are lost; an untouched window just closes.
    void cancelAsksFirst()
    {
        QVERIFY(Tool::addCalibration(project("取消")));
        MessageRecorder recorder;
        {
            CalibrationLinear w;
            w.show();
            QVERIFY(w.close());
            QVERIFY(recorder.isEmpty());
        }
        CalibrationLinear w;
        w.setProjectName("取消");
        w.show();
        child<QTableWidget>(&w, "tableWidget_Data")->item(0, 1)->setText("5");
        recorder.answerNext(QMessageBox::No);
        child<QPushButton>(&w, "pushButton_Cancel")->click();
        QVERIFY(w.isVisible());
        recorder.answerNext(QMessageBox::No);
        QVERIFY(!w.close());
        recorder.answerNext(QMessageBox::Yes);
        QVERIFY(w.close());
        QCOMPARE(recorder.texts(), QStringList(QVector<QString>(3, "数据尚未保存，是否放弃已填写的数据？").toList()));
        QCOMPARE(stored("取消"), QString());
    }

    // Typed from the keyboard, value and Tab in turn, every value lands in its own cell: Tab
    // passes over the row names "U1" and "U2" and over the worked-out errors.
    void tabPassesOverTheRowNamesAndErrors()
    {
        QVERIFY(Tool::addCalibration(project("键入")));
        MessageRecorder recorder;
        CalibrationLinear w;
        w.setProjectName("键入");
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
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
            const int typedPerRow = table->columnCount() - 1 - (table->columnCount() == 5 ? 1 : 0);
            for (int i = 0; i < 2 * typedPerRow; ++i) {
                expected << QString::number(++n);
                type(expected.last(), Qt::Key_Tab);
            }
            table->setCurrentCell(1, 1);
            QTest::keyClick(table, Qt::Key_Backtab);
            QCOMPARE(table->currentRow(), 0);
            QCOMPARE(table->currentColumn(), table->columnCount() - 1);
        }
        // Results: U1 21 22 (error) 23, U2 24 25 (error) 26.
        expected.insert(22, "4.76");
        expected.insert(26, "4.17");
        child<QPushButton>(&w, "pushButton_Set")->click();
        QVERIFY(recorder.isEmpty());
        QCOMPARE(stored("键入"), expected.join(','));
    }

    // What is still in an open cell editor counts; a "," cannot be typed into a cell.
    void editorContentCounts()
    {
        QVERIFY(Tool::addCalibration(project("编辑中")));
        MessageRecorder recorder;
        CalibrationLinear w;
        w.setProjectName("编辑中");
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        fill(w, [](int i) { return i == 27 ? QString() : QStringLiteral("2"); });
        auto *results = child<QTableWidget>(&w, "tableWidget_Data1");
        results->setCurrentCell(1, 4);
        results->editItem(results->item(1, 4));
        QWidget *editor = results->indexWidget(results->currentIndex());
        QVERIFY(editor);
        QTest::keyClicks(editor, "0,05");
        child<QPushButton>(&w, "pushButton_Set")->click();
        QVERIFY(recorder.isEmpty());
        QVERIFY(stored("编辑中").endsWith(",2,0.00,005"));
        QCOMPARE(stored("编辑中").split(',').size(), 28);
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
        child<QPushButton>(&w, "pushButton_Set")->click();
        QCOMPARE(recorder.texts(), QStringList{"数据保存失败！"});
        QVERIFY(w.isVisible());
        // The values stay for another try once the project exists.
        QVERIFY(Tool::addCalibration(project("不存在")));
        child<QPushButton>(&w, "pushButton_Set")->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(stored("不存在").count('3'), 26);
    }
};

PCR_TEST_CLASS(LinearTest)
#include "tst_linear.moc"
