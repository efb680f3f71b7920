// A whole session against schemas whose names hold ";", quotes, dots, "\" and mixed case sends
// nothing but catalogue queries and SELECTs (and the driver's own SET/SHOW at connection): the
// server logs every statement of the audited user, and the test reads that log.
#include "odbc/OdbcTestEnvironment.h"
#include "runs/ComparisonTestBase.h"

#include <QFile>
#include <QRegularExpression>

namespace {

const QString kAudit = QStringLiteral("QuorvixPostgresAudit");

// The statements that the audited user sent, from the server's log ("user:<name>:" prefix).
QStringList AuditedStatements() {
    QFile log(qEnvironmentVariable("QUORVIX_POSTGRES_LOG"));
    if (!log.open(QIODevice::ReadOnly))
        return {QStringLiteral("<no server log>")};
    const QRegularExpression statement(
        QStringLiteral("^user:quorvix_audit:.*LOG:  (?:statement|execute [^:]*): (.*)$"));
    QStringList statements;
    while (!log.atEnd()) {
        const QRegularExpressionMatch match =
            statement.match(QString::fromUtf8(log.readLine()).trimmed());
        if (match.hasMatch())
            statements.append(match.captured(1));
    }
    return statements;
}

// The statements of an SQL text: split at every ";" that is outside quotes.
QStringList StatementsOf(const QString& sql) {
    QStringList parts{QString()};
    QChar quote;
    for (const QChar unit : sql) {
        if (!quote.isNull()) {
            if (unit == quote)
                quote = QChar();
        } else if (unit == QLatin1Char('\'') || unit == QLatin1Char('"')) {
            quote = unit;
        } else if (unit == QLatin1Char(';')) {
            parts.append(QString());
            continue;
        }
        parts.last() += unit;
    }
    QStringList statements;
    for (const QString& part : parts) {
        if (!part.trimmed().isEmpty())
            statements.append(part.trimmed());
    }
    return statements;
}

} // namespace

class ReadOnlySession : public ComparisonTestBase {};

TEST_F(ReadOnlySession, NothingButCatalogueQueriesAndSelectsReachTheServer) {
    QUORVIX_REQUIRE_DATA_SOURCE(kAudit);
    const qsizetype before = AuditedStatements().size();

    // Owners, then every table's columns and indexes under every owner.
    m_left.SetDataSource(kAudit, CDataSourceSide::SystemDataSource);
    ASSERT_TRUE(m_left.Connect());
    COwnerList owners;
    m_left.ListQualifiers(owners, nullptr);
    ASSERT_FALSE(owners.empty());
    for (const COwnerName& owner : owners) {
        m_left.SetOwner(owner);
        ASSERT_TRUE(m_left.ListTables(nullptr)) << owner.Qualifier().toStdString();
        for (const QString& table : m_left.TableNames()) {
            CColumnInfoArray columns;
            CIndexInfoArray indexes;
            EXPECT_TRUE(m_left.ReadColumns(table, columns)) << table.toStdString();
            EXPECT_TRUE(m_left.ReadIndexes(table, indexes)) << table.toStdString();
        }
    }

    // Both runs between hostile owners.
    m_right.SetDataSource(kAudit, CDataSourceSide::SystemDataSource);
    ASSERT_TRUE(m_right.Connect());
    m_left.SetOwner(
        {QStringLiteral("quorvix"), QStringLiteral("q\";DELETE FROM public.victim;--")});
    m_right.SetOwner({QStringLiteral("quorvix"), QStringLiteral("Sales")});
    ASSERT_TRUE(m_left.ListTables(nullptr));
    ASSERT_TRUE(m_right.ListTables(nullptr));
    ASSERT_TRUE(m_results.RunTableComparison(m_progress)) << m_results.LastFailure().toStdString();
    ASSERT_TRUE(m_results.RunDictionaryComparison(m_progress))
        << m_results.LastFailure().toStdString();

    // A name pasted into SQL would show as a second statement after a ";" outside quotes.
    const QStringList statements = AuditedStatements().mid(before);
    ASSERT_FALSE(statements.isEmpty());
    const QRegularExpression allowed(QStringLiteral("^(SELECT|SET|SHOW)\\b"),
                                     QRegularExpression::CaseInsensitiveOption);
    for (const QString& sql : statements) {
        for (const QString& part : StatementsOf(sql))
            EXPECT_TRUE(allowed.match(part).hasMatch()) << sql.toStdString();
    }
    EXPECT_EQ(
        COdbcTestEnvironment::QueryNumber(QStringLiteral("QuorvixPostgres"),
                                          QStringLiteral("SELECT COUNT(*) FROM public.victim")),
        3);
}
