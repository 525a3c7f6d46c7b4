// Upgrades a shop file with the tests' steps, as quillmart-upgrade does without its backup,
// and kills itself with SIGKILL at one point of one step, as a power cut would:
//   upgradekiller FILE VERSION STAGE    (STAGE 0 begun, 1 made, 2 committed)
#include "fileupgrade.h"
#include "shopupgrade.h"
#include "teststeps.h"

#include <QDateTime>
#include <csignal>
#include <cstdlib>

int main(int argc, char *argv[]) {
    if (argc != 4)
        return 2;
    const int version = std::atoi(argv[2]);
    const auto stage = static_cast<shopupgrade::Stage>(std::atoi(argv[3]));
    FileUpgrade file(QString::fromLocal8Bit(argv[1]));
    shopupgrade::upgrade(file, teststeps::all, QDateTime::currentDateTime(),
                         [&](shopupgrade::Stage now, const StepDescription &step) {
                             if (step.version == version && now == stage)
                                 std::raise(SIGKILL);
                         });
    return 0;
}
