#include "services/DialogTemplate.h"

#include "services/ResourceTable.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QStringList Words(const QJsonValue& value) {
    QStringList words;
    for (const QJsonValue& word : value.toArray())
        words.append(word.toString());
    return words;
}

} // namespace

CDialogTemplate CDialogTemplate::Load(int id) {
    CDialogTemplate result;
    const QJsonObject object = CResourceTable::Instance().Dialog(id);
    if (object.isEmpty())
        return result;
    result.m_id = id;
    result.m_title = object.value(QStringLiteral("title")).toString();
    const QJsonArray size = object.value(QStringLiteral("size")).toArray();
    result.m_size = QSize(size.at(0).toInt(), size.at(1).toInt());
    result.m_style = Words(object.value(QStringLiteral("style")));
    for (const QJsonValue& value : object.value(QStringLiteral("controls")).toArray()) {
        const QJsonObject control = value.toObject();
        const QJsonArray rect = control.value(QStringLiteral("rect")).toArray();
        result.m_controls.push_back(
            {control.value(QStringLiteral("id")).toInt(),
             control.value(QStringLiteral("kind")).toString(),
             QRect(rect.at(0).toInt(), rect.at(1).toInt(), rect.at(2).toInt(), rect.at(3).toInt()),
             control.value(QStringLiteral("text")).toString(),
             Words(control.value(QStringLiteral("style")))});
    }
    return result;
}

const CControlTemplate* CDialogTemplate::Control(int id) const {
    for (const CControlTemplate& control : m_controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}
