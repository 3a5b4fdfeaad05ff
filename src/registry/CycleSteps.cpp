#include "registry/CycleSteps.h"

namespace {

bool filled(const QString &temperature, const QString &duration)
{
    return !temperature.trimmed().isEmpty() && !duration.trimmed().isEmpty();
}

} // namespace

void CycleSteps::select(int row)
{
    if (isRow(row))
        m_selected = row;
}

CycleSteps::Result CycleSteps::add(const QString &temperature, const QString &duration)
{
    if (!filled(temperature, duration))
        return NeedInput;
    const int at = qMin(m_selected + 1, count());
    m_steps.append(QString::number(count() + 1));
    m_temperatures.insert(at, temperature.trimmed());
    m_durations.insert(at, duration.trimmed());
    m_selected = at;
    return Done;
}

CycleSteps::Result CycleSteps::set(const QString &temperature, const QString &duration)
{
    if (!filled(temperature, duration))
        return NeedInput;
    if (!isRow(m_selected))
        return NeedSelection;
    m_temperatures[m_selected] = temperature.trimmed();
    m_durations[m_selected] = duration.trimmed();
    return Done;
}

CycleSteps::Result CycleSteps::remove()
{
    if (!isRow(m_selected))
        return NeedSelection;
    m_temperatures.removeAt(m_selected);
    m_durations.removeAt(m_selected);
    m_steps.removeLast();
    return Done;
}

void CycleSteps::clear()
{
    m_steps.clear();
    m_temperatures.clear();
    m_durations.clear();
    m_selected = -1;
}
