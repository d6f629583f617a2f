; Lumaro's setup: the saver into the system folder of the system's own
; architecture, the samples and the machine's default settings into
; ProgramData, an entry in Apps & features, and an uninstaller that takes away
; what this put there and nothing of the user's. It writes nothing into the
; Windows directory: each user's LUMARO.INI lives in their own AppData, made by
; the saver from a LUMARO.INI an earlier version left in the Windows directory,
; else from the machine's defaults. dist/pack.py defines VERSION, SCR32, SCR64,
; ICON, SAMPLES_INI, SAMPLE_LIST, ESTIMATED_KB and OUTFILE, and may choose the
; TARGET: the release's x86 setup runs on every Windows; an amd64 one, built
; from the same script, runs where 32-bit programs cannot.
!ifndef TARGET
  !define TARGET x86-unicode
!endif
Target ${TARGET}
!pragma warning disable 6012  ; LogicLib labels left unused where ${RunningX64} is known at build time
SetCompressor /SOLID lzma
!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include x64.nsh
!include "${SAMPLE_LIST}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaro"
!define SAVER "$WINDIR\System32\lumaro.scr"  ; the native system folder, once redirection is off
!define SAMPLES "$APPDATA\Lumaro\Samples"    ; ProgramData, in the shell context "all"
!define DEFAULTS "$APPDATA\Lumaro\LUMARO.INI" ; the machine's defaults, copied into a user's AppData on first use

Name "Lumaro"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES\Lumaro"
BrandingText "Lumaro ${VERSION}"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "Lumaro"
VIAddVersionKey "FileDescription" "Lumaro setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Lumaro"

Var MakeCurrent  ; 1: the installing user's screen saver becomes Lumaro
Var Checkbox

!define MUI_ICON "${ICON}"  ; the saver's own
!define MUI_UNICON "${ICON}"
Page custom ScreenSaverPage ScreenSaverPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open Screen Saver Settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The 64-bit registry and Program Files on 64-bit Windows, for both programs.
!macro NativeView
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
    StrCpy $INSTDIR "$PROGRAMFILES64\Lumaro"
  ${EndIf}
!macroend

Function .onInit
  !insertmacro NativeView
  StrCpy $MakeCurrent ${BST_CHECKED}
FunctionEnd

Function un.onInit
  !insertmacro NativeView
FunctionEnd

Function ScreenSaverPage
  !insertmacro MUI_HEADER_TEXT "Screen saver" "Lumaro can start whenever your computer is idle."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 12u "Make Lumaro my screen saver"
  Pop $Checkbox
  ${NSD_SetState} $Checkbox $MakeCurrent
  nsDialogs::Show
FunctionEnd

Function ScreenSaverPageLeave
  ${NSD_GetState} $Checkbox $MakeCurrent
FunctionEnd

Function OpenScreenSaverSettings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

Section
  ${DisableX64FSRedirection}
  SetOutPath "$WINDIR\System32"
  ${If} ${RunningX64}
    File "/oname=lumaro.scr" "${SCR64}"
  ${Else}
    File "/oname=lumaro.scr" "${SCR32}"
  ${EndIf}
  ${EnableX64FSRedirection}

  ; The sample collection file, unless "Add folder..." has written one since:
  ; its time then differs from the one this setup recorded.
  SetOutPath "${SAMPLES}"
  !insertmacro SamplePictures
  ReadRegStr $3 HKLM "${UNINSTALL_KEY}" "SamplesFileTime"
  ClearErrors
  GetFileTime "${SAMPLES}\COLLECTION.INI" $1 $2
  ${If} ${Errors}
  ${OrIf} "$1 $2" == $3
    File "/oname=COLLECTION.INI" "${SAMPLES_INI}"
    GetFileTime "${SAMPLES}\COLLECTION.INI" $1 $2
    WriteRegStr HKLM "${UNINSTALL_KEY}" "SamplesFileTime" "$1 $2"
  ${EndIf}

  ; The machine's defaults: the samples, current, the keys that end the show,
  ; a screen that never blanks, and a picture of its own on each monitor,
  ; portraits in pairs and fades, written out for an administrator to find.
  ; Lumaro takes EachMonitor and PairPortraits as off when missing, so that
  ; settings an older version wrote keep their show; new users start with
  ; them on, and with fades whatever the built-in default. Defaults that
  ; already list collections (an administrator's own, or an earlier
  ; install's) stay as they are.
  System::Call 'kernel32::GetPrivateProfileSectionW(w "Sets", w .r1, i ${NSIS_MAX_STRLEN}, w "${DEFAULTS}") i .r0'
  ${If} $0 = 0
    WriteINIStr "${DEFAULTS}" "Sets" "Samples" "${SAMPLES}\COLLECTION.INI"
    WriteINIStr "${DEFAULTS}" "ScreenSaver" "CurrentSet" "Samples"
    WriteINIStr "${DEFAULTS}" "Main" "Keys" "0"
    WriteINIStr "${DEFAULTS}" "Main" "BlankAfter" "0"
    WriteINIStr "${DEFAULTS}" "Main" "EachMonitor" "1"
    WriteINIStr "${DEFAULTS}" "Main" "PairPortraits" "1"
    WriteINIStr "${DEFAULTS}" "Main" "Fade" "1"
  ${EndIf}

  ${If} $MakeCurrent = ${BST_CHECKED}
    WriteRegStr HKCU "Control Panel\Desktop" "SCRNSAVE.EXE" "${SAVER}"
    WriteRegStr HKCU "Control Panel\Desktop" "ScreenSaveActive" "1"
    System::Call 'user32::SystemParametersInfoW(i 0x11, i 1, p 0, i 3)'  ; SPI_SETSCREENSAVEACTIVE, saved and sent
  ${EndIf}

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Lumaro"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Lumaro"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "${SAVER},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${ESTIMATED_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; The screen saver setting goes only while it still names this saver.
  ReadRegStr $0 HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
  ${DisableX64FSRedirection}
  GetFullPathName /SHORT $1 "${SAVER}"
  ${If} $0 == "${SAVER}"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
  ${EndIf}
  Delete "${SAVER}"
  ${EnableX64FSRedirection}

  ; The samples it installed; a collection file "Add folder..." wrote, and
  ; anything else put there, stay, and so does their folder.
  ReadRegStr $3 HKLM "${UNINSTALL_KEY}" "SamplesFileTime"
  ClearErrors
  GetFileTime "${SAMPLES}\COLLECTION.INI" $1 $2
  ${IfNot} ${Errors}
  ${AndIf} "$1 $2" == $3
    Delete "${SAMPLES}\COLLECTION.INI"
  ${EndIf}
  !insertmacro DeleteSamplePictures
  RMDir "${SAMPLES}"
  ; The machine's defaults go; every user's own LUMARO.INI, in their AppData,
  ; and one in the Windows directory stay.
  Delete "${DEFAULTS}"
  RMDir "$APPDATA\Lumaro"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
