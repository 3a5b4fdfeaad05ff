#include "store/WorkerThread.h"

#include <QThread>

#include <utility>

WorkerThread::WorkerThread(QObject *parent) : QObject(parent)
{
}

WorkerThread::~WorkerThread()
{
    cancel();
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

bool WorkerThread::start(Work work, std::function<void()> then)
{
    if (m_thread)
        return false;
    m_then = std::move(then);
    m_cancel = false;
    m_progress = -2;
    const int generation = ++m_generation;
    m_thread = QThread::create([this, work = std::move(work)] { work(*this); });
    // The end of the work is handled on this object's thread, once the thread has stopped.
    connect(m_thread, &QThread::finished, this, [this, generation] {
        if (generation == m_generation && m_thread)
            join();
    }, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

void WorkerThread::wait()
{
    if (m_thread)
        join();
}

void WorkerThread::join()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    // Taken first: `then` may start the next run.
    const std::function<void()> then = std::move(m_then);
    m_then = nullptr;
    emit finished();
    if (then)
        then();
}

void WorkerThread::setProgress(qint64 done, qint64 total)
{
    const int permille = total > 0 ? int(qBound<qint64>(0, done * 1000 / total, 1000)) : -1;
    if (m_progress.exchange(permille) != permille)
        emit progressChanged(permille);
}
