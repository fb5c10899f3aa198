// The folder of the companion files (Vantrel.ini, cpuusagelog.txt).
//
// A portable copy (the build folder, an unpacked archive, any folder the
// user owns) keeps them beside its executable. An installed copy keeps them
// for each user in $XDG_CONFIG_HOME/vantrel, or ~/.config/vantrel when that
// variable is unset or not an absolute path, and never writes into the
// install prefix. A copy counts as installed when its executable sits in the
// bin folder of a prefix that holds the program's desktop entry, a layout
// fixed at build time ("../share/applications/<id>.desktop" from bin), so
// it holds for a package in /usr as for `cmake --install --prefix` anywhere.
//
// The per-user folder is made (mode 0700) when the program starts, so that
// it can be locked (platform/linux/companion_lock.h), or else when a file is
// first written into it.
#pragma once

#include <string>
#include <string_view>

namespace vantrel::companion {

// Where the files go, decided once per run (the executable's place and the
// environment do not change while the program runs) and only here: the
// executable path the core is given, the folder that is locked and the
// folder made for the first save all ask this.
struct Place {
    std::string executable;  // the executable's full path; empty when unknown
    bool installed;
    // The folder of the companion files: for an installed copy the per-user
    // folder, else the executable's. Empty when unknown (no executable path,
    // or no home for an installed copy).
    std::string folder;
};
const Place& place();

// The per-user folder from XDG_CONFIG_HOME and HOME, and the account's home
// directory for a HOME that is unset or not absolute; empty when no absolute
// home is known. Nothing is read from the environment here.
std::string user_folder(const char* configHome, const char* home, const char* accountHome);

// Whether an executable in the folder exeDir is an installed copy, by the
// desktop entry at entryFromBin relative to it.
bool is_installed(std::string_view exeDir, std::string_view entryFromBin);

// Makes the per-user folder and, when missing, the configuration folder that
// holds it, each with mode 0700; nothing further up (a missing home stays
// missing). True when the folder exists afterwards.
bool make_user_folder(const std::string& folder);

// Called before a companion file is created: makes the per-user folder when
// path names a file directly in it. False when nothing was made.
bool make_folder_for(const char* path);

}  // namespace vantrel::companion
