// Constructors behind the init exports, one per block class. Each returns
// the address of the new block's SelfRef.
#pragma once

#include <cstdint>

#include "interface/IntTypes.h"

IModel** CreateGenerator(IPELMOR* host, const char* typeName);
IModel** CreateSimpleTransform(IPELMOR* host, const char* typeName);
IModel** CreateTransform(IPELMOR* host, const char* typeName);
IModel** CreateFilterTransform(IPELMOR* host, const char* typeName);
IModel** CreateWaveIO(IPELMOR* host, uint8_t mode);  // 0 load, 1 save
