#include "odbc/OdbcTestEnvironment.h"
#include "services/ThreadKeeper.h"

#include "shell/QuorvixApp.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    COdbcTestEnvironment::Isolate();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's own application object, so that views and frames find it as they do at run
    // time.
    CQuorvixApp application(argc, argv);
    return CThreadKeeper::Instance().SettleBeforeExit(RUN_ALL_TESTS());
}
