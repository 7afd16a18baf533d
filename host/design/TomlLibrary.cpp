// toml++'s implementation, compiled once into the simulator and the module
// when they are built without the shared toml++ library (RIR_EMBED_TOMLPP).
#define TOML_IMPLEMENTATION
#include <toml++/toml.h>
