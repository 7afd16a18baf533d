// "rir-eda blocks": the block reference, read from the catalogue table and
// the record schema.
#pragma once

#include <ostream>
#include <string_view>

// Every block type with its one-line description, by class with the
// class's ports and record fields.
void ListBlocks(std::ostream& out);
// One type (export name with or without "_Init", or type name): description,
// ports, the record fields it reads and its limits. False when unknown.
bool DescribeBlock(std::string_view type, std::ostream& out);
