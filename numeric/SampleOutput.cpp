#include "SampleOutput.h"

void SampleOutput::Resize(int width, int32_t signMode) {
  width_ = width > 0 ? width : 0;
  signMode_ = signMode;
  const int w = width_;
  // A one-character text reads 0 or 1 in either mode.
  magnitude_ = signMode == 0 && w >= 2;
  if (w <= 0)
    limit_ = 0;
  else if (magnitude_)
    limit_ = w > 32 ? 0x80000000u : (uint32_t{1} << (w - 1)) - 1;
  else  // 32 unsigned bits carry any v >= 0 and -2^31, whose magnitude has its bits
    limit_ = w >= 32 ? 0x80000000u : (uint32_t{1} << w) - 1;
  lowersMostNegative_ = signMode == 0 && w <= 32;
}
