// "Compare data dictionaries...": the command, its parameters, the window and its list, on real
// SQLite and PostgreSQL dictionaries.
#include "shell/ModalHandlers.h"

#include "batch/BatchProcess.h"
#include "compare/CompareAliasFrm.h"
#include "compare/CompareListCtrl.h"
#include "compare/DictionaryTable.h"
#include "compare/FormCompareAlias.h"
#include "export/ExpectedFiles.h"
#include "ui/WarningBeep.h"

#include <QCheckBox>
#include <QTemporaryDir>
#include <QTest>

class CompareDictionaries : public ResultWindowTest {
protected:
    void SetUp() override {
        ResultWindowTest::SetUp();
        // AN8 differs by its size only; RONLY is on the right only; HIDE holds "ZZZZ" as its
        // data type, which is not shown unless OWTP is.
        AddLite(QStringLiteral("DictWinLeft"),
                QLatin1String(kDictionaryTable) +
                    QStringLiteral("INSERT INTO F9210 VALUES ('AN8', 'N', 10, 'NUMB', 0, '0'),"
                                   "('HIDE', 'S', 3, 'ZZZZ', 0, '0');"));
        AddLite(QStringLiteral("DictWinRight"),
                QLatin1String(kDictionaryTable) +
                    QStringLiteral("INSERT INTO F9210 VALUES ('AN8', 'N', 12, 'NUMB', 0, '0'),"
                                   "('HIDE', 'S', 3, 'ZZZZ', 0, '0'),"
                                   "('RONLY', 'A', 7, 'CHAR', 2, '1');"));
        View(0)->SelectDataSource(QStringLiteral("DictWinLeft"), CDataSourceSide::SystemDataSource);
        View(1)->SelectDataSource(QStringLiteral("DictWinRight"),
                                  CDataSourceSide::SystemDataSource);
    }
    // Runs the command with the given value bits chosen in its dialog.
    CFormCompareAlias* Open(const std::vector<int>& values) {
        OnNextModal([values](QWidget* modal) {
            auto* dialog = dynamic_cast<CDlgParams*>(modal);
            ASSERT_NE(dialog, nullptr);
            for (int value = 0; value < 5; ++value)
                dialog->CheckBox(ParamBit::CompareValue0 + value)
                    ->setChecked(std::find(values.begin(), values.end(), value) != values.end());
            dialog->Accept();
        });
        QTest::mouseClick(Commands()->CompareDictionariesButton(), Qt::LeftButton);
        if (m_app->ComparisonFrames().isEmpty())
            return nullptr;
        auto* frame = dynamic_cast<CCompareAliasFrm*>(m_app->ComparisonFrames().last());
        return frame ? dynamic_cast<CFormCompareAlias*>(frame->View()) : nullptr;
    }
    int RowOf(CFormCompareAlias* view, const QString& key) const {
        for (int row = 0; row < view->List()->GetItemCount(); ++row) {
            if (view->List()->GetItemText(row, 0) == key)
                return row;
        }
        return -1;
    }
    QStringList Row(CFormCompareAlias* view, const QString& key) const {
        QStringList texts;
        const int row = RowOf(view, key);
        for (int column = 0; column < CFormCompareAlias::kColumnCount; ++column)
            texts.append(view->List()->GetItemText(row, column));
        return texts;
    }
};

TEST_F(CompareDictionaries, TheParametersComeBackUntilAValueIsChosen) {
    ASSERT_TRUE(Commands()->CompareDictionariesButton()->isEnabled());
    int shown = 0;
    std::function<void(QWidget*)> noValues = [&shown, &noValues](QWidget* modal) {
        auto* dialog = dynamic_cast<CDlgParams*>(modal);
        ASSERT_NE(dialog, nullptr);
        if (++shown == 3) {
            dialog->reject();
            return;
        }
        for (int value = 0; value < 5; ++value)
            dialog->CheckBox(ParamBit::CompareValue0 + value)->setChecked(false);
        OnNextModal(noValues);
        dialog->Accept();
    };
    OnNextModal(noValues);
    QTest::mouseClick(Commands()->CompareDictionariesButton(), Qt::LeftButton);
    EXPECT_EQ(shown, 3);
    EXPECT_TRUE(m_app->ComparisonFrames().isEmpty());
}

TEST_F(CompareDictionaries, TwoValuesShareTheWidthAndHiddenOnesNeitherShowNorMatch) {
    // DTAT (value 0) and OWTP (value 2) only.
    CFormCompareAlias* view = Open({0, 2});
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->window()->windowTitle(),
              QStringLiteral("Data dictionaries - DictWinLeft / DictWinRight"));
    EXPECT_EQ(view->Filter(2)->text(), QStringLiteral("1 alias(es) is/are only in DictWinRight"));
    // They share what the status column, last, leaves of the list.
    const int status = view->StatusColumnWidth();
    EXPECT_EQ(view->StatusColumn(), CFormCompareAlias::kColumnCount);
    EXPECT_EQ(view->List()->GetColumnWidth(view->StatusColumn()), status);
    const int width = view->List()->viewport()->width() - status;
    const int name = view->List()->GetColumnWidth(0);
    EXPECT_EQ(name, std::clamp((width * 30 + 28) / 56, 60, 200));
    EXPECT_EQ(view->List()->GetColumnWidth(1), (width - name) * 13 / 26);
    EXPECT_EQ(view->List()->GetColumnWidth(3), width - name - (width - name) * 13 / 26);
    for (const int hidden : {2, 4, 5})
        EXPECT_EQ(view->List()->GetColumnWidth(hidden), 0) << hidden;
    EXPECT_EQ(Row(view, QStringLiteral("RONLY")), (QStringList{"RONLY", "A", "", "CHAR", "", ""}));

    // A text of a hidden column does not match: DTAS 12 is not shown.
    const int beeps = CWarningBeep::Count();
    view->SearchEdit()->setText(QStringLiteral("12"));
    view->Find();
    EXPECT_EQ(CWarningBeep::Count(), beeps + 1);
    view->SearchEdit()->setText(QStringLiteral("zzzz"));
    view->Find();
    EXPECT_EQ(view->List()->GetSelectedRow(), RowOf(view, QStringLiteral("HIDE")));
}

TEST_F(CompareDictionaries, StatusesColoursAndBothValuesWhereTheyDiffer) {
    CFormCompareAlias* view = Open({0, 1, 2, 3, 4});
    ASSERT_NE(view, nullptr);
    // A right-only item shows its right values, in the colour of its status.
    const int ronly = RowOf(view, QStringLiteral("RONLY"));
    ASSERT_GE(ronly, 0);
    EXPECT_EQ(view->GetItemImage(view->List()->GetItemData(ronly)), CompareStatus::OnlyRight);
    EXPECT_EQ(CCompareListCtrl::StatusColor(CompareStatus::OnlyRight), QColor(0, 128, 0));
    EXPECT_EQ(Row(view, QStringLiteral("RONLY")),
              (QStringList{"RONLY", "A", "7", "CHAR", "2", "1"}));
    // Sizes 10 and 12 with the same type: the type once, both sizes.
    EXPECT_EQ(Row(view, QStringLiteral("AN8")),
              (QStringList{"AN8", "N", "10 | 12", "NUMB", "0", "0"}));
    EXPECT_EQ(view->GetItemImage(view->List()->GetItemData(RowOf(view, QStringLiteral("AN8")))),
              CompareStatus::Different);
    // The status also in words, last, under its header in the band.
    const auto statusOf = [this, view](const QString& key) {
        return view->List()->GetItemText(RowOf(view, key), view->StatusColumn());
    };
    EXPECT_EQ(statusOf(QStringLiteral("RONLY")), QStringLiteral("< only in DictWinRight"));
    EXPECT_EQ(statusOf(QStringLiteral("AN8")), QStringLiteral("<> different"));
    EXPECT_EQ(statusOf(QStringLiteral("HIDE")), QStringLiteral("= same"));
    EXPECT_EQ(view->HeaderTexts().size(), size_t(CFormCompareAlias::kColumnCount + 1));
    EXPECT_EQ(view->HeaderTexts().back().first, QStringLiteral("Status"));
    EXPECT_FALSE(view->BandHeaderRect(view->StatusColumn()).isEmpty());
    view->List()->SelectRow(RowOf(view, QStringLiteral("RONLY")));
    EXPECT_TRUE(view->List()->SelectedRowsText().endsWith(
        QStringLiteral("\tCDEC Display Decimals\tStatus\nRONLY\tA\t7\tCHAR\t2\t1\t"
                       "< only in DictWinRight\n")))
        << view->List()->SelectedRowsText().toStdString();
    // The band is painted over the six columns; the window may be wide.
    EXPECT_EQ(view->HeaderBand().height(), CFormCompare::kBandHeight);
    EXPECT_FALSE(dynamic_cast<CCompareFrm*>(view->window())->HasMaxWidth());

    // A second window shares the result: no dialog, no run.
    bool asked = false;
    OnNextModal([&asked](QWidget* modal) {
        asked = true;
        static_cast<QDialog*>(modal)->reject();
    });
    QTest::mouseClick(Commands()->CompareDictionariesButton(), Qt::LeftButton);
    EXPECT_EQ(m_app->ComparisonFrames().size(), 2);
    EXPECT_FALSE(asked);
    ForgetPendingHandlers();
}

TEST_F(CompareDictionaries, PostgresDictionaryAgainstAnF9201) {
    QUORVIX_REQUIRE_DATA_SOURCE(QStringLiteral("QuorvixPostgres"));
    Choose(0, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.s1"));
    Choose(1, QStringLiteral("QuorvixPostgres"), QStringLiteral("quorvix.s2"));
    CFormCompareAlias* view = Open({0, 1, 2, 3, 4});
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Filter(0)->text(), QStringLiteral("2 alias(es) is/are the same"));
    EXPECT_EQ(Row(view, QStringLiteral("ALPH")), (QStringList{"ALPH", "", "40", "VARC", "0", ""}));
}

TEST_F(CompareDictionaries, BatchToolWritesTheWindowsBytes) {
    const FakeDesktopOpen desktop;
    // All five values, then two of them with the right-only items left out.
    for (const std::vector<int>& values :
         {std::vector<int>{0, 1, 2, 3, 4}, std::vector<int>{1, 4}}) {
        CFormCompareAlias* view = Open(values);
        ASSERT_NE(view, nullptr);
        const bool some = values.size() < 5;
        const QString window =
            m_tmp.filePath(some ? QStringLiteral("some.csv") : QStringLiteral("all.csv"));
        const QString batch = m_tmp.filePath(QStringLiteral("batch.csv"));
        // The encoding chosen last is offered again: Latin-1 is chosen here.
        ExportThroughDialogs(view, window, [some](CDlgParams* options) {
            if (some)
                options->CheckBox(ParamBit::ExportDictionaryStatus0 + 2)->setChecked(false);
            ChooseEncoding(options, QStringLiteral("ISO 8859-1"));
        });
        QStringList arguments{QStringLiteral("dictionary"),
                              QStringLiteral("--left"),
                              QStringLiteral("DictWinLeft"),
                              QStringLiteral("--right"),
                              QStringLiteral("DictWinRight"),
                              QStringLiteral("-o"),
                              batch};
        if (some)
            arguments << QStringLiteral("--clear") << QStringLiteral("19")
                      << QStringLiteral("--clear") << QStringLiteral("21")
                      << QStringLiteral("--clear") << QStringLiteral("22")
                      << QStringLiteral("--clear") << QStringLiteral("17");
        const CBatchProcess run = CBatchProcess::Run(arguments);
        EXPECT_EQ(run.exitCode, 2) << run;
        ASSERT_TRUE(QFile::exists(window));
        EXPECT_EQ(Contents(batch), Contents(window)) << values.size();

        // In UTF-8 from both: the same text after a byte order mark.
        const QString windowUtf8 =
            m_tmp.filePath(some ? QStringLiteral("some-utf8.csv") : QStringLiteral("all-utf8.csv"));
        ExportThroughDialogs(view, windowUtf8, [some](CDlgParams* options) {
            if (some)
                options->CheckBox(ParamBit::ExportDictionaryStatus0 + 2)->setChecked(false);
            ChooseEncoding(options, QStringLiteral("UTF-8"));
        });
        EXPECT_EQ(CBatchProcess::Run(QStringList(arguments)
                                     << QStringLiteral("--encoding") << QStringLiteral("utf-8"))
                      .exitCode,
                  2);
        EXPECT_EQ(Contents(batch), Contents(windowUtf8)) << values.size();
        EXPECT_EQ(Contents(windowUtf8), AsUtf8Export(Contents(window))) << values.size();
        for (QWidget* frame : QList<QWidget*>(m_app->ComparisonFrames()))
            frame->close();
    }
}

// Every comparison list names a side in its status only when both names are short and differ:
// long names (a million characters too), two alike or a missing one give way to "left" and
// "right", which keep the status column narrow; a name that holds the other side's placeholder
// is shown as it is.
TEST_F(CompareDictionaries, StatusNamesASideOnlyWhenBothNamesAreShortAndDiffer) {
    const auto statuses = [](const QString& left, const QString& right) {
        CComparisonContext context;
        context.leftName = left;
        context.rightName = right;
        CFormCompareAlias view(context, nullptr);
        view.OnInitialUpdate();
        QStringList texts;
        for (int status = 0; status < CompareStatus::Count; ++status)
            texts.append(view.StatusText(status));
        return std::pair{texts, view.StatusColumnWidth()};
    };
    const QStringList sides{"= same", "> left only", "< right only", "<> different"};
    EXPECT_EQ(statuses(QStringLiteral("PRODUCTION12"), QStringLiteral("%LDB%")).first,
              (QStringList{"= same", "> only in PRODUCTION12", "< only in %LDB%", "<> different"}));
    const auto [longTexts, longWidth] =
        statuses(QStringLiteral("PRODUCTION123"), QStringLiteral("TEST"));
    EXPECT_EQ(longTexts, sides);
    EXPECT_EQ(statuses(QString(1000000, QLatin1Char('x')), QStringLiteral("TEST")),
              std::pair(sides, longWidth));
    EXPECT_EQ(statuses(QStringLiteral("TEST"), QStringLiteral("TEST")).first, sides);
    EXPECT_EQ(statuses(QString(), QStringLiteral("TEST")).first, sides);
    EXPECT_EQ(statuses(QStringLiteral("A"), QStringLiteral("B")).first,
              (QStringList{"= same", "> only in A", "< only in B", "<> different"}));

    ChooseLanguage(QStringLiteral("FRA"), {});
    EXPECT_EQ(statuses(QStringLiteral("PRODUCTION123"), QStringLiteral("TEST")).first,
              (QStringList{"= identique", "> seul à gauche", "< seul à droite", "<> différent"}));
}
