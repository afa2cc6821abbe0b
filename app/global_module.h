// CGlobalModule: the one application-wide object. It owns the permanent
// windows (backdrop and login), points at the windows made on demand, holds
// every settings value and filters every message of the main loop.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/message_loop.h"
#include "windows/form_back.h"
#include "windows/form_login.h"

class CFormGame;
class CFormQQLogin;
class CHttpDownloader;

class CGlobalModule : public CMessageFilter {
 public:
  CGlobalModule();
  virtual ~CGlobalModule();

  CGlobalModule(const CGlobalModule&) = delete;
  CGlobalModule& operator=(const CGlobalModule&) = delete;

  // Offers the message to the form whose window is in the foreground.
  BOOL PreTranslateMessage(MSG* msg) override;

  // Makes a new game (QQ login) window object, points gameForm (qqLoginForm)
  // at it and keeps it until it can be released.
  CFormGame* NewGameForm();
  CFormQQLogin* NewQQLoginForm();

  // Frees the window objects made on demand that nothing can reach any more:
  // their windows are gone and gameForm / qqLoginForm point elsewhere.
  void ReleaseFinishedForms();
  // At the end of the run: closes the game and QQ login windows still open,
  // so their browser controls are released while COM is still initialised,
  // and frees every form made on demand.
  void ReleaseAllForms();
  size_t OwnedFormCount() const { return ownedForms_.size(); }
  // True while `form` is one of the window objects this module keeps alive.
  bool OwnsForm(const CKVForm* form) const;

  HINSTANCE hInstance = nullptr;
  wchar_t title[100] = {};
  wchar_t windowClass[100] = {};
  CFormBack backForm;
  CFormLogin loginForm;
  CFormQQLogin* qqLoginForm = nullptr;
  CFormGame* gameForm = nullptr;
  CHttpDownloader* downloader = nullptr;
  std::wstring latestVersion;
  std::wstring loginUrl;
  std::wstring versionCheckUrl;
  std::wstring versionDownloadUrl;
  std::wstring referrer;
  std::wstring uid;
  int topMost = 0;
  std::wstring userName;
  std::wstring serverId;
  int runCount = 0;

 private:
  void LoadSettings();

  std::vector<std::unique_ptr<CKVForm>> ownedForms_;
};

extern CGlobalModule g_globalModule;

// The fixed addresses built from the operator's hosts.
std::wstring DefaultLoginUrl();
std::wstring DefaultVersionCheckUrl();
std::wstring DefaultVersionDownloadUrl();
