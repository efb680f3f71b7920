#include "dialogs/DlgParams.h"

#include "model/ParamWord.h"
#include "services/Language.h"
#include "ui/TemplateBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(DlgParams, TableComparisonPromptIndentsAndEnablesStringsAlike) {
    CParamWord params; // defaults: bit 24 clear, bit 25 set
    CDlgParams dialog(params, {2, 24, -1, 25}, QStringLiteral("L"), QStringLiteral("R"), nullptr);
    dialog.show();
    int visible = 0;
    for (int bit = 0; bit <= 25; ++bit)
        visible += dialog.CheckBox(bit)->isVisible() ? 1 : 0;
    EXPECT_EQ(visible, 3);
    EXPECT_EQ(dialog.CheckBox(2)->x(), 7);
    EXPECT_EQ(dialog.CheckBox(25)->x(), 32);
    EXPECT_EQ(dialog.CheckBox(24)->y(), dialog.CheckBox(2)->geometry().bottom() + 1 + 3);
    EXPECT_FALSE(dialog.CheckBox(25)->isEnabled());
    EXPECT_TRUE(dialog.CheckBox(25)->isChecked());
    dialog.CheckBox(24)->click();
    EXPECT_TRUE(dialog.CheckBox(25)->isEnabled());
    EXPECT_GE(dialog.width(), CDlgParams::kMinimumWidth);
    EXPECT_EQ(dialog.height(), dialog.CheckBox(25)->geometry().bottom() + 1 + 3 + 50);
}

TEST(DlgParams, OkWritesEveryListedBitEvenWhenDisabled) {
    CParamWord params;
    CDlgParams dialog(params, {3, 4, 5, 6, -1, 7, -1, 8, -1, 9, -1, 10}, QStringLiteral("LEFT"),
                      QStringLiteral("RIGHT"), nullptr);
    dialog.show();
    EXPECT_TRUE(dialog.CheckBox(7)->isEnabled());
    dialog.CheckBox(6)->click(); // disables the column options, keeping their marks
    EXPECT_FALSE(dialog.CheckBox(7)->isEnabled());
    dialog.CheckBox(8)->setChecked(false);
    dialog.Accept();
    EXPECT_FALSE(params.TestBit(6));
    EXPECT_TRUE(params.TestBit(7));
    EXPECT_FALSE(params.TestBit(8));
    EXPECT_TRUE(params.TestBit(24) == false); // not listed: untouched
}

TEST(DlgParams, PlaceholdersTakeTheSideNamesAndValueCaptions) {
    ChooseLanguage(QStringLiteral("ENG"), {});
    CParamWord params;
    CDlgParams dialog(params, {4, 5, 19, 23}, QStringLiteral("LEFTDB (s1)"),
                      QStringLiteral("RIGHTDB"), nullptr);
    dialog.show();
    EXPECT_EQ(dialog.CheckBox(4)->text(),
              QStringLiteral("Export files that are only in LEFTDB (s1)"));
    EXPECT_EQ(dialog.CheckBox(5)->text(), QStringLiteral("Export files that are only in RIGHTDB"));
    EXPECT_EQ(dialog.CheckBox(19)->text(),
              QStringLiteral("Compare values for field DTAT (Data Item Type)"));
    EXPECT_EQ(dialog.CheckBox(23)->text(),
              QStringLiteral("Compare values for field CDEC (Display Decimals)"));
}

TEST(DlgParams, ReturnPressesTheFocusedButtonAndElsewhereTheDefaultOk) {
    CParamWord params;
    const bool before = params.TestBit(2);
    const auto pressReturnOn = [&](auto focus) {
        CDlgParams dialog(params, {2, 3}, QStringLiteral("L"), QStringLiteral("R"), nullptr);
        int finished = -1;
        QObject::connect(&dialog, &QDialog::finished, [&](int result) { finished = result; });
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        dialog.CheckBox(2)->setChecked(!before);
        QWidget* focused = focus(dialog);
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_Return);
        return finished;
    };
    EXPECT_EQ(pressReturnOn([](CDlgParams& dialog) {
                  return CTemplateBuilder::Find<QPushButton>(dialog, 2); // Cancel
              }),
              QDialog::Rejected);
    EXPECT_EQ(params.TestBit(2), before);
    EXPECT_EQ(pressReturnOn([](CDlgParams& dialog) { return dialog.CheckBox(3); }),
              QDialog::Accepted);
    EXPECT_EQ(params.TestBit(2), !before);
}
