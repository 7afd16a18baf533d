// Compile-time checks of the calling layout the 32-bit Windows host fixes:
// stdcall slots and exports, one-byte booleans, 32-bit handles and pointer-
// sized ReportError arguments, TimeStep's result in the x87 register.
#include <type_traits>

#include "framework/interface/UExtParameterTypes.h"
#include "framework/interface/IntTypes.h"

static_assert(sizeof(bool) == 1);
static_assert(sizeof(VarHandle) == 4);
static_assert(sizeof(intptr_t) == sizeof(void*));
static_assert(sizeof(GUID) == 16);

#if defined(__i386__)
static_assert(sizeof(intptr_t) == 4);
static_assert(std::is_same_v<InitExport, IModel**(__stdcall*)(IPELMOR**, intptr_t)>);
static_assert(std::is_same_v<decltype(&IModel::TimeStep), long double (__stdcall IModel::*)()>);
static_assert(std::is_same_v<decltype(&IModel::IsValid), bool (__stdcall IModel::*)()>);
static_assert(
    std::is_same_v<decltype(&IModel::QueryInterface), int32_t (__stdcall IRirUnknown::*)(const GUID*, void**)>);
static_assert(std::is_same_v<decltype(&IPELMOR::ReportError), void (__stdcall IPELMOR::*)(int32_t, intptr_t)>);
static_assert(std::is_same_v<decltype(&IPELMOR::FindVariable), VarHandle (__stdcall IPELMOR::*)(const char*)>);
static_assert(std::is_same_v<decltype(&IPELMOR::GetTime), long double (__stdcall IPELMOR::*)()>);
static_assert(
    std::is_same_v<decltype(&IExtParameter::SetData), void (__stdcall IExtParameter::*)(const void*, int32_t)>);
#endif
