#include "services/ThreadKeeper.h"
#include "shell/QuorvixApp.h"

int main(int argc, char* argv[]) {
    CQuorvixApp application(argc, argv);
    if (!application.InitInstance())
        return 1;
    const int result = application.exec();
    application.ExitInstance();
    return CThreadKeeper::Instance().SettleBeforeExit(result);
}
