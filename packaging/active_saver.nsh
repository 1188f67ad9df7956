; The per-user active screen saver, as the display control panel keeps it:
; made Solvane at install, and put back as it was at uninstall while it is
; still this installation's Solvane.

!define DESKTOP_KEY "Control Panel\Desktop"
!define SAVER_VALUE "SCRNSAVE.EXE"
!define ACTIVE_VALUE "ScreenSaveActive"
; What the installer found, kept in the program's entry until uninstalled.
!define PREVIOUS_SAVER_VALUE "PreviousScreenSaver"
!define PREVIOUS_ACTIVE_VALUE "PreviousScreenSaveActive"
!define SPI_GETSCREENSAVEACTIVE 16
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3

!macro SAVER_FUNCTIONS un
; In: $0 the active-saver value. Out: $1 1 when it names this installation's
; Solvane.scr, else 0. The value and this folder may name it in different
; forms (long, short, the short form of only an ancestor), so the short forms
; of their folders are compared, and the file names (Solvane.scr is its own
; short name): the file itself may be gone already, removed by an uninstall
; that could not finish. A value naming no folder has no short form.
Function ${un}NamesThisSaver
  Push $2
  Push $3
  StrCpy $1 0
  ${GetFileName} $0 $2
  ${If} $2 == "${FRONTEND_FILE}"
    ${GetParent} $0 $2
    GetFullPathName /SHORT $2 $2
    GetFullPathName /SHORT $3 $INSTDIR
    ${If} $2 != ""
    ${AndIf} $2 == $3
      StrCpy $1 1
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
FunctionEnd
!macroend

; Makes this installation the active saver, first keeping what was active
; unless that is this installation already (a reinstall keeps what the first
; installation found).
Function MakeActiveSaver
  Push $0
  Push $1
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
  Call NamesThisSaver
  ${If} $1 = 0
    ${If} $0 == ""
      DeleteRegValue HKCU "${UNINSTALL_KEY}" "${PREVIOUS_SAVER_VALUE}"
    ${Else}
      WriteRegStr HKCU "${UNINSTALL_KEY}" "${PREVIOUS_SAVER_VALUE}" $0
    ${EndIf}
    ; The user's own on/off setting as the control panel stores it; the
    ; system's answer (which may follow a policy or the display) only where
    ; there is none.
    ClearErrors
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "${ACTIVE_VALUE}"
    ${If} ${Errors}
      System::Call 'user32::SystemParametersInfoW(i ${SPI_GETSCREENSAVEACTIVE}, i 0, *i .r1, i 0)'
    ${EndIf}
    ${If} $1 <> 0
      StrCpy $1 1
    ${EndIf}
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "${PREVIOUS_ACTIVE_VALUE}" $1
  ${EndIf}
  ; Windows stores the short form of the path, which needs no quotes however
  ; the folder is named (the long one where the volume makes no short names,
  ; as GetShortPathName then answers).
  GetFullPathName /SHORT $0 "$INSTDIR\${FRONTEND_FILE}"
  WriteRegStr HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}" $0
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
  Pop $1
  Pop $0
FunctionEnd

; While the active saver is still this installation, puts back the saver
; and the on/off state the installer found; Windows removes the value when
; "(None)" is chosen. An installation that kept nothing (made active later,
; from the Start menu) only stops being the active saver.
Function un.RestorePreviousSaver
  Push $0
  Push $1
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
  Call un.NamesThisSaver
  ${If} $1 = 1
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "${PREVIOUS_SAVER_VALUE}"
    ${If} $0 == ""
      DeleteRegValue HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}" $0
    ${EndIf}
    ClearErrors
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "${PREVIOUS_ACTIVE_VALUE}"
    ${IfNot} ${Errors}
      System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i r0, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
