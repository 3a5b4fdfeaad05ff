#include "app/fonts.h"
#include "store/logging.h"
#include "app/pcr.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    qInstallMessageHandler(logMessageHandler);
    QCoreApplication::setApplicationName(QStringLiteral("pcrcal"));
    QCoreApplication::setApplicationVersion(PCR::version());
    installFontSubstitutions();

    PCR window;
    if (window.loginRefused())
        return 0;
    window.show();
    return app.exec();
}
