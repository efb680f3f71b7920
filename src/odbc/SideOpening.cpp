#include "odbc/SideOpening.h"

CSideOpening::CSideOpening(const QString& dataSource, CDataSourceSide::SourceKind kind,
                           const QString& owner)
    : m_askedOwner(owner) {
    m_side.SetDataSource(dataSource, kind);
}

void CSideOpening::Run() {
    const Outcome outcome = ReadOwnersAndTables();
    m_diagnostic = m_side.LastDiagnostic();
    m_outcome.store(outcome);
}

CSideOpening::Outcome CSideOpening::ReadOwnersAndTables() {
    if (!m_side.Connect())
        return Outcome::NotConnected;
    m_side.ListQualifiers(m_owners, nullptr);
    if (!m_side.LastDiagnostic().isEmpty())
        return Outcome::OwnersFailed;
    if (m_owners.size() > 1) {
        // The owner is found by the text the owner combo shows, as it was stored.
        for (size_t index = 0; index < m_owners.size() && !m_askedOwner.isEmpty(); ++index) {
            if (m_owners[index].DisplayText() == m_askedOwner) {
                m_chosenOwner = int(index);
                break;
            }
        }
        if (m_chosenOwner < 0)
            return Outcome::OwnerToChoose;
        m_side.SetOwner(m_owners[size_t(m_chosenOwner)]);
    } else {
        m_side.SetOwnerQualifier(QString());
    }
    return m_side.ReadTableListing(m_listing) ? Outcome::Listed : Outcome::TablesFailed;
}
