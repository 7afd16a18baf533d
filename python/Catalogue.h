// The catalogue as Python data (rir_eda._core.block_info).
#pragma once

#include <pybind11/pybind11.h>

void AddCatalogue(pybind11::module_& m);
