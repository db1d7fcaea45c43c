#include "automation/appsettings.h"
#include "automation/centralmainwindow.h"
#include "automation/engine/racelog.h"
#include "shell/appresources.h"
#include "shell/shutdownsignals.h"
#include "shell/zumainwindow.h"
#include "trevalo_version.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    AppResources::initBundle();
    QApplication app(argc, argv);
    // Linux has no executable version record for Qt to read.
    QCoreApplication::setApplicationVersion(QStringLiteral(TREVALO_VERSION));
    // Ties the window to the installed trevalo.desktop entry (its name and icon in the dock).
    QGuiApplication::setDesktopFileName(QStringLiteral("trevalo"));
    AppResources::registerFonts();
    AppSettings::setEnabled(true);

    const QString version = QCoreApplication::applicationVersion();
    ZuMainWindow window(nullptr);
    window.appVersion = version;

    auto *form = new CentralMainWindow(nullptr);
    window.contentLayout()->addWidget(form);
    QObject::connect(&window, &ZuMainWindow::requestClose, &window, &QWidget::close);
    // A logout or a kill from outside closes the program as its close button does.
    ShutdownSignals shutdownSignals;
    QObject::connect(&shutdownSignals, &ShutdownSignals::requested, &window,
                     &ZuMainWindow::requestClose);

    AppSettings::restoreWindow(window);
    window.show();
    QApplication::setWindowIcon(QIcon(QPixmap(QStringLiteral(":/images/icon.png"))));
    RaceLog::instance().write(QStringLiteral("Trevalo %1 started").arg(version));

    const int result = app.exec();
    AppSettings::saveWindow(window);
    // The form's destructor runs the shutdown steps; it goes before the window.
    delete form;
    RaceLog::instance().write(QStringLiteral("Trevalo closed"));
    return result;
}
