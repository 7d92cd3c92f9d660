// The processes of this machine as /proc lists them, and the processor time a
// process tree has used: user and system clock ticks (100 a second) of each
// process, all its threads counted, as the kernel keeps them in
// /proc/<pid>/stat. For tests and benchmarks that measure what a program and
// the helper processes it starts (the web engine's) cost.
#pragma once

#include <dirent.h>
#include <sys/types.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zem::testing {

struct ProcessEntry {
    pid_t pid = 0;
    pid_t parent = 0;
    std::string name;  // the kernel's name, cut at 15 bytes ("WebKitWebProces")
    long ticks = 0;    // user + system time so far
};

// One process's entry; pid 0 when it is gone.
inline ProcessEntry ReadProcess(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(file, text)) return {};
    // "pid (name) state ppid ...": the name may hold blanks and parentheses.
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return {};
    std::istringstream fields(text.substr(close + 1));
    std::vector<std::string> values;
    for (std::string value; fields >> value && values.size() < 13;) values.push_back(value);
    if (values.size() < 13) return {};
    ProcessEntry entry;
    entry.pid = pid;
    entry.name = text.substr(open + 1, close - open - 1);
    entry.parent = static_cast<pid_t>(std::atol(values[1].c_str()));
    entry.ticks = std::atol(values[11].c_str()) + std::atol(values[12].c_str());
    return entry;
}

inline std::vector<ProcessEntry> ListProcesses() {
    std::vector<ProcessEntry> processes;
    DIR* folder = opendir("/proc");
    while (dirent* item = folder != nullptr ? readdir(folder) : nullptr) {
        const pid_t pid = static_cast<pid_t>(std::atol(item->d_name));
        if (pid <= 0) continue;
        if (ProcessEntry entry = ReadProcess(pid); entry.pid != 0) processes.push_back(std::move(entry));
    }
    if (folder != nullptr) closedir(folder);
    return processes;
}

// `root` and every process below it (children, their children...), root first.
inline std::vector<ProcessEntry> ProcessTree(pid_t root) {
    const std::vector<ProcessEntry> all = ListProcesses();
    std::vector<ProcessEntry> tree;
    for (const ProcessEntry& entry : all)
        if (entry.pid == root) tree.push_back(entry);
    for (std::size_t next = 0; next < tree.size(); ++next)
        for (const ProcessEntry& entry : all)
            if (entry.parent == tree[next].pid) tree.push_back(entry);
    return tree;
}

// The ticks the tree of `root` has used so far (what a process that ended
// used is no longer counted).
inline long ProcessTreeTicks(pid_t root) {
    long ticks = 0;
    for (const ProcessEntry& entry : ProcessTree(root)) ticks += entry.ticks;
    return ticks;
}

}  // namespace zem::testing
