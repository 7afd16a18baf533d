// A block's bus output as the block writes it: the value for the port's
// width and sign mode, and whether a sample comes through the port as the
// block computed it.
#pragma once

#include <cstdint>

#include "framework/ValueBits.h"
#include "framework/interface/HostExtension.h"

class SampleOutput {
 public:
  // A port of `width` bits whose texts are written in `signMode`.
  void Resize(int width, int32_t signMode);
  int Width() const { return width_; }

  // The sample's value, keeping the low bits the width carries. A
  // sign-magnitude text of up to 32 characters cannot carry -2^31 (a sign and
  // zeros read back as 0): such a port gets its most negative value instead.
  ValueBits Encode(int32_t v) const {
    if (v == INT32_MIN && lowersMostNegative_) v = INT32_MIN + 1;
    return EncodeValueBits(signMode_, v, width_);
  }
  // The sample the port reads back after Encode(v): what its text decodes
  // to in the port's sign mode.
  int32_t Carried(int32_t v) const { return DecodeValueBits(signMode_, Encode(v)); }
  // The all-zero value of this width.
  ValueBits Zero() const { return ValueBits::OfBits(0, width_); }

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
  int width_ = 0;
  int32_t signMode_ = 0;
  uint32_t limit_ = 0;      // the largest magnitude (or unsigned value) the port reads back
  bool magnitude_ = false;  // a sign-magnitude port of two bits or more: the limit is on |v|
  bool lowersMostNegative_ = false;
};
