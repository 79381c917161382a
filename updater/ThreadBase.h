// Base of objects that do their work on a worker thread of their own, one run at a time, with
// an event that tells when no run is in progress.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

class CThreadBase {
  public:
    CThreadBase();
    virtual ~CThreadBase();
    CThreadBase(const CThreadBase&) = delete;
    CThreadBase& operator=(const CThreadBase&) = delete;

    // Starts a worker thread unless one is held; true when a thread is held afterwards.
    bool Start();
    // Waits until no run is in progress and releases the thread of the last run.
    void WaitForCompletion();

    DWORD ThreadId() const { return m_threadId; }

  protected:
    // The work of one run, on the worker thread.
    virtual void Run() = 0;

  private:
    struct HandleCloser {
        void operator()(HANDLE handle) const { CloseHandle(handle); }
    };

    static unsigned __stdcall ThreadRoutine(void* parameter);

    std::atomic<DWORD> m_threadId{0};
    std::atomic<HANDLE> m_thread{nullptr};
    // Manual-reset, signalled while no run is in progress.
    std::unique_ptr<void, HandleCloser> m_completion;
};
