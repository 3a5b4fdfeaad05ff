// Build-time tool: renders our hand-written SVG icons to PNG (and ICO).
//   svg2png IN.svg OUT.png WIDTHxHEIGHT [GREY.png]
// GREY.png gets a lighter, desaturated copy: the toolbar shows it on the action of the visible page.

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

QImage greyed(const QImage &source)
{
    QImage out = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int g = 90 + qGray(line[x]) * 140 / 255;
            line[x] = qRgba(g, g, g, qAlpha(line[x]));
        }
    }
    return out;
}

bool save(const QImage &image, const QString &path)
{
    QImageWriter writer(path);
    if (path.endsWith(QLatin1String(".ico")))
        writer.setFormat("ico");
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "svg2png: cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: svg2png IN.svg OUT.png WIDTHxHEIGHT [GREY.png]\n");
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "svg2png: %s is not a valid SVG\n", qPrintable(args.at(1)));
        return 1;
    }
    const QStringList size = args.at(3).split(QLatin1Char('x'));
    const int w = size.value(0).toInt(), h = size.value(1, size.value(0)).toInt();
    if (w <= 0 || h <= 0)
        return 2;

    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter);
    }
    if (!save(image, args.at(2)))
        return 1;
    if (args.size() > 4 && !save(greyed(image), args.at(4)))
        return 1;
    return 0;
}
