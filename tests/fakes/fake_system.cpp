#include "tests/fakes/fake_system.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace vantrel::fake {

namespace {
System state;
}

System& system() { return state; }
void reset_system() { state = System(); }

}  // namespace vantrel::fake

namespace vantrel::platform {

using fake::state;

struct ProcessSnapshot {
    std::size_t next = 0;
};

struct CounterQuery {
    std::string path;
    int samples = 0;
};

CodePage system_code_page() { return state.codePage; }

ProcessSnapshot* snapshot_take() {
    ++state.snapshotsTaken;
    if (state.snapshotFails) return nullptr;
    ++state.snapshotsOpen;
    return new ProcessSnapshot();
}

const char* snapshot_next(ProcessSnapshot* snapshot) {
    if (snapshot->next >= state.processes.size()) return nullptr;
    return state.processes[snapshot->next++].c_str();
}

void snapshot_close(ProcessSnapshot* snapshot) {
    --state.snapshotsOpen;
    delete snapshot;
}

CounterQuery* counter_open(const char* path) {
    state.openedPaths.emplace_back(path);
    ++state.queriesOpen;
    return new CounterQuery{path, 0};
}

void counter_collect(CounterQuery* query) {
    ++query->samples;
    ++state.collects;
}

bool counter_read(CounterQuery* query, int32_t* value) {
    const auto& failing = state.failingPaths;
    if (query->samples < 2 || std::find(failing.begin(), failing.end(), query->path) != failing.end())
        return false;
    const auto it = state.readings.find(query->path);
    *value = it == state.readings.end() ? 0 : it->second;
    return true;
}

void counter_close(CounterQuery* query) {
    --state.queriesOpen;
    delete query;
}

void sleep_ms(uint32_t ms) {
    state.sleeps.push_back(ms);
    if (state.duringSleep) state.duringSleep();
}

LocalTime local_time() { return state.now; }

std::size_t executable_path(char* buf, std::size_t cap) {
    if (state.executablePath.empty() || state.executablePath.size() >= cap) return 0;
    std::memcpy(buf, state.executablePath.c_str(), state.executablePath.size() + 1);
    return state.executablePath.size();
}

char directory_separator() { return '/'; }

}  // namespace vantrel::platform
