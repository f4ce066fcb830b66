#include "game/ReplaceFile.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links as the kernel itself follows before it gives up.
constexpr int MaxLinkHops = 40;
// Attempts at a temporary file that another save keeps renaming away under our feet.
constexpr int MaxTemporaryAttempts = 100;

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a chain of symbolic links ends at (the path itself when it is no link); it need
// not exist. Returns 0 or an errno value.
int followLinks(std::string& path) {
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target);
        if (length < 0) {
            return 0; // not a link; what else is wrong shows when the file is used
        }
        if (static_cast<std::size_t>(length) == sizeof target) {
            return ENAMETOOLONG;
        }
        const std::string next(target, static_cast<std::size_t>(length));
        path = next[0] == '/' ? next : directoryOf(path) + "/" + next;
    }
    return ELOOP;
}

mode_t currentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// Writes everything and syncs it. Returns 0 or an errno value.
int writeAll(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t written = write(fd, contents.data() + done, contents.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        done += static_cast<std::size_t>(written);
    }
    return fsync(fd) == 0 ? 0 : errno;
}

int writeInPlace(const std::string& file, const std::string& contents) {
    const int fd = open(file.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return errno;
    }
    int failure = ftruncate(fd, 0) == 0 ? writeAll(fd, contents) : errno;
    if (close(fd) != 0 && failure == 0) {
        failure = errno;
    }
    return failure;
}

// Opens the folder's one temporary file and locks it; -1 with errno set. A save that holds
// it finishes first; one that renamed or removed it meanwhile leaves a name to open afresh.
// Anything but a regular file there (a FIFO would block the open until a reader came) is
// refused with EINVAL, or EISDIR for a folder, and left alone.
int openTemporary(const std::string& name) {
    for (int attempt = 0; attempt < MaxTemporaryAttempts; ++attempt) {
        const int fd =
            open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0) {
            errno = errno == ENXIO ? EINVAL : errno; // a FIFO with no reader, a socket
            return -1;
        }
        struct stat held {};
        if (fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            close(fd);
            errno = EINVAL;
            return -1;
        }
        flock(fd, LOCK_EX); // where locks are not supported, saves simply do not take turns
        struct stat named {};
        if (stat(name.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            return fd;
        }
        close(fd);
    }
    errno = EAGAIN;
    return -1;
}

int readAll(int fd, std::string& contents) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) {
            contents.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            return got == 0 ? 0 : errno;
        }
    }
}

// A new file holding the contents of `from`, with its permission bits. Returns 0 or an errno value.
int copyContents(const std::string& from, const std::string& to) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return errno;
    }
    std::string contents;
    struct stat info {};
    int failure = fstat(in, &info) == 0 ? readAll(in, contents) : errno;
    close(in);
    const int out = failure != 0 ? -1 : open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                             info.st_mode & 07777);
    if (out < 0) {
        return failure != 0 ? failure : errno;
    }
    failure = writeAll(out, contents);
    if (close(out) != 0 && failure == 0) {
        failure = errno;
    }
    return failure;
}

// A hard link keeps the old contents under the backup's name, whatever happens to the file;
// where the file system has none (a browser's storage, FAT), a copy does.
int keepBackup(const std::string& file, OldFileBackup& backup) {
    const std::string name = file + ".bak";
    if (unlink(name.c_str()) != 0 && errno != ENOENT) {
        return errno;
    }
    if (link(file.c_str(), name.c_str()) != 0) {
        if (errno != EMLINK && errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP) {
            return errno;
        }
        if (const int failure = copyContents(file, name)) {
            unlink(name.c_str());
            return failure;
        }
    }
    backup.madeAt = name;
    return 0;
}

} // namespace

int replaceFile(const std::string& path, const std::string& contents, OldFileBackup& backup) {
    backup.madeAt.clear();
    std::string file = path;
    if (const int failure = followLinks(file)) {
        return failure;
    }
    struct stat old {};
    const bool exists = stat(file.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        return errno;
    }
    if (exists) {
        if (S_ISDIR(old.st_mode)) {
            return EISDIR;
        }
        if (!S_ISREG(old.st_mode)) {
            return EINVAL;
        }
        // Replacing a file the player may not write would take it over; one the player
        // cannot read was never loaded, so its contents would be lost. (Asked with the
        // effective ids, which a set-group-id game writes a shared file with.)
        if (faccessat(AT_FDCWD, file.c_str(), R_OK | W_OK, AT_EACCESS) != 0) {
            return errno;
        }
    }
    const bool keepOld =
        exists && backup.wanted && old.st_dev == backup.device && old.st_ino == backup.inode;

    const std::string temporary = directoryOf(file) + "/." + nameOf(file) + ".tmp";
    const int fd = openTemporary(temporary);
    if (fd < 0) {
        const int failure = errno;
        // A folder that takes no new files still lets a writable file be rewritten, though
        // not atomically; a file that needs its backup first cannot be.
        const bool folderRefused = failure == EACCES || failure == EPERM || failure == EROFS;
        return exists && folderRefused && !keepOld ? writeInPlace(file, contents) : failure;
    }
    int failure = ftruncate(fd, 0) == 0 ? 0 : errno;
    if (failure == 0 && exists) {
        // Where allowed the file stays its owner's and its group's (each may fail alone);
        // the mode comes after, as a change of owner clears the set-id bits.
        [[maybe_unused]] const int ownerKept = fchown(fd, old.st_uid, static_cast<gid_t>(-1));
        [[maybe_unused]] const int groupKept = fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    if (failure == 0) {
        const mode_t mode = exists ? old.st_mode & 07777 : 0666 & ~currentUmask();
        failure = fchmod(fd, mode) == 0 ? writeAll(fd, contents) : errno;
    }
    if (failure == 0 && keepOld) {
        failure = keepBackup(file, backup);
    }
    if (failure == 0 && rename(temporary.c_str(), file.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        unlink(temporary.c_str());
    }
    close(fd); // the lock goes with it, once the name has been renamed or removed
    return failure;
}
