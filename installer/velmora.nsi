; VelmoraSetup-<arch>.exe: installs Velmora.exe, Service.exe and the licences, registers and
; starts the time-setting service, and registers an uninstaller. Built by CMake with makensis,
; once per architecture:
;   makensis -DARCH=x64 -DVERSION=1.0.0 -DBIN_DIR=<dir with the programs> -DOUT_FILE=<setup exe> velmora.nsi
; ARCH x86: a 32-bit installer of the 32-bit programs (Program Files (x86) on 64-bit Windows,
; the 32-bit registry view). ARCH x64: a 64-bit installer of the 64-bit programs (Program
; Files, the 64-bit registry view). Either replaces an installation of the other.
!if "${ARCH}" == "x64"
    Target amd64-unicode
!else
    Unicode true
!endif
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Velmora"
!define PUBLISHER "Brantel"
!define SERVICE_NAME "VLM Service"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define SETTINGS_KEY "Software\Brantel\Velmora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
!if "${ARCH}" == "x64"
    InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
    InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup (${ARCH})"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

; This build's registry view, where its own Programs and Features entry lives.
!macro OwnRegView
    !if "${ARCH}" == "x64"
        SetRegView 64
    !else
        SetRegView 32
    !endif
!macroend

Function .onInit
    !if "${ARCH}" == "x64"
        ${IfNot} ${RunningX64}
            MessageBox MB_OK|MB_ICONSTOP "This is the 64-bit ${PRODUCT}. Use VelmoraSetup-x86.exe on 32-bit Windows." /SD IDOK
            Abort
        ${EndIf}
    !endif
    !insertmacro OwnRegView
    ; An upgrade goes where the last installation of this architecture went.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro OwnRegView
FunctionEnd

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Velmora.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks every running copy in this session to end (without saving) through the close event,
; one signal per copy, as each signal releases one waiting copy.
!macro CloseRunningCopies UN
Function ${UN}CloseRunningCopies
    StrCpy $1 0
    ${Do}
        ; -3 is HWND_MESSAGE: the program's hidden window "Velmora".
        System::Call 'user32::FindWindowExW(p -3, p 0, p 0, w "${PRODUCT}") p .r0'
        ${If} $0 == 0
            ${Break}
        ${EndIf}
        System::Call 'kernel32::OpenEventW(i 2, i 0, w "Global\VLMcloseEvent") p .r2'
        ${If} $2 != 0
            System::Call 'kernel32::SetEvent(p r2)'
            System::Call 'kernel32::CloseHandle(p r2)'
        ${EndIf}
        Sleep 500
        IntOp $1 $1 + 1
    ${LoopUntil} $1 >= 20
FunctionEnd
!macroend
!insertmacro CloseRunningCopies ""
!insertmacro CloseRunningCopies "un."

; An installation of the other architecture is registered in the other registry view. It is
; removed with its own uninstaller, silently, so that its settings stay; the Run value it
; deletes is written again for this installation if it was there. $R9 is 1 then.
Function RemoveOtherArchitecture
    StrCpy $R9 0
    ${IfNot} ${RunningX64}
        Return
    ${EndIf}
    !if "${ARCH}" == "x64"
        SetRegView 32
    !else
        SetRegView 64
    !endif
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    !insertmacro OwnRegView
    ${If} $R0 == ""
        Return
    ${EndIf}
    ReadRegStr $R1 HKCU "${RUN_KEY}" "${PRODUCT}"
    ${If} $R1 != ""
        StrCpy $R9 1
    ${EndIf}
    DetailPrint "Replacing the installation in $R0"
    ${If} ${FileExists} "$R0\uninstall.exe"
        ; _? runs it in place and waits; it cannot delete itself then.
        ExecWait '"$R0\uninstall.exe" /S _?=$R0' $0
        Delete "$R0\uninstall.exe"
        RMDir "$R0"
    ${EndIf}
    ; Whatever its uninstaller left (or if it was missing): its entry and its service, which
    ; would otherwise keep running the other program.
    !if "${ARCH}" == "x64"
        SetRegView 32
    !else
        SetRegView 64
    !endif
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    !insertmacro OwnRegView
    ${If} ${FileExists} "$R0\Service.exe"
        nsExec::ExecToLog '"$R0\Service.exe" uninstall'
        Pop $0
    ${EndIf}
FunctionEnd

Section "Install"
    SetShellVarContext all
    Call CloseRunningCopies
    ; An upgrade replaces a running service's program: stop it first.
    nsExec::Exec 'net stop "${SERVICE_NAME}"'
    Pop $0
    Call RemoveOtherArchitecture

    SetOutPath "$INSTDIR"
    File "${BIN_DIR}/Velmora.exe"
    File "${BIN_DIR}/Service.exe"
    File "${BIN_DIR}/DSEG-LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; "CreateService failed (1073)" on an upgrade: the service exists with the same path.
    nsExec::ExecToLog '"$INSTDIR\Service.exe" install'
    Pop $0
    nsExec::ExecToLog 'net start "${SERVICE_NAME}"'
    Pop $0

    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Velmora.exe"
    ${If} $R9 == 1
        WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Velmora.exe" -startup'
    ${EndIf}

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velmora.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Call un.CloseRunningCopies
    nsExec::ExecToLog 'net stop "${SERVICE_NAME}"'
    Pop $0
    nsExec::ExecToLog '"$INSTDIR\Service.exe" uninstall'
    Pop $0

    Delete "$INSTDIR\Velmora.exe"
    Delete "$INSTDIR\Service.exe"
    Delete "$INSTDIR\DSEG-LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    ; The user's settings stay unless the user asks to remove them (silent: they stay).
    MessageBox MB_YESNO|MB_ICONQUESTION "Remove your ${PRODUCT} settings as well?" /SD IDNO IDNO keep
        DeleteRegKey HKCU "${SETTINGS_KEY}"
    keep:
SectionEnd
