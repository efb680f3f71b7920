#include "runs/RunFacts.h"

#include "odbc/Side.h"

QString CRunFacts::Side::Dbms() const {
    if (dbmsVersion.isEmpty())
        return dbmsName;
    return dbmsName.isEmpty() ? dbmsVersion : dbmsName + QLatin1Char(' ') + dbmsVersion;
}

CRunFacts::Side CRunFacts::Describe(const CSide& side) {
    Side facts;
    facts.dataSource = side.DataSourceName();
    facts.owner = side.Owner().DisplayText();
    facts.dbmsName = side.DbmsName();
    facts.dbmsVersion = side.DbmsVersion();
    return facts;
}

CRunFacts CRunFacts::ReadNow(const CSide& side, int sideIndex) {
    CRunFacts facts;
    facts.startedAt = QDateTime::currentDateTime();
    facts.sides[sideIndex == 1 ? 1 : 0] = Describe(side);
    return facts;
}

QString CRunFacts::Moment() const {
    if (!startedAt.isValid())
        return {};
    const int offset = startedAt.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return startedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral(" (UTC%1%2:%3)")
               .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString CRunFacts::MachineMoment() const {
    return startedAt.isValid()
               ? startedAt.toOffsetFromUtc(startedAt.offsetFromUtc()).toString(Qt::ISODate)
               : QString();
}
