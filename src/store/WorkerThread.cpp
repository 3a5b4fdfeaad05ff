#include "store/WorkerThread.h"

#include <QThread>

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

bool WorkerThread::start(Work work)
{
    if (m_thread)
        return false;
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
    emit finished();
}

void WorkerThread::setProgress(qint64 done, qint64 total)
{
    const int permille = total > 0 ? int(qBound<qint64>(0, done * 1000 / total, 1000)) : -1;
    if (m_progress.exchange(permille) != permille)
        emit progressChanged(permille);
}
