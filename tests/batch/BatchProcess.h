#pragma once

#include "EventWait.h"

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

// quorvix-batch run as a CI job runs it: a process of its own, in the test's private ODBC
// environment, with what it printed and its exit code.
struct CBatchProcess {
    QByteArray out;
    QByteArray err;
    int exitCode = -1;
    bool crashed = false;

    static QString Program() { return QStringLiteral(QUORVIX_BATCH_PROGRAM); }

    // Starts the tool; the caller waits for it (or signals it).
    static void Start(QProcess& process, const QStringList& arguments,
                      const QStringList& environment = {}) {
        QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
        variables.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        // Under the sanitizers, what the tool prints stays its own.
        if (variables.contains(QStringLiteral("LSAN_OPTIONS")))
            variables.insert(QStringLiteral("LSAN_OPTIONS"),
                             variables.value(QStringLiteral("LSAN_OPTIONS")) +
                                 QStringLiteral(":print_suppressions=0"));
        for (const QString& variable : environment)
            variables.insert(variable.section(QLatin1Char('='), 0, 0),
                             variable.section(QLatin1Char('='), 1));
        process.setProcessEnvironment(variables);
        process.start(Program(), arguments);
    }

    void Collect(QProcess& process) {
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
        crashed = process.exitStatus() != QProcess::NormalExit;
        exitCode = crashed ? -1 : process.exitCode();
    }

    static CBatchProcess Run(const QStringList& arguments, const QStringList& environment = {}) {
        QProcess process;
        Start(process, arguments, environment);
        CBatchProcess result;
        EXPECT_TRUE(process.waitForFinished(kEventLimitMs)) << "quorvix-batch did not end";
        result.Collect(process);
        return result;
    }
};

// Prints what the tool wrote when an expectation about it fails.
inline std::ostream& operator<<(std::ostream& stream, const CBatchProcess& run) {
    return stream << "exit " << run.exitCode << "\nstdout:\n"
                  << run.out.left(2000).toStdString() << "\nstderr:\n"
                  << run.err.toStdString();
}
