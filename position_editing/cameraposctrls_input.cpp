#include "position_editing/cameraposctrls.h"

#include "position_editing/joypad.h"
#include "shell/palette.h"

#include <QEvent>
#include <QPainter>
#include <QPushButton>

namespace {
const char OutlineName[] = "selectionOutline";

// A green ring over the panel's edge; clicks pass through to the controls beneath.
class SelectionOutline : public QWidget
{
public:
    explicit SelectionOutline(QWidget *panel)
        : QWidget(panel)
    {
        setObjectName(QLatin1String(OutlineName));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        // The form's style sheet gives every widget a background; this one must stay see-through.
        setStyleSheet(QStringLiteral("background: transparent; border: none;"));
        setGeometry(panel->rect());
        panel->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parent() && event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(Palette::accent), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
    }
};
} // namespace

void CameraPosCtrls::setSelected(bool selected)
{
    auto *outline = findChild<QWidget *>(QLatin1String(OutlineName), Qt::FindDirectChildrenOnly);
    if (!outline && !selected)
        return;
    if (!outline)
        outline = new SelectionOutline(this);
    outline->setVisible(selected);
    outline->raise();
}

// A move needs a chosen camera, as the joystick does; a stop always goes out.
void CameraPosCtrls::jog(float x, float y)
{
    const bool stop = x == 0.0f && y == 0.0f;
    if (!stop && !ui.joyPad->isEnabled())
        return;
    HandleJoyPadValue(x, y);
    if (stop)
        ReadPanTilt();
}

void CameraPosCtrls::zoomDrive(int direction)
{
    if (direction == 0)
        on_btnCameraZoomWide_released();
    else if (!ui.btnCameraZoomTele->isEnabled())
        return;
    else if (direction > 0)
        on_btnCameraZoomTele_pressed();
    else
        on_btnCameraZoomWide_pressed();
}

void CameraPosCtrls::store()
{
    ui.presetStoreButton->click();
}
