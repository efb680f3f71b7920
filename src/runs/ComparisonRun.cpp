#include "runs/ComparisonRun.h"

#include "model/ParamWord.h"
#include "odbc/OdbcConnection.h"
#include "odbc/Side.h"
#include "runs/ComparisonProgress.h"
#include "services/Language.h"

namespace {
constexpr int kFailedReadText = 1950;
constexpr int kResultFileText = 1957;
} // namespace

CComparisonRun::CComparisonRun(CResultFile::Kind kind, CSide& left, CSide& right,
                               const CParamWord& params)
    : m_left(left), m_right(right), m_params(params), m_kind(kind) {}

CComparisonRun::~CComparisonRun() = default;

void CComparisonRun::Interrupt() {
    m_left.Interrupt();
    m_right.Interrupt();
}

std::function<void()> CComparisonRun::BeginInterrupt() {
    return [left = m_left.BeginInterrupt(), right = m_right.BeginInterrupt()] {
        for (const std::function<void()>& cancel : {left, right}) {
            if (cancel)
                cancel();
        }
    };
}

std::vector<CAbandonedConnection> CComparisonRun::AbandonStuckConnections() {
    std::vector<CAbandonedConnection> abandoned;
    for (CSide* side : {&m_left, &m_right}) {
        if (std::shared_ptr<COdbcConnection> connection = side->AbandonStuckConnection())
            abandoned.push_back({side->DataSourceName(), std::move(connection)});
    }
    return abandoned;
}

CResultFile* CComparisonRun::CreateResultFile() {
    m_file = CResultFile::Create(m_kind, m_createTimeoutMs);
    return m_file.get();
}

bool CComparisonRun::FailRead(const CSide& side, const QString& object) {
    m_failure =
        LoadLocalizedString(kFailedReadText).arg(side.DisplayName(), object, side.LastDiagnostic());
    return false;
}

void CComparisonRun::FailFile() {
    m_failure = LoadLocalizedString(kResultFileText).arg(CResultFile::Folder());
}

void CComparisonRun::StartRun() {
    m_failure.clear();
    m_facts = CRunFacts();
    m_facts.startedAt = QDateTime::currentDateTime();
    m_facts.params = m_params.Value();
    m_left.ClearInterrupt();
    m_right.ClearInterrupt();
}

// A read that failed because the user cancelled is a cancel, not a failure to report. Either
// way the sides take statements again, and a run that did not succeed keeps no file.
bool CComparisonRun::EndRun(bool succeeded, bool failed, IComparisonProgress& waitDialog) {
    if (failed &&
        (m_left.IsInterrupted() || m_right.IsInterrupted() || waitDialog.QueryCancel() != 0))
        m_failure.clear();
    m_left.ClearInterrupt();
    m_right.ClearInterrupt();
    if (!succeeded)
        DiscardResultFile();
    else // the connections that the run read through
        m_facts.sides = {CRunFacts::Describe(m_left), CRunFacts::Describe(m_right)};
    return succeeded;
}
