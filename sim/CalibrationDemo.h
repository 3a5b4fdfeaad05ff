#pragma once
// The demo workspace: instruments, a probe set, cycle files and a layout registered on its first
// start so that a calibration can be run at once against the simulator pcrsim. The probe
// coefficients are the simulator's own probe characteristics, so the demo reads true
// temperatures; the cycle files follow the program the simulator runs.

#include "store/profiles.h"
#include "store/tool.h"

#include <QString>

namespace CalibrationDemo {

struct Options
{
    QString program;            // the simulator's --program, "T:MIN,T:MIN,..."
    quint64 seed = 0;           // the simulator's --seed
    QString host = QStringLiteral("127.0.0.1");
    QString port;               // the simulator's collector TCP port
};

// Numbers and names of the demo records.
extern const char *const PCRNumber;
extern const char *const CollectorNumber;
extern const char *const ProbeSetNumber;
extern const char *const UniformityFileNumber;
extern const char *const RateFileNumber;
extern const char *const LayoutName;

constexpr int ProbeCount = 16;

Tool::Struct_PCRDevice pcrDevice();
Tool::Struct_Electrometer collector(const Options &options);
// The maker's limits of the demo instrument's model, which the simulated block meets.
PerformanceProfileRecord performanceProfile();
// The 16 probes of the simulator with its seed.
Tool::Struct_Standardizer probeSet(quint64 seed);
// Cycle files with the steps of the program; false when the program cannot be read.
bool cycleFile(const QString &number, const QString &name, const QString &program, Tool::Struct_CyclicFile &file,
               QString *error);
// 16 wells of a 12 × 8 block (corners, edges, middle) with its drawing. Needs a GUI application.
Tool::Struct_Layout layout();
// Seconds of one pass through the program as the simulator runs it from 25 °C.
double firstPassSeconds(const QString &program);

// Registers every demo record in the open database; false (with the reason) at the first
// record that cannot be stored.
bool registerRecords(const Options &options, QString *error);
// Points the demo collector at the simulator's current port when it was registered elsewhere.
bool updateCollectorAddress(const Options &options, QString *error);
// The last calibration values the page starts with: the duration of one pass, 1 s interval,
// ambient 20 ℃, 50 %RH, 1000 mbar. Keys already present are kept.
void writeCalibrationDefaults(const QString &program);

} // namespace CalibrationDemo
