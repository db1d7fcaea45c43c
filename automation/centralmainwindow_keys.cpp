#include "automation/centralmainwindow.h"

#include "automation/centralmainwindow_ui.h"
#include "automation/engine/padmapper.h"
#include "automation/gamepadlink.h"
#include "position_editing/cameraposctrls.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <set>
#include <utility>
#include <vector>

namespace {

// Keys that click a button of the form, as a click would.
struct ButtonKey
{
    QKeySequence key;
    QAbstractButton *button;
};

// Panel controls named by their keys in their tooltips.
const std::pair<const char *, Qt::Key> PanelKeys[] = {{"presetStoreButton", Qt::Key_Enter},
                                                      {"btnCameraZoomTele", Qt::Key_PageUp},
                                                      {"btnCameraZoomWide", Qt::Key_PageDown}};

QString keyTip(const QString &keys)
{
    return QCoreApplication::translate("CentralMainWindow", "Key: %1").arg(keys);
}

QString keyName(const QKeySequence &key)
{
    return key.toString(QKeySequence::NativeText);
}

// Keys typed into an editable field are the field's, never a shortcut.
bool typingIn(const QWidget *widget)
{
    if (!widget)
        return false;
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return !edit->isReadOnly();
    if (auto *spin = qobject_cast<const QAbstractSpinBox *>(widget))
        return !spin->isReadOnly();
    if (auto *text = qobject_cast<const QTextEdit *>(widget))
        return !text->isReadOnly();
    if (auto *plain = qobject_cast<const QPlainTextEdit *>(widget))
        return !plain->isReadOnly();
    if (auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->isEditable();
    return false;
}

// The panel a digit key selects: 1 to 9, then 0 for the tenth.
int panelOfDigit(int key)
{
    if (key < Qt::Key_0 || key > Qt::Key_9)
        return -1;
    return key == Qt::Key_0 ? 9 : key - Qt::Key_1;
}

// Keys that drive while they are down.
bool holdKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

// Keyboard and gamepad for the whole form. Keys are taken before the focused widget sees them,
// so a focused button or list does not eat Space or the arrows. Held keys and the pad drive
// the selected panel's camera: one move when a key goes down, one stop when it comes up,
// however many repeats the keyboard sends in between.
class FormInput : public QObject
{
public:
    FormInput(CentralMainWindow *owner, QWidget *panels, std::vector<ButtonKey> keys);
    ~FormInput() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void leaveStartField();
    bool keyPressed(QWidget *receiver, QKeyEvent *event);
    bool keyReleased(QKeyEvent *event);
    std::function<void()> actionFor(const QKeySequence &key);
    void storeOnSelected();
    bool ours(QObject *watched) const;
    CameraPosCtrls *selected();
    void select(int index);
    void stepSelection(int delta);
    void showSelection();
    void queueRefresh();
    void refreshPanels();
    void followHeldKeys();
    void setJog(float x, float y);
    void setZoom(int direction);
    void releaseAll();

    CentralMainWindow *form;
    QPointer<QWidget> panelRow;
    std::vector<ButtonKey> buttonKeys;
    PadMapper mapper;
    QPointer<CameraPosCtrls> current;
    std::set<int> held; // arrows and zoom keys down now
    QPointer<CameraPosCtrls> jogPanel;
    float jogX = 0;
    float jogY = 0;
    QPointer<CameraPosCtrls> zoomPanel;
    int zoomDirection = 0;
    bool refreshQueued = false;
    bool startFieldLeft = false;
};

FormInput::FormInput(CentralMainWindow *owner, QWidget *panels, std::vector<ButtonKey> keys)
    : QObject(owner)
    , form(owner)
    , panelRow(panels)
    , buttonKeys(std::move(keys))
{
    for (const ButtonKey &entry : buttonKeys)
        entry.button->setToolTip(keyTip(keyName(entry.key)));
    connect(&mapper, &PadMapper::jog, this, &FormInput::setJog);
    connect(&mapper, &PadMapper::zoom, this, &FormInput::setZoom);
    connect(&mapper, &PadMapper::stepPanel, this, &FormInput::stepSelection);
    connect(&mapper, &PadMapper::store, this, &FormInput::storeOnSelected);
    connect(&mapper, &PadMapper::startStop, this, [this] { buttonKeys.front().button->click(); });
    new GamepadLink(&mapper, this);
    // A click on the form's background takes the focus out of a field.
    form->setFocusPolicy(Qt::ClickFocus);
    QCoreApplication::instance()->installEventFilter(this);
    refreshPanels();
}

FormInput::~FormInput()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool FormInput::ours(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    return widget && widget->window() == form->window();
}

bool FormInput::eventFilter(QObject *watched, QEvent *event)
{
    // Closing hides the window from the form's base destructor: no panels to speak to by then.
    if (!qobject_cast<CentralMainWindow *>(parent()))
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return ours(watched) &&
               keyPressed(static_cast<QWidget *>(watched), static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        return ours(watched) && keyReleased(static_cast<QKeyEvent *>(event));
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
        if (watched == panelRow)
            queueRefresh();
        return false;
    case QEvent::WindowActivate:
        // Qt focuses the first field right after this event.
        if (watched == form->window() && !startFieldLeft)
            QTimer::singleShot(0, this, &FormInput::leaveStartField);
        return false;
    case QEvent::WindowDeactivate:
        // A key let go in another window never comes back here: stop now.
        if (watched == form->window())
            releaseAll();
        return false;
    default:
        return false;
    }
}

// The window opens with the first field focused; keys should work from the start, so the
// focus goes to the form itself, once.
void FormInput::leaveStartField()
{
    if (startFieldLeft)
        return;
    startFieldLeft = true;
    if (typingIn(form->window()->focusWidget()))
        form->setFocus(Qt::OtherFocusReason);
}

bool FormInput::keyPressed(QWidget *receiver, QKeyEvent *event)
{
    const int key = event->key();
    const int modifiers = int(event->modifiers() & ~Qt::KeypadModifier);
    if (typingIn(receiver) || typingIn(form->window()->focusWidget())) {
        // Escape leaves the field, so the keys are the form's again.
        if (key != Qt::Key_Escape || modifiers != Qt::NoModifier)
            return false;
        form->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    if (holdKey(key) && modifiers == Qt::NoModifier) {
        if (!event->isAutoRepeat() && held.insert(key).second)
            followHeldKeys();
        return true;
    }
    const std::function<void()> action = actionFor(QKeySequence(modifiers | key));
    if (!action)
        return false;
    if (!event->isAutoRepeat())
        action();
    return true;
}

std::function<void()> FormInput::actionFor(const QKeySequence &key)
{
    for (const ButtonKey &entry : buttonKeys) {
        if (entry.key == key)
            return [button = entry.button] { button->click(); };
    }
    const int code = key[0];
    if (panelOfDigit(code) >= 0)
        return [this, code] { select(panelOfDigit(code)); };
    if (code == Qt::Key_Return || code == Qt::Key_Enter)
        return [this] { storeOnSelected(); };
    return {};
}

// A held key is let go wherever the focus has gone meanwhile.
bool FormInput::keyReleased(QKeyEvent *event)
{
    if (event->isAutoRepeat() || held.erase(event->key()) == 0)
        return false;
    followHeldKeys();
    return true;
}

void FormInput::followHeldKeys()
{
    auto down = [this](int key) { return float(held.count(key)); };
    setJog(down(Qt::Key_Right) - down(Qt::Key_Left), down(Qt::Key_Down) - down(Qt::Key_Up));
    setZoom(int(held.count(Qt::Key_PageUp)) - int(held.count(Qt::Key_PageDown)));
}

// A move goes to the selected panel; a panel left moving by a change of selection is stopped.
void FormInput::setJog(float x, float y)
{
    CameraPosCtrls *panel = selected();
    if (panel == jogPanel && x == jogX && y == jogY)
        return;
    const bool wasMoving = jogX != 0.0f || jogY != 0.0f;
    if (wasMoving && jogPanel && jogPanel != panel)
        jogPanel->jog(0.0f, 0.0f);
    const bool moves = x != 0.0f || y != 0.0f;
    if (panel && (moves || (wasMoving && panel == jogPanel)))
        panel->jog(x, y);
    jogPanel = panel;
    jogX = x;
    jogY = y;
}

void FormInput::setZoom(int direction)
{
    CameraPosCtrls *panel = selected();
    if (panel == zoomPanel && direction == zoomDirection)
        return;
    if (zoomDirection != 0 && zoomPanel && zoomPanel != panel)
        zoomPanel->zoomDrive(0);
    if (panel && (direction != 0 || (zoomDirection != 0 && panel == zoomPanel)))
        panel->zoomDrive(direction);
    zoomPanel = panel;
    zoomDirection = direction;
}

void FormInput::releaseAll()
{
    held.clear();
    setJog(0.0f, 0.0f);
    setZoom(0);
}

void FormInput::storeOnSelected()
{
    if (CameraPosCtrls *panel = selected())
        panel->store();
}

// ---- selection ----

// The selected panel, the first one when the selected one has been closed.
CameraPosCtrls *FormInput::selected()
{
    const QList<CameraPosCtrls *> &panels = form->cameraPanels();
    if (!current || !panels.contains(current)) {
        current = panels.value(0);
        showSelection();
    }
    return current;
}

// A move or zoom under way follows the selection to the newly selected camera.
void FormInput::select(int index)
{
    CameraPosCtrls *panel = form->cameraPanels().value(index);
    if (!panel || panel == current)
        return;
    current = panel;
    showSelection();
    setJog(jogX, jogY);
    setZoom(zoomDirection);
}

void FormInput::stepSelection(int delta)
{
    const int index = int(form->cameraPanels().indexOf(selected())) + delta;
    select(qBound(0, index, int(form->cameraPanels().size()) - 1));
}

void FormInput::showSelection()
{
    for (CameraPosCtrls *panel : form->cameraPanels())
        panel->setSelected(panel == current);
}

// Panels come and go with the operator; their tips and the outline follow once the row settles.
void FormInput::queueRefresh()
{
    if (refreshQueued)
        return;
    refreshQueued = true;
    QTimer::singleShot(0, this, &FormInput::refreshPanels);
}

void FormInput::refreshPanels()
{
    refreshQueued = false;
    for (CameraPosCtrls *panel : form->cameraPanels()) {
        for (const auto &[name, key] : PanelKeys) {
            if (auto *control = panel->findChild<QWidget *>(QLatin1String(name)))
                control->setToolTip(keyTip(keyName(QKeySequence(key))));
        }
        if (auto *joyPad = panel->findChild<QWidget *>(QStringLiteral("joyPad")))
            joyPad->setToolTip(keyTip(QCoreApplication::translate("CentralMainWindow", "arrows")));
    }
    selected();
    showSelection();
}

} // namespace

// ---- the form's part ----

void CentralMainWindow::setUpInputControls()
{
    const QKeySequence space(Qt::Key_Space);
    // START/STOP first: the pad's Start button clicks it too.
    new FormInput(this, ui->srcWidget,
                  {{space, ui->StartStopPushButton},
                   {space, ui->playStartStoptoolButton},
                   {QKeySequence(Qt::Key_Home), ui->GoStartPushButton},
                   {QKeySequence(Qt::Key_End), ui->GoEndPushButton},
                   {QKeySequence(Qt::CTRL | Qt::Key_S), ui->scriptSavePushButton},
                   {QKeySequence(Qt::CTRL | Qt::Key_O), ui->scriptLoadPushButton}});
}
