#pragma once
// The picture of a probe layout: the well grid drawn into a colour image, wells marked and
// unmarked by clicks, and the picture as it is stored (data-stream pixmap format, then Base64).
// No window here: the editor shows the drawing, tests and the demo set-up use it as it is.

#include "registry/LayoutGrid.h"
#include "store/tool.h"

#include <QImage>
#include <QString>
#include <QVector>

#include <opencv2/core.hpp>

namespace LayoutDrawing {

// The empty grid: white, column numbers, row letters, the frame and a ring per well.
// Blue-green-red order, 8 bits per channel, as the drawing window shows it.
cv::Mat drawGrid(const LayoutGrid::Grid &grid);

// The well at centre filled black (marked) or white again (the ring stays).
void paintMark(cv::Mat &drawing, const QPoint &centre, bool marked);

// A copy of a blue-green-red drawing as a red-green-blue image.
QImage toImage(const cv::Mat &drawing);

// The picture written as a pixmap is written (data stream, PNG inside), then Base64. QPixmap
// streams itself as its image, so this is the stored form without needing a display.
QString encodePicture(const QImage &picture);
// A stored picture is decoded only up to this many pixels a side: far more than the drawing of
// the largest block (48 × 32 wells is 2500 × 1700), far less than a row written to make every
// station that shows it decode gigabytes.
constexpr int MaxPictureSide = 8192;

struct StoredPicture
{
    enum class Status { None, Ok, Unreadable, TooLarge };
    Status status = Status::None;
    QImage image;    // null unless Ok
    QSize declared;  // the size the picture's header declares, when it could be read
};

// The picture of a stored text. Its header is read first: a picture declaring more than maxSide
// pixels a side is refused before anything is decoded. Only the stored form (PNG) is decoded.
StoredPicture readPicture(const QString &text, int maxSide = MaxPictureSide);
// Why a stored picture that is there is not shown: its declared size (empty otherwise).
QString pictureProblemText(const StoredPicture &picture);
// readPicture's image: null when the text is no such picture or it is refused.
QImage decodePicture(const QString &text);

} // namespace LayoutDrawing

// The editing state of one layout: the grid, one mark per well and the drawing that shows them.
class LayoutSketch
{
public:
    // A fresh grid of columns × rows wells (counts as LayoutGrid::parseCount accepts), nothing
    // marked.
    void reset(int columns, int rows);
    // True once a grid has been drawn.
    bool isCreated() const { return m_grid.wellCount() > 0; }

    // A click at x, y (drawing pixels): every well closer than the well radius changes its mark.
    // Returns the wells changed.
    QVector<int> toggleAt(int x, int y);
    void setMarked(int index, bool marked);

    const LayoutGrid::Grid &grid() const { return m_grid; }
    const QVector<bool> &marks() const { return m_marks; }
    const cv::Mat &drawing() const { return m_drawing; }
    int markedCount() const { return LayoutGrid::markedCount(m_marks); }
    QString pointsText() const { return LayoutGrid::pointsText(m_marks, m_grid.columns); }
    QImage picture() const { return LayoutDrawing::toImage(m_drawing); }

    // The record to store under name; without its picture (Image empty) for writing that later.
    Tool::Struct_Layout record(const QString &name) const;
    Tool::Struct_Layout recordWithoutPicture(const QString &name) const;

private:
    LayoutGrid::Grid m_grid;
    QVector<bool> m_marks;
    cv::Mat m_drawing;
};
