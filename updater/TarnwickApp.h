// The updater's application object: start-up (lobby check, configuration,
// skin), the updater window, and shutdown.
#pragma once

#include "AppFramework.h"

#include <string>

class CTarnwickClientApp : public framework::CWinAppBase {
  public:
    CTarnwickClientApp() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Reads [Update] "UpdateUrl" of "Platform.ini"; true when not empty.
    BOOL ReadUpdateUrl();
    // The publisher's key: the one fixed in the program's resources at build
    // time, else [Update] "PublicKey" of "Platform.ini"; true when there is one.
    BOOL ReadPublicKey();

    const std::string& MainProgramFile() const { return m_mainProgramFile; }
    const std::string& MainProgramArgument() const { return m_mainProgramArgument; }
    const std::string& UpdateUrl() const { return m_updateUrl; }
    const std::string& PublicKey() const { return m_publicKey; }

    // "Platform.ini" next to the running executable.
    static std::string ConfigFilePath();

  private:
    // True when the lobby already runs; then it has been told to the user and
    // the lobby window has been brought forward.
    bool LobbyIsRunning();

    std::string m_mainProgramFile = "Dovrel.exe";
    std::string m_mainProgramArgument = "StartMainApp";
    std::string m_updateUrl;
    std::string m_publicKey;
    bool m_comInitialized = false;
};
