// The private-profile (INI) file on Linux: every read takes the whole file
// afresh, and every write replaces it whole, so that a save interrupted at
// any moment leaves either the old or the new file, never a part of one.
// Only where the folder refuses the user a new file is a writable file
// written in place.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/companion_folder.h"
#include "platform/linux/profile_text.h"
#include "platform/platform.h"

namespace vantrel::platform {

namespace {

// A settings file holds about a kilobyte; a file beyond this size is none of
// ours and is taken as unreadable: the reader gives the defaults and the
// writer leaves it alone. Below it, every read and write is linear in the
// file's size.
constexpr std::size_t kMaxProfileBytes = std::size_t{64} << 20;

// Symbolic links followed before giving up, as the kernel does.
constexpr int kMaxLinkHops = 40;

enum class Load { Read, Missing, Failed };

// Reads the whole file into text, and its status into st. Missing when it
// does not exist; Failed when it is no regular file (a FIFO would block the
// read), cannot be read, or is larger than kMaxProfileBytes.
Load load_file(const char* path, std::string& text, struct stat& st) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? Load::Missing : Load::Failed;
    Load result = Load::Failed;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<std::size_t>(st.st_size) <= kMaxProfileBytes) {
        text.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        ssize_t n = 1;
        while (got < text.size() && n > 0) {
            n = read(fd, text.data() + got, text.size() - got);
            if (n > 0) got += static_cast<std::size_t>(n);
            if (n < 0 && errno == EINTR) n = 1;
        }
        // A file that shrank meanwhile is taken as far as it was read.
        text.resize(got);
        if (n >= 0) result = Load::Read;
    }
    close(fd);
    return result;
}

// The value text of key, viewed in text, which receives the file.
std::optional<std::string_view> find_in_file(const char* section, const char* key, const char* path,
                                             std::string& text) {
    if (section == nullptr || key == nullptr || path == nullptr) return std::nullopt;
    struct stat st {};
    if (load_file(path, text, st) != Load::Read) return std::nullopt;
    return profile::find_value(text, section, key);
}

// The file that path names, symbolic links followed, so that a save
// replaces the file a link points to and keeps the link. A link to a missing
// file names that file. False for a loop or an unreadable link.
bool resolve_links(const char* path, std::string& target) {
    target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (lstat(target.c_str(), &st) != 0) return errno == ENOENT;
        if (!S_ISLNK(st.st_mode)) return true;
        char link[PATH_MAX];
        const ssize_t n = readlink(target.c_str(), link, sizeof link);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof link) return false;
        const std::string_view to(link, static_cast<std::size_t>(n));
        const std::size_t slash = target.rfind('/');
        if (to.front() == '/' || slash == std::string::npos) {
            target.assign(to);
        } else {
            target.resize(slash + 1);
            target.append(to);
        }
    }
    return false;
}

// Read-only is the owner's missing write permission, also for root, who
// could otherwise write any file.
bool may_write(const char* path, const struct stat& st) {
    return (st.st_mode & S_IWUSR) != 0 && faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) == 0;
}

// A new file beside target, made as any new file is (mode 0666 less the
// umask); its name in temp. -1 when none can be made.
int create_temp(const std::string& target, std::string& temp) {
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(serial++);
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Gives the new file the old one's owner (where the system allows it) and
// permission bits.
bool keep_owner_and_mode(int fd, const struct stat& old) {
    if (old.st_uid != geteuid() || old.st_gid != getegid()) {
        [[maybe_unused]] const int owned = fchown(fd, old.st_uid, old.st_gid);
    }
    return fchmod(fd, old.st_mode & 07777) == 0;
}

// What pads a text to a length the file already has: spaces after the last
// line are no part of any line to the reader (a blank line, or blanks that
// end the last line), and the next save drops them (without_padding).
constexpr char kPadding = ' ';

// The file's text without the padding that an interrupted in-place save can
// leave at its end.
std::string_view without_padding(std::string_view text) {
    const std::size_t end = text.find_last_not_of(kPadding);
    return text.substr(0, end == std::string_view::npos ? 0 : end + 1);
}

bool write_all_at(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

// Writes text over the existing file target, which is oldSize bytes long,
// for a folder that refuses a new file beside it. No second copy exists, so
// each step leaves a file that reads as the old one or as the new one:
//  1. a longer text first gets its room: padding after the old text, flushed
//     to the disk (the file still reads as the old one);
//  2. the text, padded to the file's length, over the file, flushed (it
//     reads as the new one);
//  3. a shorter text has the padding cut off, flushed.
// A program killed between the steps leaves the old or the new settings, at
// most followed by padding. Killed during the write of step 2, it leaves
// whole pages of the new text (Linux finishes the page it is copying), so a
// file of one page (4 KiB; the program's own keys take about 1 KiB) is
// never mixed. A power cut while step 2 goes to the disk may leave part of
// each.
//
// A full disk: where the file system overwrites a file's blocks in place
// (ext4, XFS, tmpfs), only step 1 takes space, and the flush makes one that
// reports a full disk late (NFS) report it there; when step 1 fails, the
// file is cut back to its old length and is the old file exactly. Where
// every write takes new blocks (Btrfs, ZFS, blocks shared with a snapshot),
// step 2 can fail for space too, part way, and leave the start of the new
// text over the old one.
bool write_in_place(const std::string& target, std::string_view text, off_t oldSize) {
    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    const auto size = static_cast<off_t>(text.size());
    const off_t padded = std::max(size, oldSize);
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == oldSize;
    if (ok && size > oldSize &&
        !(write_all_at(fd, std::string(static_cast<std::size_t>(size - oldSize), kPadding), oldSize) &&
          fsync(fd) == 0)) {
        [[maybe_unused]] const int cut = ftruncate(fd, oldSize);
        ok = false;
    }
    std::string bytes(text);
    bytes.resize(static_cast<std::size_t>(padded), kPadding);
    ok = ok && write_all_at(fd, bytes, 0) && fsync(fd) == 0 &&
         (padded == size || (ftruncate(fd, size) == 0 && fsync(fd) == 0));
    ok = close(fd) == 0 && ok;
    return ok;
}

// Writes text to a file beside target, flushes it to the disk, and renames
// it over target. old is the status of the file it replaces, if any. Where
// the folder refuses a new file for want of permission, an existing file
// is written in place instead.
bool replace_file(const std::string& target, std::string_view text, const struct stat* old) {
    std::string temp;
    const int fd = create_temp(target, temp);
    if (fd < 0 && (errno == EACCES || errno == EPERM) && old != nullptr)
        return write_in_place(target, text, old->st_size);
    if (fd < 0) return false;
    bool ok = write_all_at(fd, text, 0) && (old == nullptr || keep_owner_and_mode(fd, *old)) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.c_str(), target.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
}

}  // namespace

uint32_t profile_read_int(const char* section, const char* key, int32_t def, const char* path) {
    std::string text;
    const std::optional<std::string_view> value = find_in_file(section, key, path, text);
    const std::string_view number = value ? profile::unquote(*value) : std::string_view();
    return number.empty() ? static_cast<uint32_t>(def) : profile::parse_int(number);
}

std::size_t profile_read_string(const char* section, const char* key, const char* def, char* out,
                                std::size_t cap, const char* path) {
    if (out == nullptr || cap == 0) return 0;
    std::string text;
    const std::optional<std::string_view> value = find_in_file(section, key, path, text);
    if (value) return copy_cut(CodePage::Utf8, out, cap, profile::unquote(*value));
    // As with the Windows functions, the default loses its trailing spaces.
    std::string_view fallback = def != nullptr ? def : "";
    while (!fallback.empty() && fallback.back() == ' ') fallback.remove_suffix(1);
    return copy_cut(CodePage::Utf8, out, cap, fallback);
}

bool profile_write_string(const char* section, const char* key, const char* value,
                          const char* path) {
    if (section == nullptr || key == nullptr || value == nullptr || path == nullptr) return false;
    std::string target;
    if (!resolve_links(path, target)) return false;
    std::string text;
    struct stat st {};
    const Load load = load_file(target.c_str(), text, st);
    if (load == Load::Failed) return false;
    const bool exists = load == Load::Read;
    if (exists && !may_write(target.c_str(), st)) return false;
    const std::optional<std::string> updated = profile::with_value(without_padding(text), section, key, value);
    if (!updated) return false;
    if (exists && *updated == text) return true;  // nothing to change
    // The first save of an installed copy makes its per-user folder.
    if (!exists) companion::make_folder_for(target.c_str());
    return replace_file(target, *updated, exists ? &st : nullptr);
}

}  // namespace vantrel::platform
