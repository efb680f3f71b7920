#pragma once

#include <QDir>
#include <QFile>
#include <QString>

// What the kernel shows of another process (one of the user's, or any process's status), for
// tests that wait for it to come to a given point.

// The state letter of the process ('T' while stopped), 0 when it is gone.
inline char ProcessStateLetter(qint64 process) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(process));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end >= 0 && end + 2 < line.size() ? line.at(end + 2) : 0;
}

// Whether a signal sent to the process still waits to be taken (a stopped process keeps it).
inline bool IsSignalPending(qint64 process, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if ((line.startsWith("ShdPnd:") || line.startsWith("SigPnd:")) &&
            (line.mid(7).trimmed().toULongLong(nullptr, 16) & (1ULL << (signal - 1))))
            return true;
    }
    return false;
}

// Whether a thread of the process waits in the kernel for the other end of a FIFO to open.
inline bool WaitsToOpenAFifo(qint64 process) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(process));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile channel(tasks.filePath(task + QStringLiteral("/wchan")));
        if (channel.open(QIODevice::ReadOnly) &&
            channel.readAll().trimmed() == QByteArrayLiteral("wait_for_partner"))
            return true;
    }
    return false;
}
