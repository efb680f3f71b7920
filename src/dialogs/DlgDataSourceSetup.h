#pragma once

#include "odbc/DataSourceSetup.h"
#include "ui/QuorvixDialog.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// Defines data sources without leaving the program where the driver manager offers no setup
// program of its own: lists the user's and the machine's data sources, and adds, changes, tries
// and removes them through the driver manager's installer functions. Common drivers get their
// attributes as labelled fields; any other driver takes "key = value" lines.
class CDlgDataSourceSetup : public CQuorvixDialog {
public:
    enum Control {
        kSourceList = 5101,
        kNewButton = 5102,
        kRemoveButton = 5103,
        kNameEdit = 5105,
        kDriverCombo = 5107,
        kListCombo = 5109,
        kFirstLabel = 5110,
        kFirstField = 5120,
        kBrowseButton = 5130,
        kAttributeLines = 5131,
        kStorePassword = 5132,
        kTestButton = 5133,
        kSaveButton = 5134,
        kMessage = 5135,
    };
    static constexpr int kFieldCount = 8;

    explicit CDlgDataSourceSetup(QWidget* parent);

    // The data sources shown, as "name<TAB>list" texts.
    QStringList ListedSources() const;
    // Shows a listed data source for change; false when it is not listed.
    bool SelectSource(const QString& name, bool system);
    void NewSource();
    // The actions of the buttons: each says what happened under the buttons.
    bool Save();
    bool Test();
    bool Remove(bool confirm = true);

    QLineEdit* NameEdit() const { return m_name; }
    QComboBox* DriverCombo() const { return m_driver; }
    QComboBox* ListCombo() const { return m_list; }
    // The field of an attribute offered for the driver chosen, or nullptr.
    QLineEdit* Field(const QString& key) const;
    QPlainTextEdit* AttributeLines() const { return m_lines; }
    QCheckBox* StorePassword() const { return m_storePassword; }
    QString Message() const;

    // Lays the controls out for a client area of this size: the list and the attribute lines
    // take the height, the fields the width, the buttons and the message stay at the foot.
    void ArrangeControls(int cx, int cy) override;

protected:
    void InitDialog() override;

private:
    void FillSources();
    void ShowFields();
    void ShowDefinition(const CDataSourceDefinition& definition);
    // The definition as the fields give it; false with the message shown when a line is wrong.
    bool Gather(CDataSourceDefinition& definition);
    void ShowMessage(const QString& text);
    void BrowseDatabase();

    QListWidget* m_sources;
    QLineEdit* m_name;
    QComboBox* m_driver;
    QComboBox* m_list;
    std::array<QLabel*, kFieldCount> m_labels{};
    std::array<QLineEdit*, kFieldCount> m_fields{};
    QStringList m_keys; // the attributes of the fields shown
    QPushButton* m_browse;
    QPlainTextEdit* m_lines;
    QCheckBox* m_storePassword;
    QLabel* m_message;
    // The data source being changed; an empty name for a new one.
    QString m_previousName;
    bool m_previousSystem = false;
    // Attributes of the definition read that no field shows; written back unchanged.
    std::vector<std::pair<QString, QString>> m_otherAttributes;
};
