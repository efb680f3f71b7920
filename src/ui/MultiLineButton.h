#pragma once

#include <QPushButton>

// A push button whose text wraps at blanks onto as many lines as its width needs, so that a long
// text shows whole on a button that keeps its size.
class CMultiLineButton : public QPushButton {
    Q_OBJECT

public:
    static constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

    explicit CMultiLineButton(const QString& text, QWidget* parent = nullptr);

    // Where the text is drawn: the button's contents area as the style gives it.
    QRect TextRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
