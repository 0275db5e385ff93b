#include "ui/qt/design_font.h"
#include "ui/qt/frmMain.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName("velnor");
    velnor::UseDesignFont();

    velnor::frmMain window;
    // Logging off closes the window like any other close, so the folder is kept.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.close(); });
    window.show();
    return app.exec();
}
