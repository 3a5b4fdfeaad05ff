// pcrcal-probecal: probe calibration and verification in the bath, without a display.
// `pcrcal-probecal --help` describes the command line.
#include "ProbeCalTool.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pcrcal-probecal"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    const int status = ProbeCalTool::run(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return status;
}
