#pragma once
// A sound manager without samples logs "Sample N is out of bounds" on standard output for
// every play: game tests use one to hear which sounds the game played.

#include <sstream>
#include <string>
#include <vector>

// The ids of those lines in `standardOutput`, in order.
inline std::vector<int> soundsPlayed(const std::string& standardOutput) {
    std::vector<int> ids;
    std::istringstream words(standardOutput);
    std::string word;
    while (words >> word) {
        int id;
        if (word == "Sample" && words >> id) {
            ids.push_back(id);
        }
    }
    return ids;
}
