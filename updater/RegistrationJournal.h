// Registrations that must not be lost: the target path of every file that is about to be put in
// place and registered, one line each, in a small file beside the updater. Every change is on
// the disk before the call returns, so an updater ended at any point leaves to its next start
// what it had not registered yet.
#pragma once

#include <string>
#include <utility>
#include <vector>

class CRegistrationJournal {
  public:
    explicit CRegistrationJournal(std::string path) : m_path(std::move(path)) {}

    // "Tarnwick.journal" beside the running program.
    static std::string DefaultPath();

    std::vector<std::string> Pending() const;
    // False when the journal cannot be written: the file must then not be installed.
    bool Add(const std::string& target);
    void Remove(const std::string& target);
    // Registers every file still pending and takes each off the journal.
    void RunPending();

  private:
    bool Write(const std::vector<std::string>& lines) const;

    std::string m_path;
};

// Runs "regsvr32 /s <path>" through the shell and waits for it (the thread's messages go on
// being handled meanwhile); false when it could not be started or did not end in time.
bool RegisterServer(const std::string& path);
