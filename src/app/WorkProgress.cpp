#include "app/WorkProgress.h"

#include "store/WorkerThread.h"

WorkProgress::WorkProgress(WorkerThread *worker, const QString &title, const QString &label, QWidget *parent)
    : QProgressDialog(label, tr("取消"), 0, 1000, parent)
{
    setObjectName(QStringLiteral("workProgress"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(0);
    setMinimumWidth(360);
    connect(worker, &WorkerThread::progressChanged, this, [this](int permille) {
        if (permille < 0) {
            setRange(0, 0);
        } else {
            setRange(0, 1000);
            setValue(permille);
        }
    });
    const QMetaObject::Connection cancels = connect(this, &QProgressDialog::canceled, worker, &WorkerThread::cancel);
    // Closing emits canceled(): the work that is over must not read as cancelled.
    connect(worker, &WorkerThread::finished, this, [this, cancels] {
        disconnect(cancels);
        close();
    });
    setValue(0);
    show();
}
