#pragma once
// The rules of a probe set while it is being made and kept: channel rows, what a coefficient may
// be, the checks of a new set in their order, the record it becomes, the coefficient file, and
// whether a set may still be deleted. Widget-free; StandardizerAdd, StandardizerDisplay and
// Standardizer show and use it.

#include "store/tool.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <functional>

namespace StandardizerRules {

constexpr int CoefficientCount = 4;
// A coefficient is a number of at most this many characters.
constexpr int MaxCoefficientLength = 24;
// The collector has a coefficient block for 16 channels and no more.
constexpr int MaxChannels = 16;
constexpr int FirstChannel = 101;

// The channel counts the add dialog offers.
QStringList channelCounts();

// One probe: its channel number ("101", ...) and its coefficients B0 to B3 as texts.
struct Row
{
    QString channel;
    std::array<QString, CoefficientCount> b;
    bool operator==(const Row &o) const { return channel == o.channel && b == o.b; }
};
using Rows = QVector<Row>;

// The four coefficient lists of a set, one text per channel each, in channel order.
using Columns = std::array<QStringList, CoefficientCount>;

// Row index from 0: channel 101 + index with the coefficients -4, 4000, 0, 0.
Row defaultRow(int index);
// n rows: the first ones kept as they are, missing ones appended with their defaults.
Rows resized(const Rows &rows, int n);

// "B0" to "B3".
QString coefficientName(int index);

// A finite number in plain or exponent notation ("-4", "4000", "1.2e-07", ".5", "+3"), at most
// 24 characters, without blanks, that the collector's single-precision registers can hold.
bool isCoefficient(const QString &text);
// The pattern the coefficient editor lets the user type: the numbers above and their beginnings.
QString coefficientPattern();

// The first cell that holds no coefficient; none when row < 0.
struct Fault
{
    int row = -1;
    int coefficient = -1;
    QString text;
    bool isNone() const { return row < 0; }
};
Fault firstBadCoefficient(const Rows &rows);
Fault firstBadCoefficient(const Columns &columns);

// Columns of the same length, one entry per channel; -1 when they differ.
int channelCountOf(const Columns &columns);
Columns columnsOf(const Rows &rows);
// The rows with the imported coefficients; the lists must have one entry per row.
Rows withCoefficients(const Rows &rows, const Columns &columns);

// The checks of a new set, in the order they are made.
enum class Check {
    Ok,
    NumberEmpty,
    NumberHasSeparator,   // the lists read the key back as the text before the first "--"
    NumberTaken,
    NameEmpty,
    NameTaken,
    NoChannels,
    BadCoefficient,
};
// Number and name are taken trimmed. The lookups say whether a stored set has that number or
// name (a failed lookup should say yes: nothing is stored twice). fault is set for BadCoefficient.
Check checkNew(const QString &number, const QString &name, const Rows &rows,
               const std::function<bool(const QString &)> &numberTaken,
               const std::function<bool(const QString &)> &nameTaken, Fault *fault = nullptr);

// The set as stored: number and name trimmed, one entry per row in every list, created now.
Tool::Struct_Standardizer record(const QString &number, const QString &name, const Rows &rows,
                                 const QDateTime &now);
// The rows of a stored set for display: channel names and coefficients; a damaged record shows
// what it holds rather than reading past its lists.
Rows displayRows(const Tool::Struct_Standardizer &set);
Columns columnsOf(const Tool::Struct_Standardizer &set);

// --- coefficient files (INI, UTF-8: group "Standardizer", keys B0 to B3, one list each)

// False when the file could not be written.
bool writeFile(const QString &path, const Columns &columns);

struct FileRead
{
    enum Problem { None, Unreadable, WrongLength, BadCoefficient };
    Problem problem = Unreadable;
    Columns columns;
    int lengths[CoefficientCount] = {0, 0, 0, 0};
    Fault fault;
};
// Reads the four lists and checks them against a table of rowCount channels.
FileRead readFile(const QString &path, int rowCount);

// --- deleting

// Who still uses a set. A set is kept while a stored project or the probe calibration page
// names it; a lookup that fails counts as a use.
struct Usage
{
    int projects = 0;
    bool lookupFailed = false;
    bool probeCalibration = false;
    bool inUse() const { return projects > 0 || lookupFailed || probeCalibration; }
};
// Whether the probe calibration page's chosen set (its combo text as kept in config.ini: the
// name, or a list entry "number--name") is this set.
bool namesSet(const QString &configured, const Tool::Struct_Standardizer &set);
// Looks the set up in the stored projects and in config.ini.
Usage usageOf(const Tool::Struct_Standardizer &set);

// The sentences the dialogs show, in the interface language.
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(StandardizerRules)

public:
    static QString check(Check check, const Fault &fault = Fault(), const QString &channel = QString());
    // A cell without a number, naming the channel and the coefficient.
    static QString badCoefficient(const Fault &fault, const QString &channel);
    static QString usage(const Usage &usage);
};

} // namespace StandardizerRules
