#pragma once
// Every message box and text question of the program goes through here. A MessageRecorder
// installed by a test captures each box instead of showing it and answers the questions, so no
// test ever blocks on a modal box.

#include <QCoreApplication>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

class Messages
{
    Q_DECLARE_TR_FUNCTIONS(Messages)

public:
    // A box with one OK button. The icon only tells a failure from a notice; title and text are
    // what the user reads.
    static void information(QWidget *parent, const QString &title, const QString &text);
    static void warning(QWidget *parent, const QString &title, const QString &text);

    // A question with the given buttons; returns the one pressed (escape gives the escape button
    // Qt picks, usually No or Cancel). Without a stated default, Return presses the refusing
    // button (safeDefault): a question that deletes, overwrites or discards never goes ahead on
    // a stray key.
    static QMessageBox::StandardButton
    question(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // Cancel when offered (it leaves everything as it was), else No; none for other sets.
    static QMessageBox::StandardButton safeDefault(QMessageBox::StandardButtons buttons);

    // A line of text asked for; *accepted tells OK from Cancel. secret: typed as a password.
    static QString getText(QWidget *parent, const QString &title, const QString &label,
                           bool *accepted, const QString &initial = QString(), bool secret = false);
};

class MessageRecorder
{
public:
    enum Kind { Information, Warning, Question, TextInput };
    struct Box
    {
        Kind kind = Information;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton answer = QMessageBox::NoButton;   // questions
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;   // questions: what Return presses
        QString input;                                                // text inputs
        bool accepted = false;                                        // text inputs

        static Box make(Kind kind, const QString &title, const QString &text,
                        QMessageBox::StandardButtons buttons)
        {
            Box b;
            b.kind = kind;
            b.title = title;
            b.text = text;
            b.buttons = buttons;
            return b;
        }
    };

    // Installs itself for its lifetime; an inner recorder hides the outer one until destroyed.
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    // Answers for the coming questions, in order. When none is queued the question gets
    // defaultAnswer() if set, else its own default button, else No.
    void answerNext(QMessageBox::StandardButton answer);
    void setDefaultAnswer(QMessageBox::StandardButton answer);
    // Answers for the coming text inputs, in order; with none queued an input is cancelled.
    void inputNext(const QString &text, bool accepted = true);
    // Called for every box as it is recorded (for instance to act while a box would be open).
    std::function<void(const Box &)> onBox;

    const QList<Box> &boxes() const { return m_boxes; }
    int count() const { return m_boxes.size(); }
    bool isEmpty() const { return m_boxes.isEmpty(); }
    Box last() const { return m_boxes.isEmpty() ? Box{} : m_boxes.last(); }
    QStringList texts() const;   // the texts of all boxes, in order
    void clear() { m_boxes.clear(); }

private:
    friend class Messages;
    Box record(Box box);

    QList<Box> m_boxes;
    QList<QMessageBox::StandardButton> m_answers;
    QList<QPair<QString, bool>> m_inputs;
    QMessageBox::StandardButton m_defaultAnswer = QMessageBox::NoButton;
    MessageRecorder *m_outer = nullptr;
};
