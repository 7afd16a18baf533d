// rir_eda._core.block_info: one block type's catalogue row, ports and the
// record fields it reads as Python data, for tools that build on the
// catalogue (the GNU Radio Companion blocks) instead of keeping a copy.
#include "Catalogue.h"

#include <pybind11/stl.h>

#include <cmath>
#include <sstream>

#include "host/design/BlockReference.h"
#include "host/design/BlockTypes.h"
#include "host/design/RecordFields.h"
#include "host/session/BlockSession.h"

namespace py = pybind11;

namespace {

const char* FamilyOf(BlockClass c) {
  switch (c) {
    case BlockClass::Generator:
      return "generator";
    case BlockClass::SimpleTransform:
      return "element-wise";
    case BlockClass::Transform:
      return "buffer";
    case BlockClass::FilterTransform:
      return "filter";
    case BlockClass::WaveLoad:
    case BlockClass::WaveSave:
      return "wave";
  }
  return "";
}

const char* ValueKindOf(FieldType t) {
  switch (t) {
    case FieldType::Bool:
      return "bool";
    case FieldType::Float32:
    case FieldType::Float64:
      return "real";
    case FieldType::Text:
      return "text";
    case FieldType::Float32Array:
      return "list";
    default:
      return "int";
  }
}

py::object Bound(double v) { return std::isfinite(v) ? py::cast(v) : py::none(); }

py::object ToPython(const FieldValue& v) {
  return std::visit([](const auto& x) -> py::object { return py::cast(x); }, v);
}

// The values a field takes by name from the catalogue: a group's operations,
// the generator kinds. Empty for other fields.
py::list CatalogueChoices(const BlockType& type, std::string_view field) {
  py::list choices;
  if (field == "TransformCode") {
    for (int32_t code = 1; code < ccArithmeticGroup; ++code)
      if (*CatalogueName(code) != '\0' && GroupOfCode(DialogCodeOfCatalogueCode(code)) == type.row->group)
        choices.append(py::make_tuple(code, CatalogueName(code)));
  } else if (field == "Kind" && type.blockClass == BlockClass::Generator) {
    for (int32_t kind = 0; kind < kGeneratorKindCount; ++kind)
      choices.append(py::make_tuple(kind, kGeneratorKinds[kind].typeName));
  }
  return choices;
}

py::dict FieldInfo(const BlockType& type, const RecordLayout& layout, const std::vector<uint8_t>& defaults,
                   const RecordField& f) {
  py::dict d;
  d["name"] = f.name;
  d["type"] = FieldTypeName(f);
  d["kind"] = ValueKindOf(f.type);
  d["min"] = Bound(f.min);
  d["max"] = Bound(f.max);
  d["control_min"] = f.HasControl() ? Bound(f.controlMin) : py::none();
  d["control_max"] = f.HasControl() ? Bound(f.controlMax) : py::none();
  d["range"] = FieldRangeText(f);
  d["unit"] = f.unit;
  d["meaning"] = f.meaning;
  d["choices"] = CatalogueChoices(type, f.name);
  FieldValue value = GetField(layout, defaults.data(), f);
  d["count_field"] = f.IsCounted() ? py::cast(f.countedBy) : py::none();
  if (f.IsCounted()) {
    // A list's default holds as many entries as its count's default says.
    const FieldValue n = GetField(layout, defaults.data(), CountOf(f));
    auto& list = std::get<std::vector<double>>(value);
    list.resize(std::min(list.size(), static_cast<size_t>(std::max<int64_t>(0, std::get<int64_t>(n)))));
  }
  d["default"] = ToPython(value);
  return d;
}

py::dict PortInfoOf(const BlockType& type, const PortSpec& p) {
  py::dict d;
  d["name"] = p.name;
  d["direction"] = p.direction == PortDirection::In ? "in" : "out";
  d["required"] = TypeRequiresPort(type, p.name);
  d["one_bit"] = IsOneBitPort(p);
  d["meaning"] = p.meaning;
  return d;
}

py::dict BlockInfo(const std::string& exportName) {
  const BlockType* type = FindBlockType(exportName);
  if (type == nullptr) throw BlockSetupError("unknown block type \"" + exportName + "\" (see block_types())");
  py::dict d;
  d["export"] = type->exportName;
  d["type_name"] = type->typeName;
  d["family"] = FamilyOf(type->blockClass);
  d["description"] = type->row->description;
  std::ostringstream reference;
  DescribeBlock(exportName, reference);
  d["reference"] = reference.str();
  py::list ports;
  for (const PortSpec& p : PortsOfType(*type)) ports.append(PortInfoOf(*type, p));
  d["ports"] = ports;
  const RecordLayout& layout = RecordOf(type->blockClass);
  const std::vector<uint8_t> defaults = DefaultRecord(layout);
  py::list fields;
  for (const char* name : type->row->fields) {
    const RecordField* f = FindField(layout, name);
    if (f != nullptr && !f->libraryState) fields.append(FieldInfo(*type, layout, defaults, *f));
  }
  d["fields"] = fields;
  return d;
}

}  // namespace

void AddCatalogue(py::module_& m) { m.def("block_info", &BlockInfo); }
