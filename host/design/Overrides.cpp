#include "Overrides.h"

#include "BlockTypes.h"
#include "Design.h"
#include "RecordFields.h"

namespace {
[[noreturn]] void Fail(const std::string& assignment, const std::string& why) {
  throw DesignError("--set " + assignment, 0, why);
}

// The [simulation] keys that take a text.
bool TextSetting(const std::string& key) {
  return key == "language" || key == "library_directory" || key == "scheduling" || key == "time_unit";
}

toml::table* BlockTable(toml::table& root, const std::string& name) {
  toml::array* blocks = root["block"].as_array();
  if (blocks == nullptr) return nullptr;
  for (toml::node& n : *blocks)
    if (toml::table* t = n.as_table();
        t != nullptr && t->get_as<std::string>("name") != nullptr && t->get_as<std::string>("name")->get() == name)
      return t;
  return nullptr;
}

std::string BlockNames(toml::table& root) {
  std::string names;
  if (toml::array* blocks = root["block"].as_array())
    for (toml::node& n : *blocks)
      if (toml::table* t = n.as_table(); t != nullptr && t->get_as<std::string>("name") != nullptr)
        names += (names.empty() ? "" : ", ") + t->get_as<std::string>("name")->get();
  return names;
}

// A bare text stays a text, so that FileName=123 or Formula=1e3 keep their digits.
void Place(toml::table& into, const std::string& key, const std::string& text, bool textField) {
  const bool quoted = !text.empty() && (text[0] == '"' || text[0] == '\'');
  if (!textField || quoted) {
    try {
      toml::table parsed = toml::parse("v = " + text);
      if (toml::node* v = parsed.get("v")) {
        v->visit([&](auto& value) { into.insert_or_assign(key, std::move(value)); });
        return;
      }
    } catch (const toml::parse_error&) {
      // Not a TOML value: a bare text such as a file name.
    }
  }
  into.insert_or_assign(key, text);
}
}  // namespace

OverrideOrigins ApplyOverrides(toml::table& root, const std::vector<std::string>& assignments) {
  OverrideOrigins origins;
  for (const std::string& assignment : assignments) {
    const size_t eq = assignment.find('=');
    const size_t dot = assignment.find('.');
    if (eq == std::string::npos || dot == std::string::npos || dot > eq || dot == 0 || dot + 1 == eq)
      Fail(assignment, "write it as BLOCK.FIELD=VALUE or simulation.KEY=VALUE");
    const std::string target = assignment.substr(0, dot);
    const std::string key = assignment.substr(dot + 1, eq - dot - 1);
    const std::string text = assignment.substr(eq + 1);
    toml::table* block = BlockTable(root, target);
    toml::table* into = nullptr;
    bool textField = false;
    if (target == "simulation" && block == nullptr) {
      into = root["simulation"].as_table();
      if (into == nullptr) Fail(assignment, "the design has no [simulation] table");
      // A run length replaces the other way of giving it.
      for (const char* other : {"steps", "end_time"})
        if ((key == "steps" || key == "end_time") && key != other && into->get(other) != nullptr) {
          origins.erase(into->get(other));
          into->erase(other);
        }
      textField = TextSetting(key);
    } else {
      if (block == nullptr)
        Fail(assignment, "the design has no block \"" + target + "\" (blocks: " + BlockNames(root) + ")");
      if (block->get("parameters") == nullptr) block->insert("parameters", toml::table{});
      into = block->get("parameters")->as_table();
      if (into == nullptr) Fail(assignment, "block \"" + target + "\" has \"parameters\" that are not a table");
      const toml::node* type = block->get("type");
      const BlockType* t = type != nullptr && type->is_string() ? FindBlockType(type->as_string()->get()) : nullptr;
      const RecordField* field = t != nullptr ? FindField(RecordOf(t->blockClass), key) : nullptr;
      textField = field != nullptr && field->type == FieldType::Text;
    }
    if (const toml::node* old = into->get(key)) origins.erase(old);
    Place(*into, key, text, textField);
    origins[into->get(key)] = assignment;
  }
  return origins;
}
