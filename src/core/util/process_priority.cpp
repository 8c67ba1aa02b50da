#include "util/process_priority.h"

#include <dirent.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstdlib>

namespace marovi {

namespace {

struct TClassNice {
    TPriorityClass Class;
    int Nice;
};

constexpr TClassNice ClassTable[] = {
    {TPriorityClass::Idle, 19},  {TPriorityClass::BelowNormal, 10}, {TPriorityClass::Normal, 0},
    {TPriorityClass::AboveNormal, -5}, {TPriorityClass::High, -10}, {TPriorityClass::Realtime, -20},
};

} // namespace

int NiceOfClass(TPriorityClass c)
{
    for (const auto& entry : ClassTable)
        if (entry.Class == c) return entry.Nice;
    return 0;
}

std::optional<TPriorityClass> ClassOfNice(int nice)
{
    for (const auto& entry : ClassTable)
        if (entry.Nice == nice) return entry.Class;
    return std::nullopt;
}

int CurrentProcessNice()
{
    errno = 0;
    return getpriority(PRIO_PROCESS, 0);
}

namespace {

// On Linux a nice value belongs to a thread, so every thread of the process is changed.
bool SetEveryThreadNice(int nice)
{
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return setpriority(PRIO_PROCESS, 0, nice) == 0;
    bool ok = true;
    while (const dirent* entry = readdir(tasks)) {
        char* end = nullptr;
        const long tid = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0') continue; // "." and ".."
        if (setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) != 0) ok = false;
    }
    closedir(tasks);
    return ok;
}

} // namespace

bool SetProcessNice(int nice)
{
    const int before = CurrentProcessNice();
    if (SetEveryThreadNice(nice)) return true;
    SetEveryThreadNice(before); // a refusal leaves every thread as it was
    return false;
}

} // namespace marovi
