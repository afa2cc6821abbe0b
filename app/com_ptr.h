// COM ownership: ComPtr holds one reference, Bstr owns a BSTR, Variant owns a
// VARIANT. Each names its release function once.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <utility>

template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  // Adopts a reference the caller already owns.
  explicit ComPtr(T* adopted) noexcept : p_(adopted) {}
  ~ComPtr() { Reset(); }

  ComPtr(const ComPtr& other) noexcept : p_(other.p_) {
    if (p_ != nullptr) p_->AddRef();
  }
  ComPtr& operator=(const ComPtr& other) noexcept {
    if (this != &other) {
      if (other.p_ != nullptr) other.p_->AddRef();
      Reset(other.p_);
    }
    return *this;
  }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.p_, nullptr));
    return *this;
  }

  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // For out-parameters: releases what is held and lends the slot.
  T** Receive() noexcept {
    Reset();
    return &p_;
  }
  void** ReceiveVoid() noexcept { return reinterpret_cast<void**>(Receive()); }

  T* Detach() noexcept { return std::exchange(p_, nullptr); }

  void Reset(T* adopted = nullptr) noexcept {
    T* old = std::exchange(p_, adopted);
    if (old != nullptr) old->Release();
  }

  template <typename U>
  HRESULT As(ComPtr<U>* out) const noexcept {
    return p_ == nullptr ? E_POINTER : p_->QueryInterface(__uuidof(U), out->ReceiveVoid());
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() noexcept = default;
  explicit Bstr(const wchar_t* text) : b_(::SysAllocString(text)) {}
  ~Bstr() { ::SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR Get() const noexcept { return b_; }
  BSTR* Receive() noexcept {
    ::SysFreeString(b_);
    b_ = nullptr;
    return &b_;
  }

 private:
  BSTR b_ = nullptr;
};

class Variant {
 public:
  Variant() noexcept { ::VariantInit(&v_); }
  ~Variant() { ::VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* Get() noexcept { return &v_; }

 private:
  VARIANT v_;
};

// CoInitialize/CoUninitialize for one scope.
class ScopedComInit {
 public:
  ScopedComInit() noexcept : hr_(::CoInitialize(nullptr)) {}
  ~ScopedComInit() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

 private:
  HRESULT hr_;
};
