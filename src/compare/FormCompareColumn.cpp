#include "compare/FormCompareColumn.h"

#include "compare/CompareListCtrl.h"
#include "dialogs/DlgParams.h"
#include "export/ColumnExport.h"
#include "export/ColumnReport.h"
#include "model/ColumnCompareInfo.h"
#include "model/ExportFilter.h"
#include "model/ParamWord.h"
#include "services/Language.h"

#include <QCheckBox>

namespace {

constexpr int kFirstHeaderText = 1800;
// Column widths share the list by these weights; the name column is held within its limits.
constexpr int kWeights[CFormCompareColumn::kColumnCount] = {22, 26, 12, 20, 20};
constexpr int kOtherWeights = 26 + 12 + 20 + 20;

} // namespace

CFormCompareColumn::CFormCompareColumn(CComparisonContext context, int tableIndex, QWidget* parent)
    : CFormCompare(std::move(context), parent),
      m_typeDetails(Context().params && Context().params->TestBit(ParamBit::CompareSqlTypes)),
      m_tableIndex(tableIndex) {}

QString CFormCompareColumn::TableName() const {
    return Context().results ? Context().results->TableNames().value(m_tableIndex) : QString();
}

void CFormCompareColumn::OnInitialUpdate() {
    // The rows' place in the result file is known before the list is first filled.
    if (!IsInitialised() && Context().results)
        Context().results->OpenTableRows(m_tableIndex, m_rows);
    CFormCompare::OnInitialUpdate();
}

bool CFormCompareColumn::IsFilterShown(int status) const {
    // Without the type comparison no column can be different.
    return status == CompareStatus::Different ? m_typeDetails : CompareStatus::IsValid(status);
}

std::unique_ptr<CColumnCompareInfo> CFormCompareColumn::ReadRow(int row) const {
    if (!Context().results || row < 0 || row >= m_rows.rowCount)
        return nullptr;
    return Context().results->ReadColumnRow(row, m_rows.firstRow, m_rows.nameWidth,
                                            m_rows.typeNameWidth);
}

bool CFormCompareColumn::MatchesSearch(int itemData, const QString& text) {
    const auto row = ReadRow(itemData);
    return row && row->Contains(text, m_typeDetails);
}

std::vector<CFormCompare::BandHeader> CFormCompareColumn::HeaderTexts() const {
    std::vector<BandHeader> headers;
    for (int column = 0; column < kColumnCount; ++column)
        headers.push_back({LoadLocalizedString(kFirstHeaderText + column), QString()});
    // The drivers' type names each carry their side's display name on a second line.
    headers[3].second = Context().SideName(0);
    headers[4].second = Context().SideName(1);
    headers[3].secondIsSideName = headers[4].secondIsSideName = true;
    return headers;
}

void CFormCompareColumn::InsertColumns() {
    CFormCompare::InsertColumns();
    if (!m_typeDetails)
        return;
    for (int column = 1; column < kColumnCount; ++column)
        List()->InsertColumn(column, QString(), Qt::AlignLeft, 50);
}

void CFormCompareColumn::SizeColumns() {
    if (!m_typeDetails || List()->GetColumnCount() < kColumnCount) {
        CFormCompare::SizeColumns();
        return;
    }
    const int width = List()->viewport()->width();
    int widths[kColumnCount];
    widths[0] = NameColumnWidth(width, kWeights[0], kWeights[0] + kOtherWeights);
    int used = widths[0];
    for (int column = 1; column < kColumnCount - 1; ++column) {
        widths[column] = std::max((width - widths[0]) * kWeights[column] / kOtherWeights, 0);
        used += widths[column];
    }
    widths[kColumnCount - 1] = std::max(width - used, 0);
    SetColumnWidths({std::begin(widths), std::end(widths)});
}

void CFormCompareColumn::FillList(bool count) {
    const CComparisonResults* results = Context().results;
    List()->SetRedraw(false);
    List()->DeleteAllItems();
    if (count)
        m_counts.fill(0);
    for (int row = 0; results && row < m_rows.rowCount; ++row) {
        const qint32 status = results->GetColumnRowStatus(row, m_rows.firstRow, m_rows.nameWidth,
                                                          m_rows.typeNameWidth);
        if (count) {
            if (CompareStatus::IsValid(status))
                ++m_counts[status];
            List()->AppendItem(row);
        } else if (IsFilterChecked(status)) {
            List()->AppendItem(row);
        }
    }
    List()->SetRedraw(true);
    if (!count)
        SizeColumns();
}

int CFormCompareColumn::GetStatusCount(int status) const {
    return CompareStatus::IsValid(status) ? m_counts[status] : 0;
}

QString CFormCompareColumn::GetItemText(int itemData, int column) const {
    if (column < 0 || column >= kColumnCount)
        return {};
    const auto row = ReadRow(itemData);
    return row ? row->GetText(column) : QString();
}

int CFormCompareColumn::GetItemImage(int itemData) const {
    const auto row = ReadRow(itemData);
    return row ? row->status : -1;
}

bool CFormCompareColumn::PrepareExport() {
    if (!Context().params)
        return false;
    CParamWord& params = *Context().params;
    // Without type details the view has no different columns to offer.
    const std::vector<int> bits =
        PresetExportBits(params, ParamBit::ExportColumnStatus0, StatusFilters());
    return CDlgParams::AskExportOptions(params, bits, ParamBit::ExportColumnStatus0,
                                        Context().leftName, Context().rightName, this);
}

QString CFormCompareColumn::GetExportFileName() const {
    return Context().PairName() + QStringLiteral(" - ") + TableName();
}

bool CFormCompareColumn::WriteExport(CExportFile& file) {
    if (!Context().results || !Context().params)
        return false;
    WriteColumnExport(file, *Context().results, m_tableIndex, *Context().params, m_typeDetails,
                      Context().leftName, Context().rightName);
    return true;
}

bool CFormCompareColumn::WriteReport(CHtmlStream& out) {
    if (!Context().results || !Context().params)
        return false;
    WriteColumnReport(out, *Context().results, m_tableIndex, *Context().params, m_typeDetails,
                      Context().leftName, Context().rightName);
    return true;
}
