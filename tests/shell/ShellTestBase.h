#pragma once

#include "odbc/OdbcTestEnvironment.h"
#include "services/Language.h"
#include "services/ServicesTestSupport.h"
#include "shell/FormDBSelect.h"
#include "shell/FormGen.h"
#include "shell/MainFrame.h"
#include "shell/QuorvixApp.h"
#include "ui/TemplateBuilder.h"

#include <QComboBox>
#include <QPushButton>

// The real main window, started as the program starts it, in English, with private settings.
class ShellTest : public PrivateSettings {
protected:
    void SetUp() override {
        PrivateSettings::SetUp();
        m_savedLocale = qgetenv("LC_ALL");
        qputenv("LC_ALL", "C");
        m_app = CQuorvixApp::Instance();
        ASSERT_NE(m_app, nullptr);
        ASSERT_TRUE(m_app->InitInstance());
    }
    void TearDown() override {
        m_app->ExitInstance();
        qputenv("LC_ALL", m_savedLocale);
        // Also takes back Qt's own French texts from the tests that follow.
        m_app->SetRegionalCodes(QStringLiteral("ENG"), {});
    }

    CFormDBSelect* View(int side) const { return m_app->MainFrame()->GetSelectionView(side); }
    CFormGen* Commands() const { return m_app->MainFrame()->GetCommandView(); }
    QWidget* Control(int side, int id) const {
        return CTemplateBuilder::FindControl(*View(side), id);
    }

    // Chooses the side's data source as the data source dialog would, then its owner by the
    // text the owner combo shows.
    void Choose(int side, const QString& dataSource, const QString& owner = {}) {
        View(side)->SelectDataSource(dataSource, CDataSourceSide::SystemDataSource);
        if (owner.isEmpty())
            return;
        QComboBox* owners = View(side)->OwnerCombo();
        owners->setCurrentIndex(owners->findText(owner));
        View(side)->OwnerChanged();
    }

    static void AddLite(const QString& name, const QString& sql) {
        if (!COdbcTestEnvironment::HasDataSource(name))
            COdbcTestEnvironment::AddSqliteDataSource(name, sql);
    }

    CQuorvixApp* m_app = nullptr;
    QByteArray m_savedLocale;
};
