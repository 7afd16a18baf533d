// One design at many parameter points: the grid, its points and the table of
// their runs that `rir-eda sweep` writes. The Python module's sweep() writes
// the same columns: the point's number, one per assigned name, the exit
// status, the summary's counts, the point's folder, its messages, and every
// variable's smallest and largest value.
#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

struct RunCounts;

struct SweepAxis {
  std::string name;
  std::vector<std::string> values;
};

// "NAME=V1,V2,...", split at the commas outside brackets and quotes, so that
// a list value ("[0.5, 0.5]") stays whole. Throws std::invalid_argument.
SweepAxis ParseGridAxis(const std::string& text);
// Every combination of the axes' values, the last axis varying fastest;
// each point as its "NAME=VALUE" assignments.
std::vector<std::vector<std::string>> GridPoints(const std::vector<SweepAxis>& axes);
// "point_K", K padded to the width of the last point's number.
std::string PointFolder(size_t point, size_t count);

// A row: (column, text) in column order.
using SweepRow = std::vector<std::pair<std::string, std::string>>;
// The row of one point's run: its exit status, what it counted and the lines
// it wrote to stderr. A point that did not run (status 2) counts one error.
SweepRow MakeSweepRow(size_t point, const std::vector<std::string>& assignments, int status, const RunCounts& counts,
                      const std::string& folder, const std::string& stderrText);
// CSV: a header with every column in order of first appearance, then the rows.
void WriteSweepTable(const std::vector<SweepRow>& rows, std::ostream& out);
// The rows of a table WriteSweepTable wrote; false when it is not one.
bool ReadSweepTable(std::istream& in, std::vector<SweepRow>& rows);
