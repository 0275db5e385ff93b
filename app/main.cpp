#include "app/command_line.h"
#include "core/identity.h"
#include "core/text/cp936_tables.h"
#include "ui/qt/design_font.h"
#include "ui/qt/frmMain.h"
#include "ui/qt/system_language.h"

#include <QApplication>
#include <QLocale>
#include <QSessionManager>
#include <QTimer>

#include <optional>

int main(int argc, char* argv[]) {
    velnor::UseCodePageConverter(&velnor::MakeCp936Converter);
    QCoreApplication::setApplicationName("velnor");
    QCoreApplication::setApplicationVersion(velnor::identity::VersionText);
    // Read before the application exists, so --help and --version need no display.
    std::optional<velnor::WindowCommandLine> line = velnor::ReadCommandLine(argc, argv, false);
    QApplication app(argc, argv);
    if (!line)
        line = velnor::ReadCommandLine(argc, argv, true);
    QGuiApplication::setDesktopFileName("velnor");
    velnor::UseQtTranslations(QLocale::system());
    velnor::UseDesignFont();

    velnor::frmMain window;
    // Logging off closes the window like any other close, so the folder is kept.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.close(); });
    window.show();
    // Opened from the event loop, so a close while its message box is up ends the program.
    if (line->folder)
        QTimer::singleShot(0, &window, [&window, &line] { window.OpenFolder(*line->folder); });
    return app.exec();
}
