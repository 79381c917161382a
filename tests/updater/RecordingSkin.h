// Stands between the updater and its skin library while it lives and keeps
// every call, as "LoadSkin Tarnwick.sdb 2", "SkinWindow 2 dialog.update 0",
// "Value tips.top text", "Visible tips.bottom 0" or "Cleanup"; each call is
// passed on to the library given, else to the binding it replaced.
#pragma once

#include "SkinBinding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class CRecordingSkin : public ISkinBinding {
  public:
    explicit CRecordingSkin(ISkinBinding* library = nullptr)
        : m_previous(SetSkinBinding(this)), m_next(library ? *library : *m_previous) {}
    ~CRecordingSkin() override { SetSkinBinding(m_previous); }
    void LoadSkin(const char* file, int mode) override {
        calls.push_back(std::string("LoadSkin ") + file + " " + std::to_string(mode));
        m_next.LoadSkin(file, mode);
    }
    void Cleanup() override {
        calls.push_back("Cleanup");
        m_next.Cleanup();
    }
    void SkinWindow(HWND window, int kind, const char* name, int recursive) override {
        calls.push_back("SkinWindow " + std::to_string(kind) + " " + name + " " +
                        std::to_string(recursive));
        m_next.SkinWindow(window, kind, name, recursive);
    }
    // Only the updater's dialog shows texts.
    void SetDrawItemValue(HWND window, int kind, const char* item, const char* text) override {
        EXPECT_EQ(kSkinKindDialog, kind);
        calls.push_back(std::string("Value ") + item + " " + text);
        m_next.SetDrawItemValue(window, kind, item, text);
    }
    void SetDrawItemVisible(HWND window, int kind, const char* item, BOOL visible) override {
        calls.push_back(std::string("Visible ") + item + " " + std::to_string(visible));
        m_next.SetDrawItemVisible(window, kind, item, visible);
    }
    // The texts shown and hidden, without the other calls.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const std::string& call : calls)
            if (call.rfind("Value ", 0) == 0 || call.rfind("Visible ", 0) == 0)
                texts.push_back(call);
        return texts;
    }
    std::vector<std::string> calls;

  private:
    ISkinBinding* m_previous;
    ISkinBinding& m_next;
};
