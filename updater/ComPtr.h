// Owners for COM interface pointers and BSTRs.
#pragma once

#include <oleauto.h>
#include <unknwn.h>

template <class T> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* operator->() const { return m_ptr; }
    T* Get() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T** Put() {
        Reset();
        return &m_ptr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Swap(ComPtr& other) {
        T* mine = m_ptr;
        m_ptr = other.m_ptr;
        other.m_ptr = mine;
    }
    void Reset() {
        if (m_ptr) {
            m_ptr->Release();
            m_ptr = nullptr;
        }
    }

  private:
    T* m_ptr = nullptr;
};

class CBstr {
  public:
    CBstr() = default;
    explicit CBstr(const wchar_t* text) : m_bstr(SysAllocString(text)) {}
    ~CBstr() { SysFreeString(m_bstr); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;

    BSTR Get() const { return m_bstr; }
    BSTR* Put() {
        SysFreeString(m_bstr);
        m_bstr = nullptr;
        return &m_bstr;
    }

  private:
    BSTR m_bstr = nullptr;
};
