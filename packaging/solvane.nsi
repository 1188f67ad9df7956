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
!define CP_ACP 0
!define WC_NO_BEST_FIT_CHARS 0x400
; Room for the longest path NSIS holds, at two bytes a character.
!define NARROW_BYTES 4096
!define MENU_FOLDER "$SMPROGRAMS\Solvane"
!define MENU_SAVER "${MENU_FOLDER}\Solvane.lnk"
!define MENU_SETTINGS "${MENU_FOLDER}\Solvane settings.lnk"

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
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
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
LangString FolderRefused ${LANG_ENGLISH} "Solvane cannot be installed in this folder.$\r$\n$\r$\nIts name holds letters that this system's language for non-Unicode programs cannot write, and Windows has no short name for it without them, so Solvane could not read or save its settings there.$\r$\n$\r$\nPlease choose another folder, for example one named with English letters only."
LangString FolderRefused ${LANG_JAPANESE} "このフォルダーには Solvane をインストールできません。$\r$\n$\r$\nフォルダー名に、このシステムの Unicode 対応ではないプログラムの言語では書けない文字が含まれており、その文字を含まない短い名前もありません。このままでは Solvane が設定を読み書きできません。$\r$\n$\r$\n別のフォルダー（例えば英数字だけの名前のフォルダー）を選んでください。"

; ---------------------------------------------------------------- folder

; The programs hand their folder to narrow (ANSI) calls, so it must be named
; in a form the code page writes and reads back unchanged: a best-fit or
; default character would name another file.
; In: $0 a path. Out: $1 1 when it survives the round trip, else 0.
Function SurvivesCodePage
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $1 0
  System::Alloc ${NARROW_BYTES}
  Pop $2
  System::Call '*(i 0) p .r3'
  System::Call 'kernel32::WideCharToMultiByte(i ${CP_ACP}, i ${WC_NO_BEST_FIT_CHARS}, w r0, i -1, p r2, i ${NARROW_BYTES}, p 0, p r3) i .r4'
  System::Call '*$3(i .r5)'
  ${If} $4 <> 0
  ${AndIf} $5 = 0
    System::Call 'kernel32::MultiByteToWideChar(i ${CP_ACP}, i 0, p r2, i -1, w .r4, i ${NSIS_MAX_STRLEN}) i .r5'
    ${If} $5 <> 0
    ${AndIf} $4 S== $0
      StrCpy $1 1
    ${EndIf}
  ${EndIf}
  System::Free $3
  System::Free $2
  Pop $5
  Pop $4
  Pop $3
  Pop $2
FunctionEnd

; Makes $INSTDIR a form of itself that survives the code page: as it is, or
; the short form of its nearest existing ancestor followed by the rest
; (which does not exist yet, so has no short form). Pushes 1 when such a
; form was found, 0 when none exists and $INSTDIR is left as it was.
Function UsableFolder
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $0 $INSTDIR
  Call SurvivesCodePage
  ${If} $1 = 0
    StrCpy $2 $INSTDIR
    StrCpy $3 ""
    ${DoUntil} ${FileExists} "$2\*.*"
      ${GetParent} $2 $4
      ${If} $4 == ""
        StrCpy $2 ""
        ${Break}
      ${EndIf}
      ${GetFileName} $2 $0
      StrCpy $3 "\$0$3"
      StrCpy $2 $4
    ${Loop}
    ${If} $2 != ""
      ; With its backslash, so that a drive's root stays the root.
      GetFullPathName /SHORT $0 "$2\"
      ${If} $0 != ""
        StrCpy $4 $0 "" -1
        ${If} $4 == "\"
          StrCpy $0 $0 -1
        ${EndIf}
        StrCpy $0 "$0$3"
        Call SurvivesCodePage
        ${If} $1 = 1
          StrCpy $INSTDIR $0
        ${EndIf}
      ${EndIf}
    ${EndIf}
  ${EndIf}
  StrCpy $0 $1
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; The page shows the name the user knows; the folder is taken in the form the
; programs can use, or refused when there is none.
Function DirectoryLeave
  Call UsableFolder
  Pop $0
  ${If} $0 = 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(FolderRefused)"
    Abort
  ${EndIf}
FunctionEnd

; A silent install has nobody to ask: where no form survives it goes on with
; the long name, so the saver still runs and its settings dialog says why it
; cannot save, instead of leaving a deployment with no saver at all.
Function .onInit
  ${If} ${Silent}
    Call UsableFolder
    Pop $0
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------- install

Section "!$(ProgramSection)" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\Solvane.scr"
  File "${STAGE}\Solvane.dll"
  File "${STAGE}\ReadMe.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Windows lists the savers of its own folders and the one selected, so once
  ; another is chosen these are the way back: the first runs what Windows runs
  ; for a saver's "Install" (select it, open Screen Saver Settings on it).
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_SAVER}" "$SYSDIR\rundll32.exe" 'desk.cpl,InstallScreenSaver "$INSTDIR\Solvane.scr"' "$INSTDIR\Solvane.scr" 0
  CreateShortcut "${MENU_SETTINGS}" "$INSTDIR\Solvane.scr" "/c" "$INSTDIR\Solvane.scr" 0

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
; short form of the path, which needs no quotes however the folder is named
; (the long one where the volume makes no short names, as GetShortPathName
; then answers).
Section "$(ActiveSection)" SecActive
  GetFullPathName /SHORT $0 "$INSTDIR\Solvane.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}" $0
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
SectionEnd

; ---------------------------------------------------------------- uninstall

Section "-un.Program"
  ; Reset the active screen saver only while it is still ours; Windows
  ; removes the value when "(None)" is chosen. The value and this folder may
  ; name the file in different forms (long, short, the short form of only an
  ; ancestor), so their short forms are compared; a value naming no file has
  ; none.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
  ${If} $0 != ""
    GetFullPathName /SHORT $0 $0
    GetFullPathName /SHORT $1 "$INSTDIR\Solvane.scr"
    ${If} $0 != ""
    ${AndIf} $0 == $1
      DeleteRegValue HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
    ${EndIf}
  ${EndIf}
  Delete "$INSTDIR\Solvane.scr"
  Delete "$INSTDIR\Solvane.dll"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "${MENU_SAVER}"
  Delete "${MENU_SETTINGS}"
  RMDir "${MENU_FOLDER}"
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
