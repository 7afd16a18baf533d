#include "NewCommand.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <regex>
#include <sstream>
#include <utility>

#include "framework/interface/TestTemplates.h"
#include "host/design/DesignReader.h"
#include "host/engine/PluginLoader.h"
#include "host/outputs/OutputFile.h"
#include "host/run/OutputSinks.h"

namespace {

// Nothing is written: what to tell the user.
struct NewStop {
  std::string message;
};

// A template as its text says: the type it is for, its placeholders with the
// values their "#@" lines give, and the design text without those lines.
struct Template {
  std::string type;  // "constant"
  std::vector<std::pair<std::string, std::string>> values;
  std::string body;
};

std::string Trimmed(std::string s) {
  const auto space = [](unsigned char c) { return std::isspace(c) != 0; };
  s.erase(s.begin(), std::find_if_not(s.begin(), s.end(), space));
  s.erase(std::find_if_not(s.rbegin(), s.rend(), space).base(), s.end());
  return s;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

Template ReadTemplate(const RirEdaTestTemplate& row) {
  Template t;
  t.type = Lower(std::string(row.name).substr(std::string(RIR_TEST_TEMPLATE_PREFIX).size()));
  // "#@ NAME = VALUE" gives a placeholder's value; other "#@" lines speak of the template.
  static const std::regex kValue(R"(#@\s*([A-Za-z][A-Za-z0-9_]*)\s*=(.*))");
  std::istringstream in(row.text);
  std::smatch m;
  for (std::string line; std::getline(in, line);) {
    if (std::regex_match(line, m, kValue)) {
      // A second value for a name would be a sentence of the header read as one.
      for (const auto& [name, value] : t.values)
        if (name == m[1]) throw NewStop{"the " + t.type + " template gives %" + name + "% twice"};
      t.values.emplace_back(m[1], Trimmed(m[2]));
    } else if (line.rfind("#@", 0) != 0)
      t.body += line + "\n";
  }
  return t;
}

// The plug-in's templates; the table stays the plug-in's while it is loaded.
std::vector<Template> Templates(const PluginLoader& plugin) {
  const auto* table = static_cast<const RirEdaTestTemplate*>(plugin.Symbol(RIR_TEST_TEMPLATES_SYMBOL));
  if (table == nullptr) throw NewStop{"the plug-in " + plugin.Path() + " carries no test templates"};
  std::vector<Template> all;
  for (; table->name != nullptr && table->text != nullptr; ++table) all.push_back(ReadTemplate(*table));
  return all;
}

std::string Placeholders(const Template& t) {
  std::string s;
  for (const auto& [name, value] : t.values) s += (s.empty() ? "%" : ", %") + name + "% (" + value + ")";
  return s;
}

std::string Types(const std::vector<Template>& all) {
  std::string s;
  for (const Template& t : all) s += (s.empty() ? "" : ", ") + t.type;
  return s;
}

const Template& Chosen(const std::vector<Template>& all, const std::string& type) {
  for (const Template& t : all)
    if (t.type == Lower(type)) return t;
  throw NewStop{"no test template for \"" + type + "\" (templates: " + Types(all) + ")"};
}

// The placeholders' values: the template's, then the assignments in turn.
std::vector<std::pair<std::string, std::string>> Values(const Template& t, const std::vector<std::string>& sets) {
  auto values = t.values;
  for (const std::string& set : sets) {
    const size_t eq = set.find('=');
    const std::string name = set.substr(0, eq);
    const auto it = std::find_if(values.begin(), values.end(), [&](const auto& v) { return v.first == name; });
    if (eq == std::string::npos || it == values.end())
      throw NewStop{"--set " + set + ": the " + t.type + " template has the placeholders " + Placeholders(t) +
                    "; give NAME=VALUE"};
    it->second = set.substr(eq + 1);
    // A value lands inside the design's texts and numbers as it is.
    if (it->second.find_first_of("\"\\\n\r") != std::string::npos)
      throw NewStop{"--set " + set + ": a value may not hold quotes, backslashes or line breaks"};
  }
  return values;
}

std::string Filled(std::string text, const std::vector<std::pair<std::string, std::string>>& values) {
  for (const auto& [name, value] : values) {
    const std::string mark = "%" + name + "%";
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
      text.replace(at, mark.size(), value);
  }
  return text;
}

void List(const std::vector<Template>& all, std::ostream& out) {
  out << "test-design templates of the plug-in (rir-eda new TYPE --set PLACEHOLDER=VALUE ...):\n";
  for (const Template& t : all) out << "  " << t.type << ": " << Placeholders(t) << "\n";
}

// Writes the design once it reads and checks as a design to run.
void Write(const std::string& text, const std::string& path, bool force) {
  std::error_code ec;
  if (!force && std::filesystem::exists(path, ec)) throw NewStop{path + " exists; --force replaces it"};
  try {
    CheckOutputSettings(ParseDesign(text, path));
  } catch (const DesignError& e) {
    throw NewStop{std::string("the filled-in template is no design that runs: ") + e.what() + "; nothing written"};
  }
  OutputFile file(path);
  file.Write(text);
  if (!file.Commit()) throw NewStop{"cannot write " + path};
}

}  // namespace

int NewDesign(const NewRequest& request, std::ostream& out, std::ostream& err) {
  try {
    PluginLoader plugin;
    if (!plugin.Load(request.pluginPath)) throw NewStop{"cannot load the plug-in: " + plugin.Error()};
    const std::vector<Template> all = Templates(plugin);
    if (request.type.empty()) {
      List(all, out);
      return 0;
    }
    const Template& t = Chosen(all, request.type);
    const auto values = Values(t, request.assignments);
    const auto name = std::find_if(values.begin(), values.end(), [](const auto& v) { return v.first == "Name"; });
    const std::string path =
        !request.output.empty() ? request.output : (name != values.end() ? name->second : t.type) + ".toml";
    Write(Filled(t.body, values), path, request.force);
    out << "wrote " << path << " (run it with: rir-eda run " << path << ")\n";
    return 0;
  } catch (const NewStop& stop) {
    err << "rir-eda: " << stop.message << "\n";
    return 2;
  }
}
