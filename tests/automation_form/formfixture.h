#pragma once

#include "automation/centralmainwindow.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class CameraPosCtrls;
class QComboBox;

// A fresh form in a temporary working directory, over an empty store, driven by object name.
class FormFixture
{
public:
    void setUp();
    void tearDown();
    // Closes the form and opens a new one, as a restart of the program would.
    void restart();

    CentralMainWindow *form() const { return window; }
    // Hands the form over to the test, which then deletes it itself.
    CentralMainWindow *release();
    template<typename T = QWidget>
    T *widget(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    QString text(const char *name) const;
    bool enabled(const char *name) const;
    void click(const char *name, int times = 1) const;
    void type(const char *name, const QString &value) const;
    void offerSources(const std::vector<NDISourceInfo> &sources) const;
    // The AutoPlay Sources table, a row as "name+" (checked) or "name-".
    QStringList sourceRows() const;
    // The text of the script failure box the form shows, which is then closed; empty if none.
    QString takeFailure() const;
    static QComboBox *selector(CameraPosCtrls *panel);
    static QStringList selectorItems(CameraPosCtrls *panel);

private:
    void openForm();

    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
    CentralMainWindow *window = nullptr;
};
