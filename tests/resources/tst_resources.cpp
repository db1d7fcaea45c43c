// The resource bundle: every path the program loads is present, decodes, and has
// the size its widget shows it at; both font files carry the family the style
// sheets ask for.

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QRawFont>
#include <QSize>
#include <QStringList>
#include <QXmlStreamReader>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The bundle lives in a static library; without this its data is never linked in.
        Q_INIT_RESOURCE(resources);
    }

    void bitmapLoads_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size"); // invalid: any size will do
        const QString anySize = QStringLiteral(
            "Zu_SplashScreen-1x.png icon.ico icon.png preview.jpg icon_larrow.png "
            "icon_rarrow.png icon_tarrow.png icon_darrow.png icon_comboarrow.png "
            "icon_sliderarrow.png PlayIcon.png StartIcon.png StopIcon.png lspeed.png hSpeed.png "
            "refresh.png link.png link.ico editPen.png fb_icon.png twitter_icon.png "
            "instagram_icon.png youtube_icon.png linkedin_icon.png");
        for (const QString &name : anySize.split(QLatin1Char(' ')))
            QTest::newRow(qPrintable(name)) << name << QSize();
        // Logos sit 1:1 in fixed-size title bar labels and window buttons are styled at
        // 24 x 24, so for those the pixel size matters as much as the file being there.
        QTest::newRow("logo") << "Korvane-logo-only.png" << QSize(258, 80);
        QTest::newRow("NDI logo") << "NDI-logo.png" << QSize(134, 80);
        for (const char *button : {"minimize", "restore", "maximize", "close"}) {
            for (const char *state : {"", "_hover", "_pressed"}) {
                const QString name = QStringLiteral("icon_window_%1%2.png").arg(button, state);
                QTest::newRow(qPrintable(name)) << name << QSize(24, 24);
            }
        }
        for (const char *name :
             {"icon_window_settings_36.png", "icon_window_settings_hover_36.png"})
            QTest::newRow(name) << name << QSize(36, 36);
    }
    void bitmapLoads()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QString path = QStringLiteral(":/images/") + name;
        QVERIFY2(QFile::exists(path), qPrintable(path));
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path + " does not decode"));
        if (size.isValid())
            QCOMPARE(image.size(), size);
        // The placeholder is stretched to the video area, so any other shape distorts.
        if (name == QLatin1String("preview.jpg"))
            QCOMPARE(image.width() * 9, image.height() * 16);
        // A picture that is fully transparent would leave its button looking empty.
        if (image.hasAlphaChannel()) {
            bool anyInk = false;
            for (int y = 0; y < image.height() && !anyInk; ++y)
                for (int x = 0; x < image.width() && !anyInk; ++x)
                    anyInk = qAlpha(image.pixel(x, y)) > 0;
            QVERIFY2(anyInk, qPrintable(path + " is blank"));
        }
    }

    void svgIsWellFormed_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *stem : {"FB", "TW", "IG", "IN", "YT"}) {
            for (const char *suffix : {"_40x40.svg", "_hover_40x40.svg"}) {
                const QString path = QString(":/images/%1%2").arg(stem, suffix);
                QTest::newRow(qPrintable(path)) << path;
            }
        }
    }
    void svgIsWellFormed()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QXmlStreamReader xml(file.readAll());
        QString root;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && root.isEmpty())
                root = xml.name().toString();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(root, QStringLiteral("svg"));
    }

    void fontRegisters_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("bold");
        QTest::newRow("regular") << ":/Kumbh Sans" << false;
        QTest::newRow("bold") << ":/Kumbh Sans Bold" << true;
    }
    void fontRegisters()
    {
        QFETCH(QString, path);
        QFETCH(bool, bold);
        const int id = QFontDatabase::addApplicationFont(path);
        QVERIFY2(id != -1, qPrintable(path));
        QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList{"Kumbh Sans"});

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QRawFont raw(file.readAll(), 12);
        QVERIFY(raw.isValid());
        if (bold)
            QVERIFY(raw.weight() >= QFont::Bold);
        else
            QCOMPARE(raw.weight(), int(QFont::Normal));
        // The latin subset must cover what the program writes, including its lowercase.
        QVERIFY(raw.supportsCharacter(QLatin1Char('W')));
        QVERIFY(raw.supportsCharacter(QLatin1Char('g')));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
