// Process state of the window tests, as the program entry sets it before any window exists.
#include <gtest/gtest.h>

#include "config/untCzcionki.h"
#include "config/untInstalTeksty.h"
#include "textutil/untUtilsEdytor.h"

namespace orvala {
namespace {

class TSrodowiskoDialogow : public ::testing::Environment {
 public:
  void SetUp() override {
    SetTextProcessState(true, kJezykPolski);
    SetInterfaceFontFace(kCzcionkaArial);
    ASSERT_TRUE(LoadRichEditLibrary());
  }
  void TearDown() override { ReleaseLanguageFonts(); }
};

const auto* const kSrodowisko = ::testing::AddGlobalTestEnvironment(new TSrodowiskoDialogow);

}  // namespace
}  // namespace orvala
