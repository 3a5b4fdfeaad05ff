// The performance profile of an instrument model: the editor's rules, the stored table in a real
// database (new and older files), and the box on the PCR instrument page with its rights and
// audit entries.

#include "registrytest.h"

#include "analysis/PerformanceVerdict.h"
#include "app/messages.h"
#include "registry/PCRDevice.h"
#include "registry/ProfileValues.h"
#include "store/profiles.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

PerformanceProfileRecord profile(const QString &model, const QStringList &limits)
{
    return PerformanceProfileRecord::fromValues(QStringList{model} + limits);
}

PerformanceProfileRecord storedProfile(const QString &model, bool *found)
{
    PerformanceProfileRecord r;
    if (!Profiles::get(model, &r, found))
        *found = false;
    return r;
}

const char *const Edits[] = {"lineEdit_ProfileAccuracy",    "lineEdit_ProfileUniformity",
                             "lineEdit_ProfileHeatingRate", "lineEdit_ProfileCoolingRate",
                             "lineEdit_ProfileOvershoot",   "lineEdit_ProfileSettlingTime"};

class Page : public FormOf<PCRDevice>
{
public:
    void type(const QStringList &limits)
    {
        for (int i = 0; i < 6; ++i)
            edit(Edits[i])->setText(limits.at(i));
    }
    QStringList shown()
    {
        QStringList texts;
        for (const char *name : Edits)
            texts << edit(name)->text();
        return texts;
    }
    void chooseModel(const QString &model) { combo("comboBox_DeviceModel")->setCurrentText(model); }
};

} // namespace

class TestPerformanceProfile : public QObject
{
    Q_OBJECT

    std::unique_ptr<Workspace> ws;

private slots:
    void init()
    {
        PCR_SERVER_RUN_CHECK();
        QVERIFY(enterFreshWorkspace(ws));
    }
    void cleanup()
    {
        ws.reset();
        Tool::TemperatureUnit = QStringLiteral("℃");
    }

    void typedLimitsAreChecked_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("complete") << QStringList{"0.25", "0.5", "3", "2", "1", "10"} << "";
        QTest::newRow("zeros are limits") << QStringList{"0", "0", "0", "0", "0", "0"} << "";
        QTest::newRow("blanks around") << QStringList{" 0.25 ", "0.5", "3", "2", "1", "10"} << "";
        QTest::newRow("one missing") << QStringList{"0.25", "0.5", "", "2", "1", "10"} << "请输入全部性能指标！";
        QTest::newRow("not a number") << QStringList{"0.25", "0.5", "3", "2", "1.2.3", "10"}
                                      << "最大过冲应为不小于0的数字！";
        QTest::newRow("negative") << QStringList{"-0.25", "0.5", "3", "2", "1", "10"} << "准确度应为不小于0的数字！";
        QTest::newRow("five") << QStringList{"0.25", "0.5", "3", "2", "1"} << "请输入全部性能指标！";
    }
    void typedLimitsAreChecked()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        QCOMPARE(ProfileValues::check(typed), message);
        // What the editor lets through, the export can read.
        if (message.isEmpty()) {
            Analysis::PerformanceProfile limits;
            QVERIFY(Analysis::profileFromTexts(ProfileValues::toStored(typed, "℃"), &limits));
            QVERIFY(qIsFinite(limits.settlingTime));
        }
    }

    void limitsConvertWithTheUnit_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("℃ as typed") << "℃" << QStringList{"0.25", "0.5", "3", "2", "1", "10"}
                                    << QStringList{"0.25", "0.5", "3", "2", "1", "10"};
        // Differences and rates scale by 5/9; seconds stay.
        QTest::newRow("℉") << "℉" << QStringList{"0.45", "0.9", "5.4", "3.6", "1.8", "10"}
                           << QStringList{"0.25", "0.5", "3", "2", "1", "10"};
        QTest::newRow("℉, four decimals") << "℉" << QStringList{"1", "1", "1", "1", "1", "7.5"}
                                          << QStringList{"0.5556", "0.5556", "0.5556", "0.5556", "0.5556", "7.5"};
    }
    void limitsConvertWithTheUnit()
    {
        QFETCH(QString, unit);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        QCOMPARE(ProfileValues::toStored(typed, unit), stored);
        const QStringList shown = ProfileValues::toShown(stored, unit);
        for (int i = 0; i < 6; ++i)
            QVERIFY2(qAbs(shown.at(i).toDouble() - typed.at(i).toDouble()) < 1e-3, qPrintable(shown.join(',')));
    }

    void storedInARealDatabase()
    {
        bool found = true;
        storedProfile("CFX96", &found);
        QVERIFY(!found);
        QVERIFY(Profiles::save(profile("CFX96", {"0.25", "0.5", "3", "2", "1", "10"})));
        QVERIFY(Profiles::save(profile("A300", {"0.2", "0.4", "4", "3", "0.8", "15"})));
        PerformanceProfileRecord r = storedProfile("CFX96", &found);
        QVERIFY(found);
        QCOMPARE(r.limits(), QStringList({"0.25", "0.5", "3", "2", "1", "10"}));
        // Saving again replaces: one row per model.
        QVERIFY(Profiles::save(profile("CFX96", {"0.3", "0.5", "3", "2", "1", "12"})));
        QList<PerformanceProfileRecord> all;
        QVERIFY(Profiles::getAll(all));
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.at(0).DeviceModel, QStringLiteral("A300"));
        QCOMPARE(all.at(1).limits(), QStringList({"0.3", "0.5", "3", "2", "1", "12"}));
        // A model with a quote is a value, not part of the statement.
        QVERIFY(Profiles::save(profile("X' or '1'='1", {"1", "1", "1", "1", "1", "1"})));
        QVERIFY(Profiles::remove("X' or '1'='1"));
        QVERIFY(Profiles::remove("CFX96"));
        QVERIFY(Profiles::remove("CFX96"));   // nothing to remove is no failure
        storedProfile("CFX96", &found);
        QVERIFY(!found);
        QVERIFY(Profiles::getAll(all));
        QCOMPARE(all.size(), 1);
    }

    void olderDatabasesGetTheTable()
    {
        // A database from before the profiles: without their table it is still one of ours, and
        // opening it adds the table.
        const QString file = ws->path("older.db3");
        QVERIFY(Workspace::sql("vacuum into '" + file + "'"));
        Tool::closeDatabase();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "older");
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("drop table PerformanceProfile"));
        }
        QSqlDatabase::removeDatabase("older");
        QVERIFY(Tool::isPcrDatabase(file));
        QVERIFY(Tool::openDatabase(file));
        QVERIFY(Profiles::save(profile("CFX96", {"0.25", "0.5", "3", "2", "1", "10"})));
        bool found = false;
        storedProfile("CFX96", &found);
        QVERIFY(found);
    }

    void editedOnThePageAndAudited()
    {
        MessageRecorder rec;
        Page p;
        p.chooseModel("CFX96");
        QVERIFY(p.shown().join("").isEmpty());
        p.type({"0.25", "0.5", "3", "2", "1", "10"});
        p.button("pushButton_ProfileSave")->click();
        bool found = false;
        QCOMPARE(storedProfile("CFX96", &found).limits(), QStringList({"0.25", "0.5", "3", "2", "1", "10"}));
        QVERIFY(found);
        QCOMPARE(lastAudit().Type, QStringLiteral("PCR设备管理-性能指标"));
        QCOMPARE(lastAudit().Details, QStringLiteral("PCR设备性能指标添加：CFX96（准确度：0.25；均匀度：0.5；"
                                                     "最小升温速率：3；最小降温速率：2；最大过冲：1；稳定时间：10）"));

        // Another model shows its own (none), and back again the stored one.
        p.chooseModel("A300");
        QVERIFY(p.shown().join("").isEmpty());
        p.chooseModel("CFX96");
        QCOMPARE(p.shown(), QStringList({"0.25", "0.5", "3", "2", "1", "10"}));

        // A change is audited with the old and the new values of what changed.
        p.type({"0.25", "0.6", "3", "2", "0.8", "10"});
        p.button("pushButton_ProfileSave")->click();
        QCOMPARE(lastAudit().Details,
                 QStringLiteral("PCR设备性能指标修改：CFX96（均匀度：0.5 → 0.6；最大过冲：1 → 0.8）"));
        // Saving unchanged limits writes nothing.
        const int audits = auditCount();
        p.button("pushButton_ProfileSave")->click();
        QCOMPARE(auditCount(), audits);

        // Deleting asks first; No keeps it.
        rec.clear();
        rec.answerNext(QMessageBox::No);
        p.button("pushButton_ProfileDelete")->click();
        storedProfile("CFX96", &found);
        QVERIFY(found);
        rec.answerNext(QMessageBox::Yes);
        p.button("pushButton_ProfileDelete")->click();
        storedProfile("CFX96", &found);
        QVERIFY(!found);
        QCOMPARE(rec.last().text, QStringLiteral("是否删除型号CFX96的性能指标?"));
        QCOMPARE(lastAudit().Type, QStringLiteral("PCR设备管理-删除性能指标"));
        QVERIFY(lastAudit().Details.startsWith(QStringLiteral("PCR设备性能指标删除：CFX96（准确度：0.25；均匀度：0.6")));
        QVERIFY(p.shown().join("").isEmpty());
    }

    void openingAnInstrumentShowsItsModelsProfile()
    {
        Tool::TemperatureUnit = QStringLiteral("℉");
        QVERIFY(Profiles::save(profile("CFX96", {"0.25", "0.5", "3", "2", "1", "10"})));
        Tool::Struct_PCRDevice d;
        d.Number = "P1";
        d.DeviceName = "PCR";
        d.DeviceModel = "CFX96";
        d.SerialNumber = "S1";
        d.CertificateNumber = "C1";
        QVERIFY(Tool::addPCRDevice(d));
        Page p;
        p.page->pt_TableWidget_clicked(0, 0);
        QCOMPARE(p.shown(), QStringList({"0.45", "0.9", "5.4", "3.6", "1.8", "10"}));
        QVERIFY(p.label("label_ProfileModel")->text().contains("CFX96"));
    }

    void refusedWithoutModelRightOrValues_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("no model") << "" << QStringList{"0.25", "0.5", "3", "2", "1", "10"} << "请先输入设备型号！";
        QTest::newRow("a limit missing") << "CFX96" << QStringList{"0.25", "0.5", "3", "2", "1", ""}
                                         << "请输入全部性能指标！";
    }
    void refusedWithoutModelRightOrValues()
    {
        QFETCH(QString, model);
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        MessageRecorder rec;
        Page p;
        p.chooseModel(model);
        p.type(typed);
        const int audits = auditCount();
        p.button("pushButton_ProfileSave")->click();
        QCOMPARE(rec.last().text, message);
        QCOMPARE(auditCount(), audits);
        QList<PerformanceProfileRecord> all;
        QVERIFY(Profiles::getAll(all));
        QVERIFY(all.isEmpty());
    }

    void onlyWithTheRightToChangeInstruments()
    {
        Tool::CurrentUser.grant(Right::PCRDeviceModify, false);
        Page p;
        QVERIFY(!p.button("pushButton_ProfileSave")->isEnabled());
        QVERIFY(!p.button("pushButton_ProfileDelete")->isEnabled());
        Tool::CurrentUser.grant(Right::PCRDeviceModify, true);
        Page q;
        QVERIFY(q.button("pushButton_ProfileSave")->isEnabled());
    }
};

PCR_TEST_CLASS(TestPerformanceProfile)
#include "tst_performanceprofile.moc"
