// pcrcal-export: certificates, original records and raw workbooks from a workspace, without a
// display. `pcrcal-export --help` describes the command line.
#include "ExportTool.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pcrcal-export"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    const int status = ExportTool::run(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return status;
}
