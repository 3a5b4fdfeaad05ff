#include "app/messages.h"

#include <QAbstractButton>
#include <QInputDialog>
#include <QLineEdit>
#include <QLabel>

namespace {

MessageRecorder *recorder = nullptr;

// Qt ships no Chinese for its standard buttons on this platform; name them ourselves so they
// follow the interface language.
void nameButtons(QMessageBox &box)
{
    const struct { QMessageBox::StandardButton id; const char *text; } names[] = {
        {QMessageBox::Ok, QT_TRANSLATE_NOOP("Messages", "确定")},
        {QMessageBox::Yes, QT_TRANSLATE_NOOP("Messages", "是")},
        {QMessageBox::No, QT_TRANSLATE_NOOP("Messages", "否")},
        {QMessageBox::Cancel, QT_TRANSLATE_NOOP("Messages", "取消")},
        {QMessageBox::Save, QT_TRANSLATE_NOOP("Messages", "保存")},
        {QMessageBox::Discard, QT_TRANSLATE_NOOP("Messages", "不保存")},
    };
    for (const auto &n : names)
        if (QAbstractButton *b = box.button(n.id))
            b->setText(QCoreApplication::translate("Messages", n.text));
}

QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                 const QString &text, QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    // Texts carry names, paths and recovered passwords: "<" must show as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    nameButtons(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void Messages::information(QWidget *parent, const QString &title, const QString &text)
{
    if (recorder) {
        recorder->record(MessageRecorder::Box::make(MessageRecorder::Information, title, text, QMessageBox::Ok));
        return;
    }
    show(parent, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Messages::warning(QWidget *parent, const QString &title, const QString &text)
{
    if (recorder) {
        recorder->record(MessageRecorder::Box::make(MessageRecorder::Warning, title, text, QMessageBox::Ok));
        return;
    }
    show(parent, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

QMessageBox::StandardButton Messages::question(QWidget *parent, const QString &title,
                                               const QString &text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton)
{
    if (defaultButton == QMessageBox::NoButton)
        defaultButton = safeDefault(buttons);
    if (recorder) {
        auto box = MessageRecorder::Box::make(MessageRecorder::Question, title, text, buttons);
        box.defaultButton = defaultButton;
        box.answer = defaultButton;
        return recorder->record(box).answer;
    }
    return show(parent, QMessageBox::Question, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Messages::safeDefault(QMessageBox::StandardButtons buttons)
{
    if (buttons.testFlag(QMessageBox::Cancel))
        return QMessageBox::Cancel;
    if (buttons.testFlag(QMessageBox::No))
        return QMessageBox::No;
    return QMessageBox::NoButton;
}

QString Messages::getText(QWidget *parent, const QString &title, const QString &label,
                          bool *accepted, const QString &initial, bool secret)
{
    if (recorder) {
        auto box = MessageRecorder::Box::make(MessageRecorder::TextInput, title, label, {});
        box.input = initial;
        box = recorder->record(box);
        if (accepted)
            *accepted = box.accepted;
        return box.accepted ? box.input : QString();
    }
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    for (QLabel *shown : dialog.findChildren<QLabel *>())
        shown->setTextFormat(Qt::PlainText);   // the question is an account's own text
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(initial);
    if (secret)
        dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(tr("确定"));
    dialog.setCancelButtonText(tr("取消"));
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (accepted)
        *accepted = ok;
    return ok ? dialog.textValue() : QString();
}

MessageRecorder::MessageRecorder() : m_outer(recorder)
{
    recorder = this;
}

MessageRecorder::~MessageRecorder()
{
    recorder = m_outer;
}

void MessageRecorder::answerNext(QMessageBox::StandardButton answer)
{
    m_answers.append(answer);
}

void MessageRecorder::setDefaultAnswer(QMessageBox::StandardButton answer)
{
    m_defaultAnswer = answer;
}

void MessageRecorder::inputNext(const QString &text, bool accepted)
{
    m_inputs.append({text, accepted});
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const Box &b : m_boxes)
        out << b.text;
    return out;
}

MessageRecorder::Box MessageRecorder::record(Box box)
{
    if (box.kind == Question) {
        if (!m_answers.isEmpty())
            box.answer = m_answers.takeFirst();
        else if (m_defaultAnswer != QMessageBox::NoButton)
            box.answer = m_defaultAnswer;
        else if (box.answer == QMessageBox::NoButton)
            box.answer = QMessageBox::No;
    } else if (box.kind == TextInput) {
        if (!m_inputs.isEmpty()) {
            const auto next = m_inputs.takeFirst();
            box.input = next.first;
            box.accepted = next.second;
        } else {
            box.accepted = false;
        }
    }
    m_boxes.append(box);
    if (onBox)
        onBox(box);
    return box;
}
