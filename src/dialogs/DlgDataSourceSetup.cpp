#include "dialogs/DlgDataSourceSetup.h"

#include "odbc/DataSourceList.h"
#include "services/Language.h"
#include "ui/TemplateBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int kTemplate = 1008;
constexpr int kUserListText = 1100;
constexpr int kSystemListText = 1101;
constexpr int kDefaultHintText = 1102;
constexpr int kRemoveQuestionText = 1941;
constexpr int kDatabaseFilterText = 1942;
constexpr int kSourceRole = Qt::UserRole;
constexpr int kSystemRole = Qt::UserRole + 1;
// The template's measures, which the layout keeps for every size.
constexpr int kMargin = 8;
constexpr int kRightColumn = 210;
constexpr int kLabelWidth = 120;
constexpr int kLabelGap = 6;
constexpr int kTemplateWidth = 580;
constexpr int kTemplateHeight = 486;
constexpr int kCloseButton = 2;

} // namespace

CDlgDataSourceSetup::CDlgDataSourceSetup(QWidget* parent)
    : CQuorvixDialog(MapResourceId(kTemplate), parent) {
    m_sources = CTemplateBuilder::Find<QListWidget>(*this, kSourceList);
    m_name = CTemplateBuilder::Find<QLineEdit>(*this, kNameEdit);
    m_driver = CTemplateBuilder::Find<QComboBox>(*this, kDriverCombo);
    m_list = CTemplateBuilder::Find<QComboBox>(*this, kListCombo);
    for (int row = 0; row < kFieldCount; ++row) {
        m_labels[size_t(row)] = CTemplateBuilder::Find<QLabel>(*this, kFirstLabel + row);
        m_fields[size_t(row)] = CTemplateBuilder::Find<QLineEdit>(*this, kFirstField + row);
    }
    m_browse = CTemplateBuilder::Find<QPushButton>(*this, kBrowseButton);
    m_lines = CTemplateBuilder::Find<QPlainTextEdit>(*this, kAttributeLines);
    m_storePassword = CTemplateBuilder::Find<QCheckBox>(*this, kStorePassword);
    m_message = CTemplateBuilder::Find<QLabel>(*this, kMessage);

    connect(m_sources, &QListWidget::currentRowChanged, this, [this](int row) {
        if (QListWidgetItem* item = m_sources->item(row))
            SelectSource(item->data(kSourceRole).toString(), item->data(kSystemRole).toBool());
    });
    connect(m_driver, &QComboBox::currentTextChanged, this, [this] { ShowFields(); });
    connect(m_browse, &QPushButton::clicked, this, [this] { BrowseDatabase(); });
    const auto onClick = [this](int id, auto action) {
        if (auto* button = CTemplateBuilder::Find<QPushButton>(*this, id))
            connect(button, &QPushButton::clicked, this, action);
    };
    onClick(kNewButton, [this] { NewSource(); });
    onClick(kRemoveButton, [this] { Remove(); });
    onClick(kTestButton, [this] { Test(); });
    onClick(kSaveButton, [this] { Save(); });
}

void CDlgDataSourceSetup::InitDialog() {
    CQuorvixDialog::InitDialog();
    m_driver->addItems(CDataSourceSetup::InstalledDrivers());
    m_list->addItem(LoadLocalizedString(kUserListText));
    m_list->addItem(LoadLocalizedString(kSystemListText));
    // The machine's list only for those who may write it.
    if (!CDataSourceSetup::CanWriteSystemSources())
        m_list->setItemData(1, 0, Qt::UserRole - 1);
    FillSources();
    NewSource();
    // Never narrower than the longest text needs, in either language.
    setMinimumSize(
        std::max(kTemplateWidth, kRightColumn + m_storePassword->sizeHint().width() + kMargin),
        kTemplateHeight);
    RestoreSize(QStringLiteral("%1x%2").arg(minimumWidth()).arg(kTemplateHeight));
}

void CDlgDataSourceSetup::ArrangeControls(int cx, int cy) {
    const int dy = std::max(cy - kTemplateHeight, 0);
    const int right = cx - kMargin;
    m_sources->setGeometry(kMargin, kMargin, m_sources->width(), 338 + dy);
    for (const int id : {kNewButton, kRemoveButton}) {
        if (QWidget* button = CTemplateBuilder::FindControl(*this, id))
            button->move(button->x(), m_sources->geometry().bottom() + 7);
    }
    // The fields start after the widest label shown, at the template's place at least.
    int labelWidth = kLabelWidth;
    for (const QLabel* label : m_labels) {
        if (!label->isHidden())
            labelWidth = std::max(labelWidth, label->sizeHint().width());
    }
    const int fieldLeft = kRightColumn + labelWidth + kLabelGap;
    for (QLabel* label : m_labels)
        label->resize(labelWidth, label->height());
    for (QWidget* field : {static_cast<QWidget*>(m_name), static_cast<QWidget*>(m_driver),
                           static_cast<QWidget*>(m_list)})
        field->setGeometry(fieldLeft, field->y(), std::max(right - fieldLeft, 0), field->height());
    const QString fileKey = CDataSourceDefinition::DatabaseFileKey(
        CDataSourceDefinition::KindOf(m_driver->currentText()));
    m_browse->move(right - m_browse->width(), m_browse->y());
    for (int row = 0; row < kFieldCount; ++row) {
        QLineEdit* field = m_fields[size_t(row)];
        // The database file's field leaves room for its chooser.
        const bool file = row < m_keys.size() && !fileKey.isEmpty() && m_keys[row] == fileKey;
        const int fieldRight = file ? m_browse->x() - kLabelGap : right;
        field->setGeometry(fieldLeft, field->y(), std::max(fieldRight - fieldLeft, 0),
                           field->height());
        if (file)
            m_browse->move(m_browse->x(), field->y());
    }
    m_lines->setGeometry(kRightColumn, m_lines->y(), std::max(right - kRightColumn, 0), 234 + dy);
    m_storePassword->setGeometry(kRightColumn, 344 + dy, std::max(right - kRightColumn, 0),
                                 m_storePassword->height());
    for (const int id : {kTestButton, kSaveButton}) {
        if (QWidget* button = CTemplateBuilder::FindControl(*this, id))
            button->move(button->x(), 372 + dy);
    }
    m_message->setGeometry(kMargin, 404 + dy, std::max(cx - 2 * kMargin, 0), m_message->height());
    if (QWidget* close = CTemplateBuilder::FindControl(*this, kCloseButton))
        close->move(right - close->width(), cy - kMargin - close->height());
}

void CDlgDataSourceSetup::FillSources() {
    const QSignalBlocker quiet(m_sources);
    m_sources->clear();
    for (const bool system : {false, true}) {
        QStringList names;
        QStringList drivers;
        ListDataSources(system, names, drivers);
        for (const QString& name : names) {
            // The list it belongs to is told by the list combo and the tooltip.
            auto* item = new QListWidgetItem(name);
            item->setToolTip(LoadLocalizedString(system ? kSystemListText : kUserListText));
            item->setData(kSourceRole, name);
            item->setData(kSystemRole, system);
            m_sources->addItem(item);
        }
    }
}

QStringList CDlgDataSourceSetup::ListedSources() const {
    QStringList texts;
    for (int row = 0; row < m_sources->count(); ++row)
        texts.append(m_sources->item(row)->text() + QLatin1Char('\t') +
                     m_sources->item(row)->toolTip());
    return texts;
}

bool CDlgDataSourceSetup::SelectSource(const QString& name, bool system) {
    CDataSourceDefinition definition;
    QString error;
    if (!CDataSourceDefinition::Read(name, system, definition, error)) {
        ShowMessage(error);
        return false;
    }
    for (int row = 0; row < m_sources->count(); ++row) {
        QListWidgetItem* item = m_sources->item(row);
        if (item->data(kSourceRole).toString() == name &&
            item->data(kSystemRole).toBool() == system) {
            const QSignalBlocker quiet(m_sources);
            m_sources->setCurrentRow(row);
        }
    }
    m_previousName = name;
    m_previousSystem = system;
    ShowDefinition(definition);
    ShowMessage(QString());
    return true;
}

void CDlgDataSourceSetup::NewSource() {
    m_previousName.clear();
    m_previousSystem = false;
    const QSignalBlocker quiet(m_sources);
    m_sources->clearSelection();
    m_sources->setCurrentRow(-1);
    CDataSourceDefinition empty;
    empty.driver = m_driver->count() > 0 ? m_driver->itemText(0) : QString();
    ShowDefinition(empty);
    ShowMessage(QString());
    m_name->setFocus();
}

void CDlgDataSourceSetup::ShowDefinition(const CDataSourceDefinition& definition) {
    m_name->setText(definition.name);
    if (m_driver->findText(definition.driver) < 0 && !definition.driver.isEmpty())
        m_driver->addItem(definition.driver); // a driver no longer installed stays visible
    {
        const QSignalBlocker quiet(m_driver);
        m_driver->setCurrentText(definition.driver);
    }
    m_list->setCurrentIndex(definition.system ? 1 : 0);
    ShowFields();
    m_otherAttributes.clear();
    bool hasPassword = false;
    for (const auto& [key, value] : definition.attributes) {
        const bool password = CDataSourceSetup::IsPasswordKey(key);
        hasPassword = hasPassword || (password && !value.isEmpty());
        // A password under any of its keys shows in the password field, so that clearing the
        // box really takes it out of the file.
        if (QLineEdit* field = Field(password ? QStringLiteral("Password") : key))
            field->setText(value);
        else if (!m_keys.isEmpty() && !password)
            m_otherAttributes.emplace_back(key, value);
    }
    m_storePassword->setChecked(hasPassword);
    // Always set, so that the lines of a data source shown before never reach this one.
    m_lines->setPlainText(m_keys.isEmpty() ? CDataSourceSetup::AttributeLines(definition)
                                           : QString());
}

void CDlgDataSourceSetup::ShowFields() {
    const CDataSourceSetup::DriverKind kind =
        CDataSourceDefinition::KindOf(m_driver->currentText());
    m_keys = CDataSourceSetup::FieldsOf(kind);
    for (int row = 0; row < kFieldCount; ++row) {
        const bool shown = row < m_keys.size();
        m_labels[size_t(row)]->setVisible(shown);
        m_fields[size_t(row)]->setVisible(shown);
        m_labels[size_t(row)]->setText(shown ? m_keys[row] + QLatin1Char(':') : QString());
        m_fields[size_t(row)]->clear();
        // An empty field leaves the driver its own value: the hint says which.
        const QString value = shown ? CDataSourceSetup::DefaultValue(kind, m_keys[row]) : QString();
        m_fields[size_t(row)]->setPlaceholderText(
            value.isEmpty() ? QString() : LoadLocalizedString(kDefaultHintText).arg(value));
        m_fields[size_t(row)]->setEchoMode(shown && CDataSourceSetup::IsPasswordKey(m_keys[row])
                                               ? QLineEdit::Password
                                               : QLineEdit::Normal);
    }
    const QString fileKey = CDataSourceDefinition::DatabaseFileKey(kind);
    m_browse->setVisible(!fileKey.isEmpty() && m_keys.contains(fileKey));
    m_lines->setVisible(m_keys.isEmpty());
    m_storePassword->setVisible(!m_keys.isEmpty() &&
                                std::any_of(m_keys.begin(), m_keys.end(), [](const QString& key) {
                                    return CDataSourceSetup::IsPasswordKey(key);
                                }));
    ArrangeControls(width(), height());
}

QLineEdit* CDlgDataSourceSetup::Field(const QString& key) const {
    for (int row = 0; row < m_keys.size() && row < kFieldCount; ++row) {
        if (m_keys[row].compare(key, Qt::CaseInsensitive) == 0)
            return m_fields[size_t(row)];
    }
    return nullptr;
}

QString CDlgDataSourceSetup::Message() const {
    return m_message->text();
}

void CDlgDataSourceSetup::ShowMessage(const QString& text) {
    m_message->setText(text);
}

bool CDlgDataSourceSetup::Gather(CDataSourceDefinition& definition) {
    definition = CDataSourceDefinition();
    definition.name = m_name->text();
    definition.driver = m_driver->currentText();
    definition.system = m_list->currentIndex() == 1;
    if (m_keys.isEmpty()) {
        QString error;
        if (!CDataSourceSetup::ParseAttributeLines(m_lines->toPlainText(), definition, error)) {
            ShowMessage(error);
            return false;
        }
        return true;
    }
    for (int row = 0; row < m_keys.size() && row < kFieldCount; ++row) {
        const QString& key = m_keys[row];
        // A password reaches the file only when the user asks for it.
        if (CDataSourceSetup::IsPasswordKey(key) && !m_storePassword->isChecked())
            continue;
        definition.SetAttribute(key, m_fields[size_t(row)]->text().trimmed());
    }
    for (const auto& [key, value] : m_otherAttributes)
        definition.SetAttribute(key, value);
    return true;
}

bool CDlgDataSourceSetup::Save() {
    CDataSourceDefinition definition;
    if (!Gather(definition))
        return false;
    QString error;
    if (!CDataSourceSetup::Write(definition, m_previousName, m_previousSystem, error)) {
        ShowMessage(error);
        FillSources(); // a failed write may have put the previous definition back
        return false;
    }
    FillSources();
    SelectSource(definition.name, definition.system);
    return true;
}

bool CDlgDataSourceSetup::Test() {
    CDataSourceDefinition definition;
    if (!Gather(definition))
        return false;
    // The password is tried even when it is not to be stored.
    if (QLineEdit* password = Field(QStringLiteral("Password")))
        definition.SetAttribute(QStringLiteral("Password"), password->text());
    QString message;
    const bool connected = CDataSourceSetup::Test(definition, message);
    ShowMessage(message);
    return connected;
}

bool CDlgDataSourceSetup::Remove(bool confirm) {
    if (m_previousName.isEmpty())
        return false;
    if (confirm &&
        QMessageBox::question(this, windowTitle(),
                              LoadLocalizedString(kRemoveQuestionText).arg(m_previousName)) !=
            QMessageBox::Yes)
        return false;
    QString error;
    if (!CDataSourceSetup::Remove(m_previousName, m_previousSystem, error)) {
        ShowMessage(error);
        return false;
    }
    FillSources();
    NewSource();
    return true;
}

void CDlgDataSourceSetup::BrowseDatabase() {
    QLineEdit* field = Field(CDataSourceDefinition::DatabaseFileKey(
        CDataSourceDefinition::KindOf(m_driver->currentText())));
    if (!field)
        return;
    const QString file = QFileDialog::getOpenFileName(this, QString(), field->text(),
                                                      LoadLocalizedString(kDatabaseFilterText));
    if (!file.isEmpty())
        field->setText(file);
}
