#include "registry/LayoutDrawing.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDataStream>
#include <QImageReader>

#include <opencv2/imgproc.hpp>

namespace LayoutDrawing {

namespace {

const cv::Scalar Black(0, 0, 0);
const cv::Scalar White(255, 255, 255);

cv::Point at(const QPoint &p)
{
    return cv::Point(p.x(), p.y());
}

void label(cv::Mat &drawing, const QString &text, const QPoint &origin)
{
    cv::putText(drawing, text.toStdString(), at(origin), cv::FONT_HERSHEY_COMPLEX, 0.7, Black, 1, cv::LINE_AA);
}

// One well's ring, drawn once: a thick antialiased circle costs a tenth of a millisecond, and a
// 1536-well block has 1536 of them. Centres are whole pixels, so a copy is the same ring.
const cv::Mat &ring()
{
    static const cv::Mat stamp = [] {
        const int size = 2 * (LayoutGrid::WellRadius + 3) + 1;
        cv::Mat s(size, size, CV_8UC3, White);
        cv::circle(s, cv::Point(size / 2, size / 2), LayoutGrid::WellRadius, Black, 2, cv::LINE_AA);
        return s;
    }();
    return stamp;
}

// Ink of stamp laid on the drawing centred at centre (the darker pixel wins), clipped to it.
void press(cv::Mat &drawing, const cv::Mat &stamp, const QPoint &centre)
{
    const cv::Rect placed(centre.x() - stamp.cols / 2, centre.y() - stamp.rows / 2, stamp.cols, stamp.rows);
    const cv::Rect inside = placed & cv::Rect(0, 0, drawing.cols, drawing.rows);
    if (inside.empty())
        return;
    cv::Mat target = drawing(inside);
    cv::min(target, stamp(inside - placed.tl()), target);
}

} // namespace

cv::Mat drawGrid(const LayoutGrid::Grid &grid)
{
    cv::Mat drawing(grid.height, grid.width, CV_8UC3, White);
    for (int c = 1; c <= grid.columns; ++c)
        label(drawing, QString::number(c), grid.columnLabel(c));
    for (int r = 1; r <= grid.rows; ++r)
        label(drawing, LayoutGrid::rowName(r), grid.rowLabel(r));
    cv::rectangle(drawing, cv::Point(LayoutGrid::Margin, LayoutGrid::Margin), at(grid.frameEnd), Black, 3);
    for (const QPoint &centre : grid.centres)
        press(drawing, ring(), centre);
    return drawing;
}

void paintMark(cv::Mat &drawing, const QPoint &centre, bool marked)
{
    cv::circle(drawing, at(centre), LayoutGrid::MarkRadius, marked ? Black : White, cv::FILLED, cv::LINE_AA);
}

QImage toImage(const cv::Mat &drawing)
{
    if (drawing.empty() || drawing.type() != CV_8UC3)
        return QImage();
    cv::Mat rgb;
    cv::cvtColor(drawing, rgb, cv::COLOR_BGR2RGB);
    const QImage view(rgb.data, rgb.cols, rgb.rows, int(rgb.step), QImage::Format_RGB888);
    return view.copy();
}

QString encodePicture(const QImage &picture)
{
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << picture;
    }
    return QString::fromLatin1(bytes.toBase64());
}

StoredPicture readPicture(const QString &text, int maxSide)
{
    using Status = StoredPicture::Status;
    StoredPicture out;
    if (text.isEmpty())
        return out;
    out.status = Status::Unreadable;
    auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() < int(sizeof(qint32)))
        return out;
    // The data stream's form of an image: a marker (0 for a null image), then the image file.
    qint32 marker = 0;
    QDataStream(decoded.decoded) >> marker;
    if (marker == 0) {
        out.status = Status::None;
        return out;
    }
    QBuffer file(&decoded.decoded);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(sizeof(qint32)))
        return out;
    QImageReader reader(&file, "png");
    reader.setAutoDetectImageFormat(false);
    // The header only; a reader that cannot tell the size does not get to decode.
    out.declared = reader.size();
    if (!out.declared.isValid() || out.declared.isEmpty())
        return out;
    if (out.declared.width() > maxSide || out.declared.height() > maxSide) {
        out.status = Status::TooLarge;
        return out;
    }
    out.image = reader.read();
    out.status = out.image.isNull() ? Status::Unreadable : Status::Ok;
    return out;
}

QString pictureProblemText(const StoredPicture &picture)
{
    switch (picture.status) {
    case StoredPicture::Status::TooLarge:
        return QCoreApplication::translate("LayoutDrawing", "布点图图片过大（%1×%2像素），未显示。")
            .arg(picture.declared.width())
            .arg(picture.declared.height());
    case StoredPicture::Status::Unreadable:   // the pages say there is no picture to show
    case StoredPicture::Status::None:
    case StoredPicture::Status::Ok:
        break;
    }
    return QString();
}

QImage decodePicture(const QString &text)
{
    return readPicture(text).image;
}

} // namespace LayoutDrawing

void LayoutSketch::reset(int columns, int rows)
{
    m_grid = LayoutGrid::compute(columns, rows);
    m_marks = QVector<bool>(m_grid.wellCount(), false);
    m_drawing = m_grid.wellCount() > 0 ? LayoutDrawing::drawGrid(m_grid) : cv::Mat();
}

QVector<int> LayoutSketch::toggleAt(int x, int y)
{
    const QVector<int> hits = LayoutGrid::wellsNear(m_grid.centres, QPoint(x, y));
    for (int index : hits)
        setMarked(index, !m_marks.at(index));
    return hits;
}

void LayoutSketch::setMarked(int index, bool marked)
{
    if (index < 0 || index >= m_marks.size())
        return;
    m_marks[index] = marked;
    LayoutDrawing::paintMark(m_drawing, m_grid.centres.at(index), marked);
}

Tool::Struct_Layout LayoutSketch::record(const QString &name) const
{
    Tool::Struct_Layout layout = recordWithoutPicture(name);
    layout.Image = LayoutDrawing::encodePicture(picture());
    return layout;
}

Tool::Struct_Layout LayoutSketch::recordWithoutPicture(const QString &name) const
{
    Tool::Struct_Layout layout;
    layout.Name = name;
    layout.PointCount = QString::number(markedCount());
    layout.Points = pointsText();
    return layout;
}
