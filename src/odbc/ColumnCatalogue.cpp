#include "odbc/ColumnCatalogue.h"

#include "model/NameOrdering.h"

#include <algorithm>

namespace {

// The units of the character at position: two for a surrogate pair, which a group never splits.
qsizetype CharacterUnits(const QString& name, qsizetype position) {
    return name[position].isHighSurrogate() && position + 1 < name.size() ? 2 : 1;
}

void GroupRange(const QStringList& names, qsizetype begin, qsizetype end, qsizetype depth,
                int tablesPerCall, std::vector<CColumnCatalogue::NameGroup>& groups) {
    if (end - begin <= tablesPerCall) {
        groups.push_back({names[begin].left(depth), false});
        return;
    }
    qsizetype at = begin;
    // Sorted by code unit, a name that is the prefix itself comes first.
    while (at < end && names[at].size() == depth)
        groups.push_back({names[at++], true});
    while (at < end) {
        const qsizetype units = CharacterUnits(names[at], depth);
        const QStringView next = QStringView(names[at]).mid(depth, units);
        qsizetype last = at + 1;
        while (last < end && names[last].size() >= depth + units &&
               QStringView(names[last]).mid(depth, units) == next)
            ++last;
        GroupRange(names, at, last, depth + units, tablesPerCall, groups);
        at = last;
    }
}

} // namespace

std::vector<CColumnCatalogue::NameGroup> CColumnCatalogue::GroupNames(QStringList names,
                                                                      int tablesPerCall) {
    std::vector<NameGroup> groups;
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    if (names.size() <= tablesPerCall || tablesPerCall < 1) {
        groups.push_back({QString(), false});
        return groups;
    }
    GroupRange(names, 0, names.size(), 0, tablesPerCall, groups);
    return groups;
}

void CColumnCatalogue::Clear() {
    m_names.clear();
    m_names.shrink_to_fit();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_attributes.clear();
    m_attributes.shrink_to_fit();
    m_defaults.clear();
    m_defaults.shrink_to_fit();
    m_typeNames.clear();
    m_typeNameIndex.clear();
    m_tables.clear();
    m_currentTable.clear();
    m_currentStretches = nullptr;
    m_call = 0;
}

bool CColumnCatalogue::AddRow(QStringView table, QStringView column, qint32 dataType,
                              QStringView typeName, qint32 size,
                              const CColumnInfo::Attributes* attributes) {
    const quint32 index = quint32(m_rows.size());
    if (!m_currentStretches || table != m_currentTable) {
        m_currentTable = table.toString();
        const bool known = m_tables.contains(m_currentTable);
        m_currentStretches = &m_tables[m_currentTable];
        if (!known)
            m_currentStretches->call = m_call;
    }
    if (m_currentStretches->call != m_call)
        return false;
    if (!m_currentStretches->empty() &&
        m_currentStretches->back().first + m_currentStretches->back().count == index)
        ++m_currentStretches->back().count;
    else
        m_currentStretches->push_back({index, 1});

    auto known = m_typeNameIndex.constFind(typeName.toString());
    if (known == m_typeNameIndex.constEnd()) {
        known = m_typeNameIndex.insert(typeName.toString(), quint32(m_typeNames.size()));
        m_typeNames.append(typeName.toString());
    }
    m_rows.push_back(
        {quint32(m_names.size()), *known, size, quint16(column.size()), qint16(dataType)});
    m_names.append(reinterpret_cast<const char16_t*>(column.utf16()), size_t(column.size()));
    if (attributes) {
        const std::optional<QString>& value = attributes->defaultValue;
        m_attributes.push_back({quint32(m_defaults.size()), value ? qint32(value->size()) : -1,
                                attributes->nullable, attributes->decimalDigits.value_or(0),
                                attributes->decimalDigits.has_value()});
        if (value)
            m_defaults.append(reinterpret_cast<const char16_t*>(value->utf16()),
                              size_t(value->size()));
    }
    return true;
}

void CColumnCatalogue::SetDefault(qsizetype row, const std::optional<QString>& value) {
    if (row < 0 || row >= qsizetype(m_attributes.size()))
        return;
    RowAttributes& attributes = m_attributes[size_t(row)];
    attributes.defaultOffset = quint32(m_defaults.size());
    attributes.defaultLength = value ? qint32(value->size()) : -1;
    if (value)
        m_defaults.append(reinterpret_cast<const char16_t*>(value->utf16()), size_t(value->size()));
}

void CColumnCatalogue::ReserveForTables(qsizetype tables) {
    if (m_tables.isEmpty() || tables <= m_tables.size())
        return;
    const double scale = double(tables) / double(m_tables.size()) * 1.05;
    m_rows.reserve(size_t(double(m_rows.size()) * scale) + 16);
    m_names.reserve(size_t(double(m_names.size()) * scale) + 256);
    if (!m_attributes.empty()) {
        m_attributes.reserve(m_rows.capacity());
        m_defaults.reserve(size_t(double(m_defaults.size()) * scale) + 256);
    }
}

void CColumnCatalogue::AppendRows(const Stretches& stretches, std::vector<quint32>& rows) const {
    for (const Stretch& stretch : stretches) {
        for (quint32 row = stretch.first; row < stretch.first + stretch.count; ++row)
            rows.push_back(row);
    }
}

bool CColumnCatalogue::Columns(const QString& table, CColumnInfoArray& columns,
                               bool anySpelling) const {
    columns.clear();
    const Stretches* found = nullptr;
    if (const auto exact = m_tables.constFind(table); exact != m_tables.constEnd()) {
        found = &exact.value();
    } else if (anySpelling) {
        for (auto other = m_tables.constBegin(); other != m_tables.constEnd(); ++other) {
            if (CompareNames(other.key(), table, false) != 0)
                continue;
            if (found)
                return false;
            found = &other.value();
        }
    }
    if (!found)
        return false;
    std::vector<quint32> rows;
    AppendRows(*found, rows);
    columns.reserve(rows.size());
    for (const quint32 index : rows) {
        const Row& row = m_rows[index];
        CColumnInfo::Attributes attributes;
        if (index < m_attributes.size()) {
            const RowAttributes& read = m_attributes[index];
            attributes.nullable = read.nullable;
            if (read.hasDecimalDigits)
                attributes.decimalDigits = read.decimalDigits;
            if (read.defaultLength >= 0)
                attributes.defaultValue =
                    QString(reinterpret_cast<const QChar*>(m_defaults.data() + read.defaultOffset),
                            read.defaultLength);
        }
        // Every code unit as the driver gave it: a leading U+FEFF is part of the name.
        columns.push_back(std::make_unique<CColumnInfo>(
            QString(reinterpret_cast<const QChar*>(m_names.data() + row.nameOffset),
                    row.nameLength),
            row.dataType, m_typeNames[row.typeName], row.size, std::move(attributes)));
    }
    return !columns.empty();
}
