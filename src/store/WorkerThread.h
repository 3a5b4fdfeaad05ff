#pragma once
// Long work on a thread of its own, with progress and cancel. The thread is always joined: when
// the work returns (finished() is then emitted on the owner's thread), by wait(), or by the
// destructor, which asks the work to stop first. The work polls isCancelled() between its steps
// and reports setProgress(); everything it hands back is read after it is over, in `then` or a
// slot of finished(), on the owner's thread.
//
//   m_worker = new WorkerThread(this);
//   connect(m_worker, &WorkerThread::progressChanged, bar, &QProgressBar::setValue);
//   auto result = std::make_shared<Result>();
//   m_worker->start([file, result](WorkerThread &w) { ... w.setProgress(i, n); if (w.isCancelled()) return; ... },
//                   [this, result] { show(*result); });

#include <QObject>

#include <atomic>
#include <functional>

class QThread;

class WorkerThread : public QObject
{
    Q_OBJECT

public:
    using Work = std::function<void(WorkerThread &worker)>;

    explicit WorkerThread(QObject *parent = nullptr);
    ~WorkerThread() override;

    // Runs work on a new thread, then `then` on the owner's thread (after finished()); the
    // destructor, which cuts a run short, calls neither. False, and nothing started, while a
    // previous run is not over.
    bool start(Work work, std::function<void()> then = {});
    // From start() until finished() has been emitted.
    bool isRunning() const { return m_thread != nullptr; }

    void cancel() { m_cancel = true; }
    bool isCancelled() const { return m_cancel; }
    const std::atomic<bool> *cancelFlag() const { return &m_cancel; }

    // Blocks until the work has returned and joins its thread; finished() is emitted from here.
    void wait();

    // Called by the work: done out of total (total <= 0: not known). progressChanged() reaches
    // the owner's thread only when the value in per mille changes.
    void setProgress(qint64 done, qint64 total);

    // The thread the work runs on while it runs (for checks), else null.
    QThread *workThread() const { return m_thread; }

signals:
    // 0 to 1000, or -1 while the amount of work is not known.
    void progressChanged(int permille);
    void finished();

private:
    void join();

    QThread *m_thread = nullptr;
    std::function<void()> m_then;
    int m_generation = 0;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_progress{-2};
};
