#include "formfixture.h"

#include "automation/engine/padmapper.h"
#include "automation/scriptfiledialog.h"
#include "position_editing/cameraposctrls.h"
#include "support/loopbackcamera.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <tuple>

namespace {

using Bytes = QByteArray;
const char CamK[] = "CAM-K(PTZ 1)";

// The VISCA commands (not inquiries) the camera received, from byte 8 on.
QList<Bytes> commands(const LoopbackCamera &camera)
{
    QList<Bytes> result;
    for (const LoopbackCamera::Datagram &d : camera.received()) {
        if (d.bytes.size() > 10 && d.bytes[0] == 0x01 && d.bytes[1] == 0x00)
            result << Bytes(reinterpret_cast<const char *>(d.bytes.data()) + 8,
                            int(d.bytes.size()) - 8);
    }
    return result;
}

void sendKey(QWidget *to, QEvent::Type type, int key, bool repeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(to, &event);
}

// Pad input written as "LX 0.6; RT 1; A 1; gone", and what the mapper sent as text.
QStringList runPad(const QString &script)
{
    // In the order of PadMapper's Axis, then Button values.
    const QStringList inputs{"LX", "LY", "LT", "RT", "A", "S", "L1", "R1"};
    PadMapper mapper;
    QStringList sent;
    auto note = [&sent](const QString &text) { sent << text; };
    QObject::connect(&mapper, &PadMapper::jog,
                     [=](float x, float y) { note(QString("jog %1 %2").arg(x).arg(y)); });
    QObject::connect(&mapper, &PadMapper::zoom, [=](int d) { note(QString("zoom %1").arg(d)); });
    QObject::connect(&mapper, &PadMapper::stepPanel,
                     [=](int d) { note(QString("step %1").arg(d)); });
    QObject::connect(&mapper, &PadMapper::store, [=] { note("store"); });
    QObject::connect(&mapper, &PadMapper::startStop, [=] { note("startstop"); });
    for (const QString &step : script.split(';')) {
        const QStringList parts = step.simplified().split(' ');
        const int input = int(inputs.indexOf(parts[0]));
        if (input < 0)
            mapper.release();
        else if (input < 4)
            mapper.moveAxis(PadMapper::Axis(input), parts[1].toDouble());
        else
            mapper.setButton(PadMapper::Button(input - 4), parts[1] == "1");
    }
    return sent;
}

} // namespace

class TestFormInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keysClickTheirButtons_data();
    void keysClickTheirButtons();
    void heldKeysDriveTheSelectedCamera_data();
    void heldKeysDriveTheSelectedCamera();
    void digitsSelectPanels();

private:
    CameraPosCtrls *panel(int i) const { return fixture.form()->cameraPanels().value(i); }
    bool outlined(int i) const
    {
        auto *outline = panel(i)->findChild<QWidget *>("selectionOutline");
        return outline && outline->isVisible();
    }
    QWidget *focusedWidget() const
    {
        QWidget *focus = fixture.form()->focusWidget();
        return focus ? focus : fixture.form();
    }
    // The commands of one key held down with the keyboard repeating, then let go.
    QList<Bytes> holdKey(int key);

    FormFixture fixture;
    std::unique_ptr<LoopbackCamera> camera;
};

void TestFormInput::init()
{
    camera = std::make_unique<LoopbackCamera>("127.0.5.1");
    camera->setResponder(LoopbackCamera::promptResponder(0x100, 0x80, 0x200));
    fixture.setUp();
    fixture.offerSources({{"CAM-K", "PTZ 1", "127.0.5.1", 5961}});
    // The camera sits on the second panel: keys must go where the selection is.
    panel(1)->SelectSource(CamK);
    QTRY_VERIFY(panel(1)->findChild<QPushButton *>("presetStoreButton")->isEnabled());
    // The form opens with the keys its own, not the first field's.
    QTRY_COMPARE(focusedWidget(), fixture.form());
    sendKey(fixture.form(), QEvent::KeyPress, Qt::Key_2);
    sendKey(fixture.form(), QEvent::KeyRelease, Qt::Key_2);
    QTest::qWait(50);
    camera->clearReceived();
}

void TestFormInput::cleanup()
{
    fixture.tearDown();
    camera.reset();
}

void TestFormInput::keysClickTheirButtons_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("button"); // "panel:" for the selected panel's
    QTest::addColumn<QString>("tip");
    QTest::addColumn<bool>("typing");

    const struct
    {
        const char *name;
        int key;
        int modifiers;
        const char *button;
        const char *tip;
    } rows[] = {
        {"space", Qt::Key_Space, 0, "StartStopPushButton", "Space"},
        {"home", Qt::Key_Home, 0, "GoStartPushButton", "Home"},
        {"end", Qt::Key_End, 0, "GoEndPushButton", "End"},
        {"ctrl+s", Qt::Key_S, Qt::ControlModifier, "scriptSavePushButton", "Ctrl+S"},
        {"ctrl+o", Qt::Key_O, Qt::ControlModifier, "scriptLoadPushButton", "Ctrl+O"},
        {"return", Qt::Key_Return, 0, "panel:presetStoreButton", "Enter"},
        {"enter", Qt::Key_Enter, 0, "panel:presetStoreButton", "Enter"},
    };
    for (const auto &row : rows) {
        for (bool typing : {false, true})
            QTest::addRow("%s%s", row.name, typing ? " while typing" : "")
                << row.key << row.modifiers << QString(row.button) << QString(row.tip) << typing;
    }
}

// Each key clicks its button once, however long it is held, and never while a field is typed
// into; the button's tooltip names the key.
void TestFormInput::keysClickTheirButtons()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, button);
    QFETCH(QString, tip);
    QFETCH(bool, typing);
    ScriptFileDialog::setNextFileName(QString()); // SAVE and LOAD: cancelled
    auto *target = button.startsWith("panel:")
                       ? panel(1)->findChild<QAbstractButton *>(button.mid(6))
                       : fixture.widget<QAbstractButton>(button.toLatin1().constData());
    QVERIFY(target);
    QVERIFY2(target->toolTip().contains(tip), qPrintable(target->toolTip()));
    if (typing) {
        fixture.form()->activateWindow();
        fixture.widget("RaceLengthLineEdit")->setFocus();
        QTRY_COMPARE(focusedWidget(), fixture.widget("RaceLengthLineEdit"));
    }
    QSignalSpy clicks(target, &QAbstractButton::clicked);
    const auto mods = Qt::KeyboardModifiers(modifiers);
    QWidget *to = focusedWidget();
    QTest::keyPress(to, Qt::Key(key), mods);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, key, mods, QString(), true);
        QApplication::sendEvent(to, &repeat);
    }
    QTest::keyRelease(to, Qt::Key(key), mods);
    QCOMPARE(clicks.count(), typing ? 0 : 1);
}

void TestFormInput::heldKeysDriveTheSelectedCamera_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<float>("x"); // the joystick deflection the key stands for
    QTest::addColumn<float>("y");
    QTest::addColumn<QString>("zoomButton"); // or the zoom button it stands for
    QTest::newRow("left") << int(Qt::Key_Left) << -1.0f << 0.0f << QString();
    QTest::newRow("right") << int(Qt::Key_Right) << 1.0f << 0.0f << QString();
    QTest::newRow("up") << int(Qt::Key_Up) << 0.0f << -1.0f << QString();
    QTest::newRow("down") << int(Qt::Key_Down) << 0.0f << 1.0f << QString();
    QTest::newRow("page up") << int(Qt::Key_PageUp) << 0.0f << 0.0f << "btnCameraZoomTele";
    QTest::newRow("page down") << int(Qt::Key_PageDown) << 0.0f << 0.0f << "btnCameraZoomWide";
}

QList<Bytes> TestFormInput::holdKey(int key)
{
    QWidget *to = focusedWidget();
    sendKey(to, QEvent::KeyPress, key);
    if (!camera->waitForDatagrams(1, std::chrono::milliseconds(2000)))
        return {};
    // The keyboard repeats as release-press pairs, each spaced out so a second drive would go.
    for (int i = 0; i < 3; ++i) {
        QTest::qWait(30);
        sendKey(to, QEvent::KeyRelease, key, true);
        sendKey(to, QEvent::KeyPress, key, true);
    }
    sendKey(to, QEvent::KeyRelease, key);
    QTest::qWait(200);
    return commands(*camera);
}

// A held key sends one drive, the very one of the panel's own joystick or zoom button, and one
// stop when let go; typed into the waypoint box, the key moves nothing.
void TestFormInput::heldKeysDriveTheSelectedCamera()
{
    QFETCH(int, key);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(QString, zoomButton);
    const QList<Bytes> byKey = holdKey(key);
    camera->clearReceived();
    auto *button =
        zoomButton.isEmpty() ? nullptr : panel(1)->findChild<QAbstractButton *>(zoomButton);
    if (button)
        QTest::mousePress(button, Qt::LeftButton);
    else
        panel(1)->HandleJoyPadValue(x, y);
    QVERIFY(camera->waitForDatagrams(1, std::chrono::milliseconds(2000)));
    if (button)
        QTest::mouseRelease(button, Qt::LeftButton);
    else
        panel(1)->HandleJoyPadValue(0.0f, 0.0f);
    QTRY_COMPARE(commands(*camera).size(), 2);
    QCOMPARE(byKey, commands(*camera));

    fixture.form()->activateWindow();
    panel(1)->findChild<QSpinBox *>("wayPointSpinBox")->setFocus();
    QTRY_VERIFY(qobject_cast<QSpinBox *>(focusedWidget()));
    camera->clearReceived();
    sendKey(focusedWidget(), QEvent::KeyPress, key);
    sendKey(focusedWidget(), QEvent::KeyRelease, key);
    QTest::qWait(100);
    QCOMPARE(commands(*camera).size(), 0);
}

// 1 to 9 and 0 pick panels 1 to 10; a digit without its panel changes nothing.
void TestFormInput::digitsSelectPanels()
{
    for (const auto &[key, selected, panels] :
         {std::tuple(Qt::Key_4, 3, 5), std::tuple(Qt::Key_0, 3, 5), std::tuple(Qt::Key_0, 9, 10)}) {
        while (fixture.form()->cameraPanels().size() < panels)
            fixture.form()->AddSourcePanel();
        sendKey(focusedWidget(), QEvent::KeyPress, key);
        for (int i = 0; i < panels; ++i)
            QTRY_COMPARE(outlined(i), i == selected);
    }
    // The outline is a ring: the selected panel's controls still show through it.
    CameraPosCtrls *selectedPanel = panel(9);
    selectedPanel->setSelected(false);
    const QImage plain = selectedPanel->grab().toImage();
    selectedPanel->setSelected(true);
    const QImage ringed = selectedPanel->grab().toImage();
    const QWidget *joyPad = selectedPanel->findChild<QWidget *>("joyPad");
    const QPoint knob = joyPad->mapTo(selectedPanel, joyPad->rect().center());
    QCOMPARE(ringed.pixel(knob), plain.pixel(knob));
}

// The pad's mapping needs no form and no pad.
class TestPadMapper : public QObject
{
    Q_OBJECT

private slots:
    void padMapsToCommands_data();
    void padMapsToCommands();
};

void TestPadMapper::padMapsToCommands_data()
{
    QTest::addColumn<QString>("events");
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("dead zone") << "LX 0.15; LY -0.2; LX -0.21" << QStringList();
    QTest::newRow("rescaled past the dead zone") << "LX 0.6" << QStringList{"jog 0.5 0"};
    QTest::newRow("tremor within a step") << "LX 0.6; LX 0.61; LX 0.59" << QStringList{"jog 0.5 0"};
    QTest::newRow("both axes and back")
        << "LX 1; LY -1; LX 0; LY 0.1" << QStringList{"jog 1 0", "jog 1 -1", "jog 0 -1", "jog 0 0"};
    QTest::newRow("triggers zoom, released below the lower mark")
        << "RT 0.6; RT 0.4; RT 0.1; LT 0.9; LT 0"
        << QStringList{"zoom 1", "zoom 0", "zoom -1", "zoom 0"};
    QTest::newRow("a half-pressed trigger does nothing") << "RT 0.5" << QStringList();
    QTest::newRow("both triggers cancel")
        << "RT 1; LT 1; LT 0" << QStringList{"zoom 1", "zoom 0", "zoom 1"};
    QTest::newRow("buttons act on press") << "A 1; A 0; S 1; S 0; L1 1; L1 0; R1 1"
                                          << QStringList{"store", "startstop", "step -1", "step 1"};
    QTest::newRow("unplugged while driving")
        << "LX -1; RT 1; gone" << QStringList{"jog -1 0", "zoom 1", "jog 0 0", "zoom 0"};
    QTest::newRow("unplugged at rest") << "A 1; gone" << QStringList{"store"};
}

void TestPadMapper::padMapsToCommands()
{
    QFETCH(QString, events);
    QFETCH(QStringList, sent);
    QCOMPARE(runPad(events), sent);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestFormInput keys;
    TestPadMapper pad;
    const int failures = QTest::qExec(&keys, argc, argv);
    return failures + QTest::qExec(&pad, argc, argv);
}
#include "tst_form_input.moc"
