#pragma once
// The simulator's clock: simulated seconds since start = real seconds × time scale.

#include <QElapsedTimer>

namespace pcrsim {

class SimClock
{
public:
    explicit SimClock(double timeScale) : scale(timeScale) { clock.start(); }
    double now() const { return double(clock.nsecsElapsed()) * 1e-9 * scale; }

private:
    QElapsedTimer clock;
    double scale;
};

} // namespace pcrsim
