// The main view: decoration bands, the navigation column, unit and language
// selectors, the link lamp and status text, and one page at a time in the
// page area. It creates every page and the link thread, switches pages and
// receives the link engine's notifications.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "core/base/colour_word.h"
#include "core/base/command_reasons.h"
#include "core/link/port_names.h"
#include "gui/memory/memory_host.h"
#include "gui/pages/page_host.h"

class QPagedPaintDevice;

namespace vrx4 {

class CVRX4App;
class CCommThread;
class GuiNotifier;
class CPage;
class CColourButton;
class CColourLabel;
class CIndicatorLamp;
class CTransferProgressBar;
class CStatusNotice;
struct GraphPageHost;
struct LinkNotification;
struct LiveMeasurement;

class CVRX4View : public QWidget {
 public:
  // Pixel size of the view's form (677 by 423 dialog units).
  static constexpr int kFormWidth = 1015;
  static constexpr int kFormHeight = 687;

  explicit CVRX4View(CVRX4App& app);
  ~CVRX4View() override;

  // Creates the lamp and the pages, starts the link, loads the labels and
  // asks for a full read of both images.
  void OnInitialUpdate();

  // Data exchange: navigation by access mode, the LIVE button, the caption.
  void UpdateData();
  void UpdateLabels();
  void UpdateUnitLabels();
  void RestartLink(bool restart = true);

  // Navigation buttons 1055..1066.
  void OnNavigate(int buttonId);
  void OnUnit(std::uint8_t unit);
  void OnLanguage(std::uint8_t language);
  void OnManual();

  // Notifications from the link engine, one handler per message.
  void OnLinkMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  // A notice from the link's mailbox; live values come with their own
  // measurement (without one the handler reads the link's live block).
  void OnLinkNotification(const LinkNotification& n);
  void OnLiveValues(std::intptr_t lParam, const LiveMeasurement* measurement = nullptr);
  void OnLinkState(std::uintptr_t wParam);
  void OnTransferDone(std::uintptr_t wParam);
  void OnTermsAccepted();
  void OnInformation();
  void OnReloadStarted();
  void OnIdentityConfirmed();
  void OnTransferProgress(std::uintptr_t wParam, std::intptr_t lParam);
  void UpdateCursor();
  // A short status text that fades: a command has finished.
  void showNotice(const QString& text);
  // Tells every page how current the values it shows are, when that
  // changed (always with force: after a language change).
  void TellFreshness(bool force = false);

  // Printing of the LIVE page as it is shown.
  void OnFilePrint();
  void OnFilePrintPreview();
  void PrintLivePage(QPagedPaintDevice& device);

  // Window size, scrolling and the end of the window.
  void OnSize(int width, int height);
  void OnScroll() { m_sizeChanged = true; }
  void OnDestroy();

  // The tools page's port command: the port dialog, its choice stored.
  void OnSelectPort(QWidget* parent);
  // False when the user keeps the window open to save file-mode work.
  bool QueryClose();
  // What the tools and map pages are handed; tests answer its dialogs.
  MemoryHost& memoryHost() { return m_memoryHost; }
  // Where the port dialog takes its list from (the system by default).
  void setPortLister(std::function<std::vector<SerialPortEntry>()> lister) { m_portLister = std::move(lister); }

  CCommThread* link() const { return m_link.get(); }
  GuiNotifier& notifier() const { return *m_notifier; }
  CIndicatorLamp* lamp() const { return m_lamp; }
  CTransferProgressBar* progressBar() const { return m_progressBar; }
  CStatusNotice* notice() const { return m_notice; }
  const std::vector<CPage*>& pages() const { return m_pages; }
  CPage* pageByDialog(int dialogId) const;
  int recordedWidth() const { return m_width; }
  int recordedHeight() const { return m_height; }
  bool deviceAnswered() const { return m_deviceAnswered; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void createControls();
  // The transfer bar and the notice, left of the status text.
  void createStatusBar();
  void applyStatusTexts();
  void createPages();
  void placePage(CPage* page, int x, int y, int w, int h, bool visible);
  void paintNavigation(int whiteButton);
  void requestFullRead();
  void readRequest(CPage* page);
  void cancelRead();
  // After a link restart: the images wait for the regulator's confirmation.
  void doubtImages();
  // What the pages wait for when the images are to be read or confirmed.
  Blocked imagesWaitReason() const;
  bool lampRed() const;
  void showOnly(CPage* page);
  void setToolsButtons(std::initializer_list<int> ids, bool enable);
  void applyLabelText(int dialogId, int controlId, const QString& text);
  // What the parameter pages are handed: the device state, the display
  // context, their message texts and boxes, the data folder.
  void setUpPageHost();
  // What the graph page is handed: the recording, its texts, the units.
  GraphPageHost graphPageHost();
  void setUpMemoryHost();
  void stopLink();

  CVRX4App& m_app;
  std::unique_ptr<GuiNotifier> m_notifier;
  std::unique_ptr<CCommThread> m_link;
  std::map<int, CColourButton*> m_nav;
  std::array<CColourLabel*, 4> m_units{};
  std::array<CColourLabel*, 4> m_languages{};
  CColourLabel* m_modeCaption = nullptr;
  CColourLabel* m_statusText = nullptr;
  CColourLabel* m_softwareLogoPlace = nullptr;
  CIndicatorLamp* m_lamp = nullptr;
  CTransferProgressBar* m_progressBar = nullptr;
  CStatusNotice* m_notice = nullptr;
  std::vector<CPage*> m_pages;  // in creation order, logo panels last
  PageHost m_pageHost;
  MemoryHost m_memoryHost;
  std::function<std::vector<SerialPortEntry>()> m_portLister;
  QString m_strCommunicate;
  QString m_strNoCommunicate;
  QString m_strClose;
  int m_width = 0;
  int m_height = 0;
  bool m_sizeChanged = false;
  bool m_deviceAnswered = false;
  Shown m_toldImages = Shown::Current;
  bool m_toldLiveSilent = false;
  bool m_freshnessTold = false;
  bool m_initialised = false;
  bool m_destroyed = false;
};

}  // namespace vrx4
