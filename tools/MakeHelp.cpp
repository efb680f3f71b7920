// Renders a help document written in Markdown into a PDF with Qt's own text document and PDF
// writer, the pictures it names taken from a folder.
//   quorvix_make_help SOURCE.md IMAGE_FOLDER OUTPUT.pdf TITLE
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s SOURCE.md IMAGE_FOLDER OUTPUT.pdf TITLE\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
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
        const QImage image(QString::fromLocal8Bit(argv[2]) + QLatin1Char('/') + name);
        if (image.isNull()) {
            std::fprintf(stderr, "cannot read the picture %s\n", qPrintable(name));
            return 1;
        }
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
    document.setMetaInformation(QTextDocument::DocumentTitle, QString::fromUtf8(argv[4]));

    QPdfWriter writer(QString::fromLocal8Bit(argv[3]));
    writer.setTitle(QString::fromUtf8(argv[4]));
    writer.setCreator(QStringLiteral("Quorvix"));
    writer.setResolution(150);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter));
    document.print(&writer);
    if (!QFile::exists(QString::fromLocal8Bit(argv[3])) ||
        QFile(QString::fromLocal8Bit(argv[3])).size() == 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
