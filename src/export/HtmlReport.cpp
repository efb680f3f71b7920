#include "export/HtmlReport.h"

#include "export/HtmlStream.h"
#include "model/ColumnCompareInfo.h"
#include "model/IndexCompareInfo.h"
#include "model/ParamWord.h"
#include "services/DialogTemplate.h"
#include "services/Language.h"
#include "services/Utilities.h"

#include <QFile>

namespace {

constexpr int kStatusTexts = 1500;
constexpr int kNameText = 1183;
constexpr int kLeftText = 1810;
constexpr int kDataSourceText = 1812;
constexpr int kOwnerText = 1813;
constexpr int kDbmsText = 1814;
constexpr int kComparedOnText = 1815;
constexpr int kReadOnText = 1816;
constexpr int kRunParametersText = 1817;
constexpr int kReportParametersText = 1818;
constexpr int kYesText = 1819;
constexpr int kNoText = 1820;
constexpr int kStatusHeading = 1821;
constexpr int kSearchText = 1822;
constexpr int kUnfoldText = 1823;
constexpr int kFoldText = 1824;
constexpr int kWrittenByText = 1827;
constexpr int kShowText = 1828;
constexpr int kNotInReportText = 1830;
constexpr int kFieldsText = 1170;
constexpr int kFirstColumnTextHeading = 1800;
constexpr int kFirstAttributeHeading = 1922;
constexpr int kUniqueHeading = 1870;
constexpr int kIndexCountText = 1871;
// The parameters dialog, whose check box 5016 + bit names each bit of the word.
constexpr int kParametersTemplate = 1005;
constexpr int kFirstParameterBox = 5016;
// Rows of one block, laid out together when it comes into view.
constexpr int kBlockRows = 250;
// The status column of a detail table, in percent of its width.
constexpr int kDetailStatusWidth = 20;

// The window's look: its dark blue and accent, its status colours, bold for every status but
// "same". Filtering toggles one class per status on the list, so that hiding rows never walks
// them; a block out of view is skipped by layout until it comes near.
const char* const kStyle = R"css(
:root{color-scheme:light}
body{margin:0;font:14px/1.4 "DejaVu Sans",Verdana,Arial,sans-serif;color:#000;background:#fff}
header{display:flex;align-items:center;gap:12px;padding:10px 16px;background:#004060;color:#fff;border-bottom:3px solid #19c4dc}
header h1{font-size:20px;margin:0;min-width:0;overflow-wrap:anywhere}
main{padding:4px 16px 12px}
h2{font-size:16px;margin:14px 0 4px;color:#004060}
.intro{display:flex;flex-wrap:wrap;align-items:flex-start;gap:0 40px;margin-top:8px}
.intro>*{min-width:0;max-width:100%}
.sides{border-collapse:collapse;margin:0 0 4px}
.sides th,.sides td{border:1px solid #c8d2da;padding:3px 8px;text-align:left;vertical-align:top;overflow-wrap:anywhere;min-width:6em}
.sides thead th{background:#e4eef3}
.sides tbody th{background:#f3f6f8;font-weight:normal;white-space:nowrap}
.when{margin:6px 0}
.params{flex:1 1 360px;font-size:13px}
.params h3{font-size:13px;margin:0 0 2px}
.params div+div h3{margin-top:6px}
.params ul{margin:0;padding-left:18px}
.params li{overflow-wrap:anywhere}
.params b{display:inline-block;min-width:2.6em}
.filters{border:2px solid #19c4dc;margin:10px 0;padding:4px 12px 6px}
.filters legend{padding:0 4px}
.filters label{display:block;padding:1px 0;overflow-wrap:anywhere}
.filters .off{opacity:.6}
.tools{display:flex;flex-wrap:wrap;gap:8px;margin:8px 0}
.tools input{flex:1;min-width:12em;padding:4px 6px;font:inherit}
.tools button{font:inherit;padding:3px 10px}
.rows table{width:100%;table-layout:fixed;border-collapse:collapse}
.rows .hd{position:sticky;top:0;z-index:1;background:#e4eef3}
.rows th{text-align:left;vertical-align:bottom;padding:3px 6px;border-bottom:1px solid #8a9aa6;overflow-wrap:break-word;hyphens:auto}
.rows td{padding:1px 6px;vertical-align:top;overflow-wrap:anywhere}
.rows .g>tbody{border-top:1px solid #dde4e9}
.c{content-visibility:auto;contain-intrinsic-size:auto 375em}
.s0{color:#000;font-weight:normal}
.s1{color:#000080;font-weight:bold}
.s2{color:#008000;font-weight:bold}
.s3{color:#f00;font-weight:bold}
.h0 .m>tbody>tr:not([class^=s]),.h1 .m>tbody>.s1,.h2 .m>tbody>.s2,.h3 .m>tbody>.s3,.x{display:none}
summary{cursor:pointer}
.sub{margin:2px 0 6px}
.sub caption{text-align:left;font-weight:bold;color:#004060;padding:2px 0}
.sub th{background:#f3f6f8;color:#000;font-weight:normal}
.nojs .filters input,.nojs .tools{display:none}
footer{padding:6px 16px 12px;color:#567;font-size:12px}
@media print{.c{content-visibility:visible}.tools,.filters input{display:none}.rows .hd{position:static}}
)css";

// Filters, search and folding. The rows a search walks, and each one's text, are gathered once;
// after a change each block is told how tall its shown rows are, so that the blocks out of view
// keep the page's length true.
const char* const kScript = R"js(
(function(){
var d=document,list=d.getElementById('rows'),q=d.getElementById('q');
d.documentElement.classList.remove('nojs');
if(!list)return;
var hidden=[false,false,false,false],units=null,keys=null,status,block,blocks,found=[],rowHeight=0;
function gather(){
units=[];status=[];block=[];
blocks=Array.prototype.slice.call(list.querySelectorAll('.c'));
for(var b=0;b<blocks.length;b++){
var part=blocks[b].querySelectorAll('.m>tbody>tr,.g>tbody');
for(var i=0;i<part.length;i++){var m=/s(\d)/.exec(part[i].className);units.push(part[i]);status.push(m?+m[1]:0);block.push(b);found.push(true);}}
var first=blocks.length?blocks[0]:null;
if(first&&first.offsetHeight)rowHeight=first.offsetHeight/Math.max(1,first.querySelectorAll('.m>tbody>tr,.g>tbody>tr').length);}
function key(u){
var cells=u.tagName=='TR'?u.cells:[u],start=u.closest('table').classList.contains('n')?0:1,text='';
for(var j=start;j<cells.length;j++){var s=cells[j].querySelector('summary');text+=(s||cells[j]).textContent+'\n';}
return text.toLowerCase();}
function resize(){
if(!rowHeight)return;
var shown=blocks.map(function(){return 0;});
for(var i=0;i<units.length;i++)if(found[i]&&!(status[i]>=0&&hidden[status[i]]))shown[block[i]]++;
for(var b=0;b<blocks.length;b++)blocks[b].style.containIntrinsicSize=Math.ceil(shown[b]*rowHeight)+'px';}
var boxes=d.querySelectorAll('.filters input');
for(var i=0;i<boxes.length;i++)boxes[i].addEventListener('change',function(e){
var s=+e.target.getAttribute('data-s');hidden[s]=!e.target.checked;
if(!units)gather();list.classList.toggle('h'+s,hidden[s]);resize();});
var timer=0;
function search(){
if(!units)gather();
if(!keys)keys=units.map(key);
var t=q.value.toLowerCase();
for(var i=0;i<units.length;i++){found[i]=t===''||keys[i].indexOf(t)>=0;units[i].classList.toggle('x',!found[i]);}
resize();}
if(q)q.addEventListener('input',function(){clearTimeout(timer);timer=setTimeout(search,120);});
function fold(open){var all=list.querySelectorAll('details');for(var i=0;i<all.length;i++)all[i].open=open;}
var f=d.getElementById('fold'),u=d.getElementById('unfold');
if(f)f.addEventListener('click',function(){fold(false);});
if(u)u.addEventListener('click',function(){fold(true);});
})();
)js";

QByteArray PictureUri(const QString& resource) {
    QFile picture(resource);
    if (!picture.open(QIODevice::ReadOnly))
        return {};
    return "data:image/png;base64," + picture.readAll().toBase64();
}

} // namespace

CHtmlReport::CHtmlReport(CHtmlStream& out, QString leftName, QString rightName)
    : m_out(out), m_leftName(std::move(leftName)), m_rightName(std::move(rightName)) {
    for (int status = 0; status < CompareStatus::Count; ++status) {
        // One pass each: a side's name is never searched for the other's placeholder.
        QString text = LoadLocalizedString(kStatusTexts + status);
        if (status == CompareStatus::OnlyLeft)
            text.replace(QStringLiteral("%LDB%"), m_leftName);
        else if (status == CompareStatus::OnlyRight)
            text.replace(QStringLiteral("%RDB%"), m_rightName);
        m_statusTexts[size_t(status)] = text;
    }
}

QString CHtmlReport::StatusText(qint32 status) const {
    return CompareStatus::IsValid(status) ? m_statusTexts[size_t(status)] : QString();
}

void CHtmlReport::Begin(const QString& title, const char* kind) {
    const QByteArray picture = PictureUri(QStringLiteral(":/quorvix/icons/quorvix-32.png"));
    m_out << "<!DOCTYPE html>\n<html lang=\"" << (IsFrenchChosen() ? "fr" : "en")
          << "\" class=\"nojs\">\n<head>\n<meta charset=\"utf-8\">\n"
          << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
          << "<meta name=\"generator\" content=\"Quorvix " << GetProductVersion() << "\">\n"
          << "<title>" << title << "</title>\n";
    if (!picture.isEmpty())
        m_out << "<link rel=\"icon\" href=\"" << picture.constData() << "\">\n";
    m_out << "<style>" << kStyle << "</style>\n</head>\n<body class=\"" << kind << "\">\n<header>";
    if (!picture.isEmpty())
        m_out << "<img src=\"" << picture.constData() << "\" alt=\"\" width=\"32\" height=\"32\">";
    m_out << "<h1>" << title << "</h1></header>\n<main>\n";
}

void CHtmlReport::WriteSides(const CRunFacts& facts, const std::vector<int>& sides,
                             bool structureRead) {
    m_out << "<div class=\"intro\"><div>\n<table class=\"sides\">\n<thead><tr><td></td>";
    for (const int side : sides)
        m_out << "<th scope=\"col\">" << LoadLocalizedString(kLeftText + side) << "</th>";
    m_out << "</tr></thead>\n<tbody>\n";
    const auto line = [&](int heading, const auto& text) {
        m_out << "<tr><th scope=\"row\">" << LoadLocalizedString(heading) << "</th>";
        for (const int side : sides)
            m_out << "<td>" << text(side) << "</td>";
        m_out << "</tr>\n";
    };
    line(kNameText, [&](int side) { return side == 0 ? m_leftName : m_rightName; });
    line(kDataSourceText, [&](int side) { return facts.sides[size_t(side)].dataSource; });
    line(kOwnerText, [&](int side) { return facts.sides[size_t(side)].owner; });
    line(kDbmsText, [&](int side) { return facts.sides[size_t(side)].Dbms(); });
    m_out << "</tbody>\n</table>\n";

    const QString moment = LoadLocalizedString(structureRead ? kReadOnText : kComparedOnText);
    const qsizetype place = moment.indexOf(QStringLiteral("%1"));
    m_out << "<p class=\"when\">" << moment.left(place) << "<time datetime=\""
          << facts.MachineMoment() << "\">" << facts.Moment() << "</time>" << moment.mid(place + 2)
          << "</p>\n";
}

void CHtmlReport::WriteParameterList(const QString& caption, const std::vector<int>& bits,
                                     quint32 word) {
    if (bits.empty())
        return;
    const CDialogTemplate dialog = CDialogTemplate::Load(MapResourceId(kParametersTemplate));
    const CParamWord params(word);
    m_out << "<div><h3>" << caption << "</h3><ul>\n";
    for (const int bit : bits) {
        const bool on = params.TestBit(bit);
        const CControlTemplate* box = dialog.Control(kFirstParameterBox + bit);
        m_out << "<li><b>" << LoadLocalizedString(on ? kYesText : kNoText) << "</b> "
              << FillParameterText(box ? box->text : QString(), bit, m_leftName, m_rightName)
              << "</li>\n";
    }
    m_out << "</ul></div>\n";
}

void CHtmlReport::WriteParameters(const Parameters& parameters) {
    m_out << "</div>\n<div class=\"params\">\n";
    WriteParameterList(LoadLocalizedString(kRunParametersText), parameters.runBits,
                       parameters.runWord);
    WriteParameterList(LoadLocalizedString(kReportParametersText), parameters.reportBits,
                       parameters.reportWord);
    m_out << "</div></div>\n";
}

std::vector<int> CHtmlReport::TableRunBits(quint32 runWord) {
    std::vector<int> bits{ParamBit::CaseSensitive, ParamBit::CompareSqlTypes,
                          ParamBit::StringsAlike};
    const CParamWord params(runWord);
    if (params.TestBit(ParamBit::CompareIndexes) || params.TestBit(ParamBit::CompareAttributes))
        bits.insert(bits.end(), {ParamBit::CompareIndexes, ParamBit::CompareAttributes});
    return bits;
}

void CHtmlReport::WriteFilters(int firstCountText, const Counts& counts,
                               const std::array<bool, 4>& shown, const std::array<bool, 4>& kept,
                               const Counts* indexCounts) {
    m_out << "<fieldset class=\"filters\"><legend>" << LoadLocalizedString(kShowText)
          << "</legend>\n";
    for (int status = 0; status < CompareStatus::Count; ++status) {
        if (!shown[size_t(status)])
            continue;
        // As the window labels its filter: the count first, then the side's name.
        QString text = LoadLocalizedString(firstCountText + status);
        text.replace(QStringLiteral("%d"), QString::number(counts[size_t(status)]));
        if (status == CompareStatus::OnlyLeft || status == CompareStatus::OnlyRight)
            text.replace(QStringLiteral("%s"),
                         status == CompareStatus::OnlyLeft ? m_leftName : m_rightName);
        if (indexCounts)
            text += QLatin1Char(' ') +
                    LoadLocalizedString(kIndexCountText).arg((*indexCounts)[size_t(status)]);
        const bool inReport = kept[size_t(status)];
        m_out << "<label class=\"s" << QByteArray::number(status).constData()
              << (inReport ? "" : " off") << "\"><input type=\"checkbox\" data-s=\""
              << QByteArray::number(status).constData() << "\""
              << (inReport ? " checked" : " disabled") << "> " << text;
        if (!inReport)
            m_out << " &#8212; " << LoadLocalizedString(kNotInReportText);
        m_out << "</label>\n";
    }
    m_out << "</fieldset>\n";
}

void CHtmlReport::WriteCounts(const QString& text) {
    m_out << "<p class=\"counts\">" << text << "</p>\n";
}

void CHtmlReport::WriteTools(bool folding) {
    const QString search = LoadLocalizedString(kSearchText);
    m_out << "<div class=\"tools\"><input type=\"search\" id=\"q\" placeholder=\"" << search
          << "\" aria-label=\"" << search << "\">";
    if (folding)
        m_out << "<button type=\"button\" id=\"unfold\">" << LoadLocalizedString(kUnfoldText)
              << "</button><button type=\"button\" id=\"fold\">" << LoadLocalizedString(kFoldText)
              << "</button>";
    m_out << "</div>\n<div id=\"rows\" class=\"rows\">\n";
}

void CHtmlReport::WriteSection(const QString& heading) {
    m_out << "<h2>" << heading << "</h2>\n";
}

CHtmlReport::Column CHtmlReport::ColumnTextColumn(int text, int width) const {
    Column column;
    column.heading =
        LoadLocalizedString(text < CColumnCompareInfo::NullableText
                                ? kFirstColumnTextHeading + text
                                : kFirstAttributeHeading + text - CColumnCompareInfo::NullableText);
    if (text == CColumnCompareInfo::LeftTypeNameText)
        column.secondLine = m_leftName;
    else if (text == CColumnCompareInfo::RightTypeNameText)
        column.secondLine = m_rightName;
    column.width = width;
    return column;
}

CHtmlReport::Column CHtmlReport::IndexTextColumn(int text, int width) {
    static constexpr int kHeadings[CIndexCompareInfo::TextCount] = {kNameText, kUniqueHeading,
                                                                    kFieldsText};
    const bool known = text >= 0 && text < CIndexCompareInfo::TextCount;
    return {known ? LoadLocalizedString(kHeadings[text]) : QString(), {}, width};
}

void CHtmlReport::BeginRows(const std::vector<Column>& columns, bool withStatus, bool grouped) {
    m_columns.clear();
    if (withStatus)
        m_columns.push_back({LoadLocalizedString(kStatusHeading), {}, kStatusWidth});
    m_columns.insert(m_columns.end(), columns.begin(), columns.end());
    // "m": rows that filters and search hide one by one; "g": groups of rows hidden together;
    // "n": no status column.
    m_tableClass = grouped ? "g n" : withStatus ? "m" : "m n";
    m_grouped = grouped;
    m_out << "<table class=\"hd\">";
    WriteColumnWidths(m_columns);
    m_out << "\n<thead><tr>";
    WriteHeadings(m_columns);
    m_out << "</tr></thead></table>\n";
    OpenBlock();
}

void CHtmlReport::WriteColumnWidths(const std::vector<Column>& columns) {
    for (const Column& column : columns) {
        if (column.width > 0)
            m_out << "<col style=\"width:" << QByteArray::number(column.width).constData()
                  << "%\">";
        else
            m_out << "<col>";
    }
}

void CHtmlReport::WriteHeadings(const std::vector<Column>& columns) {
    for (const Column& column : columns) {
        m_out << "<th scope=\"col\">" << column.heading;
        if (!column.secondLine.isEmpty())
            m_out << "<br>" << column.secondLine;
        m_out << "</th>";
    }
}

void CHtmlReport::OpenBlock() {
    m_out << "<div class=\"c\"><table class=\"" << m_tableClass << "\">";
    WriteColumnWidths(m_columns);
    m_out << (m_grouped ? "\n" : "\n<tbody>\n");
    m_rowsInBlock = 0;
}

void CHtmlReport::CloseBlock() {
    // A group's body ends with its table.
    m_out << (m_grouped ? "</table></div>\n" : "</tbody></table></div>\n");
}

void CHtmlReport::NextRowInBlock() {
    if (m_rowsInBlock >= kBlockRows) {
        CloseBlock();
        OpenBlock();
    }
    ++m_rowsInBlock;
}

void CHtmlReport::BeginRow(qint32 status) {
    if (!m_grouped)
        NextRowInBlock();
    // A row without class is "same", the most frequent status by far.
    static const char* const kRowStarts[] = {"<tr><td>", "<tr class=s1><td>", "<tr class=s2><td>",
                                             "<tr class=s3><td>"};
    m_out << (CompareStatus::IsValid(status) ? kRowStarts[status] : "<tr><td>")
          << StatusText(status);
}

void CHtmlReport::BeginRow() {
    if (!m_grouped)
        NextRowInBlock();
    m_out << "<tr>";
}

void CHtmlReport::Cell(const QString& text) {
    m_out << "<td>" << text;
}

void CHtmlReport::EndRow() {
    // Nothing: the next row ends it. Every byte of a row counts in a report of hundreds of
    // thousands, and a line's end there would become part of the last cell's text.
}

void CHtmlReport::BeginGroup() {
    // A group stays in one block, whatever its length.
    NextRowInBlock();
    m_out << "<tbody>\n";
}

void CHtmlReport::EndRows() {
    CloseBlock();
}

void CHtmlReport::BeginDetails(const QString& name) {
    m_out << "<td><details><summary>" << name << "</summary>";
}

void CHtmlReport::BeginDetailTable(const QString& caption, const std::vector<Column>& columns) {
    std::vector<Column> withStatus{{LoadLocalizedString(kStatusHeading), {}, kDetailStatusWidth}};
    withStatus.insert(withStatus.end(), columns.begin(), columns.end());
    m_out << "<table class=\"sub\"><caption>" << caption << "</caption>";
    WriteColumnWidths(withStatus);
    m_out << "\n<thead><tr>";
    WriteHeadings(withStatus);
    m_out << "</tr></thead>\n<tbody>\n";
}

void CHtmlReport::DetailRow(qint32 status, const QStringList& texts) {
    m_out << "<tr class=\"s" << QByteArray::number(status).constData() << "\"><td>"
          << StatusText(status);
    for (const QString& text : texts)
        m_out << "<td>" << text;
    m_out << "</tr>\n";
}

void CHtmlReport::EndDetailTable() {
    m_out << "</tbody></table>";
}

void CHtmlReport::EndDetails() {
    m_out << "</details>";
}

void CHtmlReport::End() {
    m_out << "</div>\n</main>\n<footer>"
          << LoadLocalizedString(kWrittenByText).arg(GetProductVersion()) << "</footer>\n<script>"
          << kScript << "</script>\n</body>\n</html>\n";
}
