#include "ServerList.h"

#include <mutex>

void CServerList::Add(const std::string& name, const std::string& url) {
    std::lock_guard<CCriticalSection> guard(m_lock);
    m_servers.push_back(std::make_unique<Server>(name, url));
}

const CServerList::Server* CServerList::First() {
    std::lock_guard<CCriticalSection> guard(m_lock);
    return m_servers.empty() ? nullptr : m_servers.front().get();
}
