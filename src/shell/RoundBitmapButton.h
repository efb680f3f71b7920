#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A circular picture button: only the circle inscribed in its square takes presses. With the
// focus it shows the focus mark inside its circle.
class CRoundBitmapButton : public QAbstractButton {
public:
    explicit CRoundBitmapButton(QWidget* parent = nullptr);

    // Another picture than the About button's, drawn at the button's top-left corner.
    void SetPicture(const QPixmap& picture);

    // Makes the button the square of its smaller side, keeping its top-left corner, and limits
    // it to the inscribed circle.
    void PreSubclassWindow();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    QPixmap m_picture;
};
