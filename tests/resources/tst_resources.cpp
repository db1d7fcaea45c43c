// Every picture the program loads is in the bundle and decodes, and the bundled fonts
// register under the family the style sheets ask for, in both weights.
#include "shell/appresources.h"
#include "shell/palette.h"

#include <QFontDatabase>
#include <QImage>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { AppResources::initBundle(); }

    void picturesDecode()
    {
        const QString names = QStringLiteral(
            "Korvane-logo-only NDI-logo PlayIcon StartIcon StopIcon Zu_SplashScreen-1x editPen "
            "fb_icon hSpeed icon icon_comboarrow icon_darrow icon_larrow icon_rarrow "
            "icon_sliderarrow icon_tarrow instagram_icon link linkedin_icon lspeed refresh "
            "twitter_icon youtube_icon");
        QStringList paths{QStringLiteral(":/images/preview.jpg")};
        for (const QString &name : names.split(QLatin1Char(' ')))
            paths << QStringLiteral(":/images/%1.png").arg(name);
        // The title bar's buttons are styled by name, each in three states.
        for (const char *button : {"minimize", "restore", "maximize", "close"})
            for (const char *state : {"", "_hover", "_pressed"})
                paths << QStringLiteral(":/images/icon_window_%1%2.png").arg(button, state);
        for (const QString &path : paths)
            QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }

    void fontsRegister()
    {
        QVERIFY(AppResources::registerFonts());
        const QStringList styles = QFontDatabase().styles(QLatin1String(Palette::fontFamily));
        QVERIFY(styles.contains("Bold") && styles.contains("Regular"));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
