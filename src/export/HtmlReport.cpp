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
// them; a block out of view is skipped by layout until it comes near. The search marks rows "x":
// hidden, or in a block marked "y" the only ones shown. An empty block ("e") is always skipped and
// takes no room.
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
.sides th,.sides td{border:1px solid #c8d2da;padding:3px 8px;text-align:left;vertical-align:top;overflow-wrap:anywhere;min-width:6em;unicode-bidi:isolate}
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
.rows td{padding:1px 6px;vertical-align:top;overflow-wrap:anywhere;unicode-bidi:isolate}
.rows .g>tbody{border-top:1px solid #dde4e9}
.c{content-visibility:auto;contain-intrinsic-size:auto 375em}
.s0{color:#000;font-weight:normal}
.s1{color:#000080;font-weight:bold}
.s2{color:#008000;font-weight:bold}
.s3{color:#f00;font-weight:bold}
.h0 .m>tbody>tr:not(.s1):not(.s2):not(.s3),.h1 .m>tbody>.s1,.h2 .m>tbody>.s2,.h3 .m>tbody>.s3,.c:not(.y) .x,.y .m>tbody>tr:not(.x),.y .g>tbody:not(.x){display:none}
.e{content-visibility:hidden;contain-intrinsic-size:0!important}
summary{cursor:pointer}
.sub{margin:2px 0 6px}
.sub caption{text-align:left;font-weight:bold;color:#004060;padding:2px 0}
.sub th{background:#f3f6f8;color:#000;font-weight:normal}
.nojs .filters input,.nojs .tools{display:none}
footer{padding:6px 16px 12px;color:#567;font-size:12px}
@media print{.c{content-visibility:visible}.e,.tools,.filters input{display:none}.rows .hd{position:static}}
)css";

// Filters, search and folding, at a cost that grows with the rows, never with the rows times the
// blocks. A change first counts, block by block, the rows it leaves shown, then writes: an empty
// block is skipped and takes no room, a block's length is told to the browser for while it is
// out of view, and the search marks whichever of a block's rows are fewer (those found or the
// others), so that clearing a search rewrites few rows. The browser lays out again, whole and
// wherever it lands, a block it laid out last, and keeps for a block out of view the length it
// had when last laid out: a block that grows, if it is near the view or was last laid out with
// fewer rows, is made anew around its table, so that only the blocks that land near the view are
// laid out. A search looks for its text in a block's whole text first, and cuts only the blocks
// that hold it into their rows' texts; the list records in data-search the search it shows.
const char* const kScript = R"js(
(function(){
var d=document,list=d.getElementById('rows'),q=d.getElementById('q');
d.documentElement.classList.remove('nojs');
if(!list)return;
var hidden=[false,false,false,false],blocks=null,byElement=new Map(),unitHeight=0,timer=0,none=new Uint8Array(0),laidRows=new Map();
list.addEventListener('contentvisibilityautostatechange',function(e){
if(e.skipped){var k=byElement.get(e.target);laidRows.set(e.target,k?k.shown:Infinity);}},true);
function gather(){
blocks=[];
var all=list.getElementsByClassName('c');
for(var b=0;b<all.length;b++){
var el=all[b],table=el.getElementsByTagName('table')[0],grouped=table.classList.contains('g');
var rows=grouped?table.tBodies:table.tBodies.length?table.tBodies[0].rows:[],units=[],status=[],counts=[0,0,0,0,0];
for(var i=0;i<rows.length;i++){var m=grouped?null:/(?:^| )s(\d)/.exec(rows[i].className),s=grouped?4:m?+m[1]:0;units.push(rows[i]);status.push(s);counts[s]++;}
blocks.push({el:el,table:table,start:table.classList.contains('n')?0:1,units:units,status:status,all:counts,counts:counts,
found:null,keys:null,text:null,marks:null,y:false,empty:false,stale:false,shown:units.length,next:0});
byElement.set(el,blocks[b]);}
if(blocks.length&&blocks[0].units.length)unitHeight=blocks[0].el.offsetHeight/blocks[0].units.length;}
function key(u,start){
var cells=u.tagName=='TR'?u.cells:[u],text='';
for(var j=start;j<cells.length;j++){var s=cells[j].querySelector('summary');text+=(s||cells[j]).textContent+'\n';}
return text.toLowerCase();}
var entities={'&amp;':'&','&lt;':'<','&gt;':'>','&nbsp;':'\u00a0'};
function keys(k){
if(k.units.length&&!k.table.classList.contains('g')&&!k.el.getElementsByTagName('details').length){
var marked=k.table.tBodies[0].innerHTML.replace(k.start?/<tr[^>]*><td>[\s\S]*?<\/td>/g:/<tr[^>]*>/g,'\u0001');
var parts=marked.replace(/<\/td>/g,'\n').replace(/<[^>]*>/g,'').replace(/&(?:amp|lt|gt|nbsp);/g,function(e){return entities[e];}).toLowerCase().split('\u0001');
if(parts.length==k.units.length+1)return parts.slice(1);}
return k.units.map(function(u){return key(u,k.start);});}
function fold(t){return t.replace(/\u03c2/g,'\u03c3');}
function find(k,t){
if(t===''){k.found=null;k.counts=k.all;return;}
if(k.text===null)k.text=fold(k.el.textContent.toLowerCase());
if(k.text.indexOf(fold(t))<0){k.found=none;k.counts=[0,0,0,0,0];return;}
if(!k.keys)k.keys=keys(k);
var found=new Uint8Array(k.units.length),counts=[0,0,0,0,0];
for(var i=0;i<found.length;i++)if(k.keys[i].indexOf(t)>=0){found[i]=1;counts[k.status[i]]++;}
k.found=found;k.counts=counts;}
function shown(k){
var n=k.counts[4];
for(var s=0;s<4;s++)if(!hidden[s])n+=k.counts[s];
return n;}
function laidOut(k,near){
var rows=laidRows.get(k.el);
if(rows!==undefined&&rows<k.next)return true;
if(k.empty)return k.stale;
var r=k.el.getBoundingClientRect();
return r.bottom>-near&&r.top<innerHeight+near;}
function renew(k){
var el=d.createElement('div');
el.className=k.el.className;el.style.cssText=k.el.style.cssText;el.appendChild(k.table);k.el.replaceWith(el);
byElement.delete(k.el);laidRows.delete(k.el);byElement.set(el,k);k.el=el;k.stale=false;}
function mark(k){
var found=k.found,units=k.units,n=units.length,y=false,i;
if(found){var c=0;for(i=0;i<n;i++)c+=found[i];y=2*c<n;}
if(y!==k.y){k.el.classList.toggle('y',y);k.y=y;}
if(!found&&!k.marks)return;
if(!k.marks)k.marks=new Uint8Array(n);
for(i=0;i<n;i++){var m=found?(y?found[i]:1-found[i]):0;if(m!==k.marks[i]){k.marks[i]=m;units[i].classList.toggle('x',m===1);}}}
function apply(write){
var grown=[],near=2*innerHeight,b,k;
for(b=0;b<blocks.length;b++){
k=blocks[b];k.next=shown(k);
if(k.next>k.shown&&laidOut(k,near))grown.push(k);
else if(k.next===0&&!k.empty)k.stale=laidOut(k,near);}
for(b=0;b<grown.length;b++)renew(grown[b]);
if(write)write();
for(b=0;b<blocks.length;b++){
k=blocks[b];
if(k.next===0){if(!k.empty)k.el.classList.add('e');k.empty=true;}
else{if(k.empty)k.el.classList.remove('e');k.empty=false;mark(k);}
if(k.next!==k.shown){k.shown=k.next;if(unitHeight)k.el.style.containIntrinsicSize=Math.ceil(k.shown*unitHeight)+'px';}}}
var boxes=d.querySelectorAll('.filters input');
for(var i=0;i<boxes.length;i++)boxes[i].addEventListener('change',function(e){
var s=+e.target.getAttribute('data-s');
if(!blocks)gather();
hidden[s]=!e.target.checked;
apply(function(){list.classList.toggle('h'+s,hidden[s]);});});
function search(){
clearTimeout(timer);
if(!blocks)gather();
var t=q.value.toLowerCase();
for(var b=0;b<blocks.length;b++)find(blocks[b],t);
apply();
list.setAttribute('data-search',q.value);}
if(q)q.addEventListener('input',function(){clearTimeout(timer);if(q.value==='')search();else timer=setTimeout(search,120);});
function unfold(open){var all=list.querySelectorAll('details');for(var i=0;i<all.length;i++)all[i].open=open;}
var f=d.getElementById('fold'),u=d.getElementById('unfold');
if(f)f.addEventListener('click',function(){unfold(false);});
if(u)u.addEventListener('click',function(){unfold(true);});
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
        const qsizetype at = status == CompareStatus::OnlyLeft || status == CompareStatus::OnlyRight
                                 ? text.indexOf(QStringLiteral("%s"))
                                 : -1;
        QString after = at < 0 ? QString() : text.mid(at + 2);
        if (indexCounts)
            after += QLatin1Char(' ') +
                     LoadLocalizedString(kIndexCountText).arg((*indexCounts)[size_t(status)]);
        const bool inReport = kept[size_t(status)];
        m_out << "<label class=\"s" << QByteArray::number(status).constData()
              << (inReport ? "" : " off") << "\"><input type=\"checkbox\" data-s=\""
              << QByteArray::number(status).constData() << "\""
              << (inReport ? " checked" : " disabled") << "> " << (at < 0 ? text : text.left(at));
        // The side's name isolated, so that a name written right to left leaves the count of
        // indexes after it in its place.
        if (at >= 0)
            m_out << "<bdi>" << (status == CompareStatus::OnlyLeft ? m_leftName : m_rightName)
                  << "</bdi>";
        m_out << after;
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
