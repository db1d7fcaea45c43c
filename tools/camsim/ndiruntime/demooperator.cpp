#include "tools/camsim/ndiruntime/demooperator.h"

#include <QApplication>
#include <QComboBox>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

constexpr int TickMs = 500;
constexpr int GiveUpAfterTicks = 60;
const QString CameraPrefix = QStringLiteral("CAMSIM(");

// Owned here, not by the application: its slot's code lives in this library, which is
// unloaded after stop().
QTimer *timer = nullptr;
int ticks = 0;

std::vector<QComboBox *> sourceSelectors()
{
    std::vector<QComboBox *> selectors;
    for (QWidget *widget : QApplication::allWidgets()) {
        auto *combo = qobject_cast<QComboBox *>(widget);
        if (combo && combo->isVisible() && combo->isEnabled() &&
            combo->findText(CameraPrefix, Qt::MatchStartsWith) >= 0)
            selectors.push_back(combo);
    }
    std::sort(selectors.begin(), selectors.end(), [](QComboBox *a, QComboBox *b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    return selectors;
}

// True when every selector shows a camera.
bool pickSources()
{
    const std::vector<QComboBox *> selectors = sourceSelectors();
    std::set<QString> taken;
    for (QComboBox *combo : selectors) {
        if (combo->currentText().startsWith(CameraPrefix))
            taken.insert(combo->currentText());
    }
    bool allPicked = !selectors.empty();
    for (QComboBox *combo : selectors) {
        if (combo->currentText().startsWith(CameraPrefix))
            continue;
        for (int i = 0; i < combo->count(); ++i) {
            const QString name = combo->itemText(i);
            if (name.startsWith(CameraPrefix) && !taken.count(name)) {
                taken.insert(name);
                combo->setCurrentIndex(i);
                break;
            }
        }
        allPicked = allPicked && combo->currentText().startsWith(CameraPrefix);
    }
    return allPicked;
}

} // namespace

void DemoOperator::start()
{
    if (timer || !std::getenv("TREVALO_CAMSIM_PICK_SOURCES") ||
        !qobject_cast<QApplication *>(QCoreApplication::instance()) ||
        QThread::currentThread() != QCoreApplication::instance()->thread())
        return;
    timer = new QTimer;
    ticks = 0;
    QObject::connect(timer, &QTimer::timeout, [] {
        if (pickSources() || ++ticks >= GiveUpAfterTicks)
            timer->stop();
    });
    timer->start(TickMs);
}

void DemoOperator::stop()
{
    delete timer;
    timer = nullptr;
}
