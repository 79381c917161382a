#include "ThreadBase.h"

#include <process.h>

CThreadBase::CThreadBase() : m_completion(CreateEventA(nullptr, TRUE, TRUE, nullptr)) {}

CThreadBase::~CThreadBase() = default;

bool CThreadBase::Start() {
    if (m_thread.load() == nullptr) {
        // Reset before the thread exists, so that a waiter can never miss the end of this run.
        ResetEvent(m_completion.get());
        unsigned id = 0;
        const auto thread =
            reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ThreadRoutine, this, 0, &id));
        if (thread != nullptr) {
            m_threadId = id;
            m_thread = thread;
        } else {
            SetEvent(m_completion.get());
        }
    }
    return m_thread.load() != nullptr;
}

void CThreadBase::WaitForCompletion() {
    WaitForSingleObject(m_completion.get(), INFINITE);
    const HANDLE thread = m_thread.exchange(nullptr);
    if (thread != nullptr) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

unsigned __stdcall CThreadBase::ThreadRoutine(void* parameter) {
    auto* self = static_cast<CThreadBase*>(parameter);
    // Nothing may unwind out of the thread: a run that throws ends like one that returns.
    try {
        self->Run();
    } catch (...) {
    }
    SetEvent(self->m_completion.get());
    return 0;
}
