#include "DesignText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

enum class StatementKind { Header, ArrayHeader, KeyValue };

struct KeySpan {
  std::vector<std::string> key;
  size_t valueBegin = 0, valueEnd = 0;
};

struct Statement {
  StatementKind kind = StatementKind::KeyValue;
  std::vector<std::string> key;
  size_t lineStart = 0;  // start of the statement's first line
  size_t begin = 0;      // first character of the statement
  size_t valueBegin = 0, valueEnd = 0;
  size_t end = 0;  // the line break after the statement (or the text's end)
};

// A scanner of just enough TOML to find where statements and values begin
// and end. The text was checked by the design reader before, so the scanner
// only has to be right on valid TOML; on anything else it gives up.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : t_(text) {}

  std::vector<Statement> Statements() {
    std::vector<Statement> out;
    for (;;) {
      SkipBlank(true);
      if (p_ >= t_.size()) break;
      Statement s;
      s.begin = p_;
      s.lineStart = t_.rfind('\n', p_ == 0 ? 0 : p_ - 1);
      s.lineStart = (s.lineStart == std::string_view::npos || p_ == 0) ? 0 : s.lineStart + 1;
      if (t_[p_] == '[') {
        ++p_;
        s.kind = StatementKind::Header;
        if (At('[')) {
          ++p_;
          s.kind = StatementKind::ArrayHeader;
        }
        s.key = Key();
        Expect(']');
        if (s.kind == StatementKind::ArrayHeader) Expect(']');
      } else {
        s.key = Key();
        Expect('=');
        SkipSpaces();
        s.valueBegin = p_;
        Value();
        s.valueEnd = p_;
      }
      s.end = LineEnd();
      out.push_back(std::move(s));
    }
    return out;
  }

  // The entries of the inline table starting at `begin` ('{'); `close` is
  // the position of its '}'.
  std::vector<KeySpan> InlineTable(size_t begin, size_t& close) {
    p_ = begin;
    Expect('{');
    std::vector<KeySpan> entries;
    SkipBlank(true);
    if (At('}')) {
      close = p_++;
      return entries;
    }
    for (;;) {
      KeySpan e;
      e.key = Key();
      Expect('=');
      SkipSpaces();
      e.valueBegin = p_;
      Value();
      e.valueEnd = p_;
      entries.push_back(std::move(e));
      SkipBlank(true);
      if (At(',')) {
        ++p_;
        SkipBlank(true);
        if (At('}')) {  // a trailing comma, allowed by newer TOML
          close = p_++;
          return entries;
        }
        continue;
      }
      if (At('}')) {
        close = p_++;
        return entries;
      }
      Fail("a malformed inline table");
    }
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    size_t line = 1;
    for (size_t i = 0; i < p_ && i < t_.size(); ++i) line += t_[i] == '\n';
    throw DesignTextError("line " + std::to_string(line) + ": " + what);
  }
  bool At(char c) const { return p_ < t_.size() && t_[p_] == c; }
  bool AtText(std::string_view s) const { return t_.substr(p_, s.size()) == s; }
  void Expect(char c) {
    SkipSpaces();
    if (!At(c)) Fail(std::string("expected '") + c + "'");
    ++p_;
  }
  void SkipSpaces() {
    while (p_ < t_.size() && (t_[p_] == ' ' || t_[p_] == '\t')) ++p_;
  }
  // Spaces, comments and (when `lines`) line breaks.
  void SkipBlank(bool lines) {
    for (;;) {
      SkipSpaces();
      if (At('#')) {
        while (p_ < t_.size() && t_[p_] != '\n' && !AtText("\r\n")) ++p_;
      } else if (lines && (At('\n') || At('\r'))) {
        ++p_;
      } else {
        return;
      }
    }
  }
  // After a statement: only spaces and a comment may follow on its line.
  size_t LineEnd() {
    SkipBlank(false);
    if (p_ >= t_.size()) return p_;
    size_t end = p_;
    if (At('\r')) ++p_;
    if (!At('\n')) Fail("unexpected text after a statement");
    ++p_;
    return end;
  }

  std::vector<std::string> Key() {
    std::vector<std::string> parts;
    for (;;) {
      SkipSpaces();
      if (At('"')) {
        const size_t b = p_;
        BasicString();
        parts.push_back(Unescape(t_.substr(b + 1, p_ - b - 2)));
      } else if (At('\'')) {
        const size_t b = p_;
        LiteralString();
        parts.emplace_back(t_.substr(b + 1, p_ - b - 2));
      } else {
        const size_t b = p_;
        while (p_ < t_.size() && (std::isalnum(static_cast<unsigned char>(t_[p_])) || t_[p_] == '_' || t_[p_] == '-'))
          ++p_;
        if (b == p_) Fail("expected a key");
        parts.emplace_back(t_.substr(b, p_ - b));
      }
      SkipSpaces();
      if (!At('.')) return parts;
      ++p_;
    }
  }

  static std::string Unescape(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '\\' && i + 1 < s.size()) {
        const char c = s[++i];
        out += c == 'n' ? '\n' : c == 't' ? '\t' : c;  // enough to compare keys
      } else {
        out += s[i];
      }
    }
    return out;
  }

  void BasicString() {
    if (AtText("\"\"\"")) {
      p_ += 3;
      for (;;) {
        if (p_ >= t_.size()) Fail("an unterminated text");
        if (At('\\')) {
          p_ += 2;
        } else if (AtText("\"\"\"")) {
          p_ += 3;
          for (int extra = 0; extra < 2 && At('"'); ++extra) ++p_;
          return;
        } else {
          ++p_;
        }
      }
    }
    ++p_;
    for (;;) {
      if (p_ >= t_.size() || At('\n')) Fail("an unterminated text");
      if (At('\\')) {
        p_ += 2;
      } else if (At('"')) {
        ++p_;
        return;
      } else {
        ++p_;
      }
    }
  }

  void LiteralString() {
    if (AtText("'''")) {
      const size_t close = t_.find("'''", p_ + 3);
      if (close == std::string_view::npos) Fail("an unterminated text");
      p_ = close + 3;
      for (int extra = 0; extra < 2 && At('\''); ++extra) ++p_;
      return;
    }
    const size_t close = t_.find_first_of("'\n", p_ + 1);
    if (close == std::string_view::npos || t_[close] != '\'') Fail("an unterminated text");
    p_ = close + 1;
  }

  void Value() {
    if (p_ >= t_.size()) Fail("a missing value");
    if (At('"')) return BasicString();
    if (At('\'')) return LiteralString();
    if (At('[')) {
      ++p_;
      for (;;) {
        SkipBlank(true);
        if (At(']')) {
          ++p_;
          return;
        }
        Value();
        SkipBlank(true);
        if (At(',')) {
          ++p_;
        } else if (!At(']')) {
          Fail("a malformed list");
        }
      }
    }
    if (At('{')) {
      size_t close = 0;
      InlineTable(p_, close);
      return;
    }
    const size_t b = p_;
    while (p_ < t_.size() && std::string_view(" \t\r\n,]}#").find(t_[p_]) == std::string_view::npos) ++p_;
    // A date and time may hold one space: "1979-05-27 07:32:00".
    if (p_ + 1 < t_.size() && t_[p_] == ' ' && p_ - b == 10 && t_[b + 4] == '-' &&
        std::isdigit(static_cast<unsigned char>(t_[p_ + 1]))) {
      ++p_;
      while (p_ < t_.size() && std::string_view(" \t\r\n,]}#").find(t_[p_]) == std::string_view::npos) ++p_;
    }
    if (b == p_) Fail("a missing value");
  }

  std::string_view t_;
  size_t p_ = 0;
};

bool BareKey(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
  return true;
}

std::string QuotedText(std::string_view s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04X", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0x80 ? 0 : c >= 0xC2 && c <= 0xDF ? 1 : (c >> 4) == 0xE ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 9;
    if (n == 9 || i + n >= s.size()) return false;
    for (size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n + 1;
  }
  return true;
}

std::string RealText(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  // TOML wants a digit after the point and before an exponent: "1e+20" is fine.
  return s;
}

std::string Indent(std::string_view text, const Statement& s) {
  return std::string(text.substr(s.lineStart, s.begin - s.lineStart));
}

std::string LineBreak(std::string_view text) {
  const size_t n = text.find('\n');
  return n != std::string_view::npos && n > 0 && text[n - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

std::string TomlValueText(const FieldValue& value) {
  if (const auto* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&value)) return RealText(*d);
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (!ValidUtf8(*s)) throw DesignTextError("the text " + QuotedText(*s) + " is not UTF-8; a design cannot hold it");
    return QuotedText(*s);
  }
  const auto& list = std::get<std::vector<double>>(value);
  size_t n = list.size();
  while (n > 0 && list[n - 1] == 0 && !std::signbit(list[n - 1])) --n;
  std::string out = "[";
  for (size_t i = 0; i < n; ++i) out += (i == 0 ? "" : ", ") + RealText(list[i]);
  return out + "]";
}

namespace {

// Where the block's parts are written: its header, its own statements, its
// [block.parameters] table and the value of every field it names.
struct BlockText {
  struct Place {
    size_t begin, end;
  };
  const Statement* header = nullptr;
  std::vector<const Statement*> body, section;
  const Statement* sectionHeader = nullptr;
  std::map<std::string, Place> fields;
  const Statement* inlineTable = nullptr;
  std::vector<KeySpan> inlineEntries;
  size_t inlineClose = 0;
  const Statement* lastDotted = nullptr;
  const Statement* position = nullptr;
  const Statement* LastBody() const { return body.empty() ? header : body.back(); }
};

struct Change {
  size_t begin, end;
  std::string text;
};

// Read: finds the `blockIndex`-th [[block]] among the statements `st` of
// `text`, and where each of its fields and its dialog position are written.
BlockText ReadBlockText(std::string_view text, const std::vector<Statement>& st, size_t blockIndex) {
  BlockText b;
  size_t header = st.size();
  for (size_t i = 0, seen = 0; i < st.size(); ++i) {
    if (st[i].kind == StatementKind::ArrayHeader && st[i].key == std::vector<std::string>{"block"}) {
      if (seen++ == blockIndex) {
        header = i;
        break;
      }
    }
  }
  if (header == st.size()) throw DesignTextError("the block is not written as a [[block]] table");
  b.header = &st[header];
  // The block's tables run to the next [[block]]: a [block.parameters]
  // written after another table, such as [output], is still this block's.
  const Statement* owner = nullptr;  // the sub-table a statement belongs to, null: the block itself
  for (size_t i = header + 1; i < st.size(); ++i) {
    const Statement& s = st[i];
    if (s.kind == StatementKind::ArrayHeader && s.key == std::vector<std::string>{"block"}) break;
    if (s.kind == StatementKind::Header || s.kind == StatementKind::ArrayHeader) {
      owner = &s;  // a table of this block's, or of another part of the design
      if (s.kind == StatementKind::Header && s.key == std::vector<std::string>{"block", "parameters"})
        b.sectionHeader = &s;
      continue;
    }
    if (owner == nullptr) {
      b.body.push_back(&s);
    } else if (owner == b.sectionHeader) {
      b.section.push_back(&s);
    }
  }

  for (const Statement* s : b.body) {
    if (s->key == std::vector<std::string>{"parameters"}) {
      if (text[s->valueBegin] != '{') throw DesignTextError("\"parameters\" is not an inline table");
      b.inlineTable = s;
      b.inlineEntries = Scanner(text).InlineTable(s->valueBegin, b.inlineClose);
      for (const KeySpan& e : b.inlineEntries) {
        if (e.key.size() != 1) throw DesignTextError("dotted keys inside \"parameters\" cannot be edited");
        b.fields[e.key[0]] = {e.valueBegin, e.valueEnd};
      }
    } else if (s->key.size() == 2 && s->key[0] == "parameters") {
      b.fields[s->key[1]] = {s->valueBegin, s->valueEnd};
      b.lastDotted = s;
    } else if (s->key == std::vector<std::string>{"dialog_position"}) {
      b.position = s;
    }
  }
  for (const Statement* s : b.section) {
    if (s->key.size() != 1) throw DesignTextError("dotted keys inside [block.parameters] cannot be edited");
    b.fields[s->key[0]] = {s->valueBegin, s->valueEnd};
  }
  return b;
}

// The fields of `edits` the block does not name yet and may gain.
std::vector<const FieldEdit*> AddedFields(const BlockText& b, const BlockEdits& edits) {
  std::vector<const FieldEdit*> added;
  if (edits.replaceOnly) return added;
  for (const FieldEdit& e : edits.fields)
    if (b.fields.count(e.name) == 0) added.push_back(&e);
  return added;
}

// Diff: the text changes that carry `edits` into the block. Values written
// now are replaced where they stand; new fields join the way the block
// already writes its parameters (inline table, [block.parameters] or dotted
// keys), or an inline table at the end of the block.
std::vector<Change> PlanChanges(std::string_view text, const BlockText& b, const BlockEdits& edits) {
  const std::string br = LineBreak(text);
  std::vector<Change> changes;
  for (const FieldEdit& e : edits.fields) {
    const auto it = b.fields.find(e.name);
    if (it != b.fields.end()) changes.push_back({it->second.begin, it->second.end, e.valueText});
  }
  const std::vector<const FieldEdit*> added = AddedFields(b, edits);
  auto keyText = [](const std::string& k) { return BareKey(k) ? k : QuotedText(k); };
  const Statement* lastBody = b.LastBody();
  std::string bodyLines;  // new lines at the end of the block's own table
  if (!added.empty()) {
    if (b.inlineTable != nullptr) {
      std::string list;
      for (const FieldEdit* e : added) list += (list.empty() ? "" : ", ") + keyText(e->name) + " = " + e->valueText;
      if (b.inlineEntries.empty()) {
        changes.push_back({b.inlineTable->valueBegin + 1, b.inlineClose, " " + list + " "});
      } else {
        const size_t at = b.inlineEntries.back().valueEnd;
        changes.push_back({at, at, ", " + list});
      }
    } else if (b.sectionHeader != nullptr) {
      const Statement* last = b.section.empty() ? b.sectionHeader : b.section.back();
      const std::string indent = b.section.empty() ? std::string() : Indent(text, *last);
      std::string lines;
      for (const FieldEdit* e : added) lines += br + indent + keyText(e->name) + " = " + e->valueText;
      changes.push_back({last->end, last->end, lines});
    } else if (b.lastDotted != nullptr) {
      std::string lines;
      for (const FieldEdit* e : added)
        lines += br + Indent(text, *b.lastDotted) + "parameters." + keyText(e->name) + " = " + e->valueText;
      changes.push_back({b.lastDotted->end, b.lastDotted->end, lines});
    } else {
      std::string list;
      for (const FieldEdit* e : added) list += (list.empty() ? "" : ", ") + keyText(e->name) + " = " + e->valueText;
      bodyLines += br + Indent(text, *lastBody) + "parameters = { " + list + " }";
    }
  }
  if (edits.position) {
    if (b.position != nullptr) {
      changes.push_back({b.position->valueBegin, b.position->valueEnd, *edits.position});
    } else {
      bodyLines += br + Indent(text, *lastBody) + "dialog_position = " + *edits.position;
    }
  }
  if (!bodyLines.empty()) {
    changes.push_back({lastBody->end, lastBody->end, bodyLines});
  }
  return changes;
}

// Write: applies the changes, later ones first, so earlier positions stay valid.
std::string ApplyChanges(std::string_view text, std::vector<Change> changes) {
  std::stable_sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) { return a.begin > b.begin; });
  std::string out(text);
  for (const Change& c : changes) out.replace(c.begin, c.end - c.begin, c.text);
  return out;
}

// Verify: the edited text scans again and the block now holds every edited
// value where a reader finds it; a fault here is refused, never written.
void VerifyEdited(std::string_view edited, size_t blockIndex, const BlockText& before, const BlockEdits& edits) {
  const std::vector<Statement> st = Scanner(edited).Statements();
  const BlockText after = ReadBlockText(edited, st, blockIndex);
  auto holds = [edited](const BlockText::Place& p, const std::string& value) {
    return edited.substr(p.begin, p.end - p.begin) == value;
  };
  for (const FieldEdit& e : edits.fields) {
    if (edits.replaceOnly && before.fields.count(e.name) == 0) continue;
    const auto it = after.fields.find(e.name);
    if (it == after.fields.end() || !holds(it->second, e.valueText))
      throw DesignTextError("the edited field \"" + e.name + "\" does not read back");
  }
  if (edits.position &&
      (after.position == nullptr || !holds({after.position->valueBegin, after.position->valueEnd}, *edits.position)))
    throw DesignTextError("the edited dialog_position does not read back");
}

}  // namespace

std::string EditBlockText(std::string_view text, size_t blockIndex, const BlockEdits& edits) {
  const std::vector<Statement> statements = Scanner(text).Statements();
  const BlockText block = ReadBlockText(text, statements, blockIndex);
  const std::string edited = ApplyChanges(text, PlanChanges(text, block, edits));
  VerifyEdited(edited, blockIndex, block, edits);
  return edited;
}
