// Snapshots in the main window: a side saved to a file, the file chosen as a side, and every
// command on such a side as on the data source it was taken of.
#include "shell/ModalHandlers.h"

#include "compare/CompareAliasFrm.h"
#include "compare/CompareFrm.h"
#include "compare/CompareListCtrl.h"
#include "compare/DictionaryTable.h"
#include "compare/FormCompareAlias.h"
#include "compare/FormCompareTable.h"
#include "dialogs/DlgDataSources.h"
#include "dialogs/DlgParams.h"
#include "dialogs/DlgWait.h"
#include "services/SettingsStore.h"
#include "services/ThreadKeeper.h"
#include "snapshot/SnapshotSide.h"
#include "structure/FormTableStruct.h"
#include "structure/TableStructFrm.h"
#include "ui/ContextMenus.h"
#include "ui/QuorvixListCtrl.h"

#include <QAction>
#include <QCheckBox>
#include <QProcess>
#include <QTest>

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class SnapshotWindow : public ResultWindowTest {
protected:
    void SetUp() override {
        ResultWindowTest::SetUp();
        m_leftDatabase = AddLiteWithPath(
            QStringLiteral("SnapWinLeft"),
            QLatin1String(kDictionaryTable) +
                QStringLiteral("INSERT INTO F9210 VALUES ('AN8', 'N', 10, 'NUMB', 0, '0');"
                               "CREATE TABLE T1 (C1 INT NOT NULL, C2 VARCHAR(10) DEFAULT 'x');"
                               "CREATE UNIQUE INDEX T1_C1 ON T1 (C1);"
                               "CREATE TABLE LONLY (x INT); CREATE VIEW V1 AS SELECT x FROM "
                               "LONLY;"));
        AddLite(QStringLiteral("SnapWinRight"),
                QLatin1String(kDictionaryTable) +
                    QStringLiteral("INSERT INTO F9210 VALUES ('AN8', 'N', 12, 'NUMB', 0, '0');"
                                   "CREATE TABLE T1 (C1 INT, C3 INT); CREATE TABLE RONLY (y INT);"
                                   "CREATE TABLE V1 (x INT);"));
    }

    // The database's path, kept from the first test that made it.
    static QString AddLiteWithPath(const QString& name, const QString& sql) {
        static QHash<QString, QString> paths;
        if (!paths.contains(name) || !COdbcTestEnvironment::HasDataSource(name))
            paths.insert(name, COdbcTestEnvironment::AddSqliteDataSource(name, sql));
        return paths.value(name);
    }

    // "Save snapshot..." in the side's context menu, opened on its name; the save dialog answered
    // with path, its filter and proposed name handed back.
    void SaveSnapshot(int side, const QString& path, QStringList* filters = nullptr,
                      QString* proposed = nullptr) {
        OnNextModal([path, filters, proposed](QWidget* save) {
            auto* files = qobject_cast<QFileDialog*>(save);
            ASSERT_NE(files, nullptr);
            if (filters)
                *filters = files->nameFilters();
            if (proposed)
                *proposed = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            ChooseSavePath(save, path);
        });
        MenuEntries seen;
        ChooseInNextMenu(QStringLiteral("Save snapshot..."), &seen);
        QWidget* name = Control(side, CFormDBSelect::kDataSourceName);
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2),
                                name->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(name, &click);
        EXPECT_EQ(seen.texts, QStringList{QStringLiteral("Save snapshot...")});
        EXPECT_EQ(seen.enabled, QList<bool>{true});
    }

    // Answers the next save dialog with path, its "replace?" with yes, and keeps the text of
    // the warning that follows in message.
    static void ReplaceAndKeepWarning(const QString& path, QString* message) {
        OnNextModal([path, message](QWidget* save) {
            OnNextModal([message](QWidget* question) {
                auto* replace = qobject_cast<QMessageBox*>(question);
                ASSERT_NE(replace, nullptr);
                OnNextModal([message](QWidget* warning) {
                    auto* box = qobject_cast<QMessageBox*>(warning);
                    ASSERT_NE(box, nullptr);
                    *message = box->text();
                    box->accept();
                });
                replace->button(QMessageBox::Yes)->click();
            });
            ChooseSavePath(save, path);
        });
    }

    // Chooses the file as the side's snapshot through the data source dialog, as a user would.
    void ChooseSnapshot(int side, const QString& path) {
        OnNextModal([path](QWidget* modal) {
            auto* dialog = dynamic_cast<CDlgDataSources*>(modal);
            ASSERT_NE(dialog, nullptr);
            ASSERT_TRUE(dialog->SnapshotButton()->isVisible());
            OnNextModal([path](QWidget* open) {
                auto* files = qobject_cast<QFileDialog*>(open);
                ASSERT_NE(files, nullptr);
                EXPECT_EQ(files->nameFilters(),
                          QStringList{QStringLiteral("Quorvix snapshots (*.qvsnap)")});
                ChooseSavePath(open, path);
            });
            QTest::mouseClick(dialog->SnapshotButton(), Qt::LeftButton);
        });
        QTest::mouseClick(
            static_cast<QPushButton*>(Control(side, CFormDBSelect::kDataSourceButton)),
            Qt::LeftButton);
    }

    QStringList CompareDictionaryKeys() {
        OnNextModal([](QWidget* modal) {
            auto* dialog = dynamic_cast<CDlgParams*>(modal);
            ASSERT_NE(dialog, nullptr);
            for (int value = 0; value < 5; ++value)
                dialog->CheckBox(ParamBit::CompareValue0 + value)->setChecked(true);
            dialog->Accept();
        });
        QTest::mouseClick(Commands()->CompareDictionariesButton(), Qt::LeftButton);
        if (m_app->ComparisonFrames().isEmpty())
            return {};
        auto* frame = dynamic_cast<CCompareAliasFrm*>(m_app->ComparisonFrames().last());
        auto* view = frame ? dynamic_cast<CFormCompareAlias*>(frame->View()) : nullptr;
        QStringList rows;
        for (int row = 0; view && row < view->List()->GetItemCount(); ++row)
            rows.append(view->List()->GetItemText(row, 0) + QLatin1Char(' ') +
                        view->List()->GetItemText(row, 1));
        return rows;
    }

    // The fields and indexes of table as the side's structure window reads them.
    QStringList Structure(int side, const QString& table) {
        CQuorvixListCtrl* list = View(side)->TableList();
        for (int row = 0; row < list->GetItemCount(); ++row) {
            if (list->GetItemText(row, 0) == table)
                list->SelectRow(row);
        }
        View(side)->ShowTableStructure();
        if (m_app->StructureFrames().isEmpty())
            return {QStringLiteral("no structure window")};
        auto* frame = dynamic_cast<CTableStructFrm*>(m_app->StructureFrames().last());
        auto* view = frame ? dynamic_cast<CFormTableStruct*>(frame->View()) : nullptr;
        if (!view)
            return {QStringLiteral("no structure view")};
        frame->show();
        QCoreApplication::processEvents();
        QStringList texts{frame->windowTitle()};
        for (int field = 0; field < int(view->Fields().size()); ++field)
            texts.append(view->GetFieldText(field, 0) + QLatin1Char(' ') +
                         view->GetFieldText(field, 1));
        for (int row = 0; row < view->IndexList()->GetItemCount(); ++row)
            texts.append(view->GetIndexText(view->IndexList()->GetItemData(row), 0));
        frame->close();
        return texts;
    }

    void CloseResultWindows() {
        for (QWidget* frame : QList<QWidget*>(m_app->ComparisonFrames()))
            frame->close();
    }

    QString Path(const QString& name) const { return m_tmp.filePath(name); }

    QString m_leftDatabase;
    // Exports open what they wrote.
    const FakeDesktopOpen m_desktop;
};

// The left side saved, then chosen in place of its data source: the table comparison and its
// export, the structure window and the dictionary comparison give what the data source gave.
TEST_F(SnapshotWindow, ASavedSideComparesAsItsDataSourceDid) {
    EXPECT_FALSE(View(0)->SaveSnapshotCommand()->isEnabled()); // nothing chosen yet
    Choose(0, QStringLiteral("SnapWinLeft"));
    Choose(1, QStringLiteral("SnapWinRight"));
    const QStringList liveTables = Listed(0);
    const QStringList liveStructure = Structure(0, QStringLiteral("T1"));
    const QStringList liveDictionary = CompareDictionaryKeys();
    ASSERT_FALSE(liveDictionary.isEmpty());
    CloseResultWindows();
    CFormCompareTable* live = CompareTables();
    ASSERT_NE(live, nullptr);
    ExportThroughDialogs(live, Path(QStringLiteral("live.csv")));
    CloseResultWindows();

    QStringList filters;
    QString proposed;
    const QString snapshot = Path(QStringLiteral("left.qvsnap"));
    SaveSnapshot(0, snapshot, &filters, &proposed);
    EXPECT_EQ(filters, QStringList{QStringLiteral("Quorvix snapshots (*.qvsnap)")});
    EXPECT_EQ(proposed, QStringLiteral("SnapWinLeft.qvsnap"));
    ASSERT_TRUE(QFileInfo::exists(snapshot));
    // Said under the list, which stays as it was.
    EXPECT_TRUE(View(0)->SideMessage().startsWith(
        QStringLiteral("Snapshot of SnapWinLeft written to %1: %2 tables, ")
            .arg(snapshot)
            .arg(liveTables.size())))
        << View(0)->SideMessage().toStdString();
    EXPECT_EQ(Listed(0), liveTables);
    EXPECT_EQ(m_app->SideDisplayName(0), QStringLiteral("SnapWinLeft"));

    ChooseSnapshot(0, snapshot);
    ASSERT_TRUE(View(0)->ShowsSnapshot());
    const QString name = m_app->SideDisplayName(0);
    EXPECT_TRUE(name.startsWith(QStringLiteral("left.qvsnap (SnapWinLeft, ")))
        << name.toStdString();
    EXPECT_EQ(Control(0, CFormDBSelect::kDataSourceName)->toolTip(),
              name + QLatin1Char('\n') + snapshot);
    EXPECT_EQ(Listed(0), liveTables);
    // SQLite has no owner: none is shown, and no data source is left connected behind the file.
    EXPECT_TRUE(View(0)->OwnerCombo()->isHidden());
    EXPECT_TRUE(Control(0, CFormDBSelect::kConnectButton)->isHidden());
    EXPECT_FALSE(m_app->GetSide(0)->IsConnected());
    // A snapshot is saved from its data source only.
    EXPECT_FALSE(View(0)->SaveSnapshotCommand()->isEnabled());
    EXPECT_TRUE(Commands()->CompareTablesButton()->isEnabled());

    CFormCompareTable* fromFile = CompareTables();
    ASSERT_NE(fromFile, nullptr);
    EXPECT_TRUE(fromFile->window()->windowTitle().contains(name));
    ExportThroughDialogs(fromFile, Path(QStringLiteral("snapshot.csv")));
    CloseResultWindows();
    // The same file, once the side's name is the same.
    QByteArray exported = Contents(Path(QStringLiteral("snapshot.csv")));
    exported.replace(name.toLatin1(), "SnapWinLeft");
    EXPECT_EQ(exported, Contents(Path(QStringLiteral("live.csv"))));

    QStringList structure = Structure(0, QStringLiteral("T1"));
    ASSERT_FALSE(structure.isEmpty());
    structure.first().replace(name, QStringLiteral("SnapWinLeft"));
    EXPECT_EQ(structure, liveStructure);
    EXPECT_EQ(CompareDictionaryKeys(), liveDictionary);
    CloseResultWindows();

    // The data source chosen again is a data source side as before.
    Choose(0, QStringLiteral("SnapWinLeft"));
    EXPECT_FALSE(View(0)->ShowsSnapshot());
    EXPECT_EQ(m_app->SideDisplayName(0), QStringLiteral("SnapWinLeft"));
    EXPECT_TRUE(View(0)->SaveSnapshotCommand()->isEnabled());
    EXPECT_NE(CompareTables(), nullptr);
}

// A file that is no sound snapshot is said where the side is and leaves it unchosen; one a side
// reads is not replaced by a new snapshot; a cancelled dialog changes nothing.
TEST_F(SnapshotWindow, WhatCannotBeASideIsSaidAndLeavesNoSide) {
    Choose(1, QStringLiteral("SnapWinRight"));
    const QString good = Path(QStringLiteral("good.qvsnap"));
    SaveSnapshot(1, good);
    ChooseSnapshot(0, good);
    ASSERT_TRUE(View(0)->ShowsSnapshot());

    const QString text = Path(QStringLiteral("text.qvsnap"));
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a database at all, though long enough to look like one\n");
    }
    ChooseSnapshot(0, text);
    EXPECT_FALSE(View(0)->ShowsSnapshot());
    EXPECT_TRUE(View(0)->SideMessage().startsWith(
        QStringLiteral("%1 is not a Quorvix snapshot: ").arg(text)))
        << View(0)->SideMessage().toStdString();
    EXPECT_TRUE(View(0)->TableList()->isHidden());
    EXPECT_TRUE(m_app->SideDisplayName(0).isEmpty());
    EXPECT_TRUE(Control(0, CFormDBSelect::kDataSourceName)->isHidden());
    EXPECT_TRUE(Control(0, CFormDBSelect::kRefreshButton)->isHidden());
    EXPECT_FALSE(Commands()->CompareTablesButton()->isEnabled());

    // A snapshot cut short.
    const QString cut = Path(QStringLiteral("cut.qvsnap"));
    {
        const QByteArray whole = Contents(good);
        QFile file(cut);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(whole.left(whole.size() / 2));
    }
    ChooseSnapshot(0, cut);
    EXPECT_FALSE(View(0)->ShowsSnapshot());
    EXPECT_TRUE(View(0)->SideMessage().contains(cut)) << View(0)->SideMessage().toStdString();
    EXPECT_TRUE(m_app->SideDisplayName(0).isEmpty());

    // The right side's new snapshot must not replace the file the left side reads.
    ChooseSnapshot(0, good);
    ASSERT_TRUE(View(0)->ShowsSnapshot());
    const QByteArray before = Contents(good);
    QString message;
    // The save dialog asks first whether to replace the file.
    ReplaceAndKeepWarning(good, &message);
    View(1)->SaveSnapshotCommand()->trigger();
    EXPECT_EQ(message, QStringLiteral("'%1' is the snapshot file that %2 reads: Quorvix does not "
                                      "write over it. Choose another file.")
                           .arg(good, m_app->SideDisplayName(0)));
    EXPECT_EQ(Contents(good), before);

    // The data source dialog left with Cancel keeps the snapshot.
    OnNextModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    QTest::mouseClick(static_cast<QPushButton*>(Control(0, CFormDBSelect::kDataSourceButton)),
                      Qt::LeftButton);
    EXPECT_TRUE(View(0)->ShowsSnapshot());
    EXPECT_EQ(Listed(0), Listed(1));
}

// Neither export nor a snapshot replaces a file that a side reads, whatever the save dialog's
// "replace?" was answered: the window says which file and which side, and the file and the next
// comparison stay as they were.
TEST_F(SnapshotWindow, NothingTheWindowWritesReplacesAFileASideReads) {
    Choose(0, QStringLiteral("SnapWinLeft"));
    const QString snapshot = Path(QStringLiteral("right.qvsnap"));
    Choose(1, QStringLiteral("SnapWinRight"));
    SaveSnapshot(1, snapshot);
    ChooseSnapshot(1, snapshot);
    ASSERT_TRUE(View(1)->ShowsSnapshot());
    const QByteArray database = Contents(m_leftDatabase);
    const QByteArray snapshotBytes = Contents(snapshot);

    // Answers the options, then the save dialog.
    const auto refused = [](const QString& path, const std::function<void()>& start) {
        QString message;
        OnNextModal([path, &message](QWidget* modal) {
            auto* options = dynamic_cast<CDlgParams*>(modal);
            ASSERT_NE(options, nullptr);
            ReplaceAndKeepWarning(path, &message);
            options->Accept();
        });
        start();
        return message;
    };
    const QString databaseText = QStringLiteral("'%1' is the database of SnapWinLeft: Quorvix does "
                                                "not write over it. Choose another file.")
                                     .arg(m_leftDatabase);
    const QString snapshotText = QStringLiteral("'%1' is the snapshot file that %2 reads: Quorvix "
                                                "does not write over it. Choose another file.")
                                     .arg(snapshot, m_app->SideDisplayName(1));

    CFormCompareTable* tables = CompareTables();
    ASSERT_NE(tables, nullptr);
    const QString counts = tables->Filter(CompareStatus::OnlyLeft)->text();
    EXPECT_EQ(refused(m_leftDatabase, [tables] { tables->OnExportToFile(); }), databaseText);
    EXPECT_EQ(refused(snapshot, [tables] { tables->OnExportToHtml(); }), snapshotText);
    EXPECT_EQ(refused(m_leftDatabase, [tables] { tables->OnExportToHtml(); }), databaseText);
    EXPECT_EQ(Contents(m_leftDatabase), database);
    EXPECT_EQ(Contents(snapshot), snapshotBytes);
    for (QWidget* frame : QList<QWidget*>(m_app->ComparisonFrames()))
        frame->close();
    tables = CompareTables();
    ASSERT_NE(tables, nullptr);
    EXPECT_EQ(tables->Filter(CompareStatus::OnlyLeft)->text(), counts);
    for (QWidget* frame : QList<QWidget*>(m_app->ComparisonFrames()))
        frame->close();

    // A snapshot of the left data source over its own database, or over the right side's file.
    for (const QString& target : {m_leftDatabase, snapshot}) {
        QString message;
        ReplaceAndKeepWarning(target, &message);
        View(0)->SaveSnapshotCommand()->trigger();
        EXPECT_EQ(message, target == snapshot ? snapshotText : databaseText);
    }
    EXPECT_EQ(Contents(m_leftDatabase), database);
    EXPECT_EQ(Contents(snapshot), snapshotBytes);
}

// Refresh reads the file again, as it reads a data source again; a file gone is said.
TEST_F(SnapshotWindow, RefreshReadsTheFileAgain) {
    Choose(0, QStringLiteral("SnapWinLeft"));
    const QString first = Path(QStringLiteral("first.qvsnap"));
    SaveSnapshot(0, first);
    ChooseSnapshot(1, first);
    const QStringList before = Listed(1);
    ASSERT_FALSE(before.isEmpty());

    ASSERT_EQ(QProcess::execute(QStringLiteral("sqlite3"),
                                {m_leftDatabase, QStringLiteral("CREATE TABLE ADDED (z INT);")}),
              0);
    const QString second = Path(QStringLiteral("second.qvsnap"));
    View(0)->Refresh();
    SaveSnapshot(0, second);
    ASSERT_TRUE(QFile::remove(first));
    ASSERT_TRUE(QFile::copy(second, first));
    EXPECT_EQ(Listed(1), before); // read again only when asked
    QTest::mouseClick(View(1)->RefreshButton(), Qt::LeftButton);
    EXPECT_TRUE(Listed(1).contains(QStringLiteral("ADDED")));
    EXPECT_TRUE(Commands()->CompareTablesButton()->isEnabled());

    ASSERT_TRUE(QFile::remove(first));
    QApplication::setActiveWindow(m_app->MainFrame());
    QTest::keyClick(View(1)->TableList(), Qt::Key_F5);
    EXPECT_TRUE(View(1)->TableList()->isHidden());
    EXPECT_TRUE(View(1)->SideMessage().contains(first)) << View(1)->SideMessage().toStdString();
    EXPECT_FALSE(Commands()->CompareTablesButton()->isEnabled());
    // Still the snapshot side: Refresh is the retry.
    EXPECT_FALSE(View(1)->RefreshButton()->isHidden());
    ASSERT_TRUE(QFile::copy(second, first));
    QTest::mouseClick(View(1)->RefreshButton(), Qt::LeftButton);
    EXPECT_FALSE(View(1)->TableList()->isHidden());
    EXPECT_TRUE(View(1)->SideMessage().isEmpty());
    ASSERT_TRUE(QProcess::execute(QStringLiteral("sqlite3"),
                                  {m_leftDatabase, QStringLiteral("DROP TABLE ADDED;")}) == 0);
}

// The pair left at the end keeps a snapshot side, opened again at the next start; the swap takes
// it across like a data source.
TEST_F(SnapshotWindow, ASnapshotSideIsRememberedAndSwapped) {
    Choose(0, QStringLiteral("SnapWinLeft"));
    const QString snapshot = Path(QStringLiteral("kept.qvsnap"));
    SaveSnapshot(0, snapshot);
    ChooseSnapshot(0, snapshot);
    Choose(1, QStringLiteral("SnapWinRight"));
    const QString name = m_app->SideDisplayName(0);
    const QStringList tables = Listed(0);

    m_app->ExitInstance();
    {
        const CSettingsStore store;
        EXPECT_EQ(store.ReadText(QStringLiteral("Sides"), QStringLiteral("LeftKind")),
                  QStringLiteral("snapshot"));
        EXPECT_EQ(store.ReadText(QStringLiteral("Sides"), QStringLiteral("LeftDataSource")),
                  snapshot);
    }
    ASSERT_TRUE(m_app->InitInstance());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !View(0)->IsOpening() && !View(1)->IsOpening(); },
                                kEventLimitMs));
    ASSERT_TRUE(View(0)->ShowsSnapshot());
    EXPECT_EQ(m_app->SideDisplayName(0), name);
    EXPECT_EQ(Listed(0), tables);
    EXPECT_EQ(m_app->SideDisplayName(1), QStringLiteral("SnapWinRight"));
    EXPECT_NE(CompareTables(), nullptr);
    CloseResultWindows();

    m_app->SwapSides();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !View(0)->IsOpening() && !View(1)->IsOpening(); },
                                kEventLimitMs));
    EXPECT_FALSE(View(0)->ShowsSnapshot());
    EXPECT_TRUE(View(1)->ShowsSnapshot());
    EXPECT_EQ(m_app->SideDisplayName(0), QStringLiteral("SnapWinRight"));
    EXPECT_EQ(m_app->SideDisplayName(1), name);
    EXPECT_EQ(Listed(1), tables);
    CFormCompareTable* swapped = CompareTables();
    ASSERT_NE(swapped, nullptr);
    EXPECT_TRUE(swapped->window()->windowTitle().endsWith(QStringLiteral("SnapWinRight / ") + name))
        << swapped->window()->windowTitle().toStdString();
    CloseResultWindows();

    // A file gone by the next start is said where the side is.
    m_app->ExitInstance();
    ASSERT_TRUE(QFile::remove(snapshot));
    ASSERT_TRUE(m_app->InitInstance());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !View(0)->IsOpening() && !View(1)->IsOpening(); },
                                kEventLimitMs));
    EXPECT_FALSE(View(1)->ShowsSnapshot());
    EXPECT_TRUE(View(1)->SideMessage().contains(snapshot)) << View(1)->SideMessage().toStdString();
    EXPECT_TRUE(m_app->SideDisplayName(1).isEmpty());
}
