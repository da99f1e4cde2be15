// Owners for COM: the thread's apartment, an interface pointer and memory
// from the COM task allocator (item id lists of the shell).
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace velkor::win {

// CoInitialize for the scope; CoUninitialize only when it succeeded (also
// when COM was initialised on this thread already, which counts once more).
class ComApartment {
 public:
  ComApartment() noexcept : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  // With the flags of CoInitializeEx (a single-threaded apartment among them or not).
  explicit ComApartment(DWORD flags) noexcept : initialised_(SUCCEEDED(CoInitializeEx(nullptr, flags))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  [[nodiscard]] bool initialised() const noexcept { return initialised_; }

 private:
  bool initialised_;
};

// One reference to a COM interface, released when the owner goes.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      value_ = std::exchange(other.value_, nullptr);
    }
    return *this;
  }

  [[nodiscard]] Interface* get() const noexcept { return value_; }
  Interface* operator->() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != nullptr; }
  void reset() noexcept {
    if (Interface* old = std::exchange(value_, nullptr)) old->Release();
  }
  // For out-parameters of CoCreateInstance and QueryInterface.
  void** put() noexcept {
    reset();
    return reinterpret_cast<void**>(&value_);
  }
  // The same interface asked for another one; empty when it has none.
  template <typename Other>
  ComPtr<Other> As(REFIID iid) const noexcept {
    ComPtr<Other> other;
    if (value_ && FAILED(value_->QueryInterface(iid, other.put()))) other.reset();
    return other;
  }

 private:
  Interface* value_ = nullptr;
};

// Memory the shell hands out from the COM task allocator (an item id list).
template <typename T>
class CoTaskMemory {
 public:
  CoTaskMemory() noexcept = default;
  ~CoTaskMemory() { CoTaskMemFree(value_); }
  CoTaskMemory(const CoTaskMemory&) = delete;
  CoTaskMemory& operator=(const CoTaskMemory&) = delete;
  [[nodiscard]] T* get() const noexcept { return value_; }
  T** put() noexcept {
    CoTaskMemFree(std::exchange(value_, nullptr));
    return &value_;
  }

 private:
  T* value_ = nullptr;
};

}  // namespace velkor::win
