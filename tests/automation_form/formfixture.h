#pragma once

#include "automation/appsettings.h"
#include "automation/centralmainwindow.h"
#include "automation/scriptfiledialog.h"
#include "position_editing/cameraposctrls.h"
#include "shell/appresources.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

// A fresh form in a temporary working directory, over an empty store and with nothing
// remembered, driven by object name.
class FormFixture
{
public:
    void setUp()
    {
        AppResources::initBundle();
        dir = std::make_unique<QTemporaryDir>();
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir->path());
        qputenv("XDG_CONFIG_HOME", dir->filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_STATE_HOME", dir->filePath(QStringLiteral("state")).toLocal8Bit());
        AppSettings::setEnabled(true);
        CameraDataStore::instance().resetForTests();
        restart();
    }
    void tearDown()
    {
        delete window;
        window = nullptr;
        // A preset the test did not use must not answer the next test's ask.
        if (ScriptFileDialog::hasNextFileName())
            ScriptFileDialog::getOpenFileName(nullptr);
        AppSettings::setEnabled(false);
        QDir::setCurrent(previousDir);
        dir.reset();
    }
    // Closes the form and opens a new one, as a restart of the program would.
    void restart()
    {
        delete window;
        window = new CentralMainWindow(nullptr);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    CentralMainWindow *form() const { return window; }
    CameraPosCtrls *panel(int i) const { return window->cameraPanels().value(i); }
    template<typename T = QWidget>
    T *widget(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    QString text(const char *name) const { return widget<QLineEdit>(name)->text(); }
    void click(const char *name, int times = 1) const
    {
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(widget<QAbstractButton>(name), Qt::LeftButton);
    }
    void type(const char *name, const QString &value) const
    {
        widget<QLineEdit>(name)->clear();
        QTest::keyClicks(widget<QLineEdit>(name), value);
        QTest::keyClick(widget<QLineEdit>(name), Qt::Key_Return);
    }
    void offerSources(const std::vector<NDISourceInfo> &sources) const
    {
        CameraDataStore::instance().publishSources(sources);
        window->UpdateSourceList();
    }
    // The AutoPlay Sources rows, "name+" checked and "name-" not, and each panel's source.
    QStringList sourceRows() const
    {
        auto *table = widget<QTableWidget>("srcTableWidget");
        QStringList rows;
        for (int r = 0; r < table->rowCount(); ++r)
            rows << table->item(r, 0)->text() + (table->item(r, 0)->checkState() ? "+" : "-");
        return rows;
    }
    QStringList selections() const
    {
        QStringList names;
        for (CameraPosCtrls *p : window->cameraPanels())
            names << p->findChild<QComboBox *>(QStringLiteral("srcSelectComboBox"))->currentText();
        return names;
    }
    // The text of the failure box the form shows, which is then closed; empty if none.
    QString takeFailure() const
    {
        auto *box = window->findChild<QMessageBox *>(
            QString::fromLatin1(ScriptFileDialog::FailureBoxName), Qt::FindDirectChildrenOnly);
        const QString text = box ? box->text() : QString();
        delete box;
        return text;
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
    CentralMainWindow *window = nullptr;
};
