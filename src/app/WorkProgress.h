#pragma once

#include <QProgressDialog>

class WorkerThread;

// A progress window over the work of a WorkerThread, modal to the window it stands in front of:
// the bar follows the work ("busy" while its amount is not known), "取消" asks it to stop, and
// the window goes when the work is over. Shown at once; deletes itself.
//
//   m_worker->start(...);
//   new WorkProgress(m_worker, tr("备份"), tr("正在备份数据库..."), this);
class WorkProgress : public QProgressDialog
{
    Q_OBJECT

public:
    WorkProgress(WorkerThread *worker, const QString &title, const QString &label, QWidget *parent);
};
