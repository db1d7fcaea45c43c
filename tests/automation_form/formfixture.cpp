#include "formfixture.h"

#include "automation/appsettings.h"
#include "automation/scriptfiledialog.h"
#include "position_editing/cameraposctrls.h"
#include "shell/appresources.h"
#include "store/cameradatastore.h"

#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QTableWidget>

void FormFixture::setUp()
{
    AppResources::initBundle();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    previousDir = QDir::currentPath();
    QDir::setCurrent(dir->path());
    // Each test starts with nothing remembered and its own race-day log.
    qputenv("XDG_CONFIG_HOME", dir->filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_STATE_HOME", dir->filePath(QStringLiteral("state")).toLocal8Bit());
    AppSettings::setEnabled(true);
    CameraDataStore::instance().resetForTests();
    openForm();
}

void FormFixture::openForm()
{
    window = new CentralMainWindow(nullptr);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void FormFixture::restart()
{
    delete window;
    openForm();
}

void FormFixture::tearDown()
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

CentralMainWindow *FormFixture::release()
{
    CentralMainWindow *form = window;
    window = nullptr;
    return form;
}

QString FormFixture::text(const char *name) const
{
    return widget<QLineEdit>(name)->text();
}

bool FormFixture::enabled(const char *name) const
{
    return widget(name)->isEnabled();
}

void FormFixture::click(const char *name, int times) const
{
    auto *button = widget<QAbstractButton>(name);
    QVERIFY2(button, name);
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(button, Qt::LeftButton);
}

void FormFixture::type(const char *name, const QString &value) const
{
    auto *edit = widget<QLineEdit>(name);
    QVERIFY2(edit, name);
    edit->clear();
    QTest::keyClicks(edit, value);
    QTest::keyClick(edit, Qt::Key_Return);
}

void FormFixture::offerSources(const std::vector<NDISourceInfo> &sources) const
{
    CameraDataStore::instance().publishSources(sources);
    window->UpdateSourceList();
}

QStringList FormFixture::sourceRows() const
{
    auto *table = widget<QTableWidget>("srcTableWidget");
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << table->item(r, 0)->text() + (table->item(r, 0)->checkState() ? "+" : "-");
    return rows;
}

QString FormFixture::takeFailure() const
{
    auto *box = window->findChild<QMessageBox *>(
        QString::fromLatin1(ScriptFileDialog::FailureBoxName), Qt::FindDirectChildrenOnly);
    if (!box)
        return QString();
    const QString text = box->text();
    delete box;
    return text;
}

QComboBox *FormFixture::selector(CameraPosCtrls *panel)
{
    return panel->findChild<QComboBox *>(QStringLiteral("srcSelectComboBox"));
}

QStringList FormFixture::selectorItems(CameraPosCtrls *panel)
{
    QStringList items;
    QComboBox *combo = selector(panel);
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}
