// Renders a help document written in Markdown into a PDF with Qt's own text document and PDF
// writer, the pictures it names taken from a folder. The document is laid out on the pages
// here, before printing, so that pictures fit the text column, commands wrap, and no heading
// or table row is cut from what follows it; --check fails when any of that cannot be kept, or
// when the text that pdftotext reads from the PDF lacks any heading, paragraph, list item, table
// cell or command example of the source.
//   quorvix_make_help [--check] SOURCE.md IMAGE_FOLDER OUTPUT.pdf TITLE
#include "HelpText.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kMarginMm = 18;
constexpr double kMmPerInch = 25.4;
// Qt lays a document out at the screen's 96 dots per inch and scales it to the printer.
constexpr double kLayoutDpi = 96;
constexpr int kLayoutPasses = 40;
constexpr double kFixedSteps = 64;

struct Faults {
    int widePictures = 0;
    int headingsAtFoot = 0;
    int splitRows = 0;
    int blocksNotLaidOut = 0;
    QStringList where; // the headings left at a page's foot
    int Total() const { return widePictures + headingsAtFoot + splitRows + blocksNotLaidOut; }
};

// Lays the whole document out again. Qt lays a long document out a part at a time, the rest
// left to its event loop, and a format changed meanwhile can end that for good: the blocks
// after it keep no lines, are measured at nothing and never printed. Setting the page size
// starts the layout from the top, and asking the size finishes it.
void LayOutWhole(QTextDocument& document) {
    document.setPageSize(document.pageSize());
    document.documentLayout()->documentSize();
}

// Blocks with text that the layout gave no line: what would be missing from the print.
int BlocksNotLaidOut(const QTextDocument& document) {
    int missing = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.length() > 1 && block.layout()->lineCount() == 0)
            ++missing;
    }
    return missing;
}

// Every picture no wider than the text column, its proportions kept.
void FitPictures(QTextDocument& document, double textWidth) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            if (!piece.isValid() || !piece.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = piece.charFormat().toImageFormat();
            const QImage image =
                document.resource(QTextDocument::ImageResource, QUrl(format.name()))
                    .value<QImage>();
            if (image.isNull())
                continue;
            const double width = std::min<double>(image.width(), textWidth);
            format.setWidth(width);
            format.setHeight(image.height() * width / image.width());
            QTextCursor cursor(&document);
            cursor.setPosition(piece.position());
            cursor.setPosition(piece.position() + piece.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

// Command examples wrap at the column's edge instead of running off the page.
void WrapCode(QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (!format.nonBreakableLines())
            continue;
        format.setNonBreakableLines(false);
        QTextCursor(block).setBlockFormat(format);
    }
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(option);
}

int PageOf(double y, double pageHeight) {
    return int(std::floor(y / pageHeight));
}

// A heading whose next block starts on a later page goes to that page; a table with a row cut
// across pages starts on a page of its own. Returns what still stands after the last pass.
Faults KeepTogether(QTextDocument& document, double pageHeight) {
    Faults faults;
    for (int pass = 0; pass < kLayoutPasses; ++pass) {
        LayOutWhole(document);
        faults = Faults();
        QAbstractTextDocumentLayout* layout = document.documentLayout();
        bool moved = false;
        for (QTextBlock block = document.begin(); block.isValid() && !moved; block = block.next()) {
            if (block.blockFormat().headingLevel() == 0 || !block.next().isValid())
                continue;
            const QRectF heading = layout->blockBoundingRect(block);
            // What follows may open a table, whose blocks are placed within its frame.
            QTextTable* table = QTextCursor(block.next()).currentTable();
            const double nextTop = table ? layout->frameBoundingRect(table).top()
                                         : layout->blockBoundingRect(block.next()).top();
            const QTextLine firstLine = block.next().layout()->lineAt(0);
            const double nextLineBottom =
                nextTop + (firstLine.isValid() ? firstLine.rect().bottom()
                                               : layout->blockBoundingRect(block.next()).height());
            if (PageOf(heading.top(), pageHeight) == PageOf(nextLineBottom, pageHeight))
                continue;
            ++faults.headingsAtFoot;
            QTextBlockFormat format = block.blockFormat();
            if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) {
                if (pass == kLayoutPasses - 1 || !moved)
                    faults.where.append(block.text());
                continue;
            }
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(format);
            moved = true;
        }
        for (QTextFrame* frame : document.rootFrame()->childFrames()) {
            auto* table = qobject_cast<QTextTable*>(frame);
            if (!table || moved)
                continue;
            for (int row = 0; row < table->rows(); ++row) {
                double top = 1e30;
                double bottom = -1;
                for (int column = 0; column < table->columns(); ++column) {
                    const QTextTableCell cell = table->cellAt(row, column);
                    for (QTextBlock block = cell.firstCursorPosition().block();
                         block.isValid() && block.position() <= cell.lastPosition();
                         block = block.next()) {
                        const QRectF rect = layout->blockBoundingRect(block);
                        top = std::min(top, rect.top());
                        bottom = std::max(bottom, rect.bottom());
                    }
                }
                if (bottom < 0 || PageOf(top, pageHeight) == PageOf(bottom, pageHeight))
                    continue;
                ++faults.splitRows;
                // The table's heading goes with it to the next page.
                const QTextBlock before = document.findBlock(table->firstPosition() - 1);
                if (before.isValid() && before.blockFormat().headingLevel() > 0) {
                    QTextBlockFormat format = before.blockFormat();
                    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                        continue;
                    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                    QTextCursor(before).setBlockFormat(format);
                } else {
                    QTextTableFormat format = table->format();
                    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                        continue;
                    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                    table->setFormat(format);
                }
                moved = true;
                break;
            }
        }
        if (!moved)
            break;
    }
    LayOutWhole(document);
    return faults;
}

int WidePictures(const QTextDocument& document, double textWidth) {
    int wide = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            // A picture without a width set is drawn at its own.
            const QTextImageFormat image = format.toImageFormat();
            const double width =
                image.width() > 0
                    ? image.width()
                    : document.resource(QTextDocument::ImageResource, QUrl(image.name()))
                          .value<QImage>()
                          .width();
            if (width > textWidth + 0.5)
                ++wide;
        }
    }
    return wide;
}

// Prints the pages as laid out, as QTextDocument::print does, but draws on a page only what
// starts above its foot: Qt also draws there a line or picture that opens the next page, which
// the clip hides but for a hairline (a picture's top edge) and pdftotext reads all the same.
void Print(QTextDocument& document, QPdfWriter& writer) {
    QPainter painter(&writer);
    const QSizeF page = document.pageSize();
    painter.scale(writer.width() / page.width(), writer.height() / page.height());
    for (int index = 0; index < document.pageCount(); ++index) {
        if (index > 0)
            writer.newPage();
        const QRectF view(0, index * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view.adjusted(0, 0, 0, -1 / kFixedSteps);
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
}

// The text of the PDF that a reader sees, as pdftotext reads it in the order it is drawn (so
// that a table's cells come row by row), or a null string when it cannot be read.
QString PrintedText(const QString& pdf) {
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"),
                 {QStringLiteral("-raw"), QStringLiteral("-bbox"), QStringLiteral("-enc"),
                  QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!reader.waitForFinished(60000) || reader.exitStatus() != QProcess::NormalExit ||
        reader.exitCode() != 0)
        return QString();
    constexpr double kPointsPerInch = 72;
    return CHelpText::VisibleText(QString::fromUtf8(reader.readAllStandardOutput()),
                                  kMarginMm / kMmPerInch * kPointsPerInch);
}

// Every word of the source is in the PDF, in order; prints the figures and what is missing.
bool TextIsWhole(const QString& markdown, const QString& pdf) {
    const QString printed = PrintedText(pdf);
    if (printed.isNull()) {
        std::fprintf(stderr, "cannot read the text of %s with pdftotext\n", qPrintable(pdf));
        return false;
    }
    const CHelpText::Comparison text = CHelpText(markdown).Compare(printed);
    std::printf("text_words_expected: %d\ntext_words_found: %d\ntext_elements_expected: "
                "%d\ntext_elements_missing: %d\n",
                text.wordsExpected, text.wordsFound, text.elementsExpected,
                int(text.missing.size()));
    for (const QString& missing : text.missing)
        std::printf("missing: %s\n", qPrintable(missing));
    return text.missing.isEmpty();
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments.append(QString::fromLocal8Bit(argv[index]));
    const bool check = arguments.removeAll(QStringLiteral("--check")) > 0;
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: %s [--check] SOURCE.md IMAGE_FOLDER OUTPUT.pdf TITLE\n",
                     argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QFile source(arguments[0]);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(arguments[0]));
        return 1;
    }
    const QString markdown = QString::fromUtf8(source.readAll());
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    document.setMarkdown(markdown); // first: it clears the document's resources
    // Every picture the text names is loaded from the image folder; a missing one is an error,
    // not a help without its pictures.
    const QRegularExpression picture(QStringLiteral("!\\[[^\\]]*\\]\\(([^)]+)\\)"));
    for (auto match = picture.globalMatch(markdown); match.hasNext();) {
        const QString name = match.next().captured(1);
        const QImage image(arguments[1] + QLatin1Char('/') + name);
        if (image.isNull()) {
            std::fprintf(stderr, "cannot read the picture %s\n", qPrintable(name));
            return 1;
        }
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
    document.setMetaInformation(QTextDocument::DocumentTitle, arguments[3]);

    // The page as the PDF has it, in the layout's units: the document is printed as laid out.
    const QPageLayout pageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                 QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                 QPageLayout::Millimeter);
    // In whole steps of the layout's fixed point (1/64 of a unit), which Qt rounds the page height
    // to: the pages measured here are then the pages it breaks, however many there are.
    const QSizeF exact =
        pageLayout.paintRect(QPageLayout::Millimeter).size() / kMmPerInch * kLayoutDpi;
    const QSizeF page(std::floor(exact.width() * kFixedSteps) / kFixedSteps,
                      std::floor(exact.height() * kFixedSteps) / kFixedSteps);
    document.setDocumentMargin(0);
    document.setPageSize(page);
    FitPictures(document, page.width());
    WrapCode(document);
    Faults faults = KeepTogether(document, page.height());
    faults.widePictures = WidePictures(document, page.width());
    faults.blocksNotLaidOut = BlocksNotLaidOut(document);
    if (check) {
        std::printf("pages: %d\nwide_pictures: %d\nheadings_at_page_foot: %d\nsplit_table_rows: "
                    "%d\nblocks_not_laid_out: %d\n",
                    document.pageCount(), faults.widePictures, faults.headingsAtFoot,
                    faults.splitRows, faults.blocksNotLaidOut);
        for (const QString& heading : std::as_const(faults.where))
            std::printf("at a page's foot: %s\n", qPrintable(heading));
    }

    QPdfWriter writer(arguments[2]);
    writer.setTitle(arguments[3]);
    writer.setCreator(QStringLiteral("Quorvix"));
    writer.setResolution(150);
    writer.setPageLayout(pageLayout);
    Print(document, writer);
    if (!QFile::exists(arguments[2]) || QFile(arguments[2]).size() == 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[2]));
        return 1;
    }
    if (!check)
        return 0;
    const bool whole = TextIsWhole(markdown, arguments[2]);
    return faults.Total() > 0 || !whole ? 1 : 0;
}
