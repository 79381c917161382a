// Shared pieces of the skin loading tests: a fixture that starts every case
// from an empty manager, and what the manager holds afterwards.
#pragma once

#include "Manager.h"
#include "SkinPacker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class SkinLoadingTest : public ::testing::Test {
  protected:
    void TearDown() override { Velmora::CManager::Destroy(); }
    static Velmora::CManager& Manager() { return *Velmora::CManager::Instance(); }
};

// A UTF-8 description with one image resource per (id, file) pair and, when
// dialogId is not empty, one dialog window item of that id.
std::string MakeDescription(const std::vector<std::pair<std::string, std::string>>& images,
                            const std::string& dialogId = std::string());

// Colour (0x00BBGGRR) of the top-left pixel of a loaded image; 0xFFFFFFFF when
// the manager has no image of that id.
uint32_t LoadedImageColor(const std::string& id);

std::vector<std::string> EntryNames();

constexpr uint32_t kRed = 0x000000FF;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kBlue = 0x00FF0000;
