// Probe sets: the rules of a new set (channel rows, coefficients, checks in order, the record),
// the coefficient file, the in-use test, and the three dialogs over them.

#include "registrytest.h"

#include "app/messages.h"
#include "registry/Standardizer.h"
#include "registry/StandardizerAdd.h"
#include "registry/StandardizerDisplay.h"
#include "registry/StandardizerRules.h"

#include <QLineEdit>
#include <QSettings>
#include <QtTest>

using namespace StandardizerRules;

Q_DECLARE_METATYPE(StandardizerRules::Check)

namespace {

QStringList channels(const Rows &rows)
{
    QStringList out;
    for (const Row &r : rows)
        out << r.channel + QLatin1Char(':') + r.b[0];
    return out;
}

Tool::Struct_Standardizer storedSet(const QString &number, const QString &name, int channels = 4)
{
    Rows rows = resized(Rows(), channels);
    rows[0].b[3] = QStringLiteral("8.76741026e-08");
    return record(number, name, rows, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
}

QList<Tool::Struct_Standardizer> stored(const QString &number = QString())
{
    QList<Tool::Struct_Standardizer> list;
    Tool::getStandardizer(list, number);
    return list;
}

// The add dialog with its table set to n channels.
class Editor : public FormOf<StandardizerAdd>
{
public:
    explicit Editor(int channels = 0)
    {
        if (channels > 0)
            setChannels(channels);
    }
    void setChannels(int n)
    {
        combo("comboBox_CHNumber")->setCurrentText(QString::number(n));
        button("pushButton_Set")->click();
    }
    void add(const QString &number, const QString &name)
    {
        edit("lineEdit_Number")->setText(number);
        edit("lineEdit_Name")->setText(name);
        button("pushButton_Add")->click();
    }
};

} // namespace

class TestStandardizer : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(enterFreshWorkspace(ws)); }
    void cleanup()
    {
        StandardizerAdd::chooseFile = saved.open;
        StandardizerDisplay::chooseFile = saved.save;
        ws.reset();
    }

    void channelRowsKeepTheirValuesAndAppendDefaults()
    {
        Rows rows = resized(Rows(), 8);
        QCOMPARE(rows.size(), 8);
        QCOMPARE(rows.at(7), (Row{"108", {"-4", "4000", "0", "0"}}));
        rows[1].b[2] = QStringLiteral("1.5e-6");
        rows = resized(rows, 4);
        QCOMPARE(channels(rows), QStringList({"101:-4", "102:-4", "103:-4", "104:-4"}));
        QCOMPARE(rows.at(1).b[2], QStringLiteral("1.5e-6"));
        rows = resized(rows, 6);
        QCOMPARE(rows.at(1).b[2], QStringLiteral("1.5e-6"));
        QCOMPARE(rows.mid(4), (Rows{defaultRow(4), defaultRow(5)}));
        QCOMPARE(rows.at(5).channel, QStringLiteral("106"));
        QVERIFY(resized(rows, 0).isEmpty());
    }

    void coefficients_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("integer") << "-4" << true;
        QTest::newRow("fixed") << "0.00112914800" << true;
        QTest::newRow("exponent") << "8.76741026e-08" << true;
        QTest::newRow("capital exponent with sign") << "+1.5E+3" << true;
        QTest::newRow("leading point") << ".5" << true;
        QTest::newRow("trailing point") << "5." << true;
        QTest::newRow("24 characters") << "-0.000000012345678901234" << true;
        QTest::newRow("largest single") << "3.4e38" << true;
        QTest::newRow("25 characters") << "-0.0000000123456789012345" << false;
        QTest::newRow("beyond single precision") << "1e39" << false;
        QTest::newRow("two points") << "1.2.3" << false;
        QTest::newRow("sign only") << "-" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("exponent without digits") << "1e" << false;
        QTest::newRow("blank around") << " 1" << false;
        QTest::newRow("decimal comma") << "1,5" << false;
        QTest::newRow("text") << "abc" << false;
        QTest::newRow("not a number") << "nan" << false;
        QTest::newRow("infinity") << "inf" << false;
        QTest::newRow("hex") << "0x10" << false;
    }
    void coefficients()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QCOMPARE(isCoefficient(text), accepted);
    }

    void checksInTheirOrder_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("badCell");   // "row:coefficient:text" put into the rows
        QTest::addColumn<Check>("expected");
        QTest::addColumn<QString>("message");
        // "P1" and "探头组A" are taken.
        QTest::newRow("everything missing") << "" << "" << 0 << "" << Check::NumberEmpty << "编号不能为空！";
        QTest::newRow("blank number") << "  " << "新" << 4 << "" << Check::NumberEmpty << "编号不能为空！";
        QTest::newRow("separator in number") << "P--2" << "新" << 4 << "" << Check::NumberHasSeparator
                                             << "编号不能包含“--”！";
        QTest::newRow("number taken before empty name") << "P1" << "" << 4 << "" << Check::NumberTaken
                                                        << "编号重复,添加失败！";
        QTest::newRow("name empty") << "P2" << "" << 0 << "" << Check::NameEmpty << "名称不能为空！";
        QTest::newRow("name taken before no channels") << "P2" << " 探头组A " << 0 << "" << Check::NameTaken
                                                       << "名称重复,添加失败！";
        QTest::newRow("no channels") << "P2" << "新" << 0 << "" << Check::NoChannels << "通道不能为空！";
        QTest::newRow("bad coefficient") << "P2" << "新" << 6 << "4:2:1.2.3" << Check::BadCoefficient
                                         << "通道105的系数B2不是有效的数值：“1.2.3”。";
        QTest::newRow("empty cell") << "P2" << "新" << 4 << "0:0:" << Check::BadCoefficient
                                    << "通道101的系数B0不是有效的数值：“”。";
        QTest::newRow("complete") << "P2" << "新" << 16 << "15:3:-1e-7" << Check::Ok << "";
    }
    void checksInTheirOrder()
    {
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(int, channels);
        QFETCH(QString, badCell);
        QFETCH(Check, expected);
        QFETCH(QString, message);
        Rows rows = resized(Rows(), channels);
        if (!badCell.isEmpty()) {
            const QStringList cell = badCell.split(':');
            rows[cell.at(0).toInt()].b[size_t(cell.at(1).toInt())] = cell.at(2);
        }
        const auto numberTaken = [](const QString &n) { return n == QLatin1String("P1"); };
        const auto nameTaken = [](const QString &n) { return n == QStringLiteral("探头组A"); };
        Fault fault;
        const Check check = checkNew(number, name, rows, numberTaken, nameTaken, &fault);
        QCOMPARE(int(check), int(expected));
        const QString text = Texts::check(check, fault, rows.value(fault.row).channel);
        QCOMPARE(text.section('\n', 0, 0), message);

        // The dialog says the same and stores nothing.
        QVERIFY(Tool::addStandardizer(storedSet("P1", "探头组A")));
        MessageRecorder rec;
        Editor e(channels);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < CoefficientCount; ++c)
                e.list()->item(r, c + 1)->setText(rows.at(r).b[size_t(c)]);
        e.add(number, name);
        QCOMPARE(rec.count(), 1);
        QCOMPARE(rec.last().text, expected == Check::Ok ? QStringLiteral("添加成功！") : text);
        QCOMPARE(rec.last().title, expected == Check::Ok ? QStringLiteral("提示") : QStringLiteral("警告"));
        QCOMPARE(stored().size(), expected == Check::Ok ? 2 : 1);
    }

    void newSetIsStoredWithItsListsAndAudited()
    {
        MessageRecorder rec;
        Editor e(8);
        e.setChannels(4);
        e.list()->item(2, 4)->setText("-8.76741026e-08");
        e.add(" P7 ", " 新探头组 ");
        QCOMPARE(rec.texts(), QStringList({"添加成功！"}));
        const Tool::Struct_Standardizer s = stored("P7").value(0);
        QCOMPARE(s.Name, QStringLiteral("新探头组"));
        QCOMPARE(s.NumberChannels, QStringLiteral("4"));
        QVERIFY(QDateTime::fromString(s.TimeDate, Tool::TimeFormat).isValid());
        QCOMPARE(s.ChannelNames, QStringLiteral("CH101,CH102,CH103,CH104"));
        QCOMPARE(s.ChannelNumbers, QStringLiteral("101,102,103,104"));
        QCOMPARE(s.ProbeTypes, QStringLiteral("热敏电阻-2W,热敏电阻-2W,热敏电阻-2W,热敏电阻-2W"));
        QCOMPARE(s.Conversions, QStringLiteral("R(T),R(T),R(T),R(T)"));
        QCOMPARE(s.ChannelParameter1 + '|' + s.ChannelParameter2 + '|' + s.ChannelParameter3,
                 QStringLiteral("0,0,0,0|1,1,1,1|0,0,0,0"));
        QCOMPARE(s.B0_R0, QStringLiteral("-4,-4,-4,-4"));
        QCOMPARE(s.B1, QStringLiteral("4000,4000,4000,4000"));
        QCOMPARE(s.B3, QStringLiteral("0,0,-8.76741026e-08,0"));
        QCOMPARE(lastAudit().Type, QStringLiteral("探头文件管理-添加"));
        QCOMPARE(lastAudit().Details, QStringLiteral("探头文件添加：新探头组"));
    }

    void coefficientCellsAreEditedInPlace()
    {
        Editor e(4);
        QTableWidget *t = e.list();
        e.page->tw_cellDoubleClicked(1, 0);
        QVERIFY(!t->findChild<QLineEdit *>());   // the channel number is not edited
        e.page->tw_cellDoubleClicked(1, 4);
        auto *editor = t->findChild<QLineEdit *>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("0"));
        QCOMPARE(editor->maxLength(), MaxCoefficientLength);
        // Only what can become a number can be typed.
        editor->clear();
        QTest::keyClicks(editor, "8.7x6.e-0a8");
        QCOMPARE(editor->text(), QStringLiteral("8.76e-08"));
        t->setCurrentCell(2, 2);   // a click elsewhere takes the text over
        QCOMPARE(t->item(1, 4)->text(), QStringLiteral("8.76e-08"));
    }

    // An exported set read back into a table of the same size gives every text as it was.
    void fileRoundTripIsExact()
    {
        Tool::Struct_Standardizer set = storedSet("P1", "探头组A", 4);
        set.B0_R0 = QStringLiteral("0.00112914800,-4,1.129148e-3,5.");
        set.B1 = QStringLiteral("0.000234125000,4000,+2.34E-4,1");
        set.B2 = QStringLiteral("0.00000000,0,.0,-0");
        set.B3 = QStringLiteral("0.0000000876741026,8.76741026e-08,-1e-7,3.4e38");
        const QString path = ws->path("探头 组.ini");
        MessageRecorder rec;
        StandardizerDisplay display(set);
        StandardizerDisplay::chooseFile = [&](QWidget *, const QString &title, const QString &filter) {
            return title == QStringLiteral("保存文件") && filter == QStringLiteral("Config Files (*.ini)") ? path
                                                                                                       : QString();
        };
        part<QPushButton>(&display, "pushButton_Export")->click();
        QCOMPARE(rec.texts(), QStringList({"导出成功！"}));
        QCOMPARE(rowTexts(part<QTableWidget>(&display, "tableWidget_List"), 2),
                 QStringList({"CH103", "1.129148e-3", "+2.34E-4", ".0", "-1e-7"}));
        // The settings library's list form.
        QVERIFY(ws->read("探头 组.ini").contains("B0=0.00112914800, -4, 1.129148e-3, 5."));

        Editor e(4);
        StandardizerAdd::chooseFile = [&](QWidget *, const QString &, const QString &) { return path; };
        e.button("pushButton_Import")->click();
        QCOMPARE(rec.count(), 1);
        e.add("P2", "探头组B");
        const Tool::Struct_Standardizer back = stored("P2").value(0);
        QCOMPARE(QStringList({back.B0_R0, back.B1, back.B2, back.B3}),
                 QStringList({set.B0_R0, set.B1, set.B2, set.B3}));
    }

    void badFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QByteArray four = "1, 2, 3, 4\n";
        QTest::newRow("B0 shorter") << "[Standardizer]\nB0=1, 2, 3\nB1=" + four + "B2=" + four + "B3=" + four
                                    << "文件中B0、B1、B2、B3各有3、4、4、4个系数，表格有4个通道，须一致。";
        QTest::newRow("B3 longer") << "[Standardizer]\nB0=" + four + "B1=" + four + "B2=" + four + "B3=1, 2, 3, 4, 5\n"
                                   << "文件中B0、B1、B2、B3各有4、4、4、5个系数，表格有4个通道，须一致。";
        QTest::newRow("no number") << "[Standardizer]\nB0=" + four + "B1=1, x, 3, 4\nB2=" + four + "B3=" + four
                                   << "通道102的系数B1不是有效的数值：“x”。";
        QTest::newRow("another group") << "[Probes]\nB0=" + four << "中没有探头系数。";
        QTest::newRow("not there") << QByteArray() << "中没有探头系数。";
    }
    void badFilesChangeNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = ws->path("in.ini");
        if (!content.isEmpty())
            ws->write("in.ini", content);
        MessageRecorder rec;
        Editor e(4);
        e.list()->item(0, 1)->setText("7");
        StandardizerAdd::chooseFile = [&](QWidget *, const QString &, const QString &) { return path; };
        e.button("pushButton_Import")->click();
        QCOMPARE(rec.count(), 1);
        QCOMPARE(rec.last().title, QStringLiteral("警告"));
        QVERIFY2(rec.last().text.startsWith(QStringLiteral("添加数据失败！\n")), qPrintable(rec.last().text));
        QVERIFY2(rec.last().text.contains(message), qPrintable(rec.last().text));
        QCOMPARE(e.page->rows(), ([] { Rows r = resized(Rows(), 4); r[0].b[0] = "7"; return r; }()));
        // Cancelling the file dialog does nothing at all.
        StandardizerAdd::chooseFile = [](QWidget *, const QString &, const QString &) { return QString(); };
        e.button("pushButton_Import")->click();
        QCOMPARE(rec.count(), 1);
    }

    void usage_data()
    {
        QTest::addColumn<QString>("project");      // a stored project's probe set name
        QTest::addColumn<QString>("configured");   // the probe calibration page's choice
        QTest::addColumn<QString>("message");
        QTest::newRow("unused") << "别的探头组" << "别的探头组" << "";
        QTest::newRow("stored project") << "探头组A" << "" << "该探头组已被1个校准项目使用，不能删除！";
        QTest::newRow("probe calibration by name") << "" << "探头组A" << "该探头组正被探头校准页面选用，不能删除！";
        QTest::newRow("probe calibration by entry") << "" << "P1--探头组A" << "该探头组正被探头校准页面选用，不能删除！";
        QTest::newRow("same number, other name") << "" << "P1--探头组B" << "";
    }
    void usage()
    {
        QFETCH(QString, project);
        QFETCH(QString, configured);
        QFETCH(QString, message);
        const Tool::Struct_Standardizer set = storedSet("P1", "探头组A");
        QVERIFY(Tool::addStandardizer(set));
        Tool::Struct_Calibration p;
        p.CalibrationName = QStringLiteral("项目1");
        p.StandardizerName = project;
        QVERIFY(Tool::addCalibration(p));
        Tool::configFile()->setValue(QStringLiteral("TChannel/Channel"), configured);
        QCOMPARE(Texts::usage(usageOf(set)), message);

        MessageRecorder rec;
        rec.setDefaultAnswer(QMessageBox::Yes);
        Standardizer list;
        onNextModal([](QWidget *) {});
        list.pt_TableWidget_clicked(0, 1);
        QCOMPARE(list.selectedNumber(), QStringLiteral("P1"));
        part<QPushButton>(&list, "pushButton_Delete")->click();
        QCOMPARE(rec.last().text, message.isEmpty() ? QStringLiteral("是否删除编号P1（探头组A）?") : message);
        QCOMPARE(stored().size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(lastAudit().Details, message.isEmpty() ? QStringLiteral("探头文件删除编号：P1")
                                                        : QStringLiteral("探头文件查看：探头组A"));
    }

    void listShowsSetsAndDeletesOnlyAnOpenedOne()
    {
        QVERIFY(Tool::addStandardizer(storedSet("P1", "探头组A", 16)));
        QVERIFY(Tool::addStandardizer(storedSet("P2", "探头组B", 4)));
        MessageRecorder rec;
        Standardizer list;
        QTableWidget *table = part<QTableWidget>(&list, "tableWidget_List");
        QCOMPARE(rowTexts(table, 0), QStringList({"P1", "探头组A", "16", "2024-05-06 07:08:09"}));
        part<QPushButton>(&list, "pushButton_Delete")->click();
        QCOMPARE(rec.texts(), QStringList({"请先选择设备!"}));

        int shownRows = 0;
        QString shownB3;
        onNextModal([&](QWidget *modal) {
            auto *t = part<QTableWidget>(modal, "tableWidget_List");
            shownRows = t->rowCount();
            shownB3 = t->item(0, 4)->text();
        });
        list.pt_TableWidget_clicked(1, 0);
        QCOMPARE(shownRows, 4);
        QCOMPARE(shownB3, QStringLiteral("8.76741026e-08"));
        QCOMPARE(lastAudit().Type, QStringLiteral("探头文件管理-查看"));

        rec.answerNext(QMessageBox::No);
        part<QPushButton>(&list, "pushButton_Delete")->click();
        QCOMPARE(stored().size(), 2);
        // A single click on another set: the question names the highlighted one, never the one
        // opened before it.
        table->selectRow(0);
        part<QPushButton>(&list, "pushButton_Delete")->click();
        QCOMPARE(rec.last().text, QStringLiteral("是否删除编号P1（探头组A）?"));
        QCOMPARE(rec.last().defaultButton, QMessageBox::No);
        table->selectRow(1);
        rec.answerNext(QMessageBox::Yes);
        part<QPushButton>(&list, "pushButton_Delete")->click();
        QCOMPARE(rec.last().text, QStringLiteral("是否删除编号P2（探头组B）?"));
        QCOMPARE(columnTexts(table, 0), QStringList({"P1"}));
        QCOMPARE(lastAudit().Type, QStringLiteral("探头文件管理-删除"));
        QCOMPARE(list.selectedNumber(), QString());
    }

    void rightsEnableTheButtons_data()
    {
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("remove");
        QTest::newRow("both") << true << true;
        QTest::newRow("add only") << true << false;
        QTest::newRow("delete only") << false << true;
        QTest::newRow("none") << false << false;
    }
    void rightsEnableTheButtons()
    {
        QFETCH(bool, add);
        QFETCH(bool, remove);
        Tool::CurrentUser.setAllRights(true);
        Tool::CurrentUser.grant(Right::StandardizerAdd, add);
        Tool::CurrentUser.grant(Right::StandardizerDelete, remove);
        FormOf<Standardizer> f;
        QCOMPARE(f.button("pushButton_Add")->isEnabled(), add);
        QCOMPARE(f.button("pushButton_Delete")->isEnabled(), remove);
    }

private:
    std::unique_ptr<Workspace> ws;
    struct
    {
        decltype(StandardizerAdd::chooseFile) open = StandardizerAdd::chooseFile;
        decltype(StandardizerDisplay::chooseFile) save = StandardizerDisplay::chooseFile;
    } saved;
};

PCR_TEST_CLASS(TestStandardizer)
#include "tst_standardizer.moc"
