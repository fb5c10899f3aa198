// The process list of the latest snapshot, kept by the snapshot service so
// that counter paths resolve against exactly the processes, and the order,
// that the monitor cycle numbered.
//
// The snapshot and counter services are used from one thread at a time (the
// monitor worker), so the list needs no lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel::procfs {

// One process of the list.
struct ListedProcess {
    int pid;
    uint64_t startTime;     // clock ticks after boot; tells a reused pid apart
    std::string_view name;  // the name the snapshot hands out
};

// The processes of the latest snapshot, in ascending process id. The views
// stay valid until the next snapshot is taken.
std::size_t listed_process_count();
ListedProcess listed_process(std::size_t index);

// The instance-th process (0-based, in list order) whose short name (the name
// without ".exe", as the monitor makes it) is shortName. Names that the
// monitor cannot measure (empty, or longer than it stores) never match, as
// they take no instance number there. False when there is no such process.
bool find_listed_process(std::string_view shortName, uint32_t instance, ListedProcess& out);

}  // namespace vantrel::procfs
