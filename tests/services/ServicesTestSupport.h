#pragma once

#include "EventWait.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

// A private settings folder for one test.
class PrivateSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_settingsFolder.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsFolder.path());
    }

    QTemporaryDir m_settingsFolder;
};

// Puts a fake xdg-open first on PATH that writes its arguments, one per line, to a file, and
// notes each time it is started in another.
class FakeDesktopOpen {
public:
    explicit FakeDesktopOpen(bool succeeds = true) {
        m_savedPath = qgetenv("PATH");
        const QString script = m_folder.filePath(QStringLiteral("xdg-open"));
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("#!/bin/sh\necho opened >> '%3'\nfor a in \"$@\"; do printf "
                                  "'%s\\n' \"$a\"; done > '%1.part'\nmv '%1.part' '%1'\nexit %2\n")
                       .arg(ArgumentsFile())
                       .arg(succeeds ? 0 : 1)
                       .arg(OpeningsFile())
                       .toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(m_folder.path()) + ':' + m_savedPath);
    }
    ~FakeDesktopOpen() { qputenv("PATH", m_savedPath); }

    QString ArgumentsFile() const { return m_folder.filePath(QStringLiteral("arguments")); }
    QString OpeningsFile() const { return m_folder.filePath(QStringLiteral("openings")); }

    // The arguments the fake received last, once it has run (it starts detached).
    QStringList WaitForArguments() const {
        WaitForFile([this] { return QFile::exists(ArgumentsFile()); });
        QFile file(ArgumentsFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // How many times the fake has been started so far.
    int Openings() const {
        QFile file(OpeningsFile());
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count('\n')) : 0;
    }
    // True once the fake has been started count times.
    bool WaitForOpenings(int count) const {
        return WaitForFile([this, count] { return Openings() >= count; });
    }

private:
    // Polls the folder without handling events: the caller's windows see none meanwhile.
    static bool WaitForFile(const std::function<bool()>& written) {
        const QDeadlineTimer deadline(kEventLimitMs);
        while (!written()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(10);
        }
        return true;
    }

    QTemporaryDir m_folder;
    QByteArray m_savedPath;
};
