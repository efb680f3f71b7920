#include "services/ResourceTable.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

const CResourceTable& CResourceTable::Instance() {
    static const CResourceTable table;
    return table;
}

CResourceTable::CResourceTable() {
    const QDir folder(QStringLiteral(":/quorvix"));
    const QStringList files = folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString& fileName : files) {
        QFile file(folder.filePath(fileName));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        // A damaged resource is caught by the tests; at run time its texts are simply empty.
        if (error.error == QJsonParseError::NoError && document.isObject())
            Merge(document.object());
    }
}

void CResourceTable::Merge(const QJsonObject& document) {
    const QJsonObject strings = document.value(QStringLiteral("strings")).toObject();
    for (auto it = strings.begin(); it != strings.end(); ++it) {
        bool isNumber = false;
        const int id = it.key().toInt(&isNumber);
        if (isNumber)
            m_strings.insert(id, it.value().toString());
    }
    const QJsonObject dialogs = document.value(QStringLiteral("dialogs")).toObject();
    for (auto it = dialogs.begin(); it != dialogs.end(); ++it) {
        bool isNumber = false;
        const int id = it.key().toInt(&isNumber);
        if (isNumber)
            m_dialogs.insert(id, it.value().toObject());
    }
}

QString CResourceTable::String(int id) const {
    return m_strings.value(id);
}

QJsonObject CResourceTable::Dialog(int id) const {
    return m_dialogs.value(id);
}
