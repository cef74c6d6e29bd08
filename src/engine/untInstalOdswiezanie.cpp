// The installation page's labels and gauge, drawn at a human rate (what changed is kept until
// the next tick).
#include "engine/untInstalOdswiezanie.h"

#include "config/untInstalTeksty.h"
#include "config/untInstalTekstyId.h"
#include "platform/untPlatforma.h"

namespace orvala {

TWideString FileLabel(LanguageId language, int id, const std::string& path) {
  return FormatText(GetText(language, id, false), {platform::Platform().WidenPath(path)}, false,
                    language);
}

void TOdswiezanie::Files(const std::string& source, const std::string& target) {
  source_ = source;
  target_ = target;
  filesPending_ = true;
  Tick();
}

void TOdswiezanie::Gauge(std::uint32_t maximum, std::uint32_t position) {
  maximum_ = maximum;
  position_ = position;
  Tick();
}

void TOdswiezanie::Tick() {
  // Unsigned differences: the clock may wrap.
  const std::uint32_t now = observer_.Milliseconds();
  if (!drawn_ || now - lastDraw_ >= kOkresOdswiezania) {
    Draw();
  } else if (now - lastMessages_ >= kOkresKomunikatow) {
    observer_.ProcessMessages();
    lastMessages_ = observer_.Milliseconds();
  }
}

void TOdswiezanie::Flush() {
  Draw();
}

void TOdswiezanie::Draw() {
  if (filesPending_) {
    observer_.ShowFiles(FileLabel(language_, kTekstPlikZ, source_),
                        FileLabel(language_, kTekstPlikDo, target_));
    filesPending_ = false;
  }
  if (!gaugeShown_ || maximum_ != shownMaximum_ || position_ != shownPosition_) {
    observer_.SetGauge(maximum_, position_);
    shownMaximum_ = maximum_;
    shownPosition_ = position_;
    gaugeShown_ = true;
  }
  observer_.ProcessMessages();
  // The clock is read after the redraw: a slow redraw must not make the next one due at once.
  lastDraw_ = observer_.Milliseconds();
  lastMessages_ = lastDraw_;
  drawn_ = true;
}

}  // namespace orvala
