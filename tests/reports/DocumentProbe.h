#pragma once

// Reads produced documents back for the tests: unpacks the package and answers questions about
// bookmarks, tables, runs, cells and merges, independently of the code that wrote them.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

struct Run
{
    QString text;
    bool subscript = false;
    QString font;
};

class DocxProbe
{
public:
    explicit DocxProbe(const QString &path);
    ~DocxProbe();
    bool ok() const;
    QString contentType() const;                 // of word/document.xml
    QString bookmarkText(const QString &name) const;
    int bookmarkCount(const QString &name) const;
    int tableCount() const;
    QVector<QStringList> table(int index) const;  // cell texts per row
    QVector<Run> cellRuns(int table, int row, int column) const;
    QByteArray rowProperties(int table, int row) const;   // trPr + tcPr of the row, as XML
    QString bodyText() const;
    // Text of the page header and footer parts, and the field codes they hold (" PAGE ", ...).
    QString headerText() const;
    QString footerText() const;
    QStringList footerFields() const;
    // Inline pictures in the body, and the bytes of the parts under word/media/.
    int pictureCount() const;
    QVector<QByteArray> media() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

class XlsxProbe
{
public:
    explicit XlsxProbe(const QString &path);
    ~XlsxProbe();
    bool ok() const;
    QString contentType() const;                  // of xl/workbook.xml
    QString cell(int row, int column) const;
    QString cell(const QString &address) const;
    QString style(int row, int column) const;     // the s attribute
    QString type(int row, int column) const;      // the t attribute
    QVector<Run> runs(int row, int column) const;
    QStringList merges() const;
    double rowHeight(int row) const;
    int lastRow() const;
    QByteArray sheetXml() const;
    QString oddHeader() const;
    QString oddFooter() const;
    int pictureCount() const;   // pictures of the sheet's drawing

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Runs a program and returns its standard output ("" when it fails).
QString runTool(const QString &program, const QStringList &arguments, int *exitCode = nullptr);

// The text of a PDF as pdftotext lays it out ("" when it cannot be read).
QString pdfText(const QString &pdf);

// A number as a report prints it, worked out apart from the code under test.
QString fixed(double x, int decimals);

// Keeps a produced file for a person to look at ($PCR_KEEP_REPORTS).
void keepDocument(const QString &path);
