#pragma once

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

// A private settings folder for one test.
class PrivateSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_settingsFolder.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsFolder.path());
    }

    QTemporaryDir m_settingsFolder;
};

// Puts a fake xdg-open first on PATH that writes its arguments, one per line, to a file.
class FakeDesktopOpen {
public:
    explicit FakeDesktopOpen(bool succeeds = true) {
        m_savedPath = qgetenv("PATH");
        const QString script = m_folder.filePath(QStringLiteral("xdg-open"));
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                                  "'%1.part'\nmv '%1.part' '%1'\nexit %2\n")
                       .arg(ArgumentsFile())
                       .arg(succeeds ? 0 : 1)
                       .toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(m_folder.path()) + ':' + m_savedPath);
    }
    ~FakeDesktopOpen() { qputenv("PATH", m_savedPath); }

    QString ArgumentsFile() const { return m_folder.filePath(QStringLiteral("arguments")); }

    // The arguments the fake received, once it has run (it starts detached).
    QStringList WaitForArguments() const {
        for (int attempt = 0; attempt < 200 && !QFile::exists(ArgumentsFile()); ++attempt)
            QThread::msleep(10);
        QFile file(ArgumentsFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_folder;
    QByteArray m_savedPath;
};
