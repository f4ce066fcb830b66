#pragma once
// A high-score table as plain (score, name) rows, highest first, for comparing in tests.

#include "game/HighScoreTable.h"

#include <string>
#include <utility>
#include <vector>

using Rows = std::vector<std::pair<double, std::string>>;

inline Rows rowsOf(const HighScoreTable& table) {
    Rows rows;
    for (const HighScoreEntry& entry : table) {
        rows.emplace_back(entry.score, entry.name);
    }
    return rows;
}
