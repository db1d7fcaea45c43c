#include "shell/appresources.h"

#include <QFontDatabase>
#include <QString>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initResourceBundle()
{
    Q_INIT_RESOURCE(resources);
}

namespace AppResources {

void initBundle()
{
    initResourceBundle();
}

bool registerFonts()
{
    static const bool registered = [] {
        const int regular = QFontDatabase::addApplicationFont(QStringLiteral(":/Kumbh Sans"));
        const int bold = QFontDatabase::addApplicationFont(QStringLiteral(":/Kumbh Sans Bold"));
        return regular >= 0 && bold >= 0;
    }();
    return registered;
}

} // namespace AppResources
