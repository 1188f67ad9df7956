; Installer of the Solvane screen saver, built by the packaging step:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 -DARCH=win64|win32 -DSTAGE=folder
;            -DICON=file.ico -DCONTRACT=shared/contract.h -DOUTFILE=setup.exe solvane.nsi
; STAGE holds the files to install (Solvane.scr, Solvane.dll, ReadMe.txt, LICENSE.txt);
; CONTRACT is the header that names the programs' files and windows.
;
; Exit codes beside NSIS's own (0 done, 1 cancelled, 2 aborted):
!define EXIT_FOLDER_NOT_OWN 3 ; setup: the folder holds files that are not Solvane's; nothing was written
!define EXIT_PROGRAMS_KEPT 4  ; uninstall: a program file in use could not be removed; the entry stays

!ifndef VERSION | ARCH | STAGE | ICON | CONTRACT | OUTFILE
  !error "VERSION, ARCH, STAGE, ICON, CONTRACT and OUTFILE must be defined"
!endif
!include contract.nsh

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
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Solvane"
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

LangString FolderNotOwn ${LANG_ENGLISH} "Solvane cannot be installed in this folder.$\r$\n$\r$\nIt already holds files or folders that are not Solvane's. Installing would replace some of them, and uninstalling would delete them.$\r$\n$\r$\nPlease choose an empty or new folder, for example:$\r$\n$INSTDIR\Solvane"
LangString FolderNotOwn ${LANG_JAPANESE} "このフォルダーには Solvane をインストールできません。$\r$\n$\r$\nこのフォルダーには Solvane のものではないファイルやフォルダーがあります。インストールするとその一部が上書きされ、アンインストールすると削除されてしまいます。$\r$\n$\r$\n空のフォルダーか新しいフォルダーを選んでください。例:$\r$\n$INSTDIR\Solvane"
LangString ProgramsRunning ${LANG_ENGLISH} "Solvane is running from this folder: its settings dialog, a preview in the Screen Saver settings, or the screen saver itself.$\r$\n$\r$\nPress OK to close it and go on (settings not yet saved are lost), or Cancel to stop here and change nothing."
LangString ProgramsRunning ${LANG_JAPANESE} "このフォルダーの Solvane が実行中です（設定ダイアログ、スクリーンセーバーの設定のプレビュー、またはスクリーンセーバー本体）。$\r$\n$\r$\n[OK] を押すと Solvane を終了して続行します（保存していない設定は失われます）。[キャンセル] を押すと何も変更せずに中止します。"
LangString ClosingPrograms ${LANG_ENGLISH} "Closing Solvane's running programs"
LangString ClosingPrograms ${LANG_JAPANESE} "実行中の Solvane を終了しています"
LangString ProgramsKept ${LANG_ENGLISH} "Solvane could not be removed: $INSTDIR\${FRONTEND_FILE} or ${RENDERER_FILE} is still in use by another program.$\r$\n$\r$\nSolvane stays in the list of installed programs. Close the program that uses it (or restart Windows) and uninstall Solvane again."
LangString ProgramsKept ${LANG_JAPANESE} "Solvane を削除できませんでした。$INSTDIR\${FRONTEND_FILE} または ${RENDERER_FILE} が別のプログラムで使用中です。$\r$\n$\r$\nSolvane はインストール済みのプログラムの一覧に残ります。使用しているプログラムを終了して（または Windows を再起動して）から、もう一度アンインストールしてください。"

!include folder.nsh
!include running.nsh
!insertmacro RUNNING_FUNCTIONS ""
!insertmacro RUNNING_FUNCTIONS "un."
!include active_saver.nsh
!insertmacro SAVER_FUNCTIONS ""
!insertmacro SAVER_FUNCTIONS "un."

; The page shows the name the user knows; the folder is taken when it is
; Solvane's own, in the form the programs can use, or refused.
Function DirectoryLeave
  Call FolderIsSolvanes
  Pop $0
  ${If} $0 = 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(FolderNotOwn)"
    Abort
  ${EndIf}
  Call UsableFolder
  Pop $0
  ${If} $0 = 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(FolderRefused)"
    Abort
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------- install

Section "!$(ProgramSection)" SecProgram
  SectionIn RO
  ; A running program's file cannot be replaced.
  Call EndRunningPrograms
  Pop $0
  ${If} $0 = 0
    Abort
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "${STAGE}\${FRONTEND_FILE}"
  File "${STAGE}\${RENDERER_FILE}"
  File "${STAGE}\ReadMe.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Windows lists the savers of its own folders and the one selected, so once
  ; another is chosen these are the way back: the first runs what Windows runs
  ; for a saver's "Install" (select it, open Screen Saver Settings on it),
  ; which passes the path unquoted; its short form holds no blank.
  GetFullPathName /SHORT $0 "$INSTDIR\${FRONTEND_FILE}"
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_SAVER}" "$SYSDIR\rundll32.exe" "desk.cpl,InstallScreenSaver $0" "$INSTDIR\${FRONTEND_FILE}" 0
  CreateShortcut "${MENU_SETTINGS}" "$INSTDIR\${FRONTEND_FILE}" "/c" "$INSTDIR\${FRONTEND_FILE}" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Solvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Solvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${FRONTEND_FILE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The per-user choice the display control panel makes; /KEEPSAVER leaves it.
Section "$(ActiveSection)" SecActive
  Call MakeActiveSaver
SectionEnd

; A silent install has nobody to ask. A folder that is not Solvane's own is
; refused before anything is written. Where no form of the name survives the
; code page it goes on with the long name, so the saver still runs and its
; settings dialog says why it cannot save, instead of leaving a deployment
; with no saver at all.
Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/KEEPSAVER" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecActive}
  ${EndIf}
  ${If} ${Silent}
    Call FolderIsSolvanes
    Pop $0
    ${If} $0 = 0
      SetErrorLevel ${EXIT_FOLDER_NOT_OWN}
      Abort
    ${EndIf}
    Call UsableFolder
    Pop $0
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------- uninstall

; The programs go first: while either is still there (in use by a program
; that could not be ended) nothing else changes and the entry stays, so the
; uninstaller can be run again.
Section "-un.Program"
  Call un.EndRunningPrograms
  Pop $0
  ${If} $0 = 0
    Abort
  ${EndIf}
  Delete "$INSTDIR\${FRONTEND_FILE}"
  Delete "$INSTDIR\${RENDERER_FILE}"
  ${If} ${FileExists} "$INSTDIR\${FRONTEND_FILE}"
  ${OrIf} ${FileExists} "$INSTDIR\${RENDERER_FILE}"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(ProgramsKept)" /SD IDOK
    SetErrorLevel ${EXIT_PROGRAMS_KEPT}
    Abort
  ${EndIf}
  Call un.RestorePreviousSaver
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
