#pragma once

#include <QDir>
#include <QString>

#include <unistd.h>

// The descriptors this process (or the process of that id, one of the user's) holds open on
// files of folder whose names begin with prefix, also once those files have been unlinked (the
// kernel then names them "... (deleted)").
inline QStringList OpenDescriptorsIn(const QString& folder, const QString& prefix,
                                     qint64 process = 0) {
    const QString start = QDir(folder).filePath(prefix);
    QStringList links;
    const QDir descriptors(process > 0 ? QStringLiteral("/proc/%1/fd").arg(process)
                                       : QStringLiteral("/proc/self/fd"));
    for (const QString& entry :
         descriptors.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        const QByteArray link = QFile::encodeName(descriptors.filePath(entry));
        char target[4096];
        const ssize_t length = ::readlink(link.constData(), target, sizeof(target) - 1);
        if (length > 0 && QFile::decodeName(QByteArray(target, length)).startsWith(start))
            links.append(QFile::decodeName(link));
    }
    return links;
}
