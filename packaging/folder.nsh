; The installation folder: which folders are Solvane's own to write into,
; and the form of its name the programs can use.

!define CP_ACP 0
!define CP_UTF8 65001
!define WC_NO_BEST_FIT_CHARS 0x400
!define WC_ERR_INVALID_CHARS 0x80
; Room for the longest text NSIS holds, at up to three bytes a character (UTF-8).
!define /math NARROW_BYTES ${NSIS_MAX_STRLEN} * 4
; The version block NSIS writes for VIAddVersionKey /LANG=0: language 0,
; Unicode strings (code page 1200).
!define VERSION_STRINGS "\StringFileInfo\000004b0"

; ---------------------------------------------------------------- whose folder

; In: $0 a file. Out: $1 1 when its version block says it is Solvane's (the
; uninstaller carries the installer's block), else 0.
Function IsSolvaneProgram
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $1 0
  System::Call 'version::GetFileVersionInfoSizeW(w r0, p 0) i .r2'
  ${If} $2 > 0
    System::Alloc $2
    Pop $3
    System::Call 'version::GetFileVersionInfoW(w r0, i 0, i r2, p r3) i .r4'
    ${If} $4 <> 0
      System::Call 'version::VerQueryValueW(p r3, w "${VERSION_STRINGS}\ProductName", *p .r4, *i .r5) i .r2'
      ${If} $2 <> 0
        System::Call 'kernel32::lstrcmpW(p r4, w "Solvane") i .r2'
        ${If} $2 = 0
          StrCpy $1 1
        ${EndIf}
      ${EndIf}
    ${EndIf}
    System::Free $3
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
FunctionEnd

; Solvane writes, and its uninstaller deletes, a few files of known names in
; its folder; three of those names are common ones. So $INSTDIR is Solvane's
; own only when it does not exist yet or holds nothing but Solvane's files:
; ReadMe.txt and LICENSE.txt only beside Solvane.scr (an earlier installation,
; or the zip unpacked), an Uninstall.exe only when it is Solvane's, and no
; folder at all. Pushes 1 for Solvane's own folder, else 0.
Function FolderIsSolvanes
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 1
  FindFirst $2 $0 "$INSTDIR\*.*"
  ${DoWhile} $0 != ""
    ${If} $0 == "."
    ${OrIf} $0 == ".."
      ; The folder itself and its parent.
    ${ElseIf} ${FileExists} "$INSTDIR\$0\*.*"
      StrCpy $3 0
    ${ElseIf} $0 == "Solvane.scr"
    ${OrIf} $0 == "Solvane.dll"
    ${OrIf} $0 == "Solvane.ini"
      ; Names no other product writes here.
    ${ElseIf} $0 == "ReadMe.txt"
    ${OrIf} $0 == "LICENSE.txt"
      ${IfNot} ${FileExists} "$INSTDIR\Solvane.scr"
        StrCpy $3 0
      ${EndIf}
    ${ElseIf} $0 == "Uninstall.exe"
      StrCpy $0 "$INSTDIR\$0"
      Call IsSolvaneProgram
      ${If} $1 = 0
        StrCpy $3 0
      ${EndIf}
    ${Else}
      StrCpy $3 0
    ${EndIf}
    ${If} $3 = 0
      ${Break}
    ${EndIf}
    FindNext $2 $0
  ${Loop}
  FindClose $2
  StrCpy $0 $3
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; ---------------------------------------------------------------- its name

; The programs hand their folder to narrow (ANSI) calls, so it must be named
; in a form the code page writes and reads back unchanged: a best-fit or
; default character would name another file. This is the programs' own rule,
; toAnsiExactly in frontend/text/ansi_text.cpp: the two must agree, or the
; installer takes a folder the programs cannot use. UTF-8 as the ANSI code
; page (65001) takes neither the no-best-fit flag nor the default-character
; question; there only text that is not valid UTF-16 fails.
; In: $0 a path. Out: $1 1 when it survives the round trip, else 0.
Function SurvivesCodePage
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  StrCpy $1 0
  System::Call 'kernel32::GetACP() i .r6'
  ${If} $6 = ${CP_UTF8}
    StrCpy $6 ${WC_ERR_INVALID_CHARS}
    StrCpy $3 0
  ${Else}
    StrCpy $6 ${WC_NO_BEST_FIT_CHARS}
    System::Call '*(i 0) p .r3'
  ${EndIf}
  System::Alloc ${NARROW_BYTES}
  Pop $2
  System::Call 'kernel32::WideCharToMultiByte(i ${CP_ACP}, i r6, w r0, i -1, p r2, i ${NARROW_BYTES}, p 0, p r3) i .r4'
  StrCpy $5 0
  ${If} $3 != 0
    System::Call '*$3(i .r5)'
    System::Free $3
  ${EndIf}
  ${If} $4 <> 0
  ${AndIf} $5 = 0
    System::Call 'kernel32::MultiByteToWideChar(i ${CP_ACP}, i 0, p r2, i -1, w .r4, i ${NSIS_MAX_STRLEN}) i .r5'
    ${If} $5 <> 0
    ${AndIf} $4 S== $0
      StrCpy $1 1
    ${EndIf}
  ${EndIf}
  System::Free $2
  Pop $6
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
