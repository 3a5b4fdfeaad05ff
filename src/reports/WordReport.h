#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

// A word-processing document made from a .dotx/.docx template and edited the way a word
// processor's selection edits it: go to a bookmark, type, toggle subscript, move down by lines
// and right by table cells, insert table rows above the selection. One object per document.
//
// Selection rules (as the office program has them):
// - GoToBookmark selects the bookmark; an empty bookmark is an insertion point inside it.
//   A missing bookmark leaves the selection where it was (at first: the start of the document).
// - TypeText replaces a non-empty selection, otherwise inserts at the insertion point; the
//   text takes the formatting of the character before it (or of its paragraph when there is
//   none) and the insertion point follows it.
// - MoveDown(n) moves n lines down: to the next paragraph of a cell, then to the cell of the
//   next table row under the same grid column, and from the last row to the line below the
//   table. The insertion point lands at the end of the target cell's first paragraph.
// - MoveRight(n) moves n cells to the right within a table (wrapping to the next row) and
//   selects the whole cell, so typing replaces its content. Outside a table it does nothing.
// - InsertRows(n) inserts n empty rows above the selection's row, each a copy of that row's
//   formatting (row, cell and paragraph properties) without text or bookmarks.
// - The subscript toggle switches the subscript state of the selection; typed text follows it.
class WordReport
{
public:
    WordReport();
    ~WordReport();
    WordReport(const WordReport &) = delete;
    WordReport &operator=(const WordReport &) = delete;

    // 0 opened; 1 the template cannot be read; 2 it is not a word-processing package;
    // 3 its main document is missing or malformed. errorString() says which file and why.
    int Open(const QString &templatePath);
    bool isOpen() const;

    void GoToBookmark(const QString &name);
    // Fills prefix1, prefix2, ... with the texts in order. Returns true when a bookmark was
    // missing (filling stopped there), false when every text found its bookmark or the list was empty.
    bool FillBookmarks(const QString &prefix, const QStringList &texts);
    void InsertRows(int n);
    void TypeText(const QString &text);
    void TypeWithSubscript(const QString &text, const QString &sub);
    void ToggleSubscriptAndType(const QString &text);
    void MoveDown(int n);
    void MoveRight(int n);
    // Removes everything from the block that holds the bookmark to the end of the document (the
    // page settings stay): an optional last part of a template left out. The selection goes to the
    // start of the document. False when there is no such bookmark.
    bool RemoveFromBookmark(const QString &name);

    // Types text at one bookmark; false (and nothing typed) when the document has none of that name.
    bool FillBookmark(const QString &name, const QString &text);
    // Replaces "{key}" in the text of every page header and footer.
    void FillHeaderFooter(const QString &key, const QString &text);
    // Puts a PNG picture inline at the selection, widthCm wide with the picture's proportions.
    // False when the data is no picture.
    bool InsertPicture(const QByteArray &png, double widthCm);

    // Writes the filled document as PDF through LibreOffice. False (with errorString) when
    // LibreOffice is missing or the conversion fails, or when `cancel` was set while it ran; no
    // file is left at path then.
    bool ExportPdf(const QString &path, const std::atomic<bool> *cancel = nullptr);
    // Writes the filled document as .docx (atomically) and closes it. False on a write error.
    bool SaveAndQuit(const QString &path);
    // Closes the document without saving.
    void CloseAndQuit();

    QString errorString() const;

    // The document as it stands, packed as .docx (for inspection and for the PDF path).
    QByteArray documentData() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
