#include "compare/FormCompareColumn.h"

#include "compare/CompareListCtrl.h"
#include "dialogs/DlgParams.h"
#include "export/ColumnExport.h"
#include "model/ColumnCompareInfo.h"
#include "model/ParamWord.h"
#include "services/Language.h"
#include "ui/DrawingUtilities.h"

#include <QCheckBox>
#include <QPainter>

namespace {

constexpr int kFirstHeaderText = 1800;
// Column widths share the list by these weights; the name column is held within its limits.
constexpr int kWeights[CFormCompareColumn::kColumnCount] = {22, 26, 12, 20, 20};
constexpr int kOtherWeights = 26 + 12 + 20 + 20;
constexpr int kNameMinimum = 60;
constexpr int kNameMaximum = 200;
constexpr int kTextInset = 4;

// value * numerator / denominator, rounded to the nearest integer.
int MulDiv(int value, int numerator, int denominator) {
    const qint64 product = qint64(value) * numerator;
    return int((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

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

void CFormCompareColumn::PlaceList(int cx, int cy, const QRect& searchEdit) {
    CFormCompare::PlaceList(cx, cy, searchEdit);
    // The header band takes the top of the list's place.
    QRect place = List()->geometry();
    place.setTop(place.top() + kBandHeight);
    List()->setGeometry(place);
}

QRect CFormCompareColumn::HeaderBand() const {
    if (!m_typeDetails)
        return {};
    const QRect list = List()->geometry();
    return QRect(list.left(), list.top() - kBandHeight, list.width(), kBandHeight);
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
    widths[0] = std::clamp(MulDiv(width, kWeights[0], kWeights[0] + kOtherWeights), kNameMinimum,
                           kNameMaximum);
    int used = widths[0];
    for (int column = 1; column < kColumnCount - 1; ++column) {
        widths[column] = std::max((width - widths[0]) * kWeights[column] / kOtherWeights, 0);
        used += widths[column];
    }
    widths[kColumnCount - 1] = std::max(width - used, 0);
    List()->setUpdatesEnabled(false);
    for (int column = 0; column < kColumnCount; ++column)
        List()->SetColumnWidth(column, widths[column]);
    List()->setUpdatesEnabled(true);
    update(HeaderBand());
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
    for (int status = CompareStatus::Same; status <= CompareStatus::OnlyRight; ++status)
        params.SetBit(ParamBit::ExportColumnStatus0 + status, IsFilterChecked(status));
    params.SetBit(ParamBit::ExportColumnStatus0 + int(CompareStatus::Different),
                  m_typeDetails && IsFilterChecked(CompareStatus::Different));
    std::vector<int> bits = CDlgParams::StatusOptions(ParamBit::ExportColumnStatus0);
    // Without type details the view has no different columns to offer.
    if (!m_typeDetails)
        bits.pop_back();
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

void CFormCompareColumn::paintEvent(QPaintEvent* event) {
    CFormCompare::paintEvent(event);
    if (!m_typeDetails)
        return;
    QPainter painter(this);
    PaintHeaderBand(painter);
}

void CFormCompareColumn::PaintHeaderBand(QPainter& painter) const {
    const QRect band = HeaderBand();
    painter.fillRect(band, palette().color(QPalette::Button));
    painter.setFont(List()->font());
    const QFontMetrics metrics(List()->font());
    const int lineHeight = metrics.lineSpacing();
    // The columns start where the list's rows do, inside its frame.
    int left = band.left() + List()->viewport()->geometry().left();
    for (int column = 0; column < kColumnCount; ++column) {
        const int width = List()->GetColumnWidth(column);
        if (width <= 0)
            continue;
        if (column > 0) {
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(left, band.top(), left, band.bottom());
        }
        painter.setPen(palette().color(QPalette::ButtonText));
        const QString header = LoadLocalizedString(kFirstHeaderText + column);
        if (column < 3) {
            const QRect area(left + kTextInset, band.top(), width - kTextInset, band.height());
            painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                             FitTextToWidth(metrics, header, area.width(), 0));
        } else {
            // The header over the side's display name, each on its own line.
            const QRect first(left + kTextInset, band.top() + 15 - lineHeight,
                              width - 2 * kTextInset, 2 * lineHeight - 15);
            const QString side = Context().SideName(column == 3 ? 0 : 1);
            painter.drawText(first, Qt::AlignLeft | Qt::AlignBottom,
                             FitTextToWidth(metrics, header, first.width(), 0));
            painter.drawText(first.translated(0, lineHeight), Qt::AlignLeft | Qt::AlignBottom,
                             FitTextToWidth(metrics, side, first.width(), 0));
        }
        left += width;
    }
}
