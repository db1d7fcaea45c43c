#pragma once

#include <QMutex>
#include <QString>

// The race-day log: timestamped lines appended to trevalo.log in the user's state folder
// ($XDG_STATE_HOME/trevalo, by default ~/.local/state/trevalo). Past MaxFileBytes the file is
// moved to trevalo.log.1 (and that one to .2), so at most KeptFiles files remain.
//
// Any thread may write. Each line opens and closes the file, so the folder is looked up
// again every time (tests move it with XDG_STATE_HOME) and a crash loses nothing written.
class RaceLog
{
public:
    static constexpr qint64 MaxFileBytes = 1024 * 1024;
    static constexpr int KeptFiles = 3;

    static RaceLog &instance();

    // Appends "yyyy-MM-dd HH:mm:ss.zzz <text>"; false when the file could not be written.
    bool write(const QString &text);

    static QString folder();
    static QString filePath();

    // Tests shrink the rotation size instead of writing a megabyte; 0 restores the default.
    void setMaxFileBytesForTests(qint64 bytes);

private:
    RaceLog() = default;
    void rotateIfFull(const QString &path);

    QMutex mutex; // guards the files and maxBytes
    qint64 maxBytes = MaxFileBytes;
};
