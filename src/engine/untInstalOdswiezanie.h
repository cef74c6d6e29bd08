// The installation page at a human rate.
//
// Copying a CD tree passes thousands of files and blocks a second; showing each file's names and
// moving the gauge after each block would cost more than the copy itself (a redraw of a label
// or the gauge takes milliseconds), while nobody can read faster than a few changes a second.
// TOdswiezanie keeps the latest file pair and gauge position and hands them to the observer at
// most once every kOkresOdswiezania milliseconds of the observer's clock; Flush shows the final
// state of a stage at once. Nothing is lost: what is shown is always the state of that moment,
// and the last state is always shown. Pending messages are processed more often (every
// kOkresKomunikatow ms, an empty queue costs little), so that a press of Close is seen at once.
#pragma once

#include <cstdint>
#include <string>

#include "engine/untPrzebiegInstalacji.h"
#include "textutil/untTekst.h"

namespace orvala {

// The shortest time between two redraws of the installation page, in milliseconds.
inline constexpr std::uint32_t kOkresOdswiezania = 40;
// The longest time the copy goes without processing pending messages, in milliseconds.
inline constexpr std::uint32_t kOkresKomunikatow = 10;

// A file label of the installation page: text `id` (145 lblPlikZ, 146 lblPlikDo) filled with
// `path`, which is widened with the system's ANSI code page as every path shown is, never with
// the language's table.
TWideString FileLabel(LanguageId language, int id, const std::string& path);

class TOdswiezanie {
 public:
  TOdswiezanie(TObserwatorInstalacji& observer, LanguageId language)
      : observer_(observer), language_(language) {}

  // The file being copied (lblPlikZ = text 145 with `source`, lblPlikDo = text 146 with
  // `target`): shown now when a redraw is due, else at the next one.
  void Files(const std::string& source, const std::string& target);
  // The gauge: the same rule.
  void Gauge(std::uint32_t maximum, std::uint32_t position);
  // When a redraw is due: shows what changed and processes pending messages; else processes
  // pending messages when they have waited kOkresKomunikatow ms.
  void Tick();
  // Shows what changed and processes pending messages now (the end of a stage).
  void Flush();
  // The observer showed file labels of its own: pending ones must not replace them.
  void Forget() { filesPending_ = false; }

 private:
  void Draw();

  TObserwatorInstalacji& observer_;
  LanguageId language_;
  std::string source_, target_;
  std::uint32_t maximum_ = 0, position_ = 0;
  std::uint32_t shownMaximum_ = 0, shownPosition_ = 0;
  std::uint32_t lastDraw_ = 0;
  std::uint32_t lastMessages_ = 0;
  bool filesPending_ = false;
  bool gaugeShown_ = false;
  bool drawn_ = false;
};

}  // namespace orvala
