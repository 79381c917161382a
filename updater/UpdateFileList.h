// The parsed update manifest: its entries with their destinations, the
// digest rule and the test whether a local file is current.
#pragma once

#include "CriticalSection.h"
#include "UpdateFileInfo.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

class CUpdateFileList {
  public:
    CUpdateFileList();
    ~CUpdateFileList();
    CUpdateFileList(const CUpdateFileList&) = delete;
    CUpdateFileList& operator=(const CUpdateFileList&) = delete;

    // Replaces the list with the entries of the manifest file. False when the
    // manifest cannot be read, or names a path outside its base folder (then
    // the list stays empty and nothing may be downloaded).
    bool Load(const char* manifestPath);
    // The same for a manifest document already in memory. With requireSha256,
    // an entry without a whole-file digest refuses the manifest.
    bool Load(const unsigned char* manifest, std::size_t size, bool requireSha256 = false);
    // Drops the entries whose local file is current; returns how many remain.
    int FilterNeedsUpdate();
    // Sum of the expected sizes of the entries that need an update (wraps).
    std::uint32_t TotalSize();
    // Hands the first entry to the caller; null when the list is empty.
    std::unique_ptr<CUpdateFileInfo> PopFront();
    void Clear();
    int Count();

    // Whether the entry's local file (at the entry's destination) needs an update.
    bool NeedsUpdate(CUpdateFileInfo& record);

    // Digest of the longest prefix of the file whose length is a multiple of
    // 512 bytes, as 32 lower-case hex digits (the rule servers publish with).
    static bool ComputeFileHash(const char* path, std::string& digest);
    // SHA-256 of the whole file, as 64 lower-case hex digits.
    static bool ComputeFileSha256(const char* path, std::string& digest);
    // True when the file has the digest an entry promises: its whole-file
    // SHA-256 when one is given, else its prefix digest when one is given.
    static bool HasDigest(const char* path, const std::string& hashCode, const std::string& sha256);

    const std::string& ProgramFolder() const { return m_programFolder; }
    const std::string& WindowsFolder() const { return m_windowsFolder; }
    const std::string& SystemFolder() const { return m_systemFolder; }

  private:
    // The destination of an entry (records in the list get it when they are
    // popped: a hundred thousand entries need not keep it all the while), and
    // the folder to make for it (empty: none).
    const std::string& BaseFolderOf(const CUpdateFileInfo& record) const;
    std::string TargetPathOf(const CUpdateFileInfo& record) const;
    std::string FolderToMake(const CUpdateFileInfo& record) const;
    bool NeedsUpdate(CUpdateFileInfo& record, const std::string& targetPath,
                     std::vector<unsigned char>& buffer);

    std::string m_programFolder;
    std::string m_windowsFolder;
    std::string m_systemFolder;
    std::list<CUpdateFileInfo> m_records;
    CCriticalSection m_lock;
};
