#include "Overrides.h"

#include <toml++/toml.h>

#include "BlockTypes.h"
#include "RecordChecks.h"
#include "RecordFields.h"

namespace {
[[noreturn]] void Fail(const std::string& assignment, const std::string& why) {
  throw DesignError("--set " + assignment, 0, why);
}
}  // namespace

void ApplyOverride(Design& design, const std::string& assignment) {
  const size_t eq = assignment.find('=');
  const size_t dot = assignment.find('.');
  if (eq == std::string::npos || dot == std::string::npos || dot > eq || dot == 0 || dot + 1 == eq)
    Fail(assignment, "write it as BLOCK.FIELD=VALUE");
  const std::string blockName = assignment.substr(0, dot);
  const std::string fieldName = assignment.substr(dot + 1, eq - dot - 1);
  const std::string text = assignment.substr(eq + 1);
  BlockEntry* block = nullptr;
  for (BlockEntry& b : design.blocks)
    if (b.name == blockName) block = &b;
  if (block == nullptr) {
    std::string names;
    for (const BlockEntry& b : design.blocks) names += (names.empty() ? "" : ", ") + b.name;
    Fail(assignment, "the design has no block \"" + blockName + "\" (blocks: " + names + ")");
  }
  const BlockType* type = FindBlockType(block->exportName);
  const RecordLayout& layout = RecordOf(type->blockClass);
  const RecordField* field = FindField(layout, fieldName);
  if (field == nullptr || field->libraryState)
    Fail(assignment, "the " + std::string(layout.name) + " record of block \"" + blockName + "\" has no field \"" +
                         fieldName + "\" (see \"rir-eda blocks\")");

  // A text field takes the text as written unless it is quoted, so that
  // FileName=123 or Formula=1e3 stay texts.
  FieldValue value = text;
  const bool quoted = !text.empty() && (text[0] == '"' || text[0] == '\'');
  if (field->type != FieldType::Text || quoted) {
    try {
      const toml::table t = toml::parse("v = " + text);
      std::string why;
      if (!FieldValueFromToml(*t.get("v"), value, why)) Fail(assignment, "field \"" + fieldName + "\" " + why);
    } catch (const toml::parse_error&) {
      // Not a TOML value: a bare text such as a file name.
    }
  }
  std::string error;
  if (!SetField(layout, block->record.data(), *field, value, error))
    Fail(assignment, "field \"" + fieldName + "\": " + error);
  // What the design reader refuses is refused here too.
  const char* problemField = nullptr;
  const std::string problem = RecordProblem(*block, *type, problemField);
  if (!problem.empty()) Fail(assignment, problem);
  if (!TypeReadsField(*type, fieldName))
    design.warnings.push_back("--set " + assignment + ": warning: block \"" + blockName + "\" (" + type->exportName +
                              ") never reads field \"" + fieldName + "\" (see \"rir-eda blocks " + type->exportName +
                              "\")");
}
