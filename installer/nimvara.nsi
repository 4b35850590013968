; Nimvara's installer: for the current user or for all users, a Start menu
; entry, an uninstaller and an entry in the list of installed programs.
;   makensis -DARCH=amd64|x86 -DVERSION=1.05 -DBUILD_DIR=<folder of nimvara.exe>
;            -DOUTFILE=<setup.exe> nimvara.nsi
; Command line of the result: /S silent, /CurrentUser or /AllUsers, /D=<folder>,
; /Relaunch to start Nimvara at the end (the program's self-update asks for it).
Unicode true
!if "${ARCH}" == "amd64"
  Target amd64-unicode
  !define MULTIUSER_USE_PROGRAMFILES64
!else
  Target x86-unicode
!endif

!define PRODUCT "Nimvara"
!define PUBLISHER "Nimvara"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimvara"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!include MultiUser.nsh
!include LogicLib.nsh
!include WinMessages.nsh
!include FileFunc.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
ShowInstDetails nevershow
ShowUninstDetails nevershow
; The installer's fixed version is the program's own: the self-update compares
; it with the running program's and starts only a newer one. The demo's stand-in
; for a next version states another (-DFIXED_VERSION=a.b.c.d).
!ifdef FIXED_VERSION
  VIProductVersion "${FIXED_VERSION}"
!else
  !getdllversion "${BUILD_DIR}/nimvara.exe" PROGRAM_VERSION_
  VIProductVersion "${PROGRAM_VERSION_1}.${PROGRAM_VERSION_2}.${PROGRAM_VERSION_3}.${PROGRAM_VERSION_4}"
!endif
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Ends a running Nimvara the way Windows does at log-off, so that it puts the
; browsers back on direct access, and waits until it is gone (its
; single-instance mutex lives as long as the process).
!macro END_NIMVARA prefix
Function ${prefix}EndNimvara
  FindWindow $0 "TfrmMain"
  ${If} $0 <> 0
    SendMessage $0 ${WM_QUERYENDSESSION} 0 0x80000000 $1 /TIMEOUT=15000
    ; The query restores the browsers; the end itself (WM_ENDSESSION) ends it.
    SendMessage $0 0x0016 1 0x80000000 $1 /TIMEOUT=15000
  ${EndIf}
  StrCpy $2 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Umbrix") p .r1'
    ${If} $1 P= 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
    IntOp $2 $2 + 1
    ${If} $2 > 300
      ${Break}
    ${EndIf}
    Sleep 100
  ${Loop}
FunctionEnd
!macroend
!insertmacro END_NIMVARA ""
!insertmacro END_NIMVARA "un."

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

; An update must not leave the user unprotected until the next logon.
Function .onInstSuccess
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/Relaunch" $1
  ${IfNot} ${Errors}
    Exec '"$INSTDIR\nimvara.exe"'
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Nimvara"
  Call EndNimvara
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}/nimvara.exe"
  File "${BUILD_DIR}/default.skn"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\nimvara.exe"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\nimvara.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Call un.EndNimvara
  ; A session that was killed or crashed has left the browsers on its proxy:
  ; the program's restore switch puts back what it applied, as Stop would (it
  ; does nothing while a copy still runs, and a copy that was ended has done it).
  ${If} ${FileExists} "$INSTDIR\nimvara.exe"
    ExecWait '"$INSTDIR\nimvara.exe" /restore'
  ${EndIf}
  Delete "$INSTDIR\nimvara.exe"
  Delete "$INSTDIR\default.skn"
  ; The uninstaller that started this copy of itself may not have ended yet.
  StrCpy $2 0
  ${Do}
    Delete "$INSTDIR\uninstall.exe"
    ${IfNot} ${FileExists} "$INSTDIR\uninstall.exe"
    ${OrIf} $2 > 50
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
    Sleep 200
  ${Loop}
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; The start-with-Windows and the restore-at-logon values would point at a
  ; program that is gone. The settings and the log in the data folder stay.
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegValue HKCU "${RUNONCE_KEY}" "NimvaraRestore"
SectionEnd
