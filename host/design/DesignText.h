// Careful textual edits of a design file: the block's record fields and its
// dialog position are rewritten in place, so comments, layout and every
// other block stay byte for byte as the user wrote them.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "RecordFields.h"

struct DesignTextError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct FieldEdit {
  std::string name;
  std::string valueText;  // TOML value text
};

struct BlockEdits {
  std::vector<FieldEdit> fields;
  std::optional<std::string> position;  // TOML value text of dialog_position
  // Only fields the block already names are rewritten; others are skipped
  // (a block whose record comes from a record file).
  bool replaceOnly = false;
};

// The value as TOML writes it: integers in decimal, reals in the shortest
// text that reads back to the same number, texts quoted and escaped, lists
// of reals without their trailing zeros (the reader fills them with 0).
// Throws DesignTextError for a text that is not UTF-8.
std::string TomlValueText(const FieldValue& value);

// Applies the edits to the `blockIndex`-th [[block]] table of `text`.
// Throws DesignTextError when the text cannot be edited safely.
std::string EditBlockText(std::string_view text, size_t blockIndex, const BlockEdits& edits);
