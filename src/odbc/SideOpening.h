#pragma once

#include "odbc/DataSourceSide.h"
#include "odbc/OwnerName.h"

#include <QString>

#include <atomic>

// Opening a data source away from the user-interface thread, on a side of its own so that
// nothing a window holds is touched meanwhile: it connects, reads the owners and, once the owner
// is settled (the only one offered, or the one asked for), the table listing. The window then
// takes the connection and the lists over.
class CSideOpening {
public:
    enum class Outcome {
        Running,
        NotConnected,
        OwnersFailed,
        // Several owners are offered and the one asked for is not among them (or none was).
        OwnerToChoose,
        TablesFailed,
        Listed,
    };

    CSideOpening(const QString& dataSource, CDataSourceSide::SourceKind kind, const QString& owner);

    // The work itself, on whatever thread does it.
    void Run();
    // From any thread: Running until Run has ended.
    Outcome Result() const { return m_outcome.load(); }

    // Only once Run has ended.
    CDataSourceSide& Side() { return m_side; }
    const COwnerList& Owners() const { return m_owners; }
    // The owner chosen in Owners, or -1 when the side offers one owner or none was settled.
    int ChosenOwner() const { return m_chosenOwner; }
    CTableListing& Listing() { return m_listing; }
    QString Diagnostic() const { return m_diagnostic; }
    QString AskedOwner() const { return m_askedOwner; }

private:
    Outcome ReadOwnersAndTables();

    CDataSourceSide m_side;
    QString m_askedOwner;
    COwnerList m_owners;
    int m_chosenOwner = -1;
    CTableListing m_listing;
    QString m_diagnostic;
    std::atomic<Outcome> m_outcome{Outcome::Running};
};
