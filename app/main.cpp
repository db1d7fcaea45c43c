#include "automation/appsettings.h"
#include "automation/centralmainwindow.h"
#include "shell/appresources.h"
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

    AppSettings::restoreWindow(window);
    window.show();
    QApplication::setWindowIcon(QIcon(QPixmap(QStringLiteral(":/images/icon.png"))));

    const int result = app.exec();
    AppSettings::saveWindow(window);
    // The form's destructor runs the shutdown steps; it goes before the window.
    delete form;
    return result;
}
