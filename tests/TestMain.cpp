#include "odbc/OdbcTestEnvironment.h"
#include "services/ThreadKeeper.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    COdbcTestEnvironment::Isolate();
    QCoreApplication application(argc, argv);
    return CThreadKeeper::Instance().SettleBeforeExit(RUN_ALL_TESTS());
}
