#include "compare/FormCompareIndex.h"

#include "compare/CompareListCtrl.h"
#include "compare/FormCompareColumn.h"
#include "model/IndexCompareInfo.h"
#include "services/Language.h"

namespace {

constexpr int kFirstHeaderText = 1860;
constexpr int kColumnCount = 3;
// The name, the uniqueness and the columns share the list by these weights.
constexpr int kWeights[kColumnCount] = {30, 18, 52};

} // namespace

CFormCompareIndex::CFormCompareIndex(CComparisonContext context, int tableIndex,
                                     CFormCompareColumn& columns, QWidget* parent)
    : CFormCompare(std::move(context), parent), m_tableIndex(tableIndex), m_columns(columns) {}

void CFormCompareIndex::OnInitialUpdate() {
    if (!IsInitialised() && Context().results)
        Context().results->OpenTableRows(m_tableIndex, m_rows);
    CFormCompare::OnInitialUpdate();
}

std::unique_ptr<CIndexCompareInfo> CFormCompareIndex::ReadRow(int row) const {
    if (!Context().results || row < 0 || row >= m_rows.indexCount)
        return nullptr;
    return Context().results->ReadIndexRow(m_rows, row);
}

std::vector<CFormCompare::BandHeader> CFormCompareIndex::ColumnHeaders() const {
    std::vector<BandHeader> headers;
    for (int column = 0; column < kColumnCount; ++column)
        headers.push_back({LoadLocalizedString(kFirstHeaderText + column), QString()});
    return headers;
}

bool CFormCompareIndex::MatchesSearch(int itemData, const QString& text) {
    const auto row = ReadRow(itemData);
    return row && row->Contains(text);
}

void CFormCompareIndex::InsertColumns() {
    CFormCompare::InsertColumns();
    for (int column = 1; column < kColumnCount; ++column)
        List()->InsertColumn(column, QString(), Qt::AlignLeft, 50);
}

void CFormCompareIndex::SizeColumns() {
    SizeColumnsByWeights({std::begin(kWeights), std::end(kWeights)});
}

void CFormCompareIndex::FillList(bool count) {
    const CComparisonResults* results = Context().results;
    FillStatusRows(
        results ? m_rows.indexCount : 0,
        [this, results](int row) { return results->GetIndexRowStatus(m_rows, row); }, count);
}

QString CFormCompareIndex::GetCellText(int itemData, int column) const {
    if (column < 0 || column >= kColumnCount)
        return {};
    const auto row = ReadRow(itemData);
    return row ? row->GetText(column) : QString();
}

int CFormCompareIndex::GetItemImage(int itemData) const {
    const auto row = ReadRow(itemData);
    return row ? row->status : -1;
}

void CFormCompareIndex::OnExportToFile() {
    m_columns.OnExportToFile();
}

void CFormCompareIndex::OnExportToHtml() {
    m_columns.OnExportToHtml();
}
