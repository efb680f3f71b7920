#include "ui/ImageList.h"

#include <QBitmap>
#include <QImage>

bool CImageList::Load(const QString& stripPath, int size, QRgb maskColor) {
    m_images.clear();
    m_size = size;
    const QImage strip(stripPath);
    if (strip.isNull() || size <= 0)
        return false;
    for (int left = 0; left + size <= strip.width(); left += size) {
        QPixmap image = QPixmap::fromImage(strip.copy(left, 0, size, size));
        image.setMask(image.createMaskFromColor(QColor::fromRgb(maskColor), Qt::MaskInColor));
        m_images.push_back(image);
    }
    return true;
}

CImageList CImageList::Shared() {
    CImageList list;
    list.Load(QStringLiteral(":/quorvix/images/bitmap134.png"), 16);
    return list;
}

QPixmap CImageList::Image(int index) const {
    return index >= 0 && index < Count() ? m_images[index] : QPixmap();
}
