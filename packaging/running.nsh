; Solvane's programs running from $INSTDIR, which hold their files: the
; settings dialog, a preview in the Screen Saver dialog, a saver run (front
; end and renderer). Before files are replaced or removed they are found by
; the image they run, asked to close through the windows the programs are
; built with (contract.nsh), and ended where they do not.

; PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION
!define PROCESS_ACCESS 0x1001
!define /math PROCESS_BYTES 4096 * 4
!define CLOSE_WAIT_MS 5000
!define END_WAIT_MS 5000
!define POLL_MS 100

; Polls a counting function (stack top 0: count only) until it finds none
; or timeout_ms have passed. Uses $0 and $2.
!macro WAIT_FOR_NONE function timeout_ms
  StrCpy $2 0
  ${Do}
    Push 0
    Call ${function}
    Pop $0
    ${If} $0 = 0
    ${OrIf} $2 >= ${timeout_ms}
      ${Break}
    ${EndIf}
    Sleep ${POLL_MS}
    IntOp $2 $2 + ${POLL_MS}
  ${Loop}
!macroend

!macro RUNNING_FUNCTIONS un

; In: $0 a process id. Out: $1 a handle to that process when it runs one of
; this folder's programs, else 0; the caller closes it. The image and the
; files are compared in their short forms: a program may have been started
; by either form.
Function ${un}OpenSolvaneProcess
  Push $2
  Push $3
  Push $4
  System::Call 'kernel32::OpenProcess(i ${PROCESS_ACCESS}, i 0, i r0) p .r1'
  ${If} $1 != 0
    System::Call 'kernel32::QueryFullProcessImageNameW(p r1, i 0, w .r2, *i ${NSIS_MAX_STRLEN}) i .r3'
    StrCpy $4 0
    ${If} $3 <> 0
      GetFullPathName /SHORT $2 $2
      GetFullPathName /SHORT $3 "$INSTDIR\${FRONTEND_FILE}"
      ${If} $2 != ""
      ${AndIf} $2 == $3
        StrCpy $4 1
      ${EndIf}
      GetFullPathName /SHORT $3 "$INSTDIR\${RENDERER_FILE}"
      ${If} $2 != ""
      ${AndIf} $2 == $3
        StrCpy $4 1
      ${EndIf}
    ${EndIf}
    ${If} $4 = 0
      System::Call 'kernel32::CloseHandle(p r1)'
      StrCpy $1 0
    ${EndIf}
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
FunctionEnd

; In: stack top 1 to end them, 0 to count only. Pushes how many of this
; folder's programs run.
Function ${un}SolvaneProcesses
  Exch $5
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $6
  StrCpy $6 0
  System::Alloc ${PROCESS_BYTES}
  Pop $2
  System::Call 'psapi::EnumProcesses(p r2, i ${PROCESS_BYTES}, *i .r3) i .r4'
  ${If} $4 = 0
    StrCpy $3 0
  ${EndIf}
  StrCpy $4 0
  ${DoWhile} $4 < $3
    IntPtrOp $0 $2 + $4
    System::Call '*$0(i .r0)'
    Call ${un}OpenSolvaneProcess
    ${If} $1 != 0
      IntOp $6 $6 + 1
      ${If} $5 = 1
        System::Call 'kernel32::TerminateProcess(p r1, i 1)'
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
    IntOp $4 $4 + 4
  ${Loop}
  System::Free $2
  StrCpy $5 $6
  Pop $6
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
  Exch $5
FunctionEnd

; In: $0 the window title, $1 its class, $2 1 to ask them to close, 0 to
; count only. Out: $3 the count of such top-level windows this folder's
; programs own, added to what $3 held.
Function ${un}SolvaneWindows
  Push $0
  Push $1
  Push $4
  Push $5
  StrCpy $4 0
  ${Do}
    System::Call 'user32::FindWindowExW(p 0, p r4, w r1, w r0) p .r4'
    ${If} $4 == 0
      ${Break}
    ${EndIf}
    Push $0
    Push $1
    System::Call 'user32::GetWindowThreadProcessId(p r4, *i .r0) i .r5'
    Call ${un}OpenSolvaneProcess
    StrCpy $5 $1
    Pop $1
    Pop $0
    ${If} $5 != 0
      System::Call 'kernel32::CloseHandle(p r5)'
      IntOp $3 $3 + 1
      ${If} $2 = 1
        System::Call 'user32::PostMessageW(p r4, i ${WM_CLOSE}, p 0, p 0)'
      ${EndIf}
    ${EndIf}
  ${Loop}
  Pop $5
  Pop $4
  Pop $1
  Pop $0
FunctionEnd

; In: stack top 1 to ask them to close, 0 to count only. Pushes how many of
; the windows the programs close on request are open: the settings dialog
; (closed as its Cancel does) and the front end of a saver run (which stops
; the music first; an audio CD would play on without it). The renderer takes
; no close request but from user input, and a preview's pane is a child of
; the Screen Saver dialog; both have nothing to keep and are ended.
Function ${un}SolvaneWindowsAll
  Exch $2
  Push $0
  Push $1
  Push $3
  StrCpy $3 0
  StrCpy $0 "${SETTINGS_TITLE}"
  StrCpy $1 "${SETTINGS_CLASS}"
  Call ${un}SolvaneWindows
  StrCpy $0 "${SAVER_RUN_TITLE}"
  StrCpy $1 "${SAVER_RUN_CLASS}"
  Call ${un}SolvaneWindows
  StrCpy $2 $3
  Pop $3
  Pop $1
  Pop $0
  Exch $2
FunctionEnd

; Pushes 1 once none of this folder's programs runs any more (asking the user
; first, except in a silent run), 0 when the user chose to keep them.
Function ${un}EndRunningPrograms
  Push $0
  Push $1
  Push $2
  Push 0
  Call ${un}SolvaneProcesses
  Pop $0
  StrCpy $1 1
  ${If} $0 > 0
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "$(ProgramsRunning)" /SD IDOK IDOK +2
    StrCpy $1 0
  ${EndIf}
  ${If} $0 > 0
  ${AndIf} $1 = 1
    DetailPrint "$(ClosingPrograms)"
    Push 1
    Call ${un}SolvaneWindowsAll
    Pop $0
    !insertmacro WAIT_FOR_NONE ${un}SolvaneWindowsAll ${CLOSE_WAIT_MS}
    Push 1
    Call ${un}SolvaneProcesses
    Pop $0
    !insertmacro WAIT_FOR_NONE ${un}SolvaneProcesses ${END_WAIT_MS}
  ${EndIf}
  StrCpy $0 $1
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

!macroend
