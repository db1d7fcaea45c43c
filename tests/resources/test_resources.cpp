// The resource bundle: every path the program loads is present, decodes, and has
// the size its widget shows it at; both font files carry the family the style
// sheets ask for.

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QRawFont>
#include <QSize>
#include <QStringList>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Bitmap
{
    const char* path;
    QSize size; // invalid: any size will do
};

// Logos sit 1:1 in fixed-size title bar labels and window buttons are styled at
// 24 x 24, so for those the pixel size matters as much as the file being there.
const Bitmap kBitmaps[] = {
    {":/images/Zu_SplashScreen-1x.png", {}},
    {":/images/Korvane-logo-only.png", {258, 80}},
    {":/images/NDI-logo.png", {134, 80}},
    {":/images/icon.ico", {}},
    {":/images/icon.png", {}},
    {":/images/preview.jpg", {}},
    {":/images/icon_window_minimize.png", {24, 24}},
    {":/images/icon_window_minimize_hover.png", {24, 24}},
    {":/images/icon_window_minimize_pressed.png", {24, 24}},
    {":/images/icon_window_restore.png", {24, 24}},
    {":/images/icon_window_restore_hover.png", {24, 24}},
    {":/images/icon_window_restore_pressed.png", {24, 24}},
    {":/images/icon_window_maximize.png", {24, 24}},
    {":/images/icon_window_maximize_hover.png", {24, 24}},
    {":/images/icon_window_maximize_pressed.png", {24, 24}},
    {":/images/icon_window_close.png", {24, 24}},
    {":/images/icon_window_close_hover.png", {24, 24}},
    {":/images/icon_window_close_pressed.png", {24, 24}},
    {":/images/icon_window_settings_36.png", {36, 36}},
    {":/images/icon_window_settings_hover_36.png", {36, 36}},
    {":/images/icon_larrow.png", {}},
    {":/images/icon_rarrow.png", {}},
    {":/images/icon_tarrow.png", {}},
    {":/images/icon_darrow.png", {}},
    {":/images/icon_comboarrow.png", {}},
    {":/images/icon_sliderarrow.png", {}},
    {":/images/PlayIcon.png", {}},
    {":/images/StartIcon.png", {}},
    {":/images/StopIcon.png", {}},
    {":/images/lspeed.png", {}},
    {":/images/hSpeed.png", {}},
    {":/images/refresh.png", {}},
    {":/images/link.png", {}},
    {":/images/link.ico", {}},
    {":/images/editPen.png", {}},
    {":/images/fb_icon.png", {}},
    {":/images/twitter_icon.png", {}},
    {":/images/instagram_icon.png", {}},
    {":/images/youtube_icon.png", {}},
    {":/images/linkedin_icon.png", {}},
};

const char* const kSvgStems[] = {"FB", "TW", "IG", "IN", "YT"};

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void bitmapLoads_data();
    void bitmapLoads();
    void windowButtonsAreSquare_data();
    void windowButtonsAreSquare();
    void previewIsWidescreen();
    void svgIsWellFormed_data();
    void svgIsWellFormed();
    void fontRegisters_data();
    void fontRegisters();
};

void TestResources::initTestCase()
{
    // The bundle lives in a static library; without this its data is never linked in.
    Q_INIT_RESOURCE(resources);
}

void TestResources::bitmapLoads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const Bitmap& b : kBitmaps)
        QTest::newRow(b.path) << QString::fromLatin1(b.path) << b.size;
}

void TestResources::bitmapLoads()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QVERIFY2(QFile::exists(path), qPrintable(path));
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path + " does not decode"));
    if (size.isValid())
        QCOMPARE(image.size(), size);
    // A picture that is fully transparent would leave its button looking empty.
    if (image.hasAlphaChannel()) {
        bool anyInk = false;
        for (int y = 0; y < image.height() && !anyInk; ++y)
            for (int x = 0; x < image.width() && !anyInk; ++x)
                anyInk = qAlpha(image.pixel(x, y)) > 0;
        QVERIFY2(anyInk, qPrintable(path + " is blank"));
    }
}

void TestResources::windowButtonsAreSquare_data()
{
    QTest::addColumn<QString>("path");
    // Found from the bundle itself, so a button image added later is checked too.
    const QStringList names = QDir(":/images").entryList({"icon_window_*"}, QDir::Files);
    QVERIFY(names.size() >= 14);
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << ":/images/" + name;
}

void TestResources::windowButtonsAreSquare()
{
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY(!image.isNull());
    QCOMPARE(image.width(), image.height());
}

void TestResources::previewIsWidescreen()
{
    // The placeholder is stretched to the video area, so any other shape distorts.
    const QImage image(":/images/preview.jpg");
    QVERIFY(!image.isNull());
    QCOMPARE(image.width() * 9, image.height() * 16);
}

void TestResources::svgIsWellFormed_data()
{
    QTest::addColumn<QString>("path");
    for (const char* stem : kSvgStems) {
        for (const char* suffix : {"_40x40.svg", "_hover_40x40.svg"}) {
            const QString path = QString(":/images/%1%2").arg(stem, suffix);
            QTest::newRow(qPrintable(path)) << path;
        }
    }
}

void TestResources::svgIsWellFormed()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray data = file.readAll();
    QVERIFY(data.startsWith("<svg") || data.startsWith("<?xml"));

    QXmlStreamReader xml(data);
    QString root;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && root.isEmpty())
            root = xml.name().toString();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(root, QStringLiteral("svg"));
}

void TestResources::fontRegisters_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("bold");
    QTest::newRow("regular") << ":/Kumbh Sans" << false;
    QTest::newRow("bold") << ":/Kumbh Sans Bold" << true;
}

void TestResources::fontRegisters()
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
    QCOMPARE(raw.familyName(), QStringLiteral("Kumbh Sans"));
    if (bold)
        QVERIFY(raw.weight() >= QFont::Bold);
    else
        QCOMPARE(raw.weight(), int(QFont::Normal));
    // The latin subset must cover what the program writes, including its lowercase.
    QVERIFY(raw.supportsCharacter(QLatin1Char('W')));
    QVERIFY(raw.supportsCharacter(QLatin1Char('g')));
}

QTEST_MAIN(TestResources)
#include "test_resources.moc"
