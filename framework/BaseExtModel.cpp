#include "BaseExtModel.h"

#include <algorithm>
#include <cstring>

TBaseModel::TBaseModel(IPELMOR* host, int32_t auxValue, int32_t activation)
    : Host(host), Activation(activation), AuxValue(auxValue) {
  if (Host != nullptr) Host->AddRef();
  AddRef();
  SelfRef = this;
}

TBaseModel::~TBaseModel() {
  if (Host != nullptr) Host->Release();
}

int32_t RIR_STDCALL TBaseModel::QueryInterface(const GUID* iid, void** out) {
  if (out == nullptr) return kQueryNoInterface;
  if (!IsKnownInterfaceId(iid)) {
    *out = nullptr;
    return kQueryNoInterface;
  }
  AddRef();
  *out = static_cast<IModel*>(this);
  return kQueryOk;
}

uint32_t RIR_STDCALL TBaseModel::AddRef() { return RefCount.fetch_add(1, std::memory_order_relaxed) + 1; }

uint32_t RIR_STDCALL TBaseModel::Release() {
  const uint32_t left = RefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete this;
  return left;
}

void RIR_STDCALL TBaseModel::Done() {
  // Drop the self reference; the host's own release then destroys the block.
  IModel* self = SelfRef;
  SelfRef = nullptr;
  if (self != nullptr) self->Release();
}

int32_t RIR_STDCALL TBaseModel::Reserved13(int32_t, const char** out) {
  if (out != nullptr) *out = "";
  return 1;
}

void RIR_STDCALL TBaseModel::Reserved21() { Report(rcReserved21, 0); }

bool TBaseModel::Bind(std::initializer_list<PortBinding> ports, uint16_t mask, bool required) {
  bool result = true;
  for (const PortBinding& port : ports) {
    const VarHandle handle = Host->FindVariable(port.name);
    *port.handle = handle;
    if (handle != 0) {
      const uint16_t flags = Host->GetVariableFlags(handle);
      if ((flags & mask) != mask) {
        result = false;
        Report(rcWrongKindOrFlags, static_cast<intptr_t>(handle));
      }
    } else if (required) {
      result = false;
      Report(rcNotFound, reinterpret_cast<intptr_t>(port.name));
    }
  }
  Valid = Valid && result;
  return result;
}

bool TBaseModel::BindRequired(std::initializer_list<PortBinding> ports, uint16_t mask) {
  return Bind(ports, mask, true);
}

bool TBaseModel::BindOptional(std::initializer_list<PortBinding> ports, uint16_t mask) {
  return Bind(ports, mask, false);
}

bool TBaseModel::BindPorts(std::span<const PortSpec> ports, std::initializer_list<VarHandle*> handles,
                           uint32_t* usable) {
  if (usable != nullptr) *usable = 0;
  const size_t count = std::min(ports.size(), handles.size());
  size_t i = 0;
  while (i < count) {
    const bool required = ports[i].required;
    const PortDirection direction = ports[i].direction;
    const uint16_t mask = direction == PortDirection::Out ? kWritableFlag : 0;
    bool result = true;
    for (; i < count && ports[i].required == required && ports[i].direction == direction; ++i) {
      const VarHandle handle = Host->FindVariable(ports[i].name);
      *handles.begin()[i] = handle;
      if (handle != 0) {
        const uint16_t flags = Host->GetVariableFlags(handle);
        if ((flags & mask) != mask) {
          result = false;
          Report(rcWrongKindOrFlags, static_cast<intptr_t>(handle));
        } else if (usable != nullptr) {
          *usable |= uint32_t{1} << i;
        }
      } else if (required) {
        result = false;
        Report(rcNotFound, reinterpret_cast<intptr_t>(ports[i].name));
      }
    }
    Valid = Valid && result;
    if (!result) return false;
  }
  return true;
}

const char* TBaseModel::ReadValueText(VarHandle handle) const {
  const char* text = Host->GetValueText(handle);
  return text != nullptr ? text : "";
}

bool TBaseModel::IsHigh(VarHandle handle) const {
  const char* text = ReadValueText(handle);
  return text[0] == '1' && text[1] == '\0';
}

void TBaseModel::WriteValueText(VarHandle handle, const char* text) const { Host->SetValueText(handle, text); }

int32_t TBaseModel::GetIntParameter(const char* name, int32_t def) const {
  void* data = nullptr;
  int32_t size = 4;
  Host->GetParameter(name, &data, &size);
  if (data == nullptr || size != 4) return def;
  int32_t value;
  std::memcpy(&value, data, sizeof value);
  return value;
}

bool TBaseModel::GetRecordParameter(const char* name, void* dest, int32_t size) const {
  void* data = nullptr;
  int32_t got = size;
  Host->GetParameter(name, &data, &got);
  if (data == nullptr || got != size) return false;
  std::memcpy(dest, data, static_cast<size_t>(size));
  return true;
}
