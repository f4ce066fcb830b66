#pragma once
// The recorded runs of the high-score table's entries, kept beside its file as
// "<the table's folder>/replays/<score>.replay". Scores are unique in the table, so the
// score, written with every digit it needs (12300, -750), names an entry's run whatever
// its rank, and the table's own file stays as it was.

#include "game/HighScoreTable.h"
#include "game/Recording.h"

#include <string>

// The file of the kept run of `score` beside the table at `tablePath` ("" for a table
// without a file).
std::string keptRunPath(const std::string& tablePath, double score);

// Keeps `recording` as the run of its score (replaceFile: the file holds the old run or the
// new one whatever happens), making the folder when missing. On failure prints one
// "WARN) Could not keep the run of <score> as <file>: <reason>" line on standard error and
// returns false.
bool keepRun(const std::string& tablePath, const Recording& recording);

// Deletes the kept runs of scores that are not among the ten best of `table`: files named
// as keptRunPath names them; any other file stays. Prints nothing.
void dropRunsOutside(const HighScoreTable& table);
