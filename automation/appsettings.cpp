#include "automation/appsettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

namespace {

const QString LastScriptKey = QStringLiteral("scripts/last");
const QString SpeedSliderKey = QStringLiteral("run/speedSlider");
const QString WindowKey = QStringLiteral("window/geometry");

bool &enabledFlag()
{
    static bool enabled = false;
    return enabled;
}

QVariant value(const QString &key)
{
    if (!enabledFlag())
        return QVariant();
    return QSettings(AppSettings::filePath(), QSettings::IniFormat).value(key);
}

void setValue(const QString &key, const QVariant &value)
{
    if (enabledFlag())
        QSettings(AppSettings::filePath(), QSettings::IniFormat).setValue(key, value);
}

} // namespace

void AppSettings::setEnabled(bool enabled)
{
    enabledFlag() = enabled;
}

QString AppSettings::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/trevalo/trevalo.conf");
}

QString AppSettings::lastScript()
{
    return value(LastScriptKey).toString();
}

void AppSettings::setLastScript(const QString &path)
{
    setValue(LastScriptKey, QFileInfo(path).absoluteFilePath());
}

int AppSettings::speedSlider(int defaultValue)
{
    bool ok = false;
    const int remembered = value(SpeedSliderKey).toInt(&ok);
    return ok ? remembered : defaultValue;
}

void AppSettings::setSpeedSlider(int value)
{
    setValue(SpeedSliderKey, value);
}

void AppSettings::restoreWindow(QWidget &window)
{
    const QByteArray geometry = value(WindowKey).toByteArray();
    if (geometry.isEmpty() || !window.restoreGeometry(geometry))
        window.setWindowState(Qt::WindowMaximized);
}

void AppSettings::saveWindow(const QWidget &window)
{
    setValue(WindowKey, window.saveGeometry());
}
