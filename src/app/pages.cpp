#include "app/pages.h"

#include "app/SystemSet.h"
#include "calibration/Calibration.h"
#include "registry/CyclicFile.h"
#include "registry/Electrometer.h"
#include "registry/Layout.h"
#include "registry/PCRDevice.h"
#include "registry/Standardizer.h"
#include "exportui/DataExport.h"
#include "probecal/Thermistor.h"
#include "users/admin.h"
#include "users/auditlog.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace Pages {

namespace {

const char *const titles[Count] = {
    QT_TRANSLATE_NOOP("PCR", "PCR仪设备管理"), QT_TRANSLATE_NOOP("PCR", "测温仪器管理"),
    QT_TRANSLATE_NOOP("PCR", "布点图设置"),    QT_TRANSLATE_NOOP("PCR", "PCR仪设备校准"),
    QT_TRANSLATE_NOOP("PCR", "数据导出"),      QT_TRANSLATE_NOOP("PCR", "用户管理"),
    QT_TRANSLATE_NOOP("PCR", "审计日志"),      QT_TRANSLATE_NOOP("PCR", "系统设置"),
    QT_TRANSLATE_NOOP("PCR", "探头校准"),
};

} // namespace

QString title(int index)
{
    if (index < 0 || index >= Count)
        return QString();
    return QCoreApplication::translate("PCR", titles[index]);
}

QWidget *createPage(int index, QWidget *parent)
{
    switch (index) {
    // Pages replace their EmptyPage here as they are built, e.g.
    //   case PCRDevicePage: return new PCRDevice(parent);
    case PCRDevicePage:
        return new PCRDevice(parent);
    case ElectrometerPage:
        return new Electrometer(parent);
    case LayoutPage:
        return new Layout(parent);
    case CalibrationPage:
        return new Calibration(parent);
    case DataExportPage:
        return new DataExport(parent);
    case AdminPage:
        return new Admin(parent);
    case AuditLogPage:
        return new AuditLog(parent);
    case SystemSetPage:
        return new SystemSet(parent);
    case ThermistorPage:
        return new Thermistor(parent);
    default:
        return new EmptyPage(index, parent);
    }
}

QDialog *createDialog(Dialog dialog)
{
    switch (dialog) {
    case Dialog::Standardizer:
        return new Standardizer;
    case Dialog::CyclicFile:
        return new CyclicFile;
    }
    return nullptr;
}

} // namespace Pages

EmptyPage::EmptyPage(int index, QWidget *parent)
    : QWidget(parent), m_index(index), m_title(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setStyleSheet(QStringLiteral("font: 24pt \"黑体\"; color: rgb(120, 120, 120);"));
    layout->addWidget(m_title);
    m_title->setText(Pages::title(index));
}

void EmptyPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        m_title->setText(Pages::title(m_index));
    QWidget::changeEvent(event);
}
