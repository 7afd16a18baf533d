// Filtering calls bound to their live states (RirNsp_BindStep): each filter
// family binds its own calls.
#pragma once

#include <string_view>

#include "nsp.h"

namespace nsp {

// For `name` one of the family's filtering calls: fills `bound` when the
// states are live ones the call filters with (leaves it as it is otherwise)
// and answers true. False for any other name.
bool BindFirStep(std::string_view name, const void* state, const void* dlyState, RirNspBoundStep& bound);
bool BindIirStep(std::string_view name, const void* state, const void* dlyState, RirNspBoundStep& bound);
bool BindLmsStep(std::string_view name, const void* state, const void* dlyState, RirNspBoundStep& bound);

}  // namespace nsp
