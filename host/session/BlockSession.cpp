#include "BlockSession.h"

#include <algorithm>
#include <string_view>

#include "host/design/Design.h"
#include "host/design/Messages.h"
#include "host/design/RecordChecks.h"
#include "host/engine/PluginLoader.h"
#include "numeric/ValueText.h"

namespace {

bool Given(const BlockSetup& setup, std::string_view name) {
  return std::any_of(setup.fields.begin(), setup.fields.end(), [&](const auto& f) { return f.first == name; });
}

// The record the setup asks for: defaults, the named fields in turn, and a
// list's count taken from the list when the count is not given.
std::vector<uint8_t> BuildRecord(const BlockType& type, const BlockSetup& setup) {
  const RecordLayout& layout = RecordOf(type.blockClass);
  std::vector<uint8_t> record = DefaultRecord(layout);
  const std::string words = "block type " + type.exportName;
  for (const auto& [name, value] : setup.fields) {
    const RecordField* field = FindField(layout, name);
    if (field == nullptr || field->libraryState || !TypeReadsField(type, name)) {
      std::string known;
      for (const RecordField& f : layout.fields)
        if (!f.libraryState && TypeReadsField(type, f.name)) known += std::string(known.empty() ? "" : ", ") + f.name;
      throw BlockSetupError(words + " never reads field \"" + name +
                            "\" (it reads: " + (known.empty() ? "none" : known) + ")");
    }
    std::string error;
    if (!SetField(layout, record.data(), *field, value, error))
      throw BlockSetupError(words + ", field \"" + name + "\": " + error);
  }
  for (const CountedList& c : CountedLists()) {
    const auto given =
        std::find_if(setup.fields.begin(), setup.fields.end(), [&](const auto& f) { return f.first == c.list; });
    const auto* list = given != setup.fields.end() ? std::get_if<std::vector<double>>(&given->second) : nullptr;
    const RecordField* count = FindField(layout, c.count);
    if (list == nullptr || count == nullptr) continue;
    const auto length = static_cast<int64_t>(list->size());
    if (!Given(setup, c.count)) {
      std::string error;
      if (!SetField(layout, record.data(), *count, FieldValue(length), error))
        throw BlockSetupError(words + ", field \"" + c.list + "\": " + error);
      continue;
    }
    const FieldValue v = GetField(layout, record.data(), *count);
    const int64_t n = std::get_if<int64_t>(&v) != nullptr ? std::get<int64_t>(v) : 0;
    if (n != length)
      throw BlockSetupError(words + ": \"" + c.list + "\" holds " + std::to_string(length) + " values but \"" +
                            c.count + "\" is " + std::to_string(n) + "; give both the same length");
  }
  return record;
}

// Free-running generators but Func play a table filled at each parameter load.
bool PlaysTable(const BlockType& type, const std::vector<uint8_t>& record) {
  if (type.blockClass != BlockClass::Generator || type.typeName == "Func") return false;
  if (type.typeName != "All_in_One") return true;
  const RecordLayout& layout = GeneratorRecordLayout();
  const FieldValue v = GetField(layout, record.data(), *FindField(layout, "Kind"));
  const auto* k = std::get_if<int64_t>(&v);
  return k == nullptr || *k != 0;
}

// A session's variable for a port: a clock for "Clk", a Line for a port
// meant for Lines only, a Bus otherwise.
uint16_t PortKind(const PortSpec& p) {
  if (std::string_view(p.name) == "Clk") return vkClk;
  return p.kinds == KindsOf(vkLine) ? vkLine : vkBus;
}

// A session's port width: one bit for a clock or a one-bit port, the
// multiple of `width` a port follows, `width` otherwise.
int32_t PortVariableWidth(const PortSpec& p, int32_t width) {
  if (IsOneBitPort(p)) return 1;
  return p.width.follows >= 0 ? p.width.factor * width : width;
}

}  // namespace

std::span<const CountedList> CountedLists() {
  static constexpr CountedList kCountedLists[] = {{"FIRS_TapsCount", "FIRS_Taps"}, {"FIRS_TapsCount", "FIRS_Delay"},
                                                  {"IIRS_TapsCount", "IIRS_Taps"}, {"IIRS_TapsCount", "IIRS_Delay"},
                                                  {"LMSS_TapsCount", "LMSS_Taps"}, {"LMSS_TapsCount", "LMSS_Delay"},
                                                  {"Conv_H_Count", "Conv_H_12D"}};
  return kCountedLists;
}

bool IsOneBitPort(const PortSpec& p) {
  return std::string_view(p.name) == "Clk" || (p.width.min == 1 && p.width.max == 1);
}

BlockSession::BlockSession(PluginLoader& plugin, const BlockSetup& setup)
    : plugin_(plugin), signValue_(setup.signValue) {
  type_ = FindBlockType(setup.exportName);
  if (type_ == nullptr) throw BlockSetupError("unknown block type \"" + setup.exportName + "\" (see block_types())");
  if (setup.width < 1 || setup.width > 32)
    throw BlockSetupError("width " + std::to_string(setup.width) + " is out of range (1 to 32 bits)");
  const std::span<const PortSpec> ports = PortsOfType(*type_);
  for (const std::string& name : setup.optionalInputs) {
    const auto p = std::find_if(ports.begin(), ports.end(), [&](const PortSpec& s) { return name == s.name; });
    if (p == ports.end() || p->direction != PortDirection::In) {
      std::string known;
      for (const PortSpec& s : ports)
        if (s.direction == PortDirection::In) known += std::string(known.empty() ? "" : ", ") + s.name;
      throw BlockSetupError("block type " + type_->exportName + " has no input port \"" + name +
                            "\" (inputs: " + (known.empty() ? "none" : known) + ")");
    }
  }
  const std::vector<uint8_t> record = BuildRecord(*type_, setup);
  BlockEntry entry;
  entry.name = type_->exportName;
  entry.exportName = type_->exportName;
  entry.record = record;
  const char* problemField = nullptr;
  const std::string problem = RecordProblem(entry, *type_, problemField);
  if (!problem.empty()) throw BlockSetupError(problem);

  host_.AddRef();  // ours; the block only borrows it
  for (const PortSpec& p : ports) {
    const bool in = p.direction == PortDirection::In;
    const bool wanted =
        !in || p.required ||
        std::find(setup.optionalInputs.begin(), setup.optionalInputs.end(), p.name) != setup.optionalInputs.end();
    if (!wanted) continue;
    const VarHandle h =
        host_.AddVariable(p.name, PortKind(p), PortVariableWidth(p, setup.width), in ? 0 : kWritableFlag,
                          std::string(static_cast<size_t>(PortVariableWidth(p, setup.width)), '0'));
    (in ? inputs_ : outputs_).push_back(p.name);
    widths_[p.name] = PortVariableWidth(p, setup.width);
    (in ? inputHandles_ : outputHandles_).push_back(h);
  }
  host_.SetIntParameter("SignValue", setup.signValue);
  host_.SetRecord(record);
  host_.SetSamplePeriod(1);
  host_.SetTime(0);
  host_.SetLibraryDirectory(type_->blockClass == BlockClass::WaveLoad || type_->blockClass == BlockClass::WaveSave
                                ? setup.folder
                                : plugin_.Directory());
  host_.SetReportListener([this](const HostReport& r) {
    if (r.abort) {
      aborted_ = true;
      messages_.push_back(DescribeAbort(HostLanguage::English, type_->exportName));
      return;
    }
    std::string port, variable;
    if (r.code == rcWrongKindOrFlags || r.code == rcWrongWidth)
      port = variable = host_.PortOf(static_cast<VarHandle>(r.argument));
    messages_.push_back(DescribeReport(HostLanguage::English, type_->exportName, r.code, port, variable, r.text));
  });

  const InitExport init = plugin_.Init(type_->exportName.c_str());
  if (init == nullptr) throw BlockSetupError(DescribeMissingExport(HostLanguage::English, "", type_->exportName));
  plugin_.SetMessageHandler(&BlockSession::OnLibraryMessage, this);
  IPELMOR* ref = &host_;
  IModel** self = init(&ref, 0);
  model_ = self != nullptr ? *self : nullptr;
  if (model_ != nullptr) model_->AddRef();
  plugin_.SetMessageHandler(nullptr, nullptr);
  if (model_ == nullptr || !model_->IsValid()) {
    std::string why = "block type " + type_->exportName + " is not valid";
    for (const std::string& m : messages_) why += "; " + m;
    if (model_ != nullptr) model_->Release();
    model_ = nullptr;
    throw BlockSetupError(why);
  }
  activation_ = model_->GetActivation();
  playsTable_ = activation_ == kTimeDriven && PlaysTable(*type_, record);
}

BlockSession::~BlockSession() { Close(); }

void BlockSession::Close() {
  if (model_ == nullptr) return;
  plugin_.SetMessageHandler(&BlockSession::OnLibraryMessage, this);
  model_->Done();
  model_->Release();
  model_ = nullptr;
  plugin_.SetMessageHandler(nullptr, nullptr);
}

int32_t BlockSession::PortWidth(const std::string& port) const {
  const auto w = widths_.find(port);
  return w != widths_.end() ? w->second : -1;
}

std::pair<int64_t, int64_t> BlockSession::PortRange(const std::string& port) const {
  const int64_t w = std::max(PortWidth(port), 1);
  // One-bit strobes and clocks carry 0 or 1 whatever the sign mode.
  if (w == 1) return {0, 1};
  if (signValue_ == 0) return {-((int64_t{1} << (w - 1)) - 1), (int64_t{1} << (w - 1)) - 1};
  return {0, (int64_t{1} << std::min<int64_t>(w, 32)) - 1};
}

void BlockSession::OnLibraryMessage(int32_t severity, const char* text, void* context) {
  auto* self = static_cast<BlockSession*>(context);
  self->messages_.push_back(
      DescribeLibraryMessage(HostLanguage::English, self->type_->exportName, severity, text != nullptr ? text : ""));
}

std::vector<std::string> BlockSession::TakeMessages() {
  std::vector<std::string> m;
  m.swap(messages_);
  return m;
}

void BlockSession::Process(size_t count, const std::vector<const int64_t*>& inputs,
                           const std::vector<int64_t*>& outputs) {
  if (model_ == nullptr || count == 0) return;
  VariableStore& store = host_.Store();
  std::vector<HostVariable*> in, out;
  std::vector<ValueTextBuffer> texts;
  for (size_t i = 0; i < inputHandles_.size(); ++i) {
    in.push_back(store.Get(inputHandles_[i]));
    texts.emplace_back(in.back()->width);
  }
  for (VarHandle h : outputHandles_) out.push_back(store.Get(h));
  // One-bit ports read as plain bits; buses in the block's sign mode.
  auto read = [&](const HostVariable* v) -> int64_t {
    if (v->width == 1) return v->value == "1" ? 1 : 0;
    if (signValue_ == 0) return DecodeValueText(0, v->value);
    return static_cast<int64_t>(static_cast<uint32_t>(DecodeValueText(signValue_, v->value)));
  };
  auto write = [&](size_t n) {
    for (size_t i = 0; i < in.size(); ++i) {
      const int64_t x = inputs[i][n];
      const char* text = in[i]->width == 1
                             ? (x != 0 ? "1" : "0")
                             : texts[i].Encode(signValue_, static_cast<int32_t>(static_cast<uint32_t>(x)));
      ++in[i]->writes;
      if (in[i]->value != text) {
        in[i]->value = text;
        ++in[i]->changes;
      }
    }
  };
  plugin_.SetMessageHandler(&BlockSession::OnLibraryMessage, this);
  for (size_t n = 0; n < count && !aborted_; ++n) {
    sample_ = started_ ? sample_ + 1 : 0;
    host_.SetTime(static_cast<long double>(sample_));
    write(n);
    if (!started_) {
      started_ = true;
      model_->LoadParameters();
      model_->Start();
      if (activation_ == kTimeDriven) model_->TimeStep();
      tableLeft_ = playsTable_ ? kGeneratorTableLength - 1 : -1;
    } else if (activation_ == kTimeDriven) {
      model_->TimeStep();
      if (tableLeft_ >= 0 && tableLeft_-- == 0)
        messages_.push_back(DescribeTableEnd(HostLanguage::English, type_->exportName, sample_, kGeneratorTableLength));
    } else {
      model_->InputChanged();
    }
    for (size_t j = 0; j < out.size(); ++j) outputs[j][n] = read(out[j]);
  }
  plugin_.SetMessageHandler(nullptr, nullptr);
}
