; Installer of the Solvane screen saver, built by the packaging step:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 -DARCH=win64|win32 -DSTAGE=folder
;            -DICON=file.ico -DOUTFILE=setup.exe solvane.nsi
; STAGE holds the files to install (Solvane.scr, Solvane.dll, ReadMe.txt, LICENSE.txt).

!ifndef VERSION | ARCH | STAGE | ICON | OUTFILE
  !error "VERSION, ARCH, STAGE, ICON and OUTFILE must be defined"
!endif

Unicode true
!if "${ARCH}" == "win64"
  Target amd64-unicode
  !define DEFAULT_FOLDER "$LOCALAPPDATA\Programs\Solvane"
!else if "${ARCH}" == "win32"
  Target x86-unicode
  !define DEFAULT_FOLDER "$LOCALAPPDATA\Programs\Solvane"
!else
  !error "ARCH must be win64 or win32"
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Solvane"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SAVER_VALUE "SCRNSAVE.EXE"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3

Name "Solvane ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${DEFAULT_FOLDER}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
; A per-user installation: the settings dialog writes Solvane.ini beside the
; programs, which a standard user cannot do under Program Files, and the
; active-saver setting it offers is per user as well.
RequestExecutionLevel user
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "Solvane ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Solvane"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Solvane screen saver setup"
VIAddVersionKey /LANG=0 "CompanyName" "Solvane"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 Solvane"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString ProgramSection ${LANG_ENGLISH} "Solvane screen saver"
LangString ProgramSection ${LANG_JAPANESE} "Solvane スクリーンセーバー"
LangString ActiveSection ${LANG_ENGLISH} "Make Solvane the active screen saver"
LangString ActiveSection ${LANG_JAPANESE} "Solvane を使用するスクリーンセーバーにする"
LangString SettingsSection ${LANG_ENGLISH} "Remove settings (Solvane.ini)"
LangString SettingsSection ${LANG_JAPANESE} "設定を削除する (Solvane.ini)"

; ---------------------------------------------------------------- install

Section "!$(ProgramSection)" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\Solvane.scr"
  File "${STAGE}\Solvane.dll"
  File "${STAGE}\ReadMe.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Solvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Solvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Solvane.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The per-user choice the display control panel makes. Windows stores the
; short form of the path, which needs no quotes however the folder is named.
Section "$(ActiveSection)" SecActive
  GetFullPathName /SHORT $0 "$INSTDIR\Solvane.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}" $0
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
SectionEnd

; ---------------------------------------------------------------- uninstall

Section "-un.Program"
  ; Reset the active screen saver only while it is still ours; Windows
  ; removes the value when "(None)" is chosen.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
  GetFullPathName /SHORT $1 "$INSTDIR\Solvane.scr"
  ${If} $0 == "$INSTDIR\Solvane.scr"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
  ${EndIf}
  Delete "$INSTDIR\Solvane.scr"
  Delete "$INSTDIR\Solvane.dll"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\LICENSE.txt"
SectionEnd

Section /o "un.$(SettingsSection)" SecUnSettings
  Delete "$INSTDIR\Solvane.ini"
SectionEnd

; Last, so that the program entry disappears only once everything else is done.
Section "-un.Entry"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnSettings}
  ${EndIf}
FunctionEnd
