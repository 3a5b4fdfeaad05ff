// The layout grid without a window: geometry with integer pitches, row letters, counts, the
// hit test, the points text, the drawing and the stored picture.

#include "../support/TestSuite.h"

#include "registry/LayoutDrawing.h"
#include "registry/LayoutGrid.h"

#include <QColor>
#include <QDataStream>
#include <QPixmap>
#include <QtTest>

namespace {

QColor pixel(const QImage &image, const QPoint &p)
{
    return image.pixelColor(p);
}

// The picture as 8-bit RGB, whatever format it was read back in.
QImage rgb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB888);
}

} // namespace

class TestLayoutGrid : public QObject
{
    Q_OBJECT

private slots:
    void gridOfTheBlock_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("pitchX");
        QTest::addColumn<int>("pitchY");
        QTest::addColumn<QPoint>("first");
        QTest::addColumn<QPoint>("last");
        QTest::addColumn<QPoint>("frameEnd");
        QTest::newRow("96 wells") << 12 << 8 << QSize(700, 500) << 50 << 50 << QPoint(75, 75) << QPoint(625, 425)
                                  << QPoint(650, 450);
        // Odd counts: the integer pitches leave the frame partly empty.
        QTest::newRow("5 x 3") << 5 << 3 << QSize(300, 200) << 40 << 33 << QPoint(70, 66) << QPoint(230, 132)
                               << QPoint(250, 150);
        QTest::newRow("1536 wells") << 48 << 32 << QSize(2500, 1700) << 50 << 50 << QPoint(75, 75)
                                    << QPoint(2425, 1625) << QPoint(2450, 1650);
        QTest::newRow("one well") << 1 << 1 << QSize(100, 100) << 0 << 0 << QPoint(50, 50) << QPoint(50, 50)
                                  << QPoint(50, 50);
    }
    void gridOfTheBlock()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(QSize, size);
        QFETCH(int, pitchX);
        QFETCH(int, pitchY);
        QFETCH(QPoint, first);
        QFETCH(QPoint, last);
        QFETCH(QPoint, frameEnd);
        const LayoutGrid::Grid g = LayoutGrid::compute(columns, rows);
        QCOMPARE(QSize(g.width, g.height), size);
        QCOMPARE(g.pitchX, pitchX);
        QCOMPARE(g.pitchY, pitchY);
        QCOMPARE(g.wellCount(), columns * rows);
        QCOMPARE(g.centres.first(), first);
        QCOMPARE(g.centres.last(), last);
        QCOMPARE(g.frameEnd, frameEnd);
        // Row-major: the second well is the next column of row 1.
        if (columns > 1)
            QCOMPARE(g.centres.at(1), g.centres.first() + QPoint(g.pitchX, 0));
        QCOMPARE(g.wellName(g.wellCount() - 1), QStringLiteral("%1:%2").arg(rows).arg(columns));
    }

    void rowLetters_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::newRow("first") << 1 << "A";
        QTest::newRow("Z") << 26 << "Z";
        QTest::newRow("past Z") << 27 << "AA";
        QTest::newRow("1536-well last") << 32 << "AF";
        QTest::newRow("AZ") << 52 << "AZ";
        QTest::newRow("ZZ") << 702 << "ZZ";
        QTest::newRow("AAA") << 703 << "AAA";
        QTest::newRow("none") << 0 << "";
    }
    void rowLetters()
    {
        QFETCH(int, row);
        QFETCH(QString, name);
        QCOMPARE(LayoutGrid::rowName(row), name);
    }

    void holeCounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("count");   // 0: refused
        QTest::newRow("default columns") << "12" << 48 << 12;
        QTest::newRow("blanks around") << " 8 " << 32 << 8;
        QTest::newRow("leading zero") << "08" << 32 << 8;
        QTest::newRow("largest columns") << "48" << 48 << 48;
        QTest::newRow("zero") << "0" << 48 << 0;
        QTest::newRow("negative") << "-3" << 48 << 0;
        QTest::newRow("not whole") << "2.5" << 48 << 0;
        QTest::newRow("plus sign") << "+5" << 48 << 0;
        QTest::newRow("empty") << "" << 48 << 0;
        QTest::newRow("too many columns") << "49" << 48 << 0;
        QTest::newRow("too many rows") << "33" << 32 << 0;
        QTest::newRow("gigabytes") << "100000" << 48 << 0;
        QTest::newRow("beyond int") << "99999999999" << 48 << 0;
        QTest::newRow("full-width digits") << "１２" << 48 << 0;
    }
    void holeCounts()
    {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(int, count);
        int parsed = -7;
        QCOMPARE(LayoutGrid::parseCount(text, limit, &parsed), count > 0);
        QCOMPARE(parsed, count > 0 ? count : -7);
    }

    void hitTest_data()
    {
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<QVector<int>>("wells");
        QTest::newRow("centre of A1") << QPoint(75, 75) << QVector<int>{0};
        QTest::newRow("14 px right of A1") << QPoint(89, 75) << QVector<int>{0};
        QTest::newRow("15 px right of A1") << QPoint(90, 75) << QVector<int>{};
        QTest::newRow("diagonal 14.1 px") << QPoint(85, 85) << QVector<int>{0};
        QTest::newRow("between A1 and A2") << QPoint(100, 75) << QVector<int>{};
        QTest::newRow("B2") << QPoint(128, 122) << QVector<int>{13};
        QTest::newRow("H12") << QPoint(625, 425) << QVector<int>{95};
        QTest::newRow("on the labels") << QPoint(20, 20) << QVector<int>{};
        QTest::newRow("outside the drawing") << QPoint(-500, 9000) << QVector<int>{};
    }
    void hitTest()
    {
        QFETCH(QPoint, click);
        QFETCH(QVector<int>, wells);
        const LayoutGrid::Grid g = LayoutGrid::compute(12, 8);
        QCOMPARE(LayoutGrid::wellsNear(g.centres, click), wells);
    }

    void pointsInRowMajorOrder_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QVector<QPoint>>("clicks");   // in the order clicked
        QTest::addColumn<QString>("points");
        const QPoint a1(75, 75), a12(625, 75), h1(75, 425);
        QTest::newRow("in order") << 12 << 8 << QVector<QPoint>{a1, a12, h1} << "1:1,1:12,8:1";
        QTest::newRow("reversed") << 12 << 8 << QVector<QPoint>{h1, a12, a1} << "1:1,1:12,8:1";
        QTest::newRow("a second click unmarks") << 12 << 8 << QVector<QPoint>{a1, a12, h1, a12} << "1:1,8:1";
        QTest::newRow("a miss changes nothing") << 12 << 8 << QVector<QPoint>{a1, QPoint(100, 75)} << "1:1";
        QTest::newRow("nothing marked") << 12 << 8 << QVector<QPoint>{} << "";
        QTest::newRow("odd block, last well") << 5 << 3 << QVector<QPoint>{QPoint(230, 132), QPoint(70, 66)}
                                              << "1:1,3:5";
        QTest::newRow("past row Z") << 2 << 30 << QVector<QPoint>{QPoint(125, 25 + 50 + 28 * 50)} << "29:2";
    }
    void pointsInRowMajorOrder()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(QVector<QPoint>, clicks);
        QFETCH(QString, points);
        LayoutSketch sketch;
        sketch.reset(columns, rows);
        for (const QPoint &click : clicks)
            sketch.toggleAt(click.x(), click.y());
        QCOMPARE(sketch.pointsText(), points);
        const int count = points.isEmpty() ? 0 : points.split(',').size();
        QCOMPARE(sketch.markedCount(), count);
        const Tool::Struct_Layout record = sketch.record(QStringLiteral("块"));
        QCOMPARE(record.Name, QStringLiteral("块"));
        QCOMPARE(record.PointCount, QString::number(count));
        QCOMPARE(record.Points, points);
    }

    void markingPaintsTheWell()
    {
        LayoutSketch sketch;
        QVERIFY(!sketch.isCreated());
        QVERIFY(sketch.toggleAt(75, 75).isEmpty());
        sketch.reset(12, 8);
        QVERIFY(sketch.isCreated());
        const QPoint b2(125, 125), ring(125 + 15, 125);
        QCOMPARE(pixel(sketch.picture(), b2), QColor(Qt::white));
        QVERIFY(pixel(sketch.picture(), ring).lightness() < 100);

        QCOMPARE(sketch.toggleAt(b2.x() + 3, b2.y() - 4), QVector<int>{13});
        QCOMPARE(pixel(sketch.picture(), b2), QColor(Qt::black));
        QCOMPARE(pixel(sketch.picture(), b2 + QPoint(10, 0)), QColor(Qt::black));
        QCOMPARE(sketch.toggleAt(b2.x(), b2.y()), QVector<int>{13});
        QCOMPARE(pixel(sketch.picture(), b2), QColor(Qt::white));
        QCOMPARE(pixel(sketch.picture(), b2 + QPoint(10, 0)), QColor(Qt::white));
        // The ring stays.
        QVERIFY(pixel(sketch.picture(), ring).lightness() < 100);
        QCOMPARE(sketch.markedCount(), 0);

        // A fresh grid starts without marks.
        sketch.toggleAt(75, 75);
        sketch.reset(5, 3);
        QCOMPARE(sketch.marks(), QVector<bool>(15, false));
        QCOMPARE(sketch.picture().size(), QSize(300, 200));
        QCOMPARE(pixel(sketch.picture(), QPoint(70, 66)), QColor(Qt::white));
        sketch.setMarked(15, true);   // no such well
        sketch.setMarked(-1, true);
        QCOMPARE(sketch.markedCount(), 0);
    }

    void colourOrderIsTurnedToRgb()
    {
        cv::Mat bgr(2, 3, CV_8UC3, cv::Scalar(255, 255, 255));
        bgr.at<cv::Vec3b>(1, 2) = cv::Vec3b(255, 0, 0);   // blue in blue-green-red order
        const QImage image = LayoutDrawing::toImage(bgr);
        QCOMPARE(image.format(), QImage::Format_RGB888);
        QCOMPARE(image.pixelColor(2, 1), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
        QVERIFY(LayoutDrawing::toImage(cv::Mat()).isNull());

        // The grid itself: white ground, a black frame from (50, 50).
        const QImage grid = LayoutDrawing::toImage(LayoutDrawing::drawGrid(LayoutGrid::compute(12, 8)));
        QCOMPARE(grid.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(grid.pixelColor(50, 250), QColor(Qt::black));
        QCOMPARE(grid.pixelColor(300, 450), QColor(Qt::black));
    }

    void pictureSurvivesTheStoredForm()
    {
        LayoutSketch sketch;
        sketch.reset(12, 8);
        for (const QPoint &click : {QPoint(75, 75), QPoint(625, 75), QPoint(75, 425)})
            sketch.toggleAt(click.x(), click.y());
        const QImage picture = sketch.picture();
        const QString text = LayoutDrawing::encodePicture(picture);
        const QImage back = LayoutDrawing::decodePicture(text);
        QCOMPARE(back.size(), QSize(700, 500));
        QCOMPARE(rgb(back), picture);
        QCOMPARE(LayoutDrawing::encodePicture(rgb(back)), text);
        QCOMPARE(sketch.record(QStringLiteral("x")).Image, text);

        // The stored form is the pixmap's data-stream form: either side reads the other's.
        QByteArray bytes = QByteArray::fromBase64(text.toLatin1());
        QDataStream in(&bytes, QIODevice::ReadOnly);
        QPixmap pixmap;
        in >> pixmap;
        QCOMPARE(rgb(pixmap.toImage()), picture);
        QByteArray written;
        {
            QDataStream out(&written, QIODevice::WriteOnly);
            out << QPixmap::fromImage(picture);
        }
        QCOMPARE(rgb(LayoutDrawing::decodePicture(QString::fromLatin1(written.toBase64()))), picture);
    }

    void unreadablePicturesGiveNone_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("not Base64") << "@@not base64@@";
        QTest::newRow("Base64 of no picture") << QString::fromLatin1(QByteArray("hello world").toBase64());
        QImage small(40, 30, QImage::Format_RGB888);
        small.fill(Qt::red);
        QTest::newRow("cut short") << LayoutDrawing::encodePicture(small).left(60);
    }
    void unreadablePicturesGiveNone()
    {
        QFETCH(QString, text);
        QVERIFY(LayoutDrawing::decodePicture(text).isNull());
    }

    // The calibration page shows, per channel of the chosen probe set, the well it sits in.
    void channelsInTheirWells_data()
    {
        QTest::addColumn<QString>("channels");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("shown");
        QTest::newRow("three") << "CH1,CH2,CH3" << "1:1,1:12,8:1" << "CH1=A1 CH2=A12 CH3=H1";
        QTest::newRow("row past Z") << "T1" << "27:3" << "T1=AA3";
        QTest::newRow("more channels") << "1,2,3" << "1:1,2:2" << "1=A1 2=B2 3=";
        QTest::newRow("more points") << "1" << "1:1,2:2" << "1=A1 =B2";
        QTest::newRow("no points") << "1" << "" << "1=";
        QTest::newRow("unreadable point") << "1,2" << "1:1,x" << "1=A1 2=";
    }

    void channelsInTheirWells()
    {
        QFETCH(QString, channels);
        QFETCH(QString, points);
        QStringList shown;
        for (const LayoutGrid::ChannelWell &cw : LayoutGrid::channelWells(channels.split(','), points))
            shown << cw.channel + '=' + cw.well;
        QTEST(shown.join(' '), "shown");
    }
};

PCR_TEST_CLASS(TestLayoutGrid)
#include "tst_layoutgrid.moc"
