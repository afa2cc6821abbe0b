; Ostrevane installer and uninstaller (NSIS 3, Unicode).
;
; Installs QaBrisel.exe for every user of the machine (elevated), with Start-menu
; and desktop shortcuts and an uninstall entry. Before any file is replaced or
; removed, every running client is asked to quit (WM_QUITAPP to each window of
; its class) and waited for, with a bound; a client that does not end stops the
; install, nothing is overwritten in use.
;
;   setup.exe                    interactive install
;   setup.exe /S                 silent install
;   setup.exe /S /KVUPGRADE      silent upgrade, as the client starts its upgrader:
;                                close clients, install over, start the new client
;   uninst.exe [/S]              uninstall (keeps the player's settings folder)
;
; Exit codes (installer and uninstaller):
;   0  done
;   1  cancelled by the user (interactive only)
;   2  aborted by NSIS itself: integrity check failed, or another setup error
;   3  a running client did not end within the bound, or its program file is
;      still in use; nothing was replaced or removed
;   4  no administrator rights
;   5  the program file could not be written
;
; Built by CMake (target "installer") and tools/package.sh with:
;   makensis -INPUTCHARSET UTF8 "-XTarget x86-unicode|amd64-unicode"
;            -DCLIENT_EXE=... -DICON_FILE=... -DOUTFILE=... [-DVERSION=...] [-DWEB_HOST=...]

Unicode true

!ifndef CLIENT_EXE
  !error "define CLIENT_EXE: the QaBrisel.exe to install"
!endif
!ifndef ICON_FILE
  !error "define ICON_FILE: the program icon"
!endif
!ifndef OUTFILE
  !define OUTFILE "OstrevaneSetup.exe"
!endif
!ifndef VERSION
  !define VERSION "3.0.0.0"
!endif
!ifndef PUBLISHER
  !define PUBLISHER "Ostrevane"
!endif

!define PRODUCT "Ostrevane"
!define CLIENT_FILE "QaBrisel.exe"
!define CLIENT_CLASS "QaBrisel"
!define UNINSTALLER "uninst.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

!define WM_QUITAPP 1225
!define SYNCHRONIZE 0x00100000
; How long running clients get to end: rounds of 200 ms.
!define CLOSE_ROUNDS 100
!define ROUND_MS 200
; How long the follow-up client (/setupsucc, /uninstallsucc) gets to show its
; hidden window, and then to end.
!define FOLLOW_UP_ROUNDS 100
!define FOLLOW_UP_EXIT_MS 20000

!define EXIT_CLIENT_RUNNING 3
!define EXIT_NOT_ADMIN 4
!define EXIT_WRITE_FAILED 5

!if ${NSIS_PTR_SIZE} > 4
  !define STARTUPINFO_SIZE 104
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  !define STARTUPINFO_SIZE 68
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
CRCCheck force
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
AllowSkipFiles off
; An earlier install is upgraded in place.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${PRODUCT} ${VERSION}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_ABORTWARNING

!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipWhenInstalled
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipWhenUpgrading
!define MUI_FINISHPAGE_RUN "$INSTDIR\${CLIENT_FILE}"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "${PUBLISHER}"

Var Upgrade  ; 1 when started with /KVUPGRADE

; ---------------------------------------------------------------------------
; Shared by installer and uninstaller (the "un." copies are made below).

!macro CLIENT_FUNCTIONS un

; Posts WM_QUITAPP to every window of the client's class, again in every round,
; until no such window is left or the rounds are used up; then waits, within
; what is left of the bound, for every process that owned one to end.
; Pushes 1 when every client has ended, 0 when one is still there.
Function ${un}CloseClients
  StrCpy $R0 " "  ; ids of the processes seen, space separated
  StrCpy $R5 0    ; process handles pushed on the stack
  StrCpy $R7 ${CLOSE_ROUNDS}
  ${Do}
    StrCpy $R1 0  ; window
    StrCpy $R4 0  ; windows found this round
    ${Do}
      System::Call 'user32::FindWindowExW(p 0, p R1, w "${CLIENT_CLASS}", p 0) p .R1'
      ${If} $R1 P= 0
        ${ExitDo}
      ${EndIf}
      IntOp $R4 $R4 + 1
      System::Call 'user32::PostMessageW(p R1, i ${WM_QUITAPP}, p 0, p 0)'
      System::Call 'user32::GetWindowThreadProcessId(p R1, *i .R2)'
      System::Call 'shlwapi::StrStrW(w R0, w " $R2 ") p .R3'
      ${If} $R3 P= 0
        StrCpy $R0 "$R0$R2 "
        System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R2) p .R3'
        ${If} $R3 P<> 0
          Push $R3
          IntOp $R5 $R5 + 1
        ${EndIf}
      ${EndIf}
    ${Loop}
    ${If} $R4 = 0
    ${OrIf} $R7 <= 0
      ${ExitDo}
    ${EndIf}
    Sleep ${ROUND_MS}
    IntOp $R7 $R7 - 1
  ${Loop}

  StrCpy $R8 1
  ${If} $R4 <> 0
    StrCpy $R8 0
  ${EndIf}
  IntOp $R6 $R7 * ${ROUND_MS}
  ${DoWhile} $R5 > 0
    Pop $R3
    IntOp $R5 $R5 - 1
    System::Call 'kernel32::WaitForSingleObject(p R3, i R6) i .R2'
    ${If} $R2 <> 0
      StrCpy $R8 0
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R3)'
  ${Loop}
  Push $R8
FunctionEnd

; Closes the running clients; when one does not end, asks the user to close it
; (retry or cancel). Cancel, and every failure in silent mode, ends the setup
; with EXIT_CLIENT_RUNNING.
Function ${un}CloseClientsOrStop
  ${Do}
    Call ${un}CloseClients
    Pop $0
    ${If} $0 = 1
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} 仍在运行，无法自动关闭。$\r$\n请先退出游戏，然后点击“重试”；点击“取消”将停止。" \
      /SD IDCANCEL IDRETRY retry
    DetailPrint "${PRODUCT} is still running; nothing was changed."
    SetErrorLevel ${EXIT_CLIENT_RUNNING}
    Abort
    retry:
  ${Loop}
FunctionEnd

; Deletes the installed program file. A program that is still running cannot
; be deleted: that stops the setup with EXIT_CLIENT_RUNNING, so a file in use
; is never overwritten.
Function ${un}RemoveClientFile
  ${If} ${FileExists} "$INSTDIR\${CLIENT_FILE}"
    ClearErrors
    Delete "$INSTDIR\${CLIENT_FILE}"
    ${If} ${Errors}
    ${OrIf} ${FileExists} "$INSTDIR\${CLIENT_FILE}"
      MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\${CLIENT_FILE} 正在使用中，无法替换。" /SD IDOK
      SetErrorLevel ${EXIT_CLIENT_RUNNING}
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

; Starts the installed client with the switch on the stack (/setupsucc or
; /uninstallsucc). In that mode the client records its first-start time, makes
; one hidden window and waits to be told to quit: once the window is there it
; is told, and the process is waited for. A follow-up client that shows no
; window or does not end in time is ended, so none is left behind.
Function ${un}RunFollowUpClient
  Exch $R0
  System::Alloc ${STARTUPINFO_SIZE}
  Pop $R1
  System::Call '*$R1(i ${STARTUPINFO_SIZE})'
  System::Alloc 32
  Pop $R2
  System::Call 'kernel32::CreateProcessW(w "$INSTDIR\${CLIENT_FILE}", \
    w `"$INSTDIR\${CLIENT_FILE}" $R0`, p 0, p 0, i 0, i 0, p 0, w "$INSTDIR", p R1, p R2) i .R3'
  ${If} $R3 = 0
    DetailPrint "Could not start ${CLIENT_FILE} $R0"
  ${Else}
    System::Call '*$R2(p .R4, p .R5, i .R6)'  ; process, thread, process id
    System::Call 'kernel32::CloseHandle(p R5)'
    StrCpy $R7 ${FOLLOW_UP_ROUNDS}
    StrCpy $R8 0  ; its window
    ${Do}
      StrCpy $R1 0
      ${Do}
        System::Call 'user32::FindWindowExW(p 0, p R1, w "${CLIENT_CLASS}", p 0) p .R1'
        ${If} $R1 P= 0
          ${ExitDo}
        ${EndIf}
        System::Call 'user32::GetWindowThreadProcessId(p R1, *i .R3)'
        ${If} $R3 = $R6
          StrCpy $R8 $R1
          ${ExitDo}
        ${EndIf}
      ${Loop}
      ${If} $R8 P<> 0
      ${OrIf} $R7 <= 0
        ${ExitDo}
      ${EndIf}
      System::Call 'kernel32::WaitForSingleObject(p R4, i ${ROUND_MS}) i .R3'
      ${If} $R3 = 0
        ${ExitDo}  ; it ended by itself
      ${EndIf}
      IntOp $R7 $R7 - 1
    ${Loop}
    ${If} $R8 P<> 0
      System::Call 'user32::PostMessageW(p R8, i ${WM_QUITAPP}, p 0, p 0)'
    ${EndIf}
    System::Call 'kernel32::WaitForSingleObject(p R4, i ${FOLLOW_UP_EXIT_MS}) i .R3'
    ${If} $R3 <> 0
      DetailPrint "${CLIENT_FILE} $R0 did not end; ending it."
      System::Call 'kernel32::TerminateProcess(p R4, i 1)'
      System::Call 'kernel32::WaitForSingleObject(p R4, i ${FOLLOW_UP_EXIT_MS})'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R4)'
  ${EndIf}
  System::Free $R1
  System::Free $R2
  Pop $R0
FunctionEnd

; Per-machine setup only: stops with EXIT_NOT_ADMIN without administrator rights.
Function ${un}RequireAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "需要管理员权限才能安装或卸载 ${PRODUCT}。" /SD IDOK
    SetErrorLevel ${EXIT_NOT_ADMIN}
    Quit
  ${EndIf}
FunctionEnd

!macroend

!insertmacro CLIENT_FUNCTIONS ""
!insertmacro CLIENT_FUNCTIONS "un."

; ---------------------------------------------------------------------------
; Installer

Function .onInit
  SetShellVarContext all
  Call RequireAdmin
  ; The switch the client gives its upgrader; matched like the client matches
  ; its own switches: anywhere in the command line, exact case.
  StrCpy $Upgrade 0
  System::Call 'shlwapi::StrStrW(w "$CMDLINE", w "/KVUPGRADE") p .r0'
  ${If} $0 P<> 0
    StrCpy $Upgrade 1
  ${EndIf}
FunctionEnd

Function SkipWhenInstalled
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != ""
    Abort
  ${EndIf}
FunctionEnd

Function SkipWhenUpgrading
  ${If} $Upgrade = 1
    Abort
  ${EndIf}
FunctionEnd

Section "-Install"
  SetOutPath "$INSTDIR"
  Call CloseClientsOrStop
  Call RemoveClientFile

  ClearErrors
  File "/oname=${CLIENT_FILE}" "${CLIENT_EXE}"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "无法写入 $INSTDIR\${CLIENT_FILE}。" /SD IDOK
    SetErrorLevel ${EXIT_WRITE_FAILED}
    Abort
  ${EndIf}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${CLIENT_FILE}" "" \
    "$INSTDIR\${CLIENT_FILE}" 0
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\卸载 ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALLER}"
  CreateShortCut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${CLIENT_FILE}" "" "$INSTDIR\${CLIENT_FILE}" 0

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${CLIENT_FILE},0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  !ifdef WEB_HOST
    WriteRegStr HKLM "${UNINST_KEY}" "URLInfoAbout" "http://${WEB_HOST}/"
  !endif
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0

  ${If} $Upgrade = 1
    ; The upgraded client starts as the player would start it.
    Exec '"$INSTDIR\${CLIENT_FILE}"'
  ${Else}
    Push "/setupsucc"
    Call RunFollowUpClient
  ${EndIf}
SectionEnd

; ---------------------------------------------------------------------------
; Uninstaller

Function un.onInit
  SetShellVarContext all
  Call un.RequireAdmin
FunctionEnd

Section "Uninstall"
  Call un.CloseClientsOrStop
  ; The client's own follow-up of an uninstall, while its program is still
  ; there: it counts this start in the player's settings, which stay.
  ${If} ${FileExists} "$INSTDIR\${CLIENT_FILE}"
    Push "/uninstallsucc"
    Call un.RunFollowUpClient
  ${EndIf}
  Call un.RemoveClientFile

  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\卸载 ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINST_KEY}"
  ; The auto-start entry the client writes for the current user.
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
SectionEnd
