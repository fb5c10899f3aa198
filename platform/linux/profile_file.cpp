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

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Gives the new file the old one's owner (where the system allows it) and
// permission bits.
bool keep_owner_and_mode(int fd, const struct stat& old) {
    if (old.st_uid != geteuid() || old.st_gid != getegid()) {
        [[maybe_unused]] const int owned = fchown(fd, old.st_uid, old.st_gid);
    }
    return fchmod(fd, old.st_mode & 07777) == 0;
}

// Writes text over the existing file target, which is old.size bytes long.
// The room for the longer text is taken first, so that a full disk leaves
// every byte of the file as it was.
bool write_in_place(const std::string& target, std::string_view text, off_t oldSize) {
    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    const auto size = static_cast<off_t>(text.size());
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size == oldSize &&
              (size <= oldSize || posix_fallocate(fd, 0, size) == 0) && write_all(fd, text) &&
              ftruncate(fd, size) == 0 && fsync(fd) == 0;
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
    bool ok = write_all(fd, text) && (old == nullptr || keep_owner_and_mode(fd, *old)) && fsync(fd) == 0;
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
    const std::optional<std::string> updated = profile::with_value(text, section, key, value);
    if (!updated) return false;
    if (exists && *updated == text) return true;  // nothing to change
    // The first save of an installed copy makes its per-user folder.
    if (!exists) companion::make_folder_for(target.c_str());
    return replace_file(target, *updated, exists ? &st : nullptr);
}

}  // namespace vantrel::platform
