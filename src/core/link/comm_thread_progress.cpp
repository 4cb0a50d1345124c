// The link engine's report of how far a transfer has come: the request's
// steps from the request block, posted when it starts, a few times a
// second while steps go by, when the regulator stops answering or its
// identity is checked again in the middle, and when the transfer ends.
#include "core/link/comm_thread.h"
#include "core/link/transfer_ops.h"

namespace vrx4 {

transfer_progress::Position CCommThread::progressPosition() const {
  transfer_progress::Where w;
  w.requestedOp = m_shared.m_requestedOp.load();
  w.op = m_shared.g_xferOp.load();
  w.block = m_shared.g_xferBlock.load();
  w.verify = m_shared.g_xferVerify.load() == 1;
  w.count = m_shared.g_xferCount.load();
  // A write on a regulator starts with its serial number (trackTransfer).
  w.identityFirst = transfer_ops::isWrite(w.requestedOp) && m_shared.g_fileMode.load() != 1;
  w.identityDone = !m_checkBeforeWrite;
  return transfer_progress::position(w);
}

void CCommThread::postProgress(const transfer_progress::Progress& p) {
  m_notifier.post(msg::kTransferProgress, transfer_progress::wParamOf(p), transfer_progress::lParamOf(p));
}

void CCommThread::trackProgress() {
  if (!m_shared.requestPending()) {
    // Ended without a last reply: a read cancelled or dropped for file mode.
    if (m_progressOpen) endProgress(false);
    return;
  }
  const std::uint32_t now = tick();
  const std::uint32_t number = m_shared.m_requestNumber.load();
  if (!m_progressOpen || number != m_progressRequest) {
    // A new request, or the full read that replaced one.
    m_progress.begin(transfer_ops::isWrite(m_shared.m_requestedOp.load()), now);
    m_progressRequest = number;
    m_progressOpen = true;
  }
  // Silence, and an identity check after a lost line, hold the transfer:
  // the bar says it waits for the regulator instead of standing still.
  const bool waiting = m_lineStalled || m_shared.g_identifyRequest.load() == 1 ||
                       (m_confirmIdentity && !m_checkBeforeWrite);
  const transfer_progress::Progress p = m_progress.update(progressPosition(), waiting, now);
  if (m_progress.due(p, now)) postProgress(p);
}

void CCommThread::endProgress(bool completed) {
  if (!m_progressOpen) return;
  m_progressOpen = false;
  postProgress(m_progress.finish(completed));
}

}  // namespace vrx4
