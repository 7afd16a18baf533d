#include "EditCommand.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "BlockParameters.h"
#include "BlockTypes.h"
#include "DesignReader.h"
#include "DesignText.h"
#include "PluginLoader.h"
#include "RecordFields.h"

namespace fs = std::filesystem;

namespace {

using DialogExport = void(RIR_STDCALL*)(IExtParameter*);

// Replaces `path` by `bytes` through a temporary file beside it, so the old
// file stays whole until the new one is complete.
bool WriteWhole(const std::string& path, std::string_view bytes, std::string& error) {
  const fs::path target(path);
  const fs::path temp = target.parent_path() / ("." + target.filename().string() + ".rir-edit.tmp");
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    f.flush();
    if (!f) {
      error = "cannot write " + temp.string();
      std::error_code ec;
      fs::remove(temp, ec);
      return false;
    }
  }
  std::error_code ec;
  const fs::file_status st = fs::status(target, ec);
  if (!ec) fs::permissions(temp, st.permissions(), ec);
  fs::rename(temp, target, ec);
  if (ec) {
    error = "cannot replace " + path + ": " + ec.message();
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

uint32_t FieldBytes(const RecordField& f) {
  switch (f.type) {
    case FieldType::Bool:
    case FieldType::UInt8: return f.libraryState ? f.count : 1;
    case FieldType::UInt16: return 2;
    case FieldType::Int32:
    case FieldType::Float32: return 4;
    case FieldType::Int64:
    case FieldType::Float64: return 8;
    case FieldType::Text: return 1 + f.count;
    case FieldType::Float32Array: return 4 * f.count;
  }
  return 0;
}

bool SameField(const RecordLayout& layout, const uint8_t* a, const uint8_t* b, const RecordField& f) {
  if (f.type == FieldType::Text) return GetField(layout, a, f) == GetField(layout, b, f);
  return std::memcmp(a + f.offset, b + f.offset, FieldBytes(f)) == 0;
}

// The type name the block itself answers, as far as its dialog reads it.
std::string DialogTypeName(const Design& d, const BlockEntry& b, const BlockType& type) {
  if (type.blockClass != BlockClass::Transform) return type.typeName;
  const auto it = b.outputs.find("DReOut");
  const VariableEntry* v = it != b.outputs.end() ? d.Variable(it->second) : nullptr;
  return type.typeName + "_" + std::to_string(v != nullptr ? v->width : 0);
}

const char* DialogExportOf(BlockClass c) {
  switch (c) {
    case BlockClass::Generator: return "GenersExtParams";
    case BlockClass::WaveLoad:
    case BlockClass::WaveSave: return "WaveExtParams";
    default: return "TransExtParams";
  }
}

std::string ReadText(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  std::ostringstream s;
  if (ok) s << in.rdbuf();
  return s.str();
}

}  // namespace

int EditDesignBlock(const EditRequest& request, std::ostream& out, std::ostream& err) {
  bool readable = false;
  const std::string text = ReadText(request.design, readable);
  if (!readable) {
    err << request.design << ": cannot open the design file\n";
    return 2;
  }
  Design design;
  try {
    design = ParseDesign(text, request.design);
  } catch (const DesignError& e) {
    err << e.what() << "\n";
    return 2;
  }
  size_t index = design.blocks.size();
  for (size_t i = 0; i < design.blocks.size(); ++i)
    if (design.blocks[i].name == request.block) index = i;
  if (index == design.blocks.size()) {
    err << request.design << ": no block named \"" << request.block << "\"";
    std::string names;
    for (const BlockEntry& b : design.blocks) names += (names.empty() ? "" : ", ") + b.name;
    err << (names.empty() ? std::string() : " (blocks: " + names + ")") << "\n";
    return 2;
  }
  const BlockEntry& block = design.blocks[index];
  const BlockType& type = *FindBlockType(block.exportName);
  const RecordLayout& layout = RecordOf(type.blockClass);

  PluginLoader plugin;
  if (!plugin.Load(request.pluginPath)) {
    err << "cannot load the plug-in: " << plugin.Error() << "\n";
    return 2;
  }
  const std::string language = request.language.empty() ? design.language : request.language;
  plugin.SetLanguage(language.c_str());
  const auto open = reinterpret_cast<DialogExport>(plugin.Symbol(DialogExportOf(type.blockClass)));
  if (open == nullptr) {
    err << "the plug-in has no " << DialogExportOf(type.blockClass) << "\n";
    return 2;
  }
  const std::string directory = !design.libraryDirectory.empty() ? design.libraryDirectory : plugin.Directory();
  BlockParameters params(DialogTypeName(design, block, type), block.record, block.dialogPosition, language,
                         directory, out);
  open(&params);

  if (!params.NewRecord() && !params.NewPosition()) {
    out << "cancelled: " << request.design << " is unchanged\n";
    return 0;
  }
  BlockEdits edits;
  std::vector<std::string> said;
  if (params.NewRecord()) {
    const std::vector<uint8_t>& after = *params.NewRecord();
    if (after.size() != layout.size) {
      err << "the dialog returned " << after.size() << " bytes, a " << layout.name << " record has " << layout.size
          << "; nothing written\n";
      return 1;
    }
    try {
      for (const RecordField& f : layout.fields) {
        if (f.libraryState || SameField(layout, block.record.data(), after.data(), f)) continue;
        const std::string before = TomlValueText(GetField(layout, block.record.data(), f));
        const std::string now = TomlValueText(GetField(layout, after.data(), f));
        edits.fields.push_back({f.name, now});
        said.push_back(std::string(f.name) + ": " + before + " -> " + now);
      }
    } catch (const DesignTextError& e) {
      err << request.design << ": " << e.what() << "; nothing written\n";
      return 1;
    }
  }
  if (params.NewPosition()) {
    const auto& p = *params.NewPosition();
    edits.position = "[" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + "]";
    if (!block.dialogPosition || *block.dialogPosition != p) said.push_back("dialog_position: " + *edits.position);
  }

  // A record kept in a record file goes back to that file; named fields the
  // block also gives are kept in step, or they would override it.
  edits.replaceOnly = !block.recordFile.empty();
  std::string newText;
  try {
    newText = EditBlockText(text, index, edits);
  } catch (const DesignTextError& e) {
    err << request.design << ": " << e.what() << "; nothing written\n";
    return 2;
  }
  std::string error;
  if (!block.recordFile.empty() && params.NewRecord() && *params.NewRecord() != block.record) {
    const auto& bytes = *params.NewRecord();
    if (!WriteWhole(block.recordFile, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                    error)) {
      err << error << "; nothing written\n";
      return 1;
    }
    out << "wrote " << block.recordFile << "\n";
  }
  // The edited design must read back to the record the dialog chose.
  try {
    const Design check = ParseDesign(newText, request.design);
    if (params.NewRecord()) {
      const BlockEntry& b = check.blocks.at(index);
      for (const RecordField& f : layout.fields)
        if (!f.libraryState && !SameField(layout, b.record.data(), params.NewRecord()->data(), f))
          throw DesignError(request.design, 0, std::string("field \"") + f.name + "\" did not read back");
    }
  } catch (const std::exception& e) {
    err << "the edited design does not read back as chosen (" << e.what() << "); the design is unchanged\n";
    return 1;
  }
  if (newText != text && !WriteWhole(request.design, newText, error)) {
    err << error << "; the design is unchanged\n";
    return 1;
  }
  if (said.empty()) {
    out << "no changes: " << request.design << " is unchanged\n";
  } else {
    out << "block \"" << block.name << "\" in " << request.design << ":\n";
    for (const std::string& s : said) out << "  " << s << "\n";
  }
  return 0;
}
