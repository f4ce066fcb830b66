#include "game/HighScoreTable.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isBlank(int c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool isDigit(int c) {
    return c >= '0' && c <= '9';
}

// Reads whitespace-separated items from a stream one character at a time, so a huge or
// binary file costs only what the first ten entries need.
class EntryReader {
public:
    explicit EntryReader(std::istream& in) : in_(in) {}

    bool readName(std::string& name) {
        skipBlanks();
        name.clear();
        while (in_.peek() != EOF && !isBlank(in_.peek())) {
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
        score = std::strtod(text.c_str(), nullptr);
        return std::isfinite(score);
    }

private:
    void skipBlanks() {
        while (in_.peek() != EOF && isBlank(in_.peek())) {
            in_.get();
        }
    }

    bool takeDigits(std::string& text) {
        bool any = false;
        while (isDigit(in_.peek())) {
            text.push_back(static_cast<char>(in_.get()));
            any = true;
        }
        return any;
    }

    std::istream& in_;
};

bool isRegularFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

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
    if (!isRegularFile(path_)) {
        return;
    }
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        return;
    }
    entries_.clear();
    EntryReader reader(in);
    std::string name;
    double score = 0;
    for (std::size_t read = 0; read < MaxLoadedEntries; ++read) {
        if (!reader.readName(name) || !reader.readScore(score)) {
            break;
        }
        insert(score, name);
    }
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

void HighScoreTable::save() const {
    // A table with no file keeps its scores in memory; the per-user folder is made on the
    // first save.
    if (path_.empty()) {
        return;
    }
    if (const int failure = makeFolders(directoryOf(path_))) {
        std::fprintf(stderr, "WARN) Could not save high scores to %s: %s\n", path_.c_str(),
                     std::strerror(failure));
        return;
    }
    const std::string temporary = directoryOf(path_) + "/.poon-XXXXXX";
    std::vector<char> pattern(temporary.begin(), temporary.end());
    pattern.push_back('\0');

    bool ok = false;
    int failure = 0;
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        failure = errno;
    } else {
        fchmod(fd, 0644);
        if (FILE* out = fdopen(fd, "w")) {
            ok = true;
            for (const HighScoreEntry& entry : entries_) {
                // Written by length: a name read from the file may hold a NUL byte.
                const std::string line = formatLine(entry) + "\n";
                ok = ok && std::fwrite(line.data(), 1, line.size(), out) == line.size();
            }
            ok = ok && std::fflush(out) == 0 && fsync(fileno(out)) == 0;
            ok = (std::fclose(out) == 0) && ok;
        } else {
            close(fd);
        }
        ok = ok && std::rename(pattern.data(), path_.c_str()) == 0;
        if (!ok) {
            failure = errno;
            std::remove(pattern.data());
        }
    }
    if (!ok) {
        std::fprintf(stderr, "WARN) Could not save high scores to %s: %s\n", path_.c_str(),
                     std::strerror(failure));
    }
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
