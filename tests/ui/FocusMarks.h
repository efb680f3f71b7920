#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// How many pixels the focus changed by at least a third of the lightness range between two
// pictures of a control: a mark that can be seen, not a tint.
inline int PixelsMarkedByFocus(const QImage& without, const QImage& with) {
    int marked = 0;
    for (int y = 0; y < std::min(without.height(), with.height()); ++y) {
        for (int x = 0; x < std::min(without.width(), with.width()); ++x) {
            if (std::abs(QColor(without.pixel(x, y)).lightness() -
                         QColor(with.pixel(x, y)).lightness()) >= 85)
                ++marked;
        }
    }
    return marked;
}

// The control pictured while another control of its window has the focus, then with the focus
// itself, given for the same reason. Its window must be the active one.
inline std::pair<QImage, QImage> FocusPictures(QWidget& control, QWidget& other,
                                               Qt::FocusReason reason) {
    other.setFocus(reason);
    const QImage without = control.grab().toImage();
    control.setFocus(reason);
    return {without, control.grab().toImage()};
}
