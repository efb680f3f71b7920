#include "odbc/IndexCatalogue.h"

void CIndexCatalogue::Clear() {
    m_names.clear();
    m_names.shrink_to_fit();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_tables.clear();
    m_currentTable.clear();
    m_currentStretches = nullptr;
}

void CIndexCatalogue::AddTable(const QString& table) {
    m_tables[table];
    // A rehash may have moved the stretches being extended.
    m_currentStretches = nullptr;
}

void CIndexCatalogue::AddRow(const QString& table, QStringView index, bool unique,
                             QStringView column, bool ascending) {
    const quint32 at = quint32(m_rows.size());
    if (!m_currentStretches || table != m_currentTable) {
        m_currentTable = table;
        m_currentStretches = &m_tables[table];
    }
    std::vector<Stretch>& stretches = *m_currentStretches;
    if (!stretches.empty() && stretches.back().first + stretches.back().count == at)
        ++stretches.back().count;
    else
        stretches.push_back({at, 1});

    // The rows of one index share its name's text.
    quint32 indexOffset = 0;
    if (!m_rows.empty() && stretches.back().count > 1 &&
        QStringView(m_names).mid(m_rows.back().indexOffset, m_rows.back().indexLength) == index)
        indexOffset = m_rows.back().indexOffset;
    else
        indexOffset = AppendName(index);
    m_rows.push_back({indexOffset, AppendName(column), quint16(index.size()),
                      quint16(column.size()), unique, ascending});
}

quint32 CIndexCatalogue::AppendName(QStringView name) {
    const quint32 offset = quint32(m_names.size());
    m_names.append(reinterpret_cast<const char16_t*>(name.utf16()), size_t(name.size()));
    return offset;
}

QString CIndexCatalogue::NameAt(quint32 offset, quint16 length) const {
    // Every code unit as the driver gave it.
    return QString(reinterpret_cast<const QChar*>(m_names.data() + offset), length);
}

bool CIndexCatalogue::Indexes(const QString& table, CIndexInfoArray& indexes) const {
    indexes.clear();
    const auto found = m_tables.constFind(table);
    if (found == m_tables.constEnd())
        return false;
    std::unique_ptr<CIndexInfo> current;
    for (const Stretch& stretch : found.value()) {
        for (quint32 at = stretch.first; at < stretch.first + stretch.count; ++at) {
            const Row& row = m_rows[at];
            const QString name = NameAt(row.indexOffset, row.indexLength);
            if (current && current->name != name)
                indexes.push_back(std::move(current));
            if (!current)
                current = std::make_unique<CIndexInfo>(name, row.unique);
            current->AddColumn(NameAt(row.columnOffset, row.columnLength), row.ascending);
        }
    }
    if (current)
        indexes.push_back(std::move(current));
    return true;
}
