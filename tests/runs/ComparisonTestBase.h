#pragma once

#include "model/ParamWord.h"
#include "odbc/DataSourceSide.h"
#include "runs/ComparisonResults.h"

#include "runs/FakeProgress.h"
#include "runs/OpenFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Two connected sides, a parameter word and the results of their comparison, with result files
// kept in a private TMP folder so that a test can count what a run leaves behind.
class ComparisonTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        m_savedTmp = qgetenv("TMP");
        qputenv("TMP", QFile::encodeName(m_tmp.path()));
    }
    void TearDown() override { qputenv("TMP", m_savedTmp); }

    void OpenSide(CDataSourceSide& side, const QString& dataSource,
                  const QString& qualifier = QString()) {
        side.SetDataSource(dataSource, CDataSourceSide::SystemDataSource);
        ASSERT_TRUE(side.Connect()) << dataSource;
        side.SetOwnerQualifier(qualifier);
        ASSERT_TRUE(side.ListTables(nullptr)) << dataSource;
    }

    // Result files named in the folder (none should ever be) plus those held open unlinked.
    int LeftoverFiles(const QString& prefix) const {
        return int(
            QDir(m_tmp.path()).entryList({prefix + QStringLiteral("*")}, QDir::Files).size() +
            OpenDescriptorsIn(m_tmp.path(), prefix).size());
    }

    // The one result file of a kind, read through the descriptor that the results hold on it.
    QByteArray ResultFileBytes(const QString& prefix) const {
        const QStringList open = OpenDescriptorsIn(m_tmp.path(), prefix);
        if (open.size() != 1)
            return {};
        QFile file(open.front());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_tmp;
    QByteArray m_savedTmp;
    CDataSourceSide m_left;
    CDataSourceSide m_right;
    CParamWord m_params;
    CComparisonResults m_results{m_left, m_right, m_params};
    CFakeProgress m_progress;
};
