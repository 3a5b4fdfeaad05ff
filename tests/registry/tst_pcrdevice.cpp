// The PCR instrument register: derived calibration state, form, list and its messages.

#include "registrytest.h"

#include "app/messages.h"
#include "registry/CalibrationDates.h"
#include "registry/PCRDevice.h"
#include "registry/RegistryForm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

Tool::Struct_PCRDevice device(const QString &number, const QString &serial)
{
    Tool::Struct_PCRDevice d;
    d.Number = number;
    d.DeviceName = QStringLiteral("荧光定量PCR仪");
    d.DeviceModel = QStringLiteral("CFX96");
    d.SerialNumber = serial;
    d.Manufacturer = QStringLiteral("伯乐");
    d.CalibrationMode = QStringLiteral("内校");
    d.CalibrationCycle = QStringLiteral("12");
    d.CertificateNumber = QStringLiteral("JZ-") + number;
    d.Remarks = QStringLiteral("A级");
    return d;
}

// Stores an instrument calibrated at `date` (as a finished calibration does).
void storeCalibrated(const Tool::Struct_PCRDevice &d, const QString &date)
{
    QVERIFY(Tool::addPCRDevice(d));
    if (!date.isEmpty())
        QVERIFY(Tool::updatePCRDeviceCalibrationDate(d.SerialNumber, date));
}

class Form : public FormOf<PCRDevice>
{
public:
    void fill(const Tool::Struct_PCRDevice &d)
    {
        edit("lineEdit_Number")->setText(d.Number);
        combo("comboBox_DeviceName")->setCurrentText(d.DeviceName);
        combo("comboBox_DeviceModel")->setCurrentText(d.DeviceModel);
        edit("lineEdit_SerialNumber")->setText(d.SerialNumber);
        combo("comboBox_Manufacturer")->setCurrentText(d.Manufacturer);
        combo("comboBox_CalibrationMode")->setCurrentText(Tool::toDisplayText(d.CalibrationMode));
        edit("lineEdit_CalibrationCycle")->setText(d.CalibrationCycle);
        edit("lineEdit_CertificateNumber")->setText(d.CertificateNumber);
        edit("lineEdit_AccuracyGrade")->setText(d.Remarks);
    }
    // Double click on the row showing that number.
    void open(const QString &number)
    {
        const int row = columnTexts(list(), 1).indexOf(number);
        QVERIFY(row >= 0);
        page->pt_TableWidget_clicked(row, 0);
    }
};

QList<Tool::Struct_PCRDevice> stored(const QString &number = QString())
{
    QList<Tool::Struct_PCRDevice> list;
    Tool::getPCRDevice(list, number);
    return list;
}

} // namespace

class TestPCRDevice : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        PCR_SERVER_RUN_CHECK();
        QVERIFY(enterFreshWorkspace(ws));
    }
    void cleanup() { ws.reset(); }

    void recheckDateAndStateFromDateAndCycle()
    {
        using namespace CalibrationDates;
        const QString date = QStringLiteral("2024-01-10 08:00:00");
        const QDateTime recheck = recheckDate(date, QStringLiteral("12"));
        QCOMPARE(minuteText(recheck), QStringLiteral("2025-01-10 08:00"));
        const QDateTime before = QDateTime::fromString("2025-01-10 07:59:59", "yyyy-MM-dd hh:mm:ss");
        QCOMPARE(state(date, "12", before), QStringLiteral("已校"));
        QCOMPARE(state(date, "12", recheck), QStringLiteral("过期"));
        QCOMPARE(state(date, "12", recheck.addDays(400)), QStringLiteral("过期"));
        // Never calibrated.
        QCOMPARE(state(QString(), "12", before), QStringLiteral("未校"));
        QVERIFY(!recheckDate(QString(), "12").isValid());
        // A typed date carries no seconds: it is that minute.
        QCOMPARE(parse("2024-01-10 08:00"), parse(date));
        QCOMPARE(state("2024-01-10 08:00", "12", before), QStringLiteral("已校"));
        QCOMPARE(state("2024-01-10 08:00", "12", recheck), QStringLiteral("过期"));
        // A month-end date lands on the last day of the shorter month.
        QCOMPARE(minuteText(recheckDate("2024-01-31 10:00:00", "1")), QStringLiteral("2024-02-29 10:00"));
        // Without a cycle there is nothing to recheck by; an unreadable date cannot count as calibrated.
        QCOMPARE(state(date, QString(), recheck.addYears(5)), QStringLiteral("已校"));
        QCOMPARE(state("10.01.2024", "12", before), QStringLiteral("过期"));
    }

    void typedDatesAndCycles()
    {
        using namespace CalibrationDates;
        QString stored = QStringLiteral("x");
        QVERIFY(storedFromTyped("2024-01-10 08:00", &stored));
        QCOMPARE(stored, QStringLiteral("2024-01-10 08:00:00"));
        QVERIFY(storedFromTyped("-- :", &stored));   // an empty masked editor
        QVERIFY(stored.isEmpty());
        QVERIFY(!storedFromTyped("2024-13-10 08:00", &stored));
        QVERIFY(!storedFromTyped("2024-02-30 08:00", &stored));
        QVERIFY(!storedFromTyped("2024-01-1 :", &stored));
        QVERIFY(isValidCycle("12") && isValidCycle("12.0") && isValidCycle("") && isValidCycle("0"));
        QVERIFY(!isValidCycle("1.5") && !isValidCycle("-1") && !isValidCycle("-") && !isValidCycle("1.2.3"));
    }

    void listShowsDerivedStateOverdueInRed()
    {
        const QDateTime now = QDateTime::currentDateTime();
        storeCalibrated(device("P1", "S1"), QStringLiteral("2024-01-10 08:00:00"));   // long overdue
        storeCalibrated(device("P2", "S2"), now.addMonths(-1).toString("yyyy-MM-dd hh:mm:ss"));
        storeCalibrated(device("P3", "S3"), QString());
        Form f;
        QTableWidget *list = f.list();
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(rowTexts(list, 0),
                 QStringList({"过期", "P1", "荧光定量PCR仪", "CFX96", "S1", "伯乐", "内校",
                              "2024-01-10 08:00:00", "12", "JZ-P1", "A级"}));
        QCOMPARE(columnTexts(list, 0), QStringList({"过期", "已校", "未校"}));
        QCOMPARE(list->item(0, 0)->foreground().color(), QColor(255, 0, 0));
        QVERIFY(list->item(1, 0)->foreground().color() != QColor(255, 0, 0));
        QVERIFY(list->item(2, 0)->foreground().color() != QColor(255, 0, 0));
    }

    void openingARowFillsTheFormWithDerivedDates()
    {
        storeCalibrated(device("P1", "S1"), QStringLiteral("2024-01-10 08:00:00"));
        storeCalibrated(device("P3", "S3"), QString());
        Form f;
        const int audits = auditCount();
        f.open("P1");
        QCOMPARE(f.edit("lineEdit_Number")->text(), QStringLiteral("P1"));
        QCOMPARE(f.edit("lineEdit_SerialNumber")->text(), QStringLiteral("S1"));
        QCOMPARE(f.combo("comboBox_DeviceName")->currentText(), QStringLiteral("荧光定量PCR仪"));
        QCOMPARE(f.combo("comboBox_CalibrationMode")->currentText(), QStringLiteral("内校"));
        QCOMPARE(f.edit("lineEdit_CalibrationDate")->text(), QStringLiteral("2024-01-10 08:00"));
        QCOMPARE(f.edit("lineEdit_Stability")->text(), QStringLiteral("2025-01-10 08:00"));
        QCOMPARE(f.combo("comboBox_CalibrationState")->currentText(), QStringLiteral("过期"));
        QCOMPARE(f.edit("lineEdit_AccuracyGrade")->text(), QStringLiteral("A级"));
        QCOMPARE(auditCount(), audits + 1);
        QCOMPARE(lastAudit().Type, QStringLiteral("PCR设备管理-查看"));
        QCOMPARE(lastAudit().Details, QStringLiteral("PCR设备查看：荧光定量PCR仪"));

        f.open("P3");
        QCOMPARE(f.combo("comboBox_CalibrationState")->currentText(), QStringLiteral("未校"));
        QVERIFY(f.edit("lineEdit_Stability")->text().isEmpty());
    }

    // What the form shows is stored: the pre-filled date with the state it shows, a typed date,
    // or none (uncalibrated).
    void addStoresTheDateTheFormShows()
    {
        MessageRecorder rec;
        Form f;
        Tool::Struct_PCRDevice d = device("P1", "S1");
        const QString typed[] = {QString(), "2024-01-10 08:00", ""};
        const char *states[] = {"已校", "过期", "未校"};
        for (int i = 0; i < 3; ++i) {
            d.Number = d.SerialNumber = QString::number(i);
            f.fill(d);
            if (!typed[i].isNull()) {
                f.edit("lineEdit_CalibrationDate")->setText(typed[i]);
                f.edit("lineEdit_CalibrationDate")->textEdited(typed[i]);   // as typed: the state follows
            }
            QCOMPARE(f.combo("comboBox_CalibrationState")->currentText(), QString::fromUtf8(states[i]));
            CalibrationDates::storedFromTyped(f.edit("lineEdit_CalibrationDate")->text(), &d.CalibrationDate);
            f.button("pushButton_Add")->click();
            QCOMPARE(stored(d.Number).value(0).values(), d.values());
            QCOMPARE(f.list()->item(i, 0)->text(), QString::fromUtf8(states[i]));
        }
        QVERIFY2(rec.isEmpty(), qPrintable(rec.texts().join('|')));
        QCOMPARE(lastAudit().Details, QStringLiteral("PCR设备添加：荧光定量PCR仪"));
    }

    void incompleteAddIsRefusedButValuesAreRemembered_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("label");
        QTest::newRow("number") << "lineEdit_Number" << "编号";
        QTest::newRow("name") << "comboBox_DeviceName" << "设备名称";
        QTest::newRow("model") << "comboBox_DeviceModel" << "设备型号";
        QTest::newRow("serial number") << "lineEdit_SerialNumber" << "序列号";
        QTest::newRow("manufacturer") << "comboBox_Manufacturer" << "制造单位";
        QTest::newRow("certificate number") << "lineEdit_CertificateNumber" << "证书号";
    }
    void incompleteAddIsRefusedButValuesAreRemembered()
    {
        QFETCH(QString, missing);
        QFETCH(QString, label);
        MessageRecorder rec;
        Form f;
        f.fill(device("P1", "S1"));
        f.combo("comboBox_DeviceName")->setCurrentText("新名称");
        f.combo("comboBox_DeviceModel")->setCurrentText("新型号");
        f.combo("comboBox_Manufacturer")->setCurrentText("新厂家");
        if (missing.startsWith("comboBox"))
            f.combo(qPrintable(missing))->setCurrentText("   ");
        else
            f.edit(qPrintable(missing))->setText("   ");
        const int audits = auditCount();
        f.button("pushButton_Add")->click();
        QCOMPARE(rec.texts(), QStringList({"请先输入参数！\n" + label + "不能为空。"}));
        if (missing.startsWith("comboBox"))
            return;   // an empty value is not remembered
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        QVERIFY(stored().isEmpty());
        QCOMPARE(auditCount(), audits);
        QStringList names, models, makers;
        QVERIFY(Tool::getDataSheet("PCR设备名称", names));
        QVERIFY(Tool::getDataSheet("PCR设备型号", models));
        QVERIFY(Tool::getDataSheet("PCR设备制造单位", makers));
        QCOMPARE(names, QStringList({"新名称"}));
        QCOMPARE(models, QStringList({"新型号"}));
        QCOMPARE(makers, QStringList({"新厂家"}));
        // The lists offer them at once, and the typed text stays.
        QVERIFY(f.combo("comboBox_DeviceName")->findText("新名称") >= 0);
        QCOMPARE(f.combo("comboBox_DeviceName")->currentText(), QStringLiteral("新名称"));
        // A new page offers them too.
        Form again;
        QCOMPARE(again.combo("comboBox_Manufacturer")->findText("新厂家"), 0);
    }

    void duplicateNumberOrSerialIsRefusedWithBothLines()
    {
        storeCalibrated(device("P1", "S1"), QString());
        MessageRecorder rec;
        Form f;
        const int audits = auditCount();
        f.fill(device("P1", "S2"));
        f.button("pushButton_Add")->click();
        f.fill(device("P2", "S1"));
        f.button("pushButton_Add")->click();
        QCOMPARE(rec.texts(), QStringList({"添加数据失败！\n编号或序列号重复。", "添加数据失败！\n编号或序列号重复。"}));
        QCOMPARE(stored().size(), 1);
        QCOMPARE(f.list()->rowCount(), 1);
        QCOMPARE(auditCount(), audits);
    }

    void quotesAndCommasAreStoredAsTyped()
    {
        MessageRecorder rec;
        Form f;
        Tool::Struct_PCRDevice d = device("P'1", "S,1");
        d.DeviceName = QStringLiteral("O'Brien, \"qPCR\"");
        d.Manufacturer = QStringLiteral("A,B'C");
        d.Remarks = QStringLiteral("'; drop table PCRDevice; --");
        f.fill(d);
        f.edit("lineEdit_CalibrationDate")->clear();   // never calibrated
        f.button("pushButton_Add")->click();
        QVERIFY2(rec.isEmpty(), qPrintable(rec.texts().join('|')));
        QCOMPARE(stored("P'1").size(), 1);
        QCOMPARE(stored("P'1").first().values(), d.values());
        QCOMPARE(rowTexts(f.list(), 0).mid(1, 5), QStringList({"P'1", d.DeviceName, "CFX96", "S,1", "A,B'C"}));
        QCOMPARE(lastAudit().Details, QStringLiteral("PCR设备添加：O'Brien, \"qPCR\""));
        QStringList makers;
        Tool::getDataSheet("PCR设备制造单位", makers);
        QCOMPARE(makers, QStringList({"A,B'C"}));
    }

    void numberThatTheCalibrationPageCouldNotReadBackIsRefused()
    {
        MessageRecorder rec;
        Form f;
        f.fill(device("P--1", "S1"));
        f.button("pushButton_Add")->click();
        QCOMPARE(rec.texts(), QStringList({"编号不能包含“--”！"}));
        QVERIFY(stored().isEmpty());
    }

    // A control character pasted into a field would break every document that prints it.
    void controlCharactersAreRefused_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("serial");
        QTest::newRow("escape in the number") << "P\x1b[2J1" << "S1";
        QTest::newRow("vertical tab in the serial") << "P1" << "S\x0b" "1";
        QTest::newRow("SOH") << "\x01" << "S1";
    }
    void controlCharactersAreRefused()
    {
        QFETCH(QString, number);
        QFETCH(QString, serial);
        MessageRecorder rec;
        Form f;
        f.fill(device(number, serial));
        f.button("pushButton_Add")->click();
        QCOMPARE(rec.texts(), QStringList({"输入内容不能包含控制字符！"}));
        QVERIFY(stored().isEmpty());
    }

    void modifyWritesEveryColumnAndTheTypedDate()
    {
        storeCalibrated(device("P1", "S1"), QString());
        storeCalibrated(device("P2", "S2"), QString());
        MessageRecorder rec;
        Form f;
        f.open("P1");
        f.edit("lineEdit_CalibrationDate")->setText("2024-01-10 08:00");
        f.edit("lineEdit_CalibrationCycle")->setText("6");
        f.combo("comboBox_CalibrationMode")->setCurrentText("标准");
        f.edit("lineEdit_AccuracyGrade")->setText("改过");
        f.button("pushButton_Modify")->click();
        QVERIFY2(rec.isEmpty(), qPrintable(rec.texts().join('|')));
        const Tool::Struct_PCRDevice p1 = stored("P1").first();
        QCOMPARE(p1.CalibrationDate, QStringLiteral("2024-01-10 08:00:00"));
        QCOMPARE(p1.CalibrationCycle, QStringLiteral("6"));
        QCOMPARE(p1.CalibrationMode, QStringLiteral("标准"));
        QCOMPARE(p1.Remarks, QStringLiteral("改过"));
        QCOMPARE(f.edit("lineEdit_Stability")->text(), QStringLiteral("2024-07-10 08:00"));
        // The sentence, then each changed field with its old and new value; unchanged ones are not named.
        const QString details = lastAudit().Details;
        QVERIFY2(details.startsWith(QStringLiteral("PCR设备修改：荧光定量PCR仪（")), qPrintable(details));
        for (const char *part : {"校准方式：内校 → 标准", "校准日期：（空） → 2024-01-10 08:00:00", "→ 6；", "→ 改过）"})
            QVERIFY2(details.contains(QString::fromUtf8(part)), part);
        QVERIFY(!details.contains(QStringLiteral("设备名称")));
        QCOMPARE(f.list()->item(0, 7)->text(), QStringLiteral("2024-01-10 08:00:00"));

        // Emptying the date editor makes the instrument uncalibrated again.
        f.edit("lineEdit_CalibrationDate")->clear();
        f.button("pushButton_Modify")->click();
        QVERIFY(stored("P1").first().CalibrationDate.isEmpty());
        QCOMPARE(f.list()->item(0, 0)->text(), QStringLiteral("未校"));
        QVERIFY(rec.isEmpty());
    }

    void modifyKeepsTheSecondsOfAnUntouchedCalibrationDate()
    {
        storeCalibrated(device("P1", "S1"), QStringLiteral("2024-01-10 08:00:37"));
        MessageRecorder rec;
        Form f;
        f.open("P1");
        f.edit("lineEdit_CertificateNumber")->setText("JZ-NEU");
        f.button("pushButton_Modify")->click();
        QVERIFY(rec.isEmpty());
        QCOMPARE(stored("P1").first().CalibrationDate, QStringLiteral("2024-01-10 08:00:37"));
        QCOMPARE(stored("P1").first().CertificateNumber, QStringLiteral("JZ-NEU"));
    }

    void badModifyChangesNothing()
    {
        storeCalibrated(device("P1", "S1"), QStringLiteral("2024-01-10 08:00:00"));
        storeCalibrated(device("P2", "S2"), QString());
        const auto before = stored();
        MessageRecorder rec;
        Form f;
        f.open("P1");
        f.edit("lineEdit_SerialNumber")->setText("S2");   // another instrument's
        f.button("pushButton_Modify")->click();
        f.open("P1");
        f.edit("lineEdit_CalibrationDate")->setText("2024-02-30 08:00");
        f.button("pushButton_Modify")->click();
        f.open("P1");
        f.edit("lineEdit_CalibrationCycle")->setText("1.5");
        f.button("pushButton_Modify")->click();
        f.open("P1");
        f.edit("lineEdit_Number")->setText("P2");   // the key of another instrument
        f.button("pushButton_Modify")->click();
        f.open("P1");
        f.edit("lineEdit_CertificateNumber")->clear();
        f.button("pushButton_Modify")->click();
        // Letters in the cycle are named, not dropped; a calibration cannot lie ahead.
        f.open("P1");
        QTest::keyClicks(f.edit("lineEdit_CalibrationCycle"), "abc12x");
        QCOMPARE(f.edit("lineEdit_CalibrationCycle")->text(), QStringLiteral("12abc12x"));
        f.button("pushButton_Modify")->click();
        f.open("P1");
        f.edit("lineEdit_CalibrationDate")->setText(
            QDateTime::currentDateTime().addDays(2).toString("yyyy-MM-dd hh:mm"));
        f.button("pushButton_Modify")->click();
        QCOMPARE(rec.texts(), QStringList({"修改数据失败!\n编号或序列号重复。", "校准日期格式错误！",
                                           "校准周期应为不小于0的整数月！", "修改数据失败!\n编号不能修改。",
                                           "请先输入参数！\n证书号不能为空。", "校准周期应为不小于0的整数月！",
                                           "校准日期不能晚于当前时间！"}));
        QCOMPARE(stored().size(), before.size());
        for (int i = 0; i < before.size(); ++i)
            QCOMPARE(stored().at(i).values(), before.at(i).values());
    }

    // The key of the highlighted row, shared by every list: a current cell without a selection
    // (what a refresh or focus leaves) is no choice.
    void highlightedKey()
    {
        QTableWidget table(3, 2);
        RegistryForm::setUpList(&table);
        for (int r = 0; r < 3; ++r)
            table.setItem(r, 1, new QTableWidgetItem(QStringLiteral("K%1").arg(r)));
        const auto key = [&] { return RegistryForm::currentKey(&table, 1); };
        QCOMPARE(key(), QString());
        table.selectRow(2);
        QCOMPARE(key(), QStringLiteral("K2"));
        table.clearSelection();
        QCOMPARE(key(), QString());
        QVERIFY(RegistryForm::selectKey(&table, 1, "K0"));
        QCOMPARE(key(), QStringLiteral("K0"));
        RegistryForm::clearList(&table);
        QCOMPARE(key(), QString());
    }

    // Highlighting a row opens it; delete and modify act on it, the question names it and No is
    // its default.
    void deleteAndModifyActOnTheHighlightedRow()
    {
        storeCalibrated(device("P1", "S1"), QString());
        storeCalibrated(device("P2", "S2"), QString());
        MessageRecorder rec;
        Form f;
        f.button("pushButton_Delete")->click();
        f.button("pushButton_Modify")->click();
        QCOMPARE(rec.texts(), QStringList({"请先选择设备!", "请先选择设备!"}));
        f.open("P2");
        const int audits = auditCount();
        f.list()->selectRow(0);   // a single click after the double click
        QCOMPARE(f.edit("lineEdit_Number")->text(), QStringLiteral("P1"));
        QCOMPARE(auditCount(), audits + 1);
        f.button("pushButton_Delete")->click();
        QCOMPARE(rec.last().text, QStringLiteral("是否删除编号P1（荧光定量PCR仪）?"));
        QCOMPARE(rec.last().defaultButton, QMessageBox::No);
        QCOMPARE(stored().size(), 2);

        f.list()->selectRow(1);
        f.edit("lineEdit_AccuracyGrade")->setText("改过");
        f.button("pushButton_Modify")->click();
        QCOMPARE(stored("P2").first().Remarks + stored("P1").first().Remarks, QStringLiteral("改过A级"));
        rec.answerNext(QMessageBox::Yes);
        f.button("pushButton_Delete")->click();   // still the highlighted one
        QCOMPARE(columnTexts(f.list(), 1), QStringList({"P1"}));
        QCOMPARE(lastAudit().Details, QStringLiteral("PCR设备删除编号为：P2"));
        rec.clear();
        f.button("pushButton_Delete")->click();
        QCOMPARE(rec.texts(), QStringList({"请先选择设备!"}));
    }

    // The derived state and the mode stay readable in the smallest main window, in English too.
    void fixedListsShowWholeWords()
    {
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(":/i18n/pcr_en.qm")));
        QCoreApplication::installTranslator(&english);
        Form f;
        f.page->resize(1160, 560);   // the page inside a 1200 x 700 main window
        f.page->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.page.get()));
        for (const char *name : {"comboBox_CalibrationState", "comboBox_CalibrationMode"}) {
            QComboBox *box = f.combo(name);
            // The size the box asks for holds its longest item beside the arrow.
            QVERIFY2(box->width() >= box->sizeHint().width(), name);
            for (int i = 0; i < box->count(); ++i) {
                const int text = box->fontMetrics().horizontalAdvance(box->itemText(i));
                QVERIFY2(box->width() > text, qPrintable(box->itemText(i)));
            }
        }
        QCOMPARE(f.combo("comboBox_CalibrationState")->itemText(0), QStringLiteral("Not calibrated"));
        QCoreApplication::removeTranslator(&english);
    }

    void rightsDisableTheButtons()
    {
        Tool::CurrentUser.setAllRights(false);
        {
            Form f;
            QVERIFY(!f.button("pushButton_Add")->isEnabled());
            QVERIFY(!f.button("pushButton_Modify")->isEnabled());
            QVERIFY(!f.button("pushButton_Delete")->isEnabled());
        }
        Tool::CurrentUser.PCRDeviceModify = true;
        Form f;
        QVERIFY(!f.button("pushButton_Add")->isEnabled());
        QVERIFY(f.button("pushButton_Modify")->isEnabled());
        QVERIFY(!f.button("pushButton_Delete")->isEnabled());
    }

private:
    std::unique_ptr<Workspace> ws;
};

PCR_TEST_CLASS(TestPCRDevice)
#include "tst_pcrdevice.moc"
