#include "ui/QuorvixStyle.h"
#include "dialogs/DlgParams.h"
#include "model/ParamWord.h"
#include "ui/FocusMarks.h"
#include "ui/QuorvixLook.h"
#include "ui/TemplateBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommonStyle>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QStyleOption>

#include <gtest/gtest.h>

// On the dark options dialog the focused check box and button are marked in their text colour,
// whether the focus came by a key or by the mouse.
TEST(QuorvixStyle, FocusIsMarkedOnTheDarkDialogsCheckBoxesAndButtons) {
    CParamWord params;
    CDlgParams dialog(params, {2, 3}, QStringLiteral("L"), QStringLiteral("R"), nullptr);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QPushButton* cancel = CTemplateBuilder::Find<QPushButton>(dialog, 2);
    for (const Qt::FocusReason reason : {Qt::TabFocusReason, Qt::MouseFocusReason}) {
        const auto [box, boxFocused] = FocusPictures(*dialog.CheckBox(2), *cancel, reason);
        EXPECT_GE(PixelsMarkedByFocus(box, boxFocused), 20) << reason;
        const auto [button, buttonFocused] = FocusPictures(*cancel, *dialog.CheckBox(3), reason);
        EXPECT_GE(PixelsMarkedByFocus(button, buttonFocused), 20) << reason;
    }
}

namespace {

// The desktop's style as the program's style hands it the drawings: it notes the palette of each.
class CPaletteNotingStyle : public QCommonStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        Note(*option);
        QCommonStyle::drawPrimitive(element, option, painter, widget);
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        Note(*option);
        QCommonStyle::drawControl(element, option, painter, widget);
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        Note(*option);
        QCommonStyle::drawComplexControl(control, option, painter, widget);
    }

    mutable QSet<qint64> keys;
    mutable QSet<int> groups;

private:
    void Note(const QStyleOption& option) const {
        keys.insert(option.palette.cacheKey());
        groups.insert(option.palette.currentColorGroup());
    }
};

// The palettes a window's push button and scroll bar are drawn with, the window made anew.
QSet<qint64> DrawnPalettes(CQuorvixStyle& style, CPaletteNotingStyle& noted, bool enabled,
                           bool dark) {
    noted.keys.clear();
    noted.groups.clear();
    QWidget window;
    if (dark)
        CQuorvixLook::UseDarkBackground(window);
    QPushButton button(QStringLiteral("OK"), &window);
    QScrollBar bar(Qt::Vertical, &window);
    for (QWidget* control : std::initializer_list<QWidget*>{&button, &bar}) {
        control->setStyle(&style);
        control->setEnabled(enabled);
        control->resize(90, 60);
        QImage picture(control->size(), QImage::Format_ARGB32_Premultiplied);
        control->render(&picture);
    }
    return noted.keys;
}

} // namespace

// The desktop's style keeps the pictures of buttons, frames and scroll bars under the palette's
// identity, and every widget of a window with colours of its own (the dark windows and dialogs)
// has a palette of its own: the windows of one look must hand it one palette, or each window
// opened adds pictures that are never found again.
TEST(QuorvixStyle, WindowsOfOneLookAreDrawnWithOnePalette) {
    CQuorvixStyle style;
    auto* noted = new CPaletteNotingStyle;
    style.setBaseStyle(noted); // the proxy owns its base
    const QSet<qint64> dark = DrawnPalettes(style, *noted, true, true);
    EXPECT_EQ(dark.size(), 1);
    EXPECT_EQ(DrawnPalettes(style, *noted, true, true), dark);
    EXPECT_FALSE(noted->groups.contains(QPalette::Disabled));

    // Other colours, other pictures; a disabled control is still drawn in the disabled colours.
    EXPECT_NE(DrawnPalettes(style, *noted, true, false), dark);
    DrawnPalettes(style, *noted, false, true);
    EXPECT_EQ(noted->groups, QSet<int>{QPalette::Disabled});
}
