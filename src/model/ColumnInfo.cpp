#include "model/ColumnInfo.h"

#include "model/NameOrdering.h"
#include "model/SqlTypeNames.h"

#include <utility>

CColumnInfo::CColumnInfo(QString name, qint32 dataType, QString typeName, qint32 size)
    : name(std::move(name)), dataType(dataType), typeName(std::move(typeName)), size(size) {}

CColumnInfo::CColumnInfo(QString name, qint32 dataType, QString typeName, qint32 size,
                         Attributes attributes)
    : name(std::move(name)), dataType(dataType), typeName(std::move(typeName)), size(size),
      attributes(std::move(attributes)) {}

QString CColumnInfo::GetText(int column) const {
    switch (column) {
    case 0:
        return name;
    case 1:
        if (IsSizedType(dataType))
            return typeName + QStringLiteral(" (") + QString::number(size) + QLatin1Char(')');
        return typeName;
    default:
        return {};
    }
}

bool CColumnInfo::Contains(const QString& text) const {
    return LowerAscii(GetText(0)).contains(text) || LowerAscii(GetText(1)).contains(text);
}

CColumnInfo* FindByName(bool caseSensitive, const CColumnInfoArray& array,
                        const CColumnInfo& record) {
    for (const auto& candidate : array) {
        if (CompareNames(candidate->name, record.name, caseSensitive) == 0)
            return candidate.get();
    }
    return nullptr;
}
