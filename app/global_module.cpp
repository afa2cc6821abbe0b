#include "app/global_module.h"

#include <ctime>
#include <new>

#include "app/build_config.h"
#include "app/core/usage.h"
#include "app/settings.h"
#include "app/switches.h"
#include "net/http_downloader.h"
#include "windows/form_game.h"
#include "windows/form_qqlogin.h"

std::wstring DefaultLoginUrl() {
  return std::wstring(L"http://") + QB_OPERATOR_WEB_HOST + L"/kelmi";
}

std::wstring DefaultVersionCheckUrl() {
  return std::wstring(L"http://") + QB_OPERATOR_DOWNLOAD_HOST + L"/Jorva/kelmi/official/app.ini";
}

std::wstring DefaultVersionDownloadUrl() {
  return std::wstring(L"http://") + QB_OPERATOR_DOWNLOAD_HOST +
         L"/Jorva/kelmi/official/Jorvakelmi.exe";
}

CGlobalModule::CGlobalModule() {
  LoadSettings();
  downloader = new (std::nothrow) CHttpDownloader;
}

CGlobalModule::~CGlobalModule() {
  if (downloader != nullptr) {
    downloader->StopWorkers();
    delete downloader;
    downloader = nullptr;
  }
}

CFormGame* CGlobalModule::NewGameForm() {
  auto form = std::make_unique<CFormGame>();
  gameForm = form.get();
  ownedForms_.push_back(std::move(form));
  return gameForm;
}

CFormQQLogin* CGlobalModule::NewQQLoginForm() {
  auto form = std::make_unique<CFormQQLogin>();
  qqLoginForm = form.get();
  ownedForms_.push_back(std::move(form));
  return qqLoginForm;
}

void CGlobalModule::ReleaseFinishedForms() {
  for (auto it = ownedForms_.begin(); it != ownedForms_.end();) {
    CKVForm* form = it->get();
    const bool reachable =
        form == static_cast<CKVForm*>(gameForm) || form == static_cast<CKVForm*>(qqLoginForm);
    if (!reachable && !::IsWindow(form->GetHwnd())) {
      it = ownedForms_.erase(it);
    } else {
      ++it;
    }
  }
}

void CGlobalModule::ReleaseAllForms() {
  if (gameForm != nullptr) gameForm->RemoveTrayIcon();
  // Cleared first: these destructions are no return to the login window.
  gameForm = nullptr;
  qqLoginForm = nullptr;
  for (const auto& form : ownedForms_) {
    if (::IsWindow(form->GetHwnd())) ::DestroyWindow(form->GetHwnd());
  }
  ownedForms_.clear();
}

bool CGlobalModule::OwnsForm(const CKVForm* form) const {
  for (const auto& owned : ownedForms_) {
    if (owned.get() == form) return true;
  }
  return false;
}

void CGlobalModule::LoadSettings() {
  runCount = 0;
  loginUrl = DefaultLoginUrl();
  versionCheckUrl = ReadIniString(L"Common", L"VersionCheck", DefaultVersionCheckUrl(), L"");
  versionDownloadUrl =
      ReadIniString(L"Common", L"VersionDownLoad", DefaultVersionDownloadUrl(), L"");
  referrer = ReadIniString(L"Common", L"Refer", L"mirtavon", L"");
  uid = ReadIniString(L"Common", L"UID", L"kelmi", L"");
  topMost = ReadIniInt(L"Common", L"TopMost", 0, L"");
  std::wstring installTime = ReadIniString(L"Install", L"InstallTime", L"", L"");
  if (installTime.empty()) {
    installTime = FormatLocalTime(L"%Y-%m-%d %H:%M:%S", std::time(nullptr));
    WriteIniString(L"Install", L"InstallTime", installTime, L"");
  }
  loginUrl = AppendQuery(loginUrl, BuildUsageQuery(referrer, uid, installTime));
}

BOOL CGlobalModule::PreTranslateMessage(MSG* msg) {
  const HWND foreground = ::GetForegroundWindow();
  if (qqLoginForm != nullptr && qqLoginForm->GetHwnd() == foreground &&
      qqLoginForm->PreTranslateMessage(msg)) {
    return TRUE;
  }
  const HWND login = loginForm.GetHwnd();
  if (::IsWindowVisible(login) && login == foreground && loginForm.PreTranslateMessage(msg)) {
    return TRUE;
  }
  if (gameForm != nullptr && gameForm->GetHwnd() == foreground &&
      gameForm->PreTranslateMessage(msg)) {
    return TRUE;
  }
  return FALSE;
}
