#include "DownloadQueue.h"

#include <mutex>

void CDownloadQueue::PushBack(std::unique_ptr<CInetFile> job) {
    std::lock_guard<CCriticalSection> guard(m_lock);
    m_jobs.push_back(std::move(job));
}

CInetFile* CDownloadQueue::Front() {
    std::lock_guard<CCriticalSection> guard(m_lock);
    return m_jobs.empty() ? nullptr : m_jobs.front().get();
}

int CDownloadQueue::Count() {
    std::lock_guard<CCriticalSection> guard(m_lock);
    return static_cast<int>(m_jobs.size());
}

bool CDownloadQueue::Contains(const CInetFile* job) {
    std::lock_guard<CCriticalSection> guard(m_lock);
    for (const auto& queued : m_jobs)
        if (queued.get() == job)
            return true;
    return false;
}

void CDownloadQueue::Remove(const CInetFile* job) {
    std::list<std::unique_ptr<CInetFile>> removed;
    {
        std::lock_guard<CCriticalSection> guard(m_lock);
        for (auto it = m_jobs.begin(); it != m_jobs.end();) {
            auto next = std::next(it);
            if (it->get() == job)
                removed.splice(removed.end(), m_jobs, it);
            it = next;
        }
    }
    // Deleting waits for the worker; the queue stays usable meanwhile.
}

void CDownloadQueue::Clear() {
    std::list<std::unique_ptr<CInetFile>> removed;
    {
        std::lock_guard<CCriticalSection> guard(m_lock);
        removed.swap(m_jobs);
    }
}
