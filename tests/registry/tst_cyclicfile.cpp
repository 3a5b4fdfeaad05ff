// Cycle files: the step editor's rules, saving in ℃ from the display unit, the list and viewer.

#include "registrytest.h"

#include "analysis/CycleFile.h"
#include "app/pages.h"
#include "app/messages.h"
#include "registry/CyclicFile.h"
#include "registry/CyclicFileAdd.h"
#include "registry/CyclicFileDisplay.h"
#include "registry/CycleSteps.h"
#include "registry/Electrometer.h"
#include "registry/PCRDevice.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QList<Tool::Struct_CyclicFile> stored(const QString &number = QString())
{
    QList<Tool::Struct_CyclicFile> list;
    Tool::getCyclicFile(list, number);
    return list;
}

class Editor : public FormOf<CyclicFileAdd>
{
public:
    void type(const QString &temperature, const QString &minutes)
    {
        edit("lineEdit_Temp")->setText(temperature);
        edit("lineEdit_TempTime")->setText(minutes);
    }
    void add(const QString &temperature, const QString &minutes)
    {
        type(temperature, minutes);
        button("pushButton_Add")->click();
    }
    // "step:temperature/minutes" per row, as the table shows them.
    QStringList rows()
    {
        QStringList out;
        for (int r = 0; r < list()->rowCount(); ++r) {
            const QStringList t = rowTexts(list(), r);
            out << t.at(0) + QLatin1Char(':') + t.at(1) + QLatin1Char('/') + t.at(2);
        }
        return out;
    }
    void save(const QString &number, const QString &name)
    {
        edit("lineEdit_Number")->setText(number);
        edit("lineEdit_Name")->setText(name);
        button("pushButton_OK")->click();
    }
};

// File "1" of 95 and 60 ℃ held a minute each, made 2024-03-01 09:30.
Tool::Struct_CyclicFile twoSteps(const QString &name)
{
    return Tool::Struct_CyclicFile::fromValues(
        {"1", name, "2", "2024-03-01 09:30:00", "1,2", "95,60", "1,1"});
}

} // namespace

class TestCyclicFile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        PCR_SERVER_RUN_CHECK();
        QVERIFY(enterFreshWorkspace(ws));
    }
    void cleanup()
    {
        Tool::TemperatureUnit = QStringLiteral("℃");
        ws.reset();
    }

    void addingAppendsOrInsertsAfterTheSelectedStep()
    {
        MessageRecorder rec;
        Editor e;
        e.add("95", "10");
        e.add("60", "5");
        e.add("72", "15");
        QCOMPARE(e.rows(), QStringList({"1:95/10", "2:60/5", "3:72/15"}));
        e.page->pt_TableWidget_clicked(0, 1);
        QCOMPARE(e.edit("lineEdit_Temp")->text(), QStringLiteral("95"));
        QCOMPARE(e.edit("lineEdit_TempTime")->text(), QStringLiteral("10"));
        e.add("50", "1");
        QCOMPARE(e.rows(), QStringList({"1:95/10", "2:50/1", "3:60/5", "4:72/15"}));
        // The new step is the selected one: the next goes in after it.
        QCOMPARE(e.page->steps().selected(), 1);
        e.add("55", "2");
        QCOMPARE(e.rows(), QStringList({"1:95/10", "2:50/1", "3:55/2", "4:60/5", "5:72/15"}));
        QCOMPARE(e.list()->currentRow(), 2);
        QVERIFY(rec.isEmpty());
    }

    void setAndDeleteWorkOnTheSelectedStep()
    {
        MessageRecorder rec;
        Editor e;
        e.type("95", "10");
        e.button("pushButton_Set")->click();
        e.button("pushButton_Delete")->click();
        QCOMPARE(rec.texts(), QStringList({"请先选择内容！", "请先选择通道！"}));
        rec.clear();

        e.add("95", "10");
        e.add("60", "5");
        e.add("72", "15");
        e.page->pt_TableWidget_clicked(1, 0);
        e.type("65", "6");
        e.button("pushButton_Set")->click();
        QCOMPARE(e.rows(), QStringList({"1:95/10", "2:65/6", "3:72/15"}));

        // Deleting keeps the selection where it was: it now names the step that followed.
        e.button("pushButton_Delete")->click();
        QCOMPARE(e.rows(), QStringList({"1:95/10", "2:72/15"}));
        e.button("pushButton_Delete")->click();
        QCOMPARE(e.rows(), QStringList({"1:95/10"}));
        // Now the selection is past the end: nothing more is removed or replaced.
        e.button("pushButton_Delete")->click();
        e.button("pushButton_Set")->click();
        QCOMPARE(e.rows(), QStringList({"1:95/10"}));
        QCOMPARE(rec.texts(), QStringList({"请先选择通道！", "请先选择内容！"}));
        rec.clear();

        e.type("", "5");
        e.button("pushButton_Add")->click();
        e.type("60", " ");
        e.button("pushButton_Set")->click();
        QCOMPARE(rec.texts(), QStringList({"请先输入内容！", "请先输入内容！"}));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));

        e.button("pushButton_Clear")->click();
        QCOMPARE(e.list()->rowCount(), 0);
        e.add("40", "1");
        QCOMPARE(e.rows(), QStringList({"1:40/1"}));
    }

    void stepRules_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("temperature");
        QTest::addColumn<QString>("hold");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("shownTemperature");
        QTest::addColumn<QString>("shownHold");
        QTest::addColumn<QString>("stored");
        const QString c = QStringLiteral("℃"), f = QStringLiteral("℉");
        // The dot is kept: 72.5 ℃ and 1.5 min, not 725 and 15.
        QTest::newRow("one decimal") << c << "72.5" << "1.5" << int(CycleSteps::Done) << "72.5" << "1.5" << "72.5";
        QTest::newRow("whole") << c << " 95 " << "10" << int(CycleSteps::Done) << "95" << "10" << "95";
        QTest::newRow("hold normalised") << c << "60.0" << "0.50" << int(CycleSteps::Done) << "60" << "0.5" << "60";
        QTest::newRow("below zero") << c << "-10" << "1" << int(CycleSteps::Done) << "-10" << "1" << "-10";
        QTest::newRow("fahrenheit") << f << "212" << "3" << int(CycleSteps::Done) << "212" << "3" << "100.0";
        QTest::newRow("fahrenheit decimal") << f << "162.5" << "1" << int(CycleSteps::Done) << "162.5" << "1" << "72.5";
        QTest::newRow("725 too hot") << c << "725" << "1" << int(CycleSteps::TemperatureOutOfRange) << "" << "" << "";
        QTest::newRow("too cold") << c << "-10.1" << "1" << int(CycleSteps::TemperatureOutOfRange) << "" << "" << "";
        QTest::newRow("120 F is fine, 250 F not") << f << "250" << "1" << int(CycleSteps::TemperatureOutOfRange) << "" << "" << "";
        QTest::newRow("letters") << c << "abc12x" << "1" << int(CycleSteps::BadTemperature) << "" << "" << "";
        QTest::newRow("two decimals") << c << "72.55" << "1" << int(CycleSteps::BadTemperature) << "" << "" << "";
        QTest::newRow("exponent") << c << "7e1" << "1" << int(CycleSteps::BadTemperature) << "" << "" << "";
        QTest::newRow("hold letters") << c << "72" << "1,5" << int(CycleSteps::BadHold) << "" << "" << "";
        QTest::newRow("hold zero") << c << "72" << "0" << int(CycleSteps::HoldOutOfRange) << "" << "" << "";
        QTest::newRow("hold beyond a day") << c << "72" << "1441" << int(CycleSteps::HoldOutOfRange) << "" << "" << "";
        QTest::newRow("missing") << c << "72" << " " << int(CycleSteps::NeedInput) << "" << "" << "";
    }

    void stepRules()
    {
        QFETCH(QString, unit);
        QFETCH(QString, temperature);
        QFETCH(QString, hold);
        QFETCH(int, result);
        QString t, h;
        QCOMPARE(int(CycleSteps::checkStep(temperature, hold, unit, &t, &h)), result);
        if (result != CycleSteps::Done) {
            QVERIFY(!CycleSteps::problemText(CycleSteps::Result(result), unit).isEmpty());
            return;
        }
        QTEST(t, "shownTemperature");
        QTEST(h, "shownHold");
        QTEST(CycleSteps::storedTemperature(t, unit), "stored");
    }

    // What the user sees: a refused step is named in a message and changes nothing; the stored
    // file keeps the decimals and the analysis reads them.
    void typedStepsAreRefusedOrStoredWithTheirDecimals()
    {
        MessageRecorder rec;
        Editor e;
        e.add("725", "1");
        e.add("abc12x", "1");
        e.add("72", "1.5x");
        QCOMPARE(rec.texts(), QStringList({"设定点温度超出范围（-10 ~ 120 ℃）！", "设定点温度应为数字，最多一位小数！",
                                           "持续时间应为分钟数，最多两位小数！"}));
        QCOMPARE(e.list()->rowCount(), 0);
        rec.clear();
        e.add("72.5", "1.5");
        e.add("95", "0.25");
        e.save("5", "小数");
        QCOMPARE(rec.texts(), QStringList({"添加成功！"}));
        const Tool::Struct_CyclicFile f = stored("5").first();
        QCOMPARE(f.SetTemperatures, QStringLiteral("72.5,95"));
        QCOMPARE(f.HoldTimes, QStringLiteral("1.5,0.25"));
        QVector<CycleStep> steps;
        const Analysis::CycleFileColumns columns{f.StepCount, f.SetTemperatures, f.HoldTimes};
        QCOMPARE(Analysis::loadCycleFile(&columns, Analysis::CycleFileRole::Uniformity, steps),
                 Analysis::CycleFileError::None);
        QCOMPARE(steps.at(0).temperature, 72.5);
        QCOMPARE(steps.at(0).holdTime, 1.5);
        // The number is a key of up to three digits; letters there are named too.
        rec.clear();
        e.save("1a", "字母");
        QCOMPARE(rec.texts(), QStringList({"编号应为1到3位数字！"}));
    }

    // A file is changed in the editor, with its old and new steps in the audit trail; a file a
    // project was run with stays as it is.
    void changingAFile()
    {
        const Tool::Struct_CyclicFile f = twoSteps(QStringLiteral("程序"));
        QVERIFY(Tool::addCyclicFile(f));
        MessageRecorder rec;
        CyclicFile list;
        part<QPushButton>(&list, "pushButton_Modify")->click();
        QCOMPARE(rec.texts(), QStringList({"请先选择设备"}));
        rec.clear();

        CyclicFileAdd editor(f);
        QVERIFY(editor.isChange());
        QVERIFY(part<QLineEdit>(&editor, "lineEdit_Number")->isReadOnly());
        QCOMPARE(part<QTableWidget>(&editor, "tableWidget_List")->rowCount(), 2);
        editor.pt_TableWidget_clicked(1, 0);
        part<QLineEdit>(&editor, "lineEdit_Temp")->setText("72.5");
        part<QLineEdit>(&editor, "lineEdit_TempTime")->setText("1.5");
        editor.pt_Set_clicked();
        editor.pt_OK_clicked();
        QCOMPARE(rec.texts(), QStringList({"修改成功！"}));
        const Tool::Struct_CyclicFile changed = stored("1").first();
        QCOMPARE(changed.SetTemperatures, QStringLiteral("95,72.5"));
        QCOMPARE(changed.HoldTimes, QStringLiteral("1,1.5"));
        QCOMPARE(changed.CreateTime, f.CreateTime);
        QCOMPARE(lastAudit().Type, QStringLiteral("循环文件管理-修改"));
        QVERIFY2(lastAudit().Details.contains(QStringLiteral("95℃/1min, 60℃/1min"))
                     && lastAudit().Details.contains(QStringLiteral("95℃/1min, 72.5℃/1.5min")),
                 qPrintable(lastAudit().Details));

        Tool::Struct_Calibration project;
        project.CalibrationName = QStringLiteral("P-1");
        project.UniformityFile = QStringLiteral("程序");
        QVERIFY(Tool::addCalibration(project));
        rec.clear();
        const int audits = auditCount();
        editor.pt_Clear_clicked();
        part<QLineEdit>(&editor, "lineEdit_Temp")->setText("50");
        editor.pt_Add_clicked();
        editor.pt_OK_clicked();
        QCOMPARE(rec.texts(), QStringList({"该循环文件已被1个校准项目使用，不能修改！"}));
        QCOMPARE(stored("1").first().SetTemperatures, QStringLiteral("95,72.5"));
        QCOMPARE(auditCount(), audits);
    }

    void savingChecksInOrderAndStoresTheFile()
    {
        MessageRecorder rec;
        Editor e;
        e.save("", "PCR程序");
        e.save("1", "  ");
        e.save("1", "PCR程序");
        QCOMPARE(rec.texts(), QStringList({"编号不能为空！", "名称不能为空！", "通道不能为空！"}));
        QVERIFY(stored().isEmpty());
        rec.clear();

        e.add("95", "10");
        e.add("60", "5");
        e.add("72", "15");
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        e.save("1", "PCR程序");
        QCOMPARE(rec.texts(), QStringList({"添加成功！"}));
        QCOMPARE(rec.last().title, QStringLiteral("提示"));
        const Tool::Struct_CyclicFile f = stored("1").first();
        QCOMPARE(f.Name, QStringLiteral("PCR程序"));
        QCOMPARE(f.StepCount, QStringLiteral("3"));
        QCOMPARE(f.Steps, QStringLiteral("1,2,3"));
        QCOMPARE(f.SetTemperatures, QStringLiteral("95,60,72"));
        QCOMPARE(f.HoldTimes, QStringLiteral("10,5,15"));
        const QDateTime created = QDateTime::fromString(f.CreateTime, "yyyy-MM-dd hh:mm:ss");
        QVERIFY(created.isValid() && created >= before.addSecs(-1));
        QCOMPARE(lastAudit().Type, QStringLiteral("循环文件管理-添加"));
        QCOMPARE(lastAudit().Details, QStringLiteral("添加循环文件：PCR程序"));

        // The analysis reads what was stored.
        QVector<CycleStep> steps;
        const Analysis::CycleFileColumns columns{f.StepCount, f.SetTemperatures, f.HoldTimes};
        QCOMPARE(Analysis::loadCycleFile(&columns, Analysis::CycleFileRole::Uniformity, steps),
                 Analysis::CycleFileError::None);
        QCOMPARE(steps.size(), 3);
    }

    void numberOrNameInUseIsRefused()
    {
        MessageRecorder rec;
        Editor e;
        e.add("95", "10");
        e.save("7", "标准程序");
        QCOMPARE(rec.texts(), QStringList({"添加成功！"}));
        rec.clear();
        const int audits = auditCount();
        // Saving again: the dialog stayed open with the same number.
        e.button("pushButton_OK")->click();
        e.save("8", "标准程序");
        QCOMPARE(rec.texts(), QStringList({"编号重复,添加失败！", "名称重复,添加失败！"}));
        QCOMPARE(stored().size(), 1);
        QCOMPARE(auditCount(), audits);
        e.save("8", "另一个程序");
        QCOMPARE(stored().size(), 2);
    }

    void quotesAndCommasInTheName()
    {
        MessageRecorder rec;
        Editor e;
        e.add("95", "10");
        const QString name = QStringLiteral("O'Brien, 95 \"fast\"");
        e.save("1", name);
        QCOMPARE(rec.texts(), QStringList({"添加成功！"}));
        QCOMPARE(stored("1").first().Name, name);
        CyclicFile list;
        QCOMPARE(rowTexts(part<QTableWidget>(&list, "tableWidget_List"), 0).mid(0, 3),
                 QStringList({"1", name, "1"}));
    }

    void fahrenheitIsStoredInCelsiusAndShownInFahrenheit()
    {
        Tool::TemperatureUnit = QStringLiteral("℉");
        MessageRecorder rec;
        Editor e;
        QCOMPARE(part<QLabel>(e.page.get(), "label_TempUnit")->text(), QStringLiteral("℉"));
        e.add("212", "3");
        e.add("140", "1");
        e.save("1", "华氏");
        QCOMPARE(stored("1").first().SetTemperatures, QStringLiteral("100.0,60.0"));
        // The editor keeps the entered values: a second file converts them again from those.
        QCOMPARE(e.rows(), QStringList({"1:212/3", "2:140/1"}));
        e.save("2", "华氏2");
        QCOMPARE(stored("2").first().SetTemperatures, QStringLiteral("100.0,60.0"));

        CyclicFileDisplay display(stored("1").first());
        QTableWidget *table = part<QTableWidget>(&display, "tableWidget_List");
        QCOMPARE(rowTexts(table, 0), QStringList({"1", "212.0", "3"}));
        QCOMPARE(rowTexts(table, 1), QStringList({"2", "140.0", "1"}));
        QCOMPARE(part<QLineEdit>(&display, "lineEdit_NumberChannels")->text(), QStringLiteral("2"));
        QCOMPARE(part<QLineEdit>(&display, "lineEdit_Name")->text(), QStringLiteral("华氏"));
    }

    void viewerShowsADamagedFileWithoutReadingPastIt()
    {
        Tool::Struct_CyclicFile f;
        f.Number = QStringLiteral("3");
        f.Name = QStringLiteral("坏");
        f.StepCount = QStringLiteral("5");
        f.Steps = QStringLiteral("1,2");
        f.SetTemperatures = QStringLiteral("95,60");
        f.HoldTimes = QStringLiteral("1");
        CyclicFileDisplay display(f);
        QTableWidget *table = part<QTableWidget>(&display, "tableWidget_List");
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(rowTexts(table, 1), QStringList({"2", "60", ""}));
    }

    void listOpensTheViewerAndTheEditor()
    {
        const Tool::Struct_CyclicFile f = twoSteps(QStringLiteral("均匀度"));
        QVERIFY(Tool::addCyclicFile(f));
        MessageRecorder rec;
        CyclicFile list;
        QTableWidget *table = part<QTableWidget>(&list, "tableWidget_List");
        QCOMPARE(rowTexts(table, 0), QStringList({"1", "均匀度", "2", "2024-03-01 09:30:00"}));

        QString shownName;
        int shownRows = -1;
        onNextModal([&](QWidget *modal) {
            QVERIFY(qobject_cast<CyclicFileDisplay *>(modal));
            shownName = part<QLineEdit>(modal, "lineEdit_Name")->text();
            shownRows = part<QTableWidget>(modal, "tableWidget_List")->rowCount();
        });
        list.pt_TableWidget_clicked(0, 2);
        QCOMPARE(shownName, QStringLiteral("均匀度"));
        QCOMPARE(shownRows, 2);
        QCOMPARE(lastAudit().Type, QStringLiteral("循环文件管理-查看"));
        QCOMPARE(lastAudit().Details, QStringLiteral("查看循环文件：均匀度"));

        // The editor's file appears in the list when the editor closes.
        onNextModal([&](QWidget *modal) {
            auto *editor = qobject_cast<CyclicFileAdd *>(modal);
            QVERIFY(editor);
            part<QLineEdit>(editor, "lineEdit_Temp")->setText("95");
            part<QLineEdit>(editor, "lineEdit_TempTime")->setText("2");
            editor->pt_Add_clicked();
            part<QLineEdit>(editor, "lineEdit_Number")->setText("2");
            part<QLineEdit>(editor, "lineEdit_Name")->setText("速率");
            editor->pt_OK_clicked();
        });
        part<QPushButton>(&list, "pushButton_Add")->click();
        QCOMPARE(columnTexts(table, 1), QStringList({"均匀度", "速率"}));
        QCOMPARE(rec.texts(), QStringList({"添加成功！"}));
    }

    void deleteNeedsAViewedFileAndAConfirmation()
    {
        for (const char *n : {"1", "2"}) {
            Tool::Struct_CyclicFile f;
            f.Number = QString::fromLatin1(n);
            f.Name = QStringLiteral("程序") + f.Number;
            f.StepCount = QStringLiteral("1");
            f.Steps = QStringLiteral("1");
            f.SetTemperatures = QStringLiteral("95");
            f.HoldTimes = QStringLiteral("1");
            QVERIFY(Tool::addCyclicFile(f));
        }
        MessageRecorder rec;
        CyclicFile list;
        part<QPushButton>(&list, "pushButton_Delete")->click();
        QCOMPARE(rec.texts(), QStringList({"请先选择设备"}));
        QCOMPARE(rec.last().title, QStringLiteral("警告"));

        onNextModal([](QWidget *) {});
        list.pt_TableWidget_clicked(1, 0);
        const int audits = auditCount();
        rec.answerNext(QMessageBox::No);
        part<QPushButton>(&list, "pushButton_Delete")->click();
        QCOMPARE(rec.last().text, QStringLiteral("是否删除编号2（程序2）?"));
        QCOMPARE(stored().size(), 2);
        QCOMPARE(auditCount(), audits);

        rec.answerNext(QMessageBox::Yes);
        part<QPushButton>(&list, "pushButton_Delete")->click();
        QCOMPARE(stored().size(), 1);
        QCOMPARE(columnTexts(part<QTableWidget>(&list, "tableWidget_List"), 0), QStringList({"1"}));
        QCOMPARE(lastAudit().Type, QStringLiteral("循环文件管理-删除"));
        QCOMPARE(lastAudit().Details, QStringLiteral("删除循环文件的编号：2"));
    }

    // A file that stored projects ran with stays: their export finds the steps by its name.
    void fileInUseByAProjectIsKept()
    {
        for (const char *n : {"1", "2", "3"}) {
            Tool::Struct_CyclicFile f;
            f.Number = QString::fromLatin1(n);
            f.Name = QStringLiteral("程序'") + f.Number;
            f.StepCount = QStringLiteral("1");
            f.Steps = QStringLiteral("1");
            f.SetTemperatures = QStringLiteral("95");
            f.HoldTimes = QStringLiteral("1");
            QVERIFY(Tool::addCyclicFile(f));
        }
        Tool::Struct_Calibration uniformity;
        uniformity.CalibrationName = QStringLiteral("P-1");
        uniformity.UniformityFile = QStringLiteral("程序'1");
        QVERIFY(Tool::addCalibration(uniformity));
        Tool::Struct_Calibration rate;
        rate.CalibrationName = QStringLiteral("P-2");
        rate.RateFile = QStringLiteral("程序'2");
        QVERIFY(Tool::addCalibration(rate));

        MessageRecorder rec;
        CyclicFile list;
        for (int row : {0, 1}) {
            onNextModal([](QWidget *) {});
            list.pt_TableWidget_clicked(row, 0);
            rec.clear();
            const int audits = auditCount();
            part<QPushButton>(&list, "pushButton_Delete")->click();
            QCOMPARE(rec.texts(), QStringList({"该循环文件已被1个校准项目使用，不能删除！"}));
            QCOMPARE(rec.last().title, QStringLiteral("警告"));
            QCOMPARE(stored().size(), 3);
            QCOMPARE(auditCount(), audits);
        }
        // A file no project uses goes as before.
        onNextModal([](QWidget *) {});
        list.pt_TableWidget_clicked(2, 0);
        rec.clear();
        rec.answerNext(QMessageBox::Yes);
        part<QPushButton>(&list, "pushButton_Delete")->click();
        QCOMPARE(rec.texts(), QStringList({"是否删除编号3（程序'3）?"}));
        QCOMPARE(stored().size(), 2);
        // A single click highlights: delete acts on that row, not on the file viewed last.
        part<QTableWidget>(&list, "tableWidget_List")->selectRow(0);
        rec.clear();
        part<QPushButton>(&list, "pushButton_Delete")->click();
        QCOMPARE(rec.texts(), QStringList({"该循环文件已被1个校准项目使用，不能删除！"}));
    }

    void mainWindowBuildsTheRegistries()
    {
        QWidget parent;
        std::unique_ptr<QWidget> pcr(Pages::createPage(Pages::PCRDevicePage, &parent));
        std::unique_ptr<QWidget> meters(Pages::createPage(Pages::ElectrometerPage, &parent));
        std::unique_ptr<QDialog> cycles(Pages::createDialog(Pages::Dialog::CyclicFile));
        QVERIFY(qobject_cast<PCRDevice *>(pcr.get()));
        QVERIFY(qobject_cast<Electrometer *>(meters.get()));
        QVERIFY(qobject_cast<CyclicFile *>(cycles.get()));
        QCOMPARE(cycles->windowTitle(), QStringLiteral("步骤文件"));
        QVERIFY(cycles->minimumWidth() >= 600 && cycles->minimumHeight() >= 420);
    }

    void rightsDisableTheButtons()
    {
        Tool::CurrentUser.setAllRights(false);
        Tool::CurrentUser.CyclicFileAdd = true;
        CyclicFile list;
        QVERIFY(part<QPushButton>(&list, "pushButton_Add")->isEnabled());
        QVERIFY(!part<QPushButton>(&list, "pushButton_Delete")->isEnabled());
        Tool::CurrentUser.CyclicFileAdd = false;
        Tool::CurrentUser.CyclicFileDelete = true;
        CyclicFile other;
        QVERIFY(!part<QPushButton>(&other, "pushButton_Add")->isEnabled());
        QVERIFY(part<QPushButton>(&other, "pushButton_Delete")->isEnabled());
    }

private:
    std::unique_ptr<Workspace> ws;
};

PCR_TEST_CLASS(TestCyclicFile)
#include "tst_cyclicfile.moc"
