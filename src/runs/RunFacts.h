#pragma once

#include <QDateTime>
#include <QString>

#include <array>

class CSide;

// What a report tells of a run besides its rows: when it started, the parameter word it judged
// under and each side as it was then. Taken from the run, never at writing time, so that every
// report of one run says the same.
struct CRunFacts {
    struct Side {
        QString dataSource;
        QString owner;
        // The driver's SQL_DBMS_NAME and SQL_DBMS_VER; empty when it tells none.
        QString dbmsName;
        QString dbmsVersion;

        // The name and the version together, as a report shows them.
        QString Dbms() const;
    };

    QDateTime startedAt;
    quint32 params = 0;
    std::array<Side, 2> sides;

    static Side Describe(const CSide& side);
    // One side read now, as a table structure is: the moment and that side's facts.
    static CRunFacts ReadNow(const CSide& side, int sideIndex);
    // The moment to the second in the local time with its offset from UTC, and as the
    // machine-readable form that a report's time element carries.
    QString Moment() const;
    QString MachineMoment() const;
};
