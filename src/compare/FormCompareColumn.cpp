#include "compare/FormCompareColumn.h"

#include "compare/CompareListCtrl.h"
#include "export/ColumnExportSource.h"
#include "model/ColumnCompareInfo.h"
#include "model/ParamWord.h"
#include "services/Language.h"

#include <QCheckBox>

namespace {

constexpr int kFirstHeaderText = 1800;
constexpr int kFirstAttributeHeaderText = 1922;
// Column widths share the list by these weights, one per row text; the name column is held
// within its limits. The type details alone keep the split the window was first drawn to; the
// attribute columns, when shown, take their share from it.
constexpr int kTypeWeights[CColumnCompareInfo::NullableText] = {22, 26, 12, 20, 20};
constexpr int kAttributeWeights[CColumnCompareInfo::TextCount] = {22, 20, 9, 17, 17, 13, 15, 26};

std::vector<int> ShownTexts(bool typeDetails, bool attributes) {
    std::vector<int> texts{CColumnCompareInfo::NameText};
    for (int text = CColumnCompareInfo::SqlTypeText; text < CColumnCompareInfo::TextCount; ++text) {
        if (text < CColumnCompareInfo::NullableText ? typeDetails : attributes)
            texts.push_back(text);
    }
    return texts;
}

} // namespace

CFormCompareColumn::CFormCompareColumn(CComparisonContext context, int tableIndex, QWidget* parent)
    : CFormCompare(std::move(context), parent),
      m_typeDetails(Context().params && Context().params->TestBit(ParamBit::CompareSqlTypes)),
      m_attributes(Context().results && Context().results->ComparedAttributes()),
      m_texts(ShownTexts(m_typeDetails, m_attributes)), m_tableIndex(tableIndex) {}

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
    // Without the type or the attribute comparison no column can be different.
    return status == CompareStatus::Different ? m_typeDetails || m_attributes
                                              : CompareStatus::IsValid(status);
}

std::unique_ptr<CColumnCompareInfo> CFormCompareColumn::ReadRow(int row) const {
    if (!Context().results || row < 0 || row >= m_rows.rowCount)
        return nullptr;
    return Context().results->ReadColumnRow(m_rows, row);
}

bool CFormCompareColumn::MatchesSearch(int itemData, const QString& text) {
    const auto row = ReadRow(itemData);
    return row && row->Contains(text, m_typeDetails, m_attributes);
}

std::vector<CFormCompare::BandHeader> CFormCompareColumn::ColumnHeaders() const {
    std::vector<BandHeader> headers;
    for (const int text : m_texts) {
        BandHeader header;
        header.first = LoadLocalizedString(text < CColumnCompareInfo::NullableText
                                               ? kFirstHeaderText + text
                                               : kFirstAttributeHeaderText + text -
                                                     CColumnCompareInfo::NullableText);
        // The drivers' type names each carry their side's display name on a second line.
        if (text == CColumnCompareInfo::LeftTypeNameText ||
            text == CColumnCompareInfo::RightTypeNameText) {
            header.second =
                Context().SideName(text == CColumnCompareInfo::LeftTypeNameText ? 0 : 1);
            header.secondIsSideName = true;
        }
        headers.push_back(header);
    }
    return headers;
}

void CFormCompareColumn::InsertColumns() {
    CFormCompare::InsertColumns();
    for (int column = 1; column < int(m_texts.size()); ++column)
        List()->InsertColumn(column, QString(), Qt::AlignLeft, 50);
}

void CFormCompareColumn::SizeColumns() {
    std::vector<int> weights;
    for (const int text : m_texts)
        weights.push_back(m_attributes ? kAttributeWeights[text] : kTypeWeights[text]);
    SizeColumnsByWeights(weights);
}

void CFormCompareColumn::FillList(bool count) {
    const CComparisonResults* results = Context().results;
    FillStatusRows(
        results ? m_rows.rowCount : 0,
        [this, results](int row) { return results->GetColumnRowStatus(m_rows, row); }, count);
}

QString CFormCompareColumn::GetCellText(int itemData, int column) const {
    if (column < 0 || column >= int(m_texts.size()))
        return {};
    const auto row = ReadRow(itemData);
    return row ? row->GetText(m_texts[size_t(column)]) : QString();
}

int CFormCompareColumn::GetItemImage(int itemData) const {
    const auto row = ReadRow(itemData);
    return row ? row->status : -1;
}

std::unique_ptr<CExportSource> CFormCompareColumn::MakeExportSource() const {
    if (!Context().results || !Context().params)
        return nullptr;
    return std::make_unique<CColumnExportSource>(*Context().results, m_tableIndex, m_typeDetails,
                                                 *Context().params, Context().leftName,
                                                 Context().rightName);
}
