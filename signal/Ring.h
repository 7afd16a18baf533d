// Delay line of past inputs kept twice in a row, so that the newest `size`
// samples are always one contiguous window, most recent first; a push is
// two stores and never allocates.
#pragma once

#include <vector>

namespace nsp {

// sum a[k] b[k], k < n, in four interleaved partial sums (a fixed order, so
// results are reproducible, and independent chains for speed).
inline float Dot(const float* a, const float* b, int n) {
  float s0 = 0, s1 = 0, s2 = 0, s3 = 0;
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    s0 += a[k] * b[k];
    s1 += a[k + 1] * b[k + 1];
    s2 += a[k + 2] * b[k + 2];
    s3 += a[k + 3] * b[k + 3];
  }
  for (; k < n; ++k) s0 += a[k] * b[k];
  return (s0 + s1) + (s2 + s3);
}

// Dot(a, w, n) for the window w = {x, past[0], past[1], ...} that Push(x) is
// about to return: the same products in the same sums and order. A step
// reads the window before it stores x and takes x from a register; reading
// back the fresh store as part of a wider load would wait for the store.
inline float DotNewest(const float* a, float x, const float* past, int n) {
  float s0 = 0, s1 = 0, s2 = 0, s3 = 0;
  int k = 0;
  if (n >= 4) {
    s0 += a[0] * x;
    s1 += a[1] * past[0];
    s2 += a[2] * past[1];
    s3 += a[3] * past[2];
    for (k = 4; k + 4 <= n; k += 4) {
      s0 += a[k] * past[k - 1];
      s1 += a[k + 1] * past[k];
      s2 += a[k + 2] * past[k + 1];
      s3 += a[k + 3] * past[k + 2];
    }
  } else if (n > 0) {
    s0 += a[0] * x;
    k = 1;
  }
  for (; k < n; ++k) s0 += a[k] * past[k - 1];
  return (s0 + s1) + (s2 + s3);
}

class Ring {
 public:
  explicit Ring(int size) : size_(size), buf_(2 * static_cast<size_t>(size), 0.0f) {}

  // past[j] = x[n-1-j] for j < count (null: zeros); older inputs are 0.
  void Load(const float* past, int count) {
    head_ = 0;
    for (int j = 0; j < size_; ++j) {
      const float v = (past && j < count && j < size_ - 1) ? past[j] : 0.0f;
      buf_[j] = buf_[j + size_] = v;
    }
  }

  // Takes x[n]; returns the window w with w[j] = x[n-j], j < size.
  const float* Push(float x) {
    head_ = head_ == 0 ? size_ - 1 : head_ - 1;
    buf_[head_] = buf_[head_ + size_] = x;
    return buf_.data() + head_;
  }

  // The window the next Push will return, from its second value on: the
  // inputs 1, 2, ..., size - 1 pushes back, newest first.
  const float* NextPast() const { return buf_.data() + (head_ == 0 ? size_ : head_); }

  int Size() const { return size_; }
  // The window as the last Push returned it: newest first, Size() values.
  const float* Newest() const { return buf_.data() + head_; }

 private:
  int size_;
  int head_ = 0;
  std::vector<float> buf_;
};

}  // namespace nsp
