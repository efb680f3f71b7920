#include "dialogs/DlgParams.h"
#include "model/ParamWord.h"
#include "ui/FocusMarks.h"
#include "ui/TemplateBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

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
