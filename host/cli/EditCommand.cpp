#include "EditCommand.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "BlockParameters.h"
#include "Interruption.h"
#include "host/design/BlockTypes.h"
#include "host/design/DesignReader.h"
#include "host/design/DesignText.h"
#include "host/design/RecordFields.h"
#include "host/engine/PluginLoader.h"
#include "host/run/OutputSinks.h"

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
    case FieldType::UInt8:
      return f.libraryState ? f.count : 1;
    case FieldType::UInt16:
      return 2;
    case FieldType::Int32:
    case FieldType::Float32:
      return 4;
    case FieldType::Int64:
    case FieldType::Float64:
      return 8;
    case FieldType::Text:
      return 1 + f.count;
    case FieldType::Float32Array:
      return 4 * f.count;
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
    case BlockClass::Generator:
      return "GenersExtParams";
    case BlockClass::WaveLoad:
    case BlockClass::WaveSave:
      return "WaveExtParams";
    default:
      return "TransExtParams";
  }
}

// The folder a run resolves a wave block's relative names against: the
// design's folder for players, the output folder for recorders. Absolute,
// with a trailing '/', so the dialog finds the same file from any working folder.
std::string WaveFolder(const std::string& folder) {
  std::error_code ec;
  fs::path abs = fs::absolute(folder.empty() ? fs::path(".") : fs::path(folder), ec).lexically_normal();
  std::string s = abs.string();
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

std::string ReadText(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  std::ostringstream s;
  if (ok) s << in.rdbuf();
  return s.str();
}

// A step that cannot go on: what to tell the user and the exit status.
struct EditStop {
  int status;
  std::string message;
};

// The design as read: its text, what it says, and the block to edit.
struct DesignBlock {
  std::string text;
  Design design;
  size_t index = 0;
  const BlockEntry& Block() const { return design.blocks[index]; }
  const BlockType& Type() const { return *FindBlockType(Block().exportName); }
};

// What the user chose, as edits of the design text and lines to report.
struct BlockChange {
  BlockEdits edits;
  std::vector<std::string> said;
  bool recordChanged = false;
};

DesignBlock ReadDesignBlock(const EditRequest& request) {
  DesignBlock d;
  bool readable = false;
  d.text = ReadText(request.design, readable);
  if (!readable) throw EditStop{2, request.design + ": cannot open the design file"};
  try {
    d.design = ParseDesign(d.text, request.design, {}, DesignUse::Edit);
    CheckOutputSettings(d.design, true);  // an edit writes no output
  } catch (const DesignError& e) {
    throw EditStop{2, e.what()};
  }
  d.index = d.design.blocks.size();
  for (size_t i = 0; i < d.design.blocks.size(); ++i)
    if (d.design.blocks[i].name == request.block) d.index = i;
  if (d.index == d.design.blocks.size()) {
    std::string names;
    for (const BlockEntry& b : d.design.blocks) names += (names.empty() ? "" : ", ") + b.name;
    throw EditStop{2, request.design + ": no block named \"" + request.block + "\"" +
                          (names.empty() ? std::string() : " (blocks: " + names + ")")};
  }
  return d;
}

// The plug-in, speaking `language`, and its dialog export for the block.
DialogExport LoadDialogExport(PluginLoader& plugin, const EditRequest& request, const std::string& language,
                              BlockClass blockClass) {
  if (!plugin.Load(request.pluginPath)) throw EditStop{2, "cannot load the plug-in: " + std::string(plugin.Error())};
  plugin.SetLanguage(language.c_str());
  const auto open = reinterpret_cast<DialogExport>(plugin.Symbol(DialogExportOf(blockClass)));
  if (open == nullptr) throw EditStop{2, std::string("the plug-in has no ") + DialogExportOf(blockClass)};
  return open;
}

// The folder the dialog looks for files in: the signal library's for most
// blocks, the folder a run resolves a wave block's relative names against.
std::string DialogDirectory(const DesignBlock& d, const EditRequest& request, PluginLoader& plugin) {
  switch (d.Type().blockClass) {
    case BlockClass::WaveLoad:
      return WaveFolder(d.design.directory);
    case BlockClass::WaveSave:
      return WaveFolder(request.outputDir);
    default:
      return !d.design.libraryDirectory.empty() ? d.design.libraryDirectory : plugin.Directory();
  }
}

// Diff of the record: the fields the dialog changed, as TOML value texts.
void DiffRecord(const DesignBlock& d, const std::vector<uint8_t>& after, const std::string& design,
                BlockChange& change) {
  const RecordLayout& layout = RecordOf(d.Type().blockClass);
  const std::vector<uint8_t>& before = d.Block().record;
  if (after.size() != layout.size)
    throw EditStop{1, "the dialog returned " + std::to_string(after.size()) + " bytes, a " + layout.name +
                          " record has " + std::to_string(layout.size) + "; nothing written"};
  const char* field = nullptr;
  if (const std::string problem = NonFiniteRecordProblem(layout, after.data(), field); !problem.empty())
    throw EditStop{1, "the dialog returned a record in which " + problem + "; nothing written"};
  try {
    // A field the block never reads would only be warned about in the design.
    for (const RecordField& f : layout.fields) {
      if (f.libraryState || !TypeReadsField(d.Type(), f.name) || SameField(layout, before.data(), after.data(), f))
        continue;
      const std::string was = TomlValueText(GetField(layout, before.data(), f));
      const std::string now = TomlValueText(GetField(layout, after.data(), f));
      change.edits.fields.push_back({f.name, now});
      change.said.push_back(std::string(f.name) + ": " + was + " -> " + now);
    }
  } catch (const DesignTextError& e) {
    throw EditStop{1, design + ": " + e.what() + "; nothing written"};
  }
  change.recordChanged = after != before;
}

// Diff of the position. The transform dialog reports its position on every
// OK, moved or not; a design that kept none gains one only along with a
// changed record.
void DiffPosition(const DesignBlock& d, const std::array<int32_t, 2>& p, BlockChange& change) {
  const BlockEntry& block = d.Block();
  const BlockClass c = d.Type().blockClass;
  const bool positionAlways =
      c == BlockClass::Transform || c == BlockClass::SimpleTransform || c == BlockClass::FilterTransform;
  if (!block.dialogPosition && !change.recordChanged && positionAlways) return;
  change.edits.position = "[" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + "]";
  if (!block.dialogPosition || *block.dialogPosition != p)
    change.said.push_back("dialog_position: " + *change.edits.position);
}

BlockChange DiffDialogResult(const DesignBlock& d, const BlockParameters& params, const std::string& design) {
  BlockChange change;
  if (params.NewRecord()) DiffRecord(d, *params.NewRecord(), design, change);
  if (params.NewPosition()) DiffPosition(d, *params.NewPosition(), change);
  // A record kept in a record file goes back to that file; named fields the
  // block also gives are kept in step, or they would override it.
  change.edits.replaceOnly = !d.Block().recordFile.empty();
  return change;
}

std::string EditedDesignText(const DesignBlock& d, const BlockChange& change, const std::string& design) {
  try {
    return EditBlockText(d.text, d.index, change.edits);
  } catch (const DesignTextError& e) {
    throw EditStop{2, design + ": " + e.what() + "; nothing written"};
  }
}

// Write of the record file, before the design is read back, since reading
// the design reads that file.
void WriteRecordFile(const DesignBlock& d, const BlockParameters& params, const BlockChange& change,
                     std::ostream& out) {
  const std::string& file = d.Block().recordFile;
  if (file.empty() || !change.recordChanged) return;
  const auto& bytes = *params.NewRecord();
  std::string error;
  if (!WriteWhole(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error))
    throw EditStop{1, error + "; nothing written"};
  out << "wrote " << file << "\n";
}

// Verify: the edited design must read back to the record the dialog chose.
void VerifyReadsBack(const DesignBlock& d, const std::string& newText, const BlockParameters& params,
                     const std::string& design) {
  const RecordLayout& layout = RecordOf(d.Type().blockClass);
  try {
    const Design check = ParseDesign(newText, design, {}, DesignUse::Edit);
    if (params.NewRecord()) {
      const BlockEntry& b = check.blocks.at(d.index);
      for (const RecordField& f : layout.fields)
        if (!f.libraryState && TypeReadsField(d.Type(), f.name) &&
            !SameField(layout, b.record.data(), params.NewRecord()->data(), f))
          throw DesignError(design, 0, std::string("field \"") + f.name + "\" did not read back");
    }
  } catch (const std::exception& e) {
    throw EditStop{
        1, std::string("the edited design does not read back as chosen (") + e.what() + "); the design is unchanged"};
  }
}

void WriteDesign(const DesignBlock& d, const std::string& newText, const std::string& design) {
  std::string error;
  if (newText != d.text && !WriteWhole(design, newText, error)) throw EditStop{1, error + "; the design is unchanged"};
}

void ReportChanges(const DesignBlock& d, const BlockChange& change, const std::string& design, std::ostream& out) {
  if (change.said.empty()) {
    out << "no changes: " << design << " is unchanged\n";
    return;
  }
  out << "block \"" << d.Block().name << "\" in " << design << ":\n";
  for (const std::string& s : change.said) out << "  " << s << "\n";
}

}  // namespace

int EditDesignBlock(const EditRequest& request, std::ostream& out, std::ostream& err) {
  try {
    const DesignBlock d = ReadDesignBlock(request);
    const std::string language = request.language.empty() ? d.design.language : request.language;
    PluginLoader plugin;
    const DialogExport open = LoadDialogExport(plugin, request, language, d.Type().blockClass);
    BlockParameters params(DialogTypeName(d.design, d.Block(), d.Type()), d.Block().record, d.Block().dialogPosition,
                           language, DialogDirectory(d, request, plugin), out);
    open(&params);
    if (!params.DialogReached())  // the plug-in has said why (no display, no dialog module) on standard error
      throw EditStop{1, "the dialog could not be shown; " + request.design + " is unchanged"};
    if (!params.NewRecord() && !params.NewPosition()) {
      out << "cancelled: " << request.design << " is unchanged\n";
      return 0;
    }

    const BlockChange change = DiffDialogResult(d, params, request.design);
    const std::string newText = EditedDesignText(d, change, request.design);
    // A signal now waits until the files are written whole.
    const interruption::Hold hold;
    WriteRecordFile(d, params, change, out);
    VerifyReadsBack(d, newText, params, request.design);
    WriteDesign(d, newText, request.design);
    ReportChanges(d, change, request.design, out);
    return 0;
  } catch (const EditStop& stop) {
    err << stop.message << "\n";
    return stop.status;
  }
}
