#include "automation/engine/racelog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

RaceLog &RaceLog::instance()
{
    static RaceLog log;
    return log;
}

QString RaceLog::folder()
{
    // Qt 5 has no StandardLocation for state; the XDG rule is a relative value counts as unset.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/trevalo");
}

QString RaceLog::filePath()
{
    return folder() + QStringLiteral("/trevalo.log");
}

bool RaceLog::write(const QString &text)
{
    QMutexLocker lock(&mutex); // taken first, so the lines' times follow the file's order
    const QString line =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) + text +
        QLatin1Char('\n');
    if (!QDir().mkpath(folder()))
        return false;
    const QString path = filePath();
    rotateIfFull(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    const QByteArray bytes = line.toUtf8();
    return file.write(bytes) == bytes.size();
}

void RaceLog::rotateIfFull(const QString &path)
{
    if (QFileInfo(path).size() < maxBytes)
        return;
    const auto numbered = [&path](int n) { return path + QLatin1Char('.') + QString::number(n); };
    QFile::remove(numbered(KeptFiles - 1));
    for (int n = KeptFiles - 2; n >= 1; --n)
        QFile::rename(numbered(n), numbered(n + 1));
    QFile::rename(path, numbered(1));
}

void RaceLog::setMaxFileBytesForTests(qint64 bytes)
{
    QMutexLocker lock(&mutex);
    maxBytes = bytes > 0 ? bytes : MaxFileBytes;
}
