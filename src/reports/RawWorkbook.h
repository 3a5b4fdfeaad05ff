#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

// The raw-data workbook: one sheet with a title row, a header row (time and one column per
// probe) and blocks of samples, written row by row in constant memory, so a day-long run
// never sits in memory as a sheet. The file appears at the output path only when finish()
// succeeds; a writer destroyed before that leaves nothing behind.
//
//   RawWorkbook book;
//   if (book.begin(path, probeList) != 0) ...               // 1: the sheet could not be added
//   if (!uniformity.isEmpty()) { book.beginUniformityBlock(); for (...) book.addSample(t, v); }
//   if (!rate.isEmpty())       { book.beginRateBlock();       for (...) book.addSample(t, v); }
//   if (book.finish() != 0) ...                                // 2: saving failed
class RawWorkbook
{
public:
    RawWorkbook();
    ~RawWorkbook();
    RawWorkbook(const RawWorkbook &) = delete;
    RawWorkbook &operator=(const RawWorkbook &) = delete;

    // probeList: the calibration's layout points, "row:column" entries joined by ",".
    // Writes the title and the header. 0, or 1 when the workbook or its sheet cannot be made.
    int begin(const QString &outputPath, const QString &probeList);

    // Block titles: the uniformity block directly below the header, the rate block after
    // one empty row (so in row 4 when there is no uniformity block).
    void beginUniformityBlock();
    void beginRateBlock();

    // One sample row: the time with milliseconds and each value as text with 2 decimals.
    void addSample(const QDateTime &time, const QVector<double> &values);
    void addSample(const QDateTime &time, const double *values, int count);

    // 0 written; 2 saving failed (nothing is left at the output path).
    int finish();

    int probeCount() const;
    QString errorString() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
