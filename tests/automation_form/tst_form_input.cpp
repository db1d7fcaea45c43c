#include "formfixture.h"

#include "support/loopbackcamera.h"

namespace {

// The VISCA commands (not inquiries) the camera received, from byte 8 on, in order.
QList<QByteArray> commands(const LoopbackCamera &camera)
{
    QList<QByteArray> result;
    for (const LoopbackCamera::Datagram &d : camera.received())
        if (d.bytes.size() > 10 && d.bytes[0] == 0x01 && d.bytes[1] == 0x00)
            result << QByteArray(reinterpret_cast<const char *>(d.bytes.data()) + 8,
                                 int(d.bytes.size()) - 8);
    return result;
}

void sendKey(QWidget *to, QEvent::Type type, int key, bool repeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(to, &event);
}

} // namespace

class TestFormInput : public QObject
{
    Q_OBJECT

    FormFixture fixture;
    std::unique_ptr<LoopbackCamera> camera;

    QWidget *focused() const
    {
        QWidget *focus = fixture.form()->focusWidget();
        return focus ? focus : fixture.form();
    }
    // The commands the camera receives while one input is held down and let go, once no more
    // arrive.
    QList<QByteArray> held(const std::function<void(bool down)> &press, int firstWithinMs = 5000)
    {
        camera->clearReceived();
        press(true);
        static_cast<void>(
            QTest::qWaitFor([this] { return !commands(*camera).isEmpty(); }, firstWithinMs));
        press(false);
        for (int count = -1; count != commands(*camera).size(); QTest::qWait(300))
            count = int(commands(*camera).size());
        return commands(*camera);
    }
    void focus(QWidget *widget)
    {
        fixture.form()->activateWindow();
        widget->setFocus();
        QTRY_COMPARE(focused(), widget);
    }

private slots:
    // The camera sits on the second panel, selected with key 2: keys must go where the
    // selection is.
    void init()
    {
        camera = std::make_unique<LoopbackCamera>("127.0.5.61");
        camera->setResponder(LoopbackCamera::promptResponder(0x100, 0x80, 0x200));
        fixture.setUp();
        fixture.offerSources({{"CAM-K", "PTZ 1", "127.0.5.61", 5961}});
        fixture.panel(1)->SelectSource("CAM-K(PTZ 1)");
        QTRY_VERIFY(fixture.panel(1)->findChild<QPushButton *>("presetStoreButton")->isEnabled());
        QTRY_COMPARE(focused(), fixture.form()); // the keys are the form's, not a field's
        sendKey(fixture.form(), QEvent::KeyPress, Qt::Key_2);
        sendKey(fixture.form(), QEvent::KeyRelease, Qt::Key_2);
        QTest::qWait(50);
        camera->clearReceived();
    }
    void cleanup()
    {
        fixture.tearDown();
        camera.reset();
    }

    void keysClickTheirButtons_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("button"); // "panel:" for the selected panel's
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("space") << int(Qt::Key_Space) << 0 << "StartStopPushButton";
        QTest::newRow("home") << int(Qt::Key_Home) << 0 << "GoStartPushButton";
        QTest::newRow("end") << int(Qt::Key_End) << 0 << "GoEndPushButton";
        QTest::newRow("ctrl+s") << int(Qt::Key_S) << ctrl << "scriptSavePushButton";
        QTest::newRow("ctrl+o") << int(Qt::Key_O) << ctrl << "scriptLoadPushButton";
        QTest::newRow("enter") << int(Qt::Key_Enter) << 0 << "panel:presetStoreButton";
    }
    // Each key clicks its button once however long it is held, and never while a field is
    // typed into.
    void keysClickTheirButtons()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, button);
        ScriptFileDialog::setNextFileName(QString()); // SAVE and LOAD: cancelled
        auto *target = button.startsWith("panel:")
                           ? fixture.panel(1)->findChild<QAbstractButton *>(button.mid(6))
                           : fixture.widget<QAbstractButton>(qPrintable(button));
        QSignalSpy clicks(target, &QAbstractButton::clicked);
        const auto mods = Qt::KeyboardModifiers(modifiers);
        for (bool typing : {false, true}) {
            if (typing)
                focus(fixture.widget("RaceLengthLineEdit"));
            QTest::keyPress(focused(), Qt::Key(key), mods);
            for (int i = 0; i < 3; ++i) {
                QKeyEvent repeat(QEvent::KeyPress, key, mods, QString(), true);
                QApplication::sendEvent(focused(), &repeat);
            }
            QTest::keyRelease(focused(), Qt::Key(key), mods);
            QCOMPARE(clicks.count(), 1);
        }
    }

    void heldKeysDriveTheSelectedCamera_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("panelInput"); // the joystick deflection or zoom button
        QTest::newRow("left") << int(Qt::Key_Left) << "-1 0";
        QTest::newRow("right") << int(Qt::Key_Right) << "1 0";
        QTest::newRow("up") << int(Qt::Key_Up) << "0 -1";
        QTest::newRow("down") << int(Qt::Key_Down) << "0 1";
        QTest::newRow("page up") << int(Qt::Key_PageUp) << "btnCameraZoomTele";
        QTest::newRow("page down") << int(Qt::Key_PageDown) << "btnCameraZoomWide";
    }
    // A held key, repeating, sends one drive, the very one of the panel's own joystick or zoom
    // button, and one stop when let go; in the waypoint box, the key moves nothing.
    void heldKeysDriveTheSelectedCamera()
    {
        QFETCH(int, key);
        QFETCH(QString, panelInput);
        const QList<QByteArray> byKey = held([&](bool down) {
            if (down)
                return sendKey(focused(), QEvent::KeyPress, key);
            for (int i = 0; i < 3; ++i) { // spaced so that a second drive would go
                QTest::qWait(30);
                sendKey(focused(), QEvent::KeyRelease, key, true);
                sendKey(focused(), QEvent::KeyPress, key, true);
            }
            sendKey(focused(), QEvent::KeyRelease, key);
        });
        auto *button = fixture.panel(1)->findChild<QAbstractButton *>(panelInput);
        const QStringList xy = panelInput.split(' ');
        const QList<QByteArray> byPanel = held([&](bool down) {
            if (button)
                return down ? QTest::mousePress(button, Qt::LeftButton)
                            : QTest::mouseRelease(button, Qt::LeftButton);
            fixture.panel(1)->HandleJoyPadValue(down ? xy[0].toFloat() : 0,
                                                down ? xy.value(1).toFloat() : 0);
        });
        QCOMPARE(byKey.size(), 2);
        QCOMPARE(byKey, byPanel);
        focus(fixture.panel(1)->findChild<QSpinBox *>("wayPointSpinBox"));
        auto tap = [&](bool down) {
            sendKey(focused(), down ? QEvent::KeyPress : QEvent::KeyRelease, key);
        };
        QCOMPARE(held(tap, 300).size(), 0);
    }
};

QTEST_MAIN(TestFormInput)
#include "tst_form_input.moc"
