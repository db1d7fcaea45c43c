#include "shell/zumainwindow.h"

#include "shell/infodialog.h"
#include "shell/windowdragger.h"
#include "shell/zumainwindow_ui.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

using namespace BorderZones;

ZuMainWindow::ZuMainWindow(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ZuMainWindow>())
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->setupUi(this);
    ui->restoreButton->hide();
    setAttribute(Qt::WA_MouseTracking);
    // Child widgets take the mouse events at the borders, so the window watches them all.
    qApp->installEventFilter(this);
}

ZuMainWindow::~ZuMainWindow()
{
    qApp->removeEventFilter(this);
}

QVBoxLayout *ZuMainWindow::contentLayout() const
{
    return ui->verticalLayout_3;
}

bool ZuMainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (!isMaximized() && filterEvent(watched, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

// True when the event is taken here and must not reach the watched object.
bool ZuMainWindow::filterEvent(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        checkBorderDragging(static_cast<QMouseEvent *>(event));
        break;
    case QEvent::MouseButtonPress:
        if (watched == this) {
            mousePressEvent(static_cast<QMouseEvent *>(event));
        } else if (isTopBorderPress(watched, static_cast<QMouseEvent *>(event))) {
            mousePressEvent(static_cast<QMouseEvent *>(event));
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        // A border drag may end over any widget.
        if (mousePressed)
            mouseReleaseEvent(static_cast<QMouseEvent *>(event));
        break;
    default:
        if (event->type() == QEvent::ActivationChange && isActiveWindow())
            remaximizeIfPending();
        break;
    }
    return false;
}

// The title bar covers the top edge and would take a press there to move the window; in the
// top band, as the cursor shows, a press resizes instead.
bool ZuMainWindow::isTopBorderPress(QObject *watched, QMouseEvent *event) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    const Zone zone = hitZone(geometry(), event->globalPos(), borderWidth);
    return zone == Zone::Top || zone == Zone::TopLeft || zone == Zone::TopRight;
}

void ZuMainWindow::remaximizeIfPending()
{
    if (remaximizePending)
        on_maximizeButton_clicked();
}

void ZuMainWindow::mousePressEvent(QMouseEvent *event)
{
    if (isMaximized())
        return;
    mousePressed = true;
    startGeometry = geometry();
    const Zone zone = hitZone(geometry(), event->globalPos(), borderWidth);
    if (zone == Zone::None)
        return;
    setDragEdges(edgesOf(zone));
    setCursor(cursorOf(zone));
}

void ZuMainWindow::mouseReleaseEvent(QMouseEvent *)
{
    if (isMaximized())
        return;
    mousePressed = false;
    const bool wasDragging = dragEdges().any();
    setDragEdges({});
    if (wasDragging)
        setCursor(Qt::ArrowCursor);
}

void ZuMainWindow::mouseDoubleClickEvent(QMouseEvent *) {}

void ZuMainWindow::checkBorderDragging(QMouseEvent *event)
{
    if (isMaximized())
        return;
    const QPoint globalPos = event->globalPos();
    if (!mousePressed) {
        hoverBorder(globalPos);
        return;
    }
    const QSize desktop = QApplication::desktop()->size();
    if (auto geometry = dragGeometry(dragEdges(), startGeometry, globalPos, desktop))
        setGeometry(*geometry);
}

void ZuMainWindow::hoverBorder(const QPoint &globalPos)
{
    const Zone zone = hitZone(geometry(), globalPos, borderWidth);
    if (zone == Zone::None)
        setDragEdges({});
    setCursor(cursorOf(zone));
}

void ZuMainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange) {
        const Qt::WindowStates state = windowState() & ~Qt::WindowActive;
        if (state == Qt::WindowMaximized) {
            showStateButtons(true);
            remaximizePending = false;
        } else if (state == Qt::WindowNoState) {
            showStateButtons(false);
            // Coming back from the minimise button, the window manager may report the normal
            // state before the window is active again: that is a step on the way to maximised.
            if (remaximizePending)
                QMetaObject::invokeMethod(this, &ZuMainWindow::remaximizeIfPending,
                                          Qt::QueuedConnection);
        }
    }
    event->accept();
}

void ZuMainWindow::showStateButtons(bool maximized)
{
    ui->restoreButton->setVisible(maximized);
    ui->maximizeButton->setVisible(!maximized);
}

BorderZones::Edges ZuMainWindow::dragEdges() const
{
    return {dragTop, dragLeft, dragRight, dragBottom};
}

void ZuMainWindow::setDragEdges(const BorderZones::Edges &edges)
{
    dragTop = edges.top;
    dragLeft = edges.left;
    dragRight = edges.right;
    dragBottom = edges.bottom;
}

void ZuMainWindow::on_minimizeButton_clicked()
{
    setWindowState(Qt::WindowMinimized);
    remaximizePending = true;
}

void ZuMainWindow::on_maximizeButton_clicked()
{
    showStateButtons(true);
    setWindowState(Qt::WindowMaximized);
    showMaximized();
    remaximizePending = false;
}

void ZuMainWindow::on_restoreButton_clicked()
{
    showStateButtons(false);
    setWindowState(Qt::WindowNoState);
    hide();
    show();
    remaximizePending = false;
}

void ZuMainWindow::on_closeButton_clicked()
{
    emit requestClose();
}

void ZuMainWindow::on_windowTitlebar_doubleClicked()
{
    const Qt::WindowStates state = windowState() & ~Qt::WindowActive;
    if (state == Qt::WindowNoState)
        on_maximizeButton_clicked();
    else if (state == Qt::WindowMaximized)
        on_restoreButton_clicked();
}

void ZuMainWindow::on_titlButton_clicked()
{
    auto *dialog = new InfoDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    dialog->setVersionText(tr("Version : ") + appVersion);
    dialog->exec();
}
