#include "game/HighScoreTable.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace {

// What isspace() takes for blank in the "C" locale, which the game never changes.
bool isBlank(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(int c) {
    return c >= '0' && c <= '9';
}

// Reads whitespace-separated items from a stream one character at a time, so a huge or
// binary file costs only what the first ten entries need.
class EntryReader {
  public:
    explicit EntryReader(std::istream& in) : in_(in) {}

    // False at the end of the file (the name is then empty) and for a name longer than
    // the longest item, which is not read any further.
    bool readName(std::string& name) {
        skipBlanks();
        name.clear();
        while (in_.peek() != EOF && !isBlank(in_.peek())) {
            if (name.size() == HighScoreTable::MaxItemLength) {
                return false;
            }
            name.push_back(static_cast<char>(in_.get()));
        }
        return !name.empty();
    }

    // The longest prefix that forms a decimal number: [sign] digits [. digits] or
    // [sign] . digits, then an optional exponent that counts only with its digits.
    bool readScore(double& score) {
        skipBlanks();
        std::string text;
        if (in_.peek() == '+' || in_.peek() == '-') {
            text.push_back(static_cast<char>(in_.get()));
        }
        bool digits = takeDigits(text);
        if (in_.peek() == '.') {
            text.push_back(static_cast<char>(in_.get()));
            digits = takeDigits(text) || digits;
        }
        if (!digits) {
            return false;
        }
        if (in_.peek() == 'e' || in_.peek() == 'E') {
            // Look ahead without committing: "12e" or "12e+" end the number at 12.
            std::string exponent(1, static_cast<char>(in_.get()));
            if (in_.peek() == '+' || in_.peek() == '-') {
                exponent.push_back(static_cast<char>(in_.get()));
            }
            if (takeDigits(exponent)) {
                text += exponent;
            } else {
                for (auto it = exponent.rbegin(); it != exponent.rend(); ++it) {
                    in_.putback(*it);
                }
            }
        }
        if (text.size() > HighScoreTable::MaxItemLength) {
            return false;
        }
        score = std::strtod(text.c_str(), nullptr);
        return std::isfinite(score);
    }

  private:
    // Straight from the buffer, as a file may hold any length of blanks.
    void skipBlanks() {
        std::streambuf& buffer = *in_.rdbuf();
        for (int c = buffer.sgetc(); c != EOF && isBlank(c); c = buffer.snextc()) {
        }
    }

    // At most the longest item's worth: a longer number is no score (strtod gives up).
    bool takeDigits(std::string& text) {
        bool any = false;
        while (isDigit(in_.peek()) && text.size() <= HighScoreTable::MaxItemLength) {
            text.push_back(static_cast<char>(in_.get()));
            any = true;
        }
        return any;
    }

    std::istream& in_;
};

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Makes a missing folder and its missing parents (0777 less the umask). Returns 0, or the
// errno of the first one that could not be made.
int makeFolders(const std::string& folder) {
    struct stat info;
    if (folder.empty() || stat(folder.c_str(), &info) == 0) {
        return 0; // present; one that is not a folder fails at the write, "Not a directory"
    }
    if (const int failure = makeFolders(directoryOf(folder))) {
        return failure;
    }
    return mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST ? 0 : errno;
}

} // namespace

HighScoreTable::HighScoreTable(std::string path) : path_(std::move(path)) {}

void HighScoreTable::load() {
    unreadable_ = 0;
    backup_ = OldFileBackup{};
    struct stat info {};
    if (stat(path_.c_str(), &info) != 0) {
        // No file is no table yet; a file that is there but out of reach must not be
        // replaced by one.
        unreadable_ = errno == ENOENT ? 0 : errno;
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        unreadable_ = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return;
    }
    errno = 0;
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        unreadable_ = errno != 0 ? errno : EACCES;
        return;
    }
    entries_.clear();
    EntryReader reader(in);
    std::string name;
    double score = 0;
    std::size_t read = 0;
    while (read < MaxLoadedEntries && reader.readName(name) && reader.readScore(score)) {
        insert(score, name);
        ++read;
    }
    overLong_ = read == MaxLoadedEntries;
    if (overLong_) {
        reader.readName(name); // whatever follows the tenth entry
    }
    // An empty name is the end of the file; anything else left unread, a save would drop.
    backup_ = OldFileBackup{!name.empty(), info.st_dev, info.st_ino, ""};
}

std::string HighScoreTable::formatLine(const HighScoreEntry& entry) {
    char number[64];
    if (std::fabs(entry.score) < 1e6) {
        // Six significant digits, as a stream writes by default, whenever that reads back
        // as the same number (every whole score the game makes); otherwise as few more as
        // it takes, so a score read from a hand-edited file is not changed or merged.
        for (int digits = 6; digits <= 17; ++digits) {
            std::snprintf(number, sizeof number, "%.*g", digits, entry.score);
            if (std::strtod(number, nullptr) == entry.score) {
                break;
            }
        }
    } else {
        // Six significant digits would merge and round large scores; keep them all.
        std::snprintf(number, sizeof number, "%.17g", entry.score);
    }
    return entry.name + "   " + number;
}

bool HighScoreTable::save() {
    // A table with no file keeps its scores in memory; the per-user folder is made on the
    // first save.
    if (path_.empty()) {
        return false;
    }
    std::string contents;
    for (const HighScoreEntry& entry : entries_) {
        contents += formatLine(entry) + "\n"; // a name read from the file may hold a NUL
    }
    int failure = unreadable_ != 0 ? unreadable_ : makeFolders(directoryOf(path_));
    failure = failure != 0 ? failure : replaceFile(path_, contents, backup_);
    if (failure != 0) {
        std::fprintf(stderr, "WARN) Could not save high scores to %s: %s\n", path_.c_str(),
                     std::strerror(failure));
        return false;
    }
    if (!backup_.madeAt.empty() && overLong_) {
        std::fprintf(stderr, "WARN) %s holds more than ten entries; the old file is kept as %s\n",
                     path_.c_str(), backup_.madeAt.c_str());
    } else if (!backup_.madeAt.empty()) {
        std::fprintf(stderr,
                     "WARN) Some lines of %s could not be read; the old file is kept as %s\n",
                     path_.c_str(), backup_.madeAt.c_str());
    }
    // The file now holds this table: a later save has nothing more to keep.
    backup_ = OldFileBackup{};
    return true;
}

bool HighScoreTable::insert(double score, const std::string& name) {
    if (std::isnan(score)) {
        return false;
    }
    auto place = std::lower_bound(
        entries_.begin(), entries_.end(), score,
        [](const HighScoreEntry& entry, double value) { return entry.score > value; });
    if (place != entries_.end() && place->score == score) {
        return false;
    }
    entries_.insert(place, HighScoreEntry{score, name});
    return true;
}

double HighScoreTable::lowestScore() const {
    return entries_.empty() ? 0.0 : entries_.back().score;
}
