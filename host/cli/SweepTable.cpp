#include "SweepTable.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "host/run/RunDesignFile.h"

namespace {
constexpr std::string_view kToolPrefix = "rir-eda: ";

std::vector<std::string> SplitValues(const std::string& list) {
  std::vector<std::string> values(1);
  int depth = 0;
  bool quoted = false;
  for (char c : list) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == '[' || c == '{')) ++depth;
    if (!quoted && (c == ']' || c == '}')) --depth;
    if (c == ',' && depth == 0 && !quoted)
      values.emplace_back();
    else
      values.back() += c;
  }
  return values;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// One record of a CSV text from `at`; false at its end.
bool ReadCsvRecord(const std::string& text, size_t& at, std::vector<std::string>& fields) {
  if (at >= text.size()) return false;
  fields.assign(1, "");
  bool quoted = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (quoted && c == '"' && at + 1 < text.size() && text[at + 1] == '"') {
      fields.back() += '"';
      ++at;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      fields.emplace_back();
    } else if (!quoted && c == '\n') {
      ++at;
      return true;
    } else {
      fields.back() += c;
    }
  }
  return true;
}
}  // namespace

SweepAxis ParseGridAxis(const std::string& text) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) throw std::invalid_argument("expected NAME=VALUE,VALUE,...");
  SweepAxis axis{text.substr(0, eq), SplitValues(text.substr(eq + 1))};
  for (const std::string& v : axis.values)
    if (v.empty()) throw std::invalid_argument("an empty value in the list");
  return axis;
}

std::vector<std::vector<std::string>> GridPoints(const std::vector<SweepAxis>& axes) {
  std::vector<std::vector<std::string>> points(1);
  for (const SweepAxis& axis : axes) {
    std::vector<std::vector<std::string>> grown;
    for (const auto& point : points)
      for (const std::string& value : axis.values) {
        grown.push_back(point);
        grown.back().push_back(axis.name + "=" + value);
      }
    points = std::move(grown);
  }
  return points;
}

std::string PointFolder(size_t point, size_t count) {
  const std::string number = std::to_string(point);
  const size_t width = std::to_string(count > 0 ? count - 1 : 0).size();
  return "point_" + std::string(width - std::min(width, number.size()), '0') + number;
}

SweepRow MakeSweepRow(size_t point, const std::vector<std::string>& assignments, int status, const RunCounts& counts,
                      const std::string& folder, const std::string& stderrText) {
  SweepRow row{{"point", std::to_string(point)}};
  for (const std::string& a : assignments) {
    const size_t eq = a.find('=');
    row.emplace_back(a.substr(0, eq), a.substr(eq + 1));
  }
  const bool ran = status != 2;
  row.emplace_back("status", std::to_string(status));
  row.emplace_back("errors", std::to_string(ran ? counts.errors : 1));
  for (const auto& [column, value] : {std::pair{"warnings", counts.warnings},
                                      {"time_points", counts.timePoints},
                                      {"block_steps", counts.steps},
                                      {"input_notifications", counts.notifications},
                                      {"value_changes", counts.events}})
    row.emplace_back(column, std::to_string(ran ? value : 0));
  row.emplace_back("folder", folder);
  std::istringstream lines(stderrText);
  std::string messages, line;
  while (std::getline(lines, line))
    messages +=
        (messages.empty() ? "" : "\n") + (line.rfind(kToolPrefix, 0) == 0 ? line.substr(kToolPrefix.size()) : line);
  row.emplace_back("messages", messages);
  if (ran)
    for (const ValueRange& r : counts.ranges) {
      row.emplace_back(r.variable + ".min", std::to_string(r.min));
      row.emplace_back(r.variable + ".max", std::to_string(r.max));
    }
  return row;
}

void WriteSweepTable(const std::vector<SweepRow>& rows, std::ostream& out) {
  std::vector<std::string> columns;
  for (const SweepRow& row : rows)
    for (const auto& [column, value] : row)
      if (std::find(columns.begin(), columns.end(), column) == columns.end()) columns.push_back(column);
  for (size_t i = 0; i < columns.size(); ++i) out << (i ? "," : "") << CsvField(columns[i]);
  out << "\n";
  for (const SweepRow& row : rows) {
    for (size_t i = 0; i < columns.size(); ++i) {
      const auto cell = std::find_if(row.begin(), row.end(), [&](const auto& c) { return c.first == columns[i]; });
      out << (i ? "," : "") << (cell != row.end() ? CsvField(cell->second) : std::string());
    }
    out << "\n";
  }
}

bool ReadSweepTable(std::istream& in, std::vector<SweepRow>& rows) {
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  size_t at = 0;
  std::vector<std::string> header, fields;
  if (!ReadCsvRecord(text, at, header) || header.empty() || header[0] != "point") return false;
  while (ReadCsvRecord(text, at, fields)) {
    if (fields.size() != header.size()) return false;
    SweepRow row;
    for (size_t i = 0; i < header.size(); ++i)
      if (!fields[i].empty() || header[i] == "messages") row.emplace_back(header[i], fields[i]);
    rows.push_back(std::move(row));
  }
  return true;
}
