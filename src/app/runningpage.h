#pragma once

// A page that drives instruments derives from this as well as from QWidget. The main window asks
// it before leaving it and refuses while a run is in progress.
class RunningPage
{
public:
    virtual ~RunningPage() = default;
    virtual bool isRunning() const = 0;
};
