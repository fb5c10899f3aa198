// One running copy per folder of companion files, so that a settings file
// never has two writers.
//
// The lock is an advisory lock (flock) on the folder itself: no lock file is
// made, so nothing is left behind in the folder, and the system lets go of
// it when the process ends, however it ends. Taking it needs no space on the
// disk and no right to write into the folder. It keeps apart the copies on
// one machine: a network file system may refuse it, or (mounted with
// local_lock) keep it to the machine that took it, so copies on two
// machines sharing the folder may run side by side.
#pragma once

#include <string>

namespace vantrel::companion {

enum class LockResult {
    Taken,      // this copy holds the lock until it ends
    Held,       // another running copy holds it
    Unavailable // the folder cannot be locked: no folder, or no locks there
};

// Locks the folder for the rest of the run. A lock held by another copy is
// tried again for up to waitMs, since a copy that is ending still holds it
// for a moment. A folder that cannot be locked for any other reason (a
// network file system without locks, ENOLCK, no right to open the folder)
// is said in one line on standard error, with the reason.
LockResult lock_folder(const std::string& folder, int waitMs);

// The folder of the companion files (Vantrel.ini, cpuusagelog.txt) of this
// copy; made now for an installed copy whose per-user folder is missing, so
// that it can be locked before the settings are first saved. Empty when
// there is none.
std::string companion_folder();

}  // namespace vantrel::companion
