#pragma once

#include <QString>

#include <memory>

// A spreadsheet made from an .xltx/.xlsx template; edits go to the first worksheet the way a
// spreadsheet program applies them. Rows and columns count from 1.
//
// - SetCell writes the text as it is (a text cell; "95.00" stays "95.00"), keeping the
//   cell's format; an empty text empties the cell.
// - InsertRow inserts a whole row above the given row: rows below move down one, together
//   with their merges (a merge that spans the insertion point grows), and the new row takes
//   the height and cell formats of the row above it (not its merges or values). Print areas
//   and print titles of the sheet follow.
// - Merge merges a range of one row; merges it overlaps are absorbed, and only the first
//   cell's value is kept.
class ExcelReport
{
public:
    ExcelReport();
    ~ExcelReport();
    ExcelReport(const ExcelReport &) = delete;
    ExcelReport &operator=(const ExcelReport &) = delete;

    // 0 opened; 1 the template cannot be read; 2 it is not a spreadsheet package;
    // 3 its workbook or first sheet is missing or malformed.
    int Open(const QString &path);
    bool isOpen() const;

    void SetCell(int row, int column, const QString &text);
    // Text a + b + c with b as subscript.
    void SetCellWithSubscript(int row, int column, const QString &a, const QString &b, const QString &c);
    // "T̄c" + unit in "宋体" (T with a macron: the mean), "c" as subscript.
    void SetMeanTemperatureHeader(int row, int column, const QString &unit);
    void InsertRow(int row, int column);
    void Merge(int row, int column, int span);
    // Removes the rows from `row` to the end of the sheet with their merges and page breaks: an
    // optional last part of a template left out.
    void RemoveRowsFrom(int row);

    // The first row of a defined name of the workbook ("Sheet!$A$13"); 0 without that name.
    int DefinedNameRow(const QString &name) const;
    // Replaces "{key}" in the sheet's page headers and footers.
    void FillHeaderFooter(const QString &key, const QString &text);
    // Puts a PNG picture with its top left corner on a cell, widthCm wide with the picture's
    // proportions. False when the data is no picture.
    bool InsertPicture(int row, int column, const QByteArray &png, double widthCm);

    // Writes the workbook as .xlsx (atomically) and closes it. False on a write error.
    bool SaveAndQuit(const QString &path);
    void Close();

    QString errorString() const;
    QByteArray workbookData() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
