#pragma once
// The well grid of a probe layout: where each well of a heating block with a given number of
// columns and rows is drawn, which wells a click hits, and how the marked wells are written.
// Plain values only (QtCore): the editor and the demo set-up draw with it, tests call it directly.

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>

namespace LayoutGrid {

// The largest common block, 1536 wells, is 48 × 32; a larger count could not be shown.
constexpr int MaxColumns = 48;
constexpr int MaxRows = 32;
// A well is drawn as a ring of this radius, and a click closer than this to its centre hits it.
constexpr int WellRadius = 15;
// The disc that marks a well with a probe.
constexpr int MarkRadius = 14;
// The frame's top left corner; the labels sit above and to the left of it.
constexpr int Margin = 50;

// A hole count as typed: a whole number from 1 to limit (surrounding blanks allowed).
// False for anything else, count untouched.
bool parseCount(const QString &text, int limit, int *count);

struct Grid
{
    int columns = 0;
    int rows = 0;
    // Integer pitches: the wells of odd counts do not quite fill the frame.
    int pitchX = 0;
    int pitchY = 0;
    // The drawing's size in pixels.
    int width = 0;
    int height = 0;
    // The frame's bottom right corner (its top left is Margin, Margin).
    QPoint frameEnd;
    // One centre per well, row-major: row 1 columns 1 … columns, then row 2 …
    QVector<QPoint> centres;

    int wellCount() const { return centres.size(); }
    // Baseline start of the number of column (from 1) and of the letters of row (from 1).
    QPoint columnLabel(int column) const;
    QPoint rowLabel(int row) const;
    // "row:column" (both from 1) of the well at index.
    QString wellName(int index) const;
};

// The grid of a block with columns × rows wells; both counts from 1 (see parseCount).
Grid compute(int columns, int rows);

// Spreadsheet-style letters of a row counted from 1: 1 → "A", 26 → "Z", 27 → "AA".
QString rowName(int row);

// The indexes of the wells whose centre lies closer than radius to point (Euclidean).
QVector<int> wellsNear(const QVector<QPoint> &centres, const QPoint &point, int radius = WellRadius);

// The marked wells as "row:column" joined by ",", in row-major order (marks follow the grid's
// centres); the probe set's k-th channel sits in the k-th well listed.
QString pointsText(const QVector<bool> &marks, int columns);
int markedCount(const QVector<bool> &marks);

// A stored well "row:column" as the block is labelled: "8:1" → "H1", "27:3" → "AA3"; empty for
// a text that is no well.
QString wellLabel(const QString &point);

// Which well each channel sits in: channel k (the probe set's names, in order) in entry k of a
// layout's Points. A channel without a point gets an empty well, a point without a channel an
// empty channel, so a mismatch shows where it lies.
struct ChannelWell
{
    QString channel;
    QString well;
};
QVector<ChannelWell> channelWells(const QStringList &channels, const QString &points);

} // namespace LayoutGrid
