// The download jobs of a run, first in first out. The queue owns its jobs;
// deleting a job waits for its worker thread.
#pragma once

#include "CriticalSection.h"
#include "InetFile.h"

#include <list>
#include <memory>

class CDownloadQueue {
  public:
    ~CDownloadQueue() { Clear(); }

    void PushBack(std::unique_ptr<CInetFile> job);
    // The first job (still queued), or null.
    CInetFile* Front();
    int Count();
    bool Contains(const CInetFile* job);
    // Takes the job out of the queue and deletes it.
    void Remove(const CInetFile* job);
    // Deletes every job; a running one is cancelled and waited for.
    void Clear();

  private:
    CCriticalSection m_lock;
    std::list<std::unique_ptr<CInetFile>> m_jobs;
};
