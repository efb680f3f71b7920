// Draws the program's pictures into src/resources/images, and its desktop icon at the sizes of
// the icon theme into src/resources/icons. Build and run once after a change:
//   g++ -std=c++20 -fPIC scripts/make-images.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/mi
//   QT_QPA_PLATFORM=offscreen /tmp/mi src/resources/images src/resources/icons
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kDark(0, 64, 96);
const QColor kAccent(25, 196, 220);
const QColor kWhite(255, 255, 255);
const QColor kMask(0, 255, 0);

// A database cylinder: the mark of a data source.
void Cylinder(QPainter& p, QRectF r, const QColor& body, const QColor& line) {
    const qreal cap = r.height() * 0.22;
    QPainterPath path;
    path.moveTo(r.left(), r.top() + cap / 2);
    path.lineTo(r.left(), r.bottom() - cap / 2);
    path.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
    path.lineTo(r.right(), r.top() + cap / 2);
    path.arcTo(QRectF(r.left(), r.top(), r.width(), cap), 0, 180);
    p.setPen(QPen(line, std::max<qreal>(1.0, r.width() / 14)));
    p.setBrush(body);
    p.drawPath(path);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
    p.drawArc(QRectF(r.left(), r.top() + (r.height() - cap) / 2, r.width(), cap), 180 * 16,
              180 * 16);
}

// Two data sources side by side with a comparison mark between them.
void Mark(QPainter& p, QRectF r) {
    const qreal w = r.width() * 0.38;
    Cylinder(p, QRectF(r.left(), r.top(), w, r.height()), kDark.lighter(150), kWhite);
    Cylinder(p, QRectF(r.right() - w, r.top(), w, r.height()), kAccent, kWhite);
    p.setPen(QPen(kAccent, r.height() / 12, Qt::SolidLine, Qt::RoundCap));
    const qreal y = r.center().y();
    p.drawLine(QPointF(r.left() + w + r.width() * 0.05, y - r.height() * 0.08),
               QPointF(r.right() - w - r.width() * 0.05, y - r.height() * 0.08));
    p.drawLine(QPointF(r.left() + w + r.width() * 0.05, y + r.height() * 0.08),
               QPointF(r.right() - w - r.width() * 0.05, y + r.height() * 0.08));
}

QImage Canvas(int w, int h, const QColor& fill = Qt::transparent) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

void Save(const QImage& image, const QString& folder, const char* name) {
    image.save(folder + QLatin1Char('/') + QLatin1String(name));
}

QImage Logo() {
    QImage image = Canvas(200, 60);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Mark(p, QRectF(8, 10, 56, 40));
    QFont title(QStringLiteral("DejaVu Sans"), 17, QFont::Bold);
    p.setFont(title);
    p.setPen(kWhite);
    p.drawText(QRectF(72, 8, 126, 28), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Ostrinel"));
    QFont sub(QStringLiteral("DejaVu Sans"), 8);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    p.setFont(sub);
    p.setPen(kAccent);
    p.drawText(QRectF(73, 34, 126, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("QUORVIX"));
    return image;
}

QImage Strip() {
    QImage image = Canvas(7 * 16, 16, kMask);
    QPainter p(&image);
    const QColor ink = kDark;
    auto cell = [](int i) { return QRectF(16 * i, 0, 16, 16); };
    // 0 user data source: a cylinder and a person.
    Cylinder(p, cell(0).adjusted(1, 1, -7, -1), kAccent, ink);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QRectF(10, 3, 5, 5));
    p.drawRect(QRectF(9, 9, 7, 6));
    // 1 system data source: a cylinder and a server box.
    Cylinder(p, cell(1).adjusted(1, 1, -7, -1), kAccent, ink);
    p.setPen(QPen(ink, 1));
    p.setBrush(kWhite);
    p.drawRect(QRectF(16 + 9.5, 2.5, 5, 12));
    p.drawLine(QPointF(16 + 10.5, 5.5), QPointF(16 + 13.5, 5.5));
    p.drawLine(QPointF(16 + 10.5, 8.5), QPointF(16 + 13.5, 8.5));
    // 2 table: a grid with a header row.
    auto grid = [&](QRectF r, const QColor& header) {
        p.setPen(QPen(ink, 1));
        p.setBrush(kWhite);
        p.drawRect(r);
        p.fillRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 0.5, 3), header);
        for (qreal y = r.top() + 6.5; y < r.bottom(); y += 3)
            p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        p.drawLine(QPointF(r.center().x(), r.top() + 3.5), QPointF(r.center().x(), r.bottom()));
    };
    grid(QRectF(32 + 1.5, 2.5, 13, 11), kAccent);
    // 3 view: a grid in the dark colour with a lens.
    grid(QRectF(48 + 1.5, 2.5, 13, 11), ink);
    p.setPen(QPen(kAccent, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(48 + 7.5, 7.5, 6, 6));
    // 4 find: a magnifier.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 2));
    p.setBrush(kWhite);
    p.drawEllipse(QRectF(64 + 2, 2, 8, 8));
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(64 + 9.5, 9.5), QPointF(64 + 14, 14));
    p.setRenderHint(QPainter::Antialiasing, false);
    // 5 fields: a list of lines with bullets.
    for (int i = 0; i < 3; ++i) {
        p.fillRect(QRectF(80 + 2, 3 + 4 * i, 3, 3), kAccent);
        p.fillRect(QRectF(80 + 6, 4 + 4 * i, 8, 1.5), ink);
    }
    // 6 indexes: a key.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 2));
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(96 + 1.5, 4.5, 6, 6));
    p.drawLine(QPointF(96 + 7.5, 7.5), QPointF(96 + 14.5, 7.5));
    p.drawLine(QPointF(96 + 12.5, 7.5), QPointF(96 + 12.5, 11));
    p.drawLine(QPointF(96 + 14.5, 7.5), QPointF(96 + 14.5, 10));
    return image;
}

QImage RoundButton() {
    QImage image = Canvas(54, 54);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(20, 18), 40);
    glow.setColorAt(0, kAccent.lighter(130));
    glow.setColorAt(1, kAccent.darker(140));
    p.setPen(QPen(kWhite, 2));
    p.setBrush(glow);
    p.drawEllipse(QRectF(2, 2, 50, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawEllipse(QRectF(24, 13, 6, 6));
    p.drawRoundedRect(QRectF(24, 22, 6, 19), 2, 2);
    return image;
}

QImage AboutBackground() {
    QImage image = Canvas(384, 218);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 384, 218);
    back.setColorAt(0, kDark.lighter(125));
    back.setColorAt(1, kDark.darker(140));
    p.fillRect(image.rect(), back);
    p.setPen(QPen(kAccent, 2));
    p.drawLine(24, 130, 360, 130);
    QColor faint = kAccent;
    faint.setAlpha(40);
    p.setPen(QPen(faint, 1));
    for (int i = 0; i < 8; ++i)
        p.drawEllipse(QPointF(330, 40), 20.0 + 14 * i, 20.0 + 14 * i);
    Mark(p, QRectF(24, 20, 84, 60));
    return image;
}

QImage Icon(int size) {
    QImage image = Canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kDark);
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
    Mark(p, QRectF(size * 0.1, size * 0.2, size * 0.8, size * 0.6));
    return image;
}

QImage Hand() {
    QImage image = Canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.moveTo(9, 2); // tip of the pointing finger, the hot spot is near (10, 1)
    hand.cubicTo(9, 0.5, 12, 0.5, 12, 2);
    hand.lineTo(12, 12);
    hand.lineTo(14, 11.5);
    hand.cubicTo(15, 11, 16.5, 11.5, 16.5, 12.5);
    hand.lineTo(18.5, 12);
    hand.cubicTo(19.5, 11.8, 21, 12.3, 21, 13.5);
    hand.lineTo(23, 13.3);
    hand.cubicTo(24.5, 13.3, 25.5, 14, 25.5, 15.5);
    hand.lineTo(25.5, 22);
    hand.cubicTo(25.5, 26, 23, 29.5, 19, 29.5);
    hand.lineTo(14, 29.5);
    hand.cubicTo(11, 29.5, 9.5, 27, 8, 25);
    hand.lineTo(3.5, 18.5);
    hand.cubicTo(2.5, 17, 3.5, 15.2, 5.2, 15.8);
    hand.lineTo(9, 18);
    hand.closeSubpath();
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(kWhite);
    p.drawPath(hand);
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    Save(Logo(), folder, "bitmap132.png");
    Save(Strip(), folder, "bitmap134.png");
    Save(RoundButton(), folder, "bitmap136.png");
    Save(AboutBackground(), folder, "bitmap137.png");
    Save(Icon(64), folder, "icon128.png");
    Save(Hand(), folder, "cursor200.png");
    if (argc > 2) {
        const QString icons = QString::fromLocal8Bit(argv[2]);
        for (const int size : {16, 24, 32, 48, 64, 128, 256})
            Icon(size).save(icons + QStringLiteral("/quorvix-%1.png").arg(size));
    }
    return 0;
}
