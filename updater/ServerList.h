// The update servers the run may use, as (display name, URL) pairs; the run
// takes the first.
#pragma once

#include "CriticalSection.h"

#include <list>
#include <memory>
#include <string>
#include <utility>

class CServerList {
  public:
    using Server = std::pair<std::string, std::string>;

    void Add(const std::string& name, const std::string& url);
    // The first pair, or null when the list is empty.
    const Server* First();

  private:
    CCriticalSection m_lock;
    std::list<std::unique_ptr<Server>> m_servers;
};
