// A block's bus output as the block writes it: the value text, sized once
// for the port's width, and whether a sample comes through the port as the
// block computed it.
#pragma once

#include <cstdint>

#include "ValueText.h"
#include "framework/interface/HostExtension.h"

class SampleOutput {
 public:
  // A port of `width` bits whose texts are written in `signMode`.
  void Resize(int width, int32_t signMode);
  int Width() const { return text_.Width(); }

  // The sample's text, keeping the low bits the width carries. A
  // sign-magnitude text of up to 32 characters cannot carry -2^31 (a sign and
  // zeros read back as 0): such a port gets its most negative value instead.
  const char* Encode(int32_t v) {
    if (v == INT32_MIN && lowersMostNegative_) v = INT32_MIN + 1;
    return text_.Encode(signMode_, v);
  }
  // The sample the port reads back after Encode(v): its text decoded in the
  // port's sign mode, computed without the text.
  int32_t Carried(int32_t v) const {
    if (v == INT32_MIN && lowersMostNegative_) v = INT32_MIN + 1;
    const uint32_t magnitude = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    const uint32_t bits = magnitude & widthMask_;
    if (!magnitude_) return static_cast<int32_t>(signMode_ == 0 && v < 0 ? bits | topBit_ : bits);
    // Sign-magnitude: the top character is the sign, whether the value's or
    // a magnitude bit that reached it.
    const bool negative = v < 0 || (bits & topBit_) != 0;
    const uint32_t kept = bits & (topBit_ - 1);
    return static_cast<int32_t>(negative ? 0u - kept : kept);
  }
  // The all-zero text of this width.
  const char* Zero() { return text_.Zero(); }

  // What becomes of `v` on this port: `rounding`, a problem met when the
  // result became a sample, comes first; else rvpWrapped when the port does
  // not read `v` back (magnitude bits beyond the width, or the sign of an
  // unsigned port, are dropped), else rvpNone. No branch.
  int32_t Problem(int32_t v, int32_t rounding = rvpNone) const {
    const auto bits = static_cast<uint32_t>(v);
    const uint32_t carried = magnitude_ && v < 0 ? 0u - bits : bits;
    const int32_t wrapped = carried > limit_ ? rvpWrapped : rvpNone;
    return rounding != rvpNone ? rounding : wrapped;
  }

 private:
  ValueTextBuffer text_;
  int32_t signMode_ = 0;
  uint32_t limit_ = 0;      // the largest magnitude (or unsigned value) the port reads back
  bool magnitude_ = false;  // a sign-magnitude port of two bits or more: the limit is on |v|
  bool lowersMostNegative_ = false;
  uint32_t widthMask_ = 0;  // the bits a text of this width holds
  uint32_t topBit_ = 0;     // its first character's bit (0 for no text)
};
