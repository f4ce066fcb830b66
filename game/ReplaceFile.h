#pragma once
// Replacing the whole contents of a small file the player keeps (the high-score file) so
// that it holds either its old contents or the new ones, whatever happens on the way: a
// full disk, a file-size limit, the game killed mid-save, a second game saving at once.

#include <string>
#include <sys/types.h>

// What a replacement keeps of the file it replaces.
struct OldFileBackup {
    // Keep the old file as "<file>.bak" (replacing an older backup) before replacing it,
    // but only while the file is still the one identified below: a file another save has
    // replaced meanwhile no longer holds anything worth keeping.
    bool wanted = false;
    dev_t device = 0;
    ino_t inode = 0;
    // Set by replaceFile: the backup's path when one was made, else empty.
    std::string madeAt;
};

// Writes `contents` as the new contents of the regular file at `path`. A symbolic link is
// followed to the file it names, which is replaced; the link stays. The new file keeps the
// old one's permission bits (and, where allowed, its owner and group); a new file gets
// 0666 less the umask.
//
// The contents go to "<dir>/.<name>.tmp" beside the file, synced, then renamed over it. That
// temporary file is locked while in use, so two saves into one folder take turns, and one
// left behind by a killed save is reused. When the folder refuses the temporary file but
// the file itself is writable, the file is rewritten in place (truncated, written, synced).
//
// Nothing is written when the file exists but cannot be both read and written by the
// player, is not a regular file, or needs a backup that cannot be made, nor when something
// other than a regular file stands at the temporary file's name (it is left there). Returns 0, or the
// errno value of the failure. Prints nothing.
int replaceFile(const std::string& path, const std::string& contents, OldFileBackup& backup);
