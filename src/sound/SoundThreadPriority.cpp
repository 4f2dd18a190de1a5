#include "sound/SoundThreadPriority.h"

#include <sched.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace cellsonify {

int raiseThreadsNamed(std::string_view name, int priority) {
    int raised = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::string comm;
        std::getline(std::ifstream(task.path() / "comm"), comm);
        if (comm != name) continue;
        const pid_t tid = static_cast<pid_t>(std::stol(task.path().filename().string()));
        const sched_param param{priority};
        if (sched_setscheduler(tid, SCHED_FIFO, &param) == 0) {
            ++raised;
            continue;
        }
        // No real-time rights: as far up the ordinary scale as allowed.
        for (int nice = -20; nice < 0 && setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) != 0; ++nice) {
        }
    }
    return raised;
}

}  // namespace cellsonify
