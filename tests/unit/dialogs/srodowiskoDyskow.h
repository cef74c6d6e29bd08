// A host platform with drive letters mapped to fresh temporary folders, for the dialog logic.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/host/untPlatformaHost.h"

namespace orvala::testy {

class TDyskiTestowe : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            (std::string("orvala-dlg-") + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    zasieg_ = std::make_unique<platform::TZasiegPlatformy>(host_);
  }
  void TearDown() override {
    zasieg_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  // Host folder of drive `letter`, created and mapped with `type`.
  std::filesystem::path Drive(char letter, platform::TTypNapedu type) {
    std::filesystem::path folder = root_ / std::string(1, letter);
    std::filesystem::create_directories(folder);
    host_.MapDrive(letter, folder, type);
    return folder;
  }
  static void Touch(const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "x";
  }

  platform::TPlatformaHost host_;
  std::filesystem::path root_;
  std::unique_ptr<platform::TZasiegPlatformy> zasieg_;
};

}  // namespace orvala::testy
