#include "export/ExportSource.h"

#include "export/Export.h"
#include "export/ExportFile.h"
#include "export/ExportTarget.h"
#include "export/HtmlStream.h"
#include "export/SideFiles.h"
#include "model/ParamWord.h"

CExportSource::CExportSource(CParamWord& params, QString leftName, QString rightName,
                             std::vector<const CSide*> sides)
    : m_params(params), m_leftName(std::move(leftName)), m_rightName(std::move(rightName)),
      m_sides(std::move(sides)) {}

CExportSource::~CExportSource() = default;

CExportOptions CExportSource::PresetOptions(const std::vector<CExportFilter>& viewFilters) const {
    CExportOptions options;
    const int first = FirstOptionBit();
    for (int index = 0; index < OptionCount(); ++index) {
        const bool offered = OffersOption(index);
        const bool shown = index < int(viewFilters.size()) && viewFilters[size_t(index)].offered;
        m_params.SetBit(first + index, offered && (!shown || viewFilters[size_t(index)].checked));
        if (offered)
            options.bits.push_back(first + index);
    }
    options.nestedFirstBit = NestedFirstBit();
    // The column options under each table: all of them, whatever the view's filters show.
    if (options.nestedFirstBit >= 0) {
        for (int status = 0; status < CompareStatus::Count; ++status)
            m_params.SetBit(options.nestedFirstBit + status, true);
    }
    options.firstRequiredBit = first;
    options.requiredCount = OptionCount();
    return options;
}

bool CExportSource::KeepOfferedOptions() const {
    bool any = false;
    for (int index = 0; index < OptionCount(); ++index) {
        const int bit = FirstOptionBit() + index;
        if (!OffersOption(index))
            m_params.SetBit(bit, false);
        any = any || m_params.TestBit(bit);
    }
    return any;
}

bool CExportSource::KeepsDifferences() const {
    const Counters counts = RowCounts();
    for (int status = CompareStatus::OnlyLeft; status < CompareStatus::Count; ++status) {
        if (counts[size_t(status)] > 0 && IsStatusKept(m_params, FirstOptionBit(), status))
            return true;
    }
    return false;
}

QString CExportSource::RefusedTarget(const QString& path) const {
    return RefuseSideFile(path, m_sides);
}

QString CExportSource::WriteTo(CExportTarget& target, ExportFormat format,
                               const std::function<bool()>& stillWanted, bool& dropped) const {
    if (format == ExportFormat::Html) {
        return WriteReportTo(
            target,
            [&](CHtmlStream& out) {
                WriteHtml(out);
                return !stillWanted || stillWanted();
            },
            dropped);
    }
    return WriteExportTo(
        target, m_params.Encoding(),
        [&](CExportFile& file) {
            WriteCsv(file);
            return !stillWanted || stillWanted();
        },
        dropped);
}
