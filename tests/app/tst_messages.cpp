// The message-box facade and its recorder.

#include "../support/TestSuite.h"

#include "app/messages.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QTimer>
#include <QtTest>

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void recordsEveryBoxInOrder()
    {
        MessageRecorder rec;
        Messages::information(nullptr, "提示", "设置成功！");
        Messages::warning(nullptr, "警告", "打开数据库失败！");
        QCOMPARE(rec.count(), 2);
        QCOMPARE(rec.boxes().at(0).kind, MessageRecorder::Information);
        QCOMPARE(rec.boxes().at(0).title, QStringLiteral("提示"));
        QCOMPARE(rec.boxes().at(1).kind, MessageRecorder::Warning);
        QCOMPARE(rec.texts(), QStringList({"设置成功！", "打开数据库失败！"}));
        QCOMPARE(rec.last().text, QStringLiteral("打开数据库失败！"));
        rec.clear();
        QVERIFY(rec.isEmpty());
    }

    void answersQuestionsFromQueueThenDefaults()
    {
        MessageRecorder rec;
        rec.answerNext(QMessageBox::Yes);
        rec.answerNext(QMessageBox::Cancel);
        const auto yn = QMessageBox::Yes | QMessageBox::No;
        QCOMPARE(Messages::question(nullptr, "退出程序", "确认退出程序?", yn), QMessageBox::Yes);
        QCOMPARE(Messages::question(nullptr, "t", "q", yn | QMessageBox::Cancel), QMessageBox::Cancel);
        // Nothing queued: the box's own default, else No.
        QCOMPARE(Messages::question(nullptr, "t", "q", yn, QMessageBox::Yes), QMessageBox::Yes);
        QCOMPARE(Messages::question(nullptr, "t", "q", yn), QMessageBox::No);
        rec.setDefaultAnswer(QMessageBox::Save);
        QCOMPARE(Messages::question(nullptr, "t", "q", QMessageBox::Save | QMessageBox::Discard), QMessageBox::Save);
        QCOMPARE(rec.count(), 5);
        QCOMPARE(rec.boxes().at(0).buttons, yn);
        QCOMPARE(rec.boxes().at(1).answer, QMessageBox::Cancel);
    }

    void answersTextInputsOrCancels()
    {
        MessageRecorder rec;
        rec.inputNext("my answer");
        bool ok = false;
        QCOMPARE(Messages::getText(nullptr, "忘记密码", "初始用户", &ok), QStringLiteral("my answer"));
        QVERIFY(ok);
        QCOMPARE(rec.last().kind, MessageRecorder::TextInput);
        QCOMPARE(rec.last().text, QStringLiteral("初始用户"));
        QVERIFY(Messages::getText(nullptr, "t", "l", &ok).isEmpty());   // nothing queued: cancelled
        QVERIFY(!ok);
        rec.inputNext("typed but cancelled", false);
        QVERIFY(Messages::getText(nullptr, "t", "l", &ok).isEmpty());
        QVERIFY(!ok);
    }

    // Real boxes, without a recorder: a recovered password or an account's question holding "<"
    // is shown exactly as stored, not read as markup.
    void realBoxesShowTextAsTyped()
    {
        const QString password = QStringLiteral("密码为：a<b>c</b>&amp;");
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = box->text();
            format = box->textFormat();
            box->accept();
        });
        Messages::information(nullptr, "提示", password);
        QCOMPARE(shown, password);
        QCOMPARE(format, Qt::PlainText);

        QString label;
        format = Qt::AutoText;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            for (QLabel *l : dialog->findChildren<QLabel *>()) {
                if (l->text() == dialog->labelText()) {
                    label = l->text();
                    format = l->textFormat();
                }
            }
            dialog->reject();
        });
        bool ok = true;
        Messages::getText(nullptr, "忘记密码", QStringLiteral("<i>Lab</i> name?"), &ok);
        QVERIFY(!ok);
        QCOMPARE(label, QStringLiteral("<i>Lab</i> name?"));
        QCOMPARE(format, Qt::PlainText);
    }

    // Return on a real box presses the refusing button unless the caller named another: a stray
    // key never deletes, overwrites or discards.
    void returnPressesTheSafeButton()
    {
        using B = QMessageBox;
        const struct { B::StandardButtons buttons; B::StandardButton stated, pressed; } cases[] = {
            {B::Yes | B::No, B::NoButton, B::No},
            {B::Save | B::No | B::Cancel, B::NoButton, B::Cancel},
            {B::Yes | B::No, B::Yes, B::Yes}};
        for (const auto &c : cases) {
            QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
            QCOMPARE(Messages::question(nullptr, "提示", "是否删除编号P1?", c.buttons, c.stated), c.pressed);
            MessageRecorder rec;
            Messages::question(nullptr, "提示", "q", c.buttons, c.stated);
            QCOMPARE(rec.last().defaultButton, c.pressed);
        }
    }

    void innerRecorderHidesOuterUntilDestroyed()
    {
        MessageRecorder outer;
        {
            MessageRecorder inner;
            int seen = 0;
            inner.onBox = [&seen](const MessageRecorder::Box &) { ++seen; };
            Messages::information(nullptr, "a", "b");
            QCOMPARE(inner.count(), 1);
            QCOMPARE(seen, 1);
        }
        QCOMPARE(outer.count(), 0);
        Messages::information(nullptr, "c", "d");
        QCOMPARE(outer.count(), 1);
    }
};

PCR_TEST_CLASS(TestMessages)
#include "tst_messages.moc"
