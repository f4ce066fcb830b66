#pragma once
// The table of best results: (score, name) pairs with unique scores, kept highest first,
// stored between runs in a text file (one "name   score" line per entry).
//
// Loading reads at most ten entries; the table itself never trims, so a save after an
// insert can write eleven lines, and the next load keeps the ten best.

#include "game/ReplaceFile.h"

#include <cstddef>
#include <string>
#include <vector>

struct HighScoreEntry {
    double score;
    std::string name;
};

class HighScoreTable {
public:
    using const_iterator = std::vector<HighScoreEntry>::const_iterator;

    static constexpr const char* DefaultPath = "./media/poon.txt";
    static constexpr std::size_t MaxLoadedEntries = 10;
    // The high-score list shows the best this many, and their runs are kept.
    static constexpr int ShownEntries = 10;
    // Longer names or score texts are not read: hand-made files only hold them by mistake.
    static constexpr std::size_t MaxItemLength = 64 * 1024;

    explicit HighScoreTable(std::string path = DefaultPath);

    // Replaces the contents with the first ten entries of the file. A file that cannot be
    // opened (missing, unreadable, not a regular file) leaves the table as it was. Reading
    // stops at the first entry whose name or score cannot be read, whose score is not a
    // finite number, or whose name or score is longer than MaxItemLength; the entries
    // before it stay. Prints nothing.
    void load();

    // Writes every entry, highest first, in place of the file (see replaceFile: links are
    // followed, permissions kept, and the file holds the old table or the new one whatever
    // happens). A file the last load found but could not read is never replaced. When the
    // last load stopped at an entry it could not read, or left entries after the tenth, the
    // first save that replaces the file keeps the original as "<file>.bak" and says so in
    // one "WARN) ... kept as <backup>" line on standard error. On failure prints one "WARN) Could not save high scores to
    // <path>: <reason>" line on standard error; the table is unchanged either way. A missing
    // folder is made first, parents included. With an empty path it does nothing. Returns
    // whether the file now holds the table.
    bool save();

    // Adds the entry unless one with an equal score exists (that one stays). NaN is refused.
    // Returns whether it was added.
    bool insert(double score, const std::string& name);

    // The lowest score, or 0 for an empty table.
    double lowestScore() const;
    std::size_t size() const { return entries_.size(); }

    // Entries from the highest score down.
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }

    const std::string& path() const { return path_; }

    // One line of the file for an entry, without the line end: "name   score". Scores
    // below one million are written as a standard stream writes them by default (1500,
    // -750, 12.5) when that reads back as the same value, else with the few more digits
    // it takes (12.345678); larger ones with every digit needed to read back the same value.
    static std::string formatLine(const HighScoreEntry& entry);

private:
    std::string path_;
    std::vector<HighScoreEntry> entries_; // descending by score
    // What the last load learnt about the file, for the saves after it: the errno value of
    // a file that exists but could not be read (0 when none), and whether it holds entries
    // past the point where reading stopped.
    int unreadable_ = 0;
    OldFileBackup backup_;
    bool overLong_ = false; // the backup is wanted for entries after the tenth

};
