#include "tests/fakes/fake_system.h"

namespace vantrel::platform {

namespace {
fake::System& state = fake::system();
}

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
    ++state.handlesOpen;
    return new ProcessSnapshot();
}

const char* snapshot_next(ProcessSnapshot* s) {
    return s->next < state.processes.size() ? state.processes[s->next++].c_str() : nullptr;
}

void snapshot_close(ProcessSnapshot* s) {
    --state.handlesOpen;
    delete s;
}

CounterQuery* counter_open(const char* path) {
    state.openedPaths.emplace_back(path);
    ++state.handlesOpen;
    return new CounterQuery{path, 0};
}

void counter_collect(CounterQuery* q) { ++q->samples; }

bool counter_read(CounterQuery* q, int32_t* value) {
    const auto it = state.readings.find(q->path);
    const std::optional<int32_t> reading = it == state.readings.end() ? 0 : it->second;
    if (q->samples < 2 || !reading) return false;
    *value = *reading;
    return true;
}

void counter_close(CounterQuery* q) {
    --state.handlesOpen;
    delete q;
}

void sleep_ms(uint32_t ms) {
    state.sleeps.push_back(ms);
    if (state.duringSleep) state.duringSleep();
}

LocalTime local_time() { return state.now; }

}  // namespace vantrel::platform
