#include "core/base/command_reasons.h"

namespace vrx4 {

Blocked shownReason(Blocked recorded, bool linkSilent) {
  switch (recorded) {
    case Blocked::ReadRunning:
    case Blocked::IdentityCheck:
    case Blocked::TransferRunning: return linkSilent ? Blocked::RegulatorSilent : recorded;
    default: return recorded;
  }
}

Kept reasonText(Blocked reason) {
  switch (reason) {
    case Blocked::None: break;
    case Blocked::ReadRunning: return Kept::WhyReadRunning;
    case Blocked::IdentityCheck: return Kept::WhyIdentityCheck;
    case Blocked::TransferRunning: return Kept::WhyTransferRunning;
    case Blocked::RegulatorSilent: return Kept::WhyRegulatorSilent;
    case Blocked::RegulatorAnswers: return Kept::WhyRegulatorAnswers;
    case Blocked::FileOpen: return Kept::WhyFileOpen;
    case Blocked::NoFileOpen: return Kept::WhyNoFileOpen;
    case Blocked::NotEditing: return Kept::WhyNotEditing;
    case Blocked::TestNotTicked: return Kept::WhyTestNotTicked;
  }
  return Kept::Count;
}

Shown shownImages(bool fileMode, bool linkSilent, bool imagesConfirmed) {
  if (fileMode) return Shown::Current;
  if (linkSilent) return Shown::LastRead;
  return imagesConfirmed ? Shown::Current : Shown::Unconfirmed;
}

Kept shownText(Shown shown) {
  switch (shown) {
    case Shown::Current: break;
    case Shown::LastRead: return Kept::ShownLastRead;
    case Shown::Unconfirmed: return Kept::ShownUnconfirmed;
  }
  return Kept::Count;
}

}  // namespace vrx4
