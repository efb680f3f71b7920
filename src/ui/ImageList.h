#pragma once

#include <QPixmap>
#include <QString>

#include <vector>

// Small images cut from one strip picture, the mask colour made transparent. The shared list
// holds: 0 user data source, 1 system data source, 2 table, 3 view, 4 find, 5 fields, 6 indexes.
class CImageList {
public:
    enum SharedImage {
        UserDataSource = 0,
        SystemDataSource,
        Table,
        View,
        Find,
        Fields,
        Indexes,
    };
    static constexpr QRgb kMaskColor = 0xFF00FF00;

    CImageList() = default;
    // Cuts the strip into images of size x size pixels; false when the picture cannot be read.
    bool Load(const QString& stripPath, int size, QRgb maskColor = kMaskColor);
    static CImageList Shared();

    int Count() const { return int(m_images.size()); }
    int ImageSize() const { return m_size; }
    QPixmap Image(int index) const;

private:
    std::vector<QPixmap> m_images;
    int m_size = 16;
};
