; The names the programs are built with, read from their shared header
; (CONTRACT) when this script is compiled, so that they are written once.

!macro CONTRACT_NAME symbol name
  !searchparse /file "${CONTRACT}" `inline constexpr char ${name}[] = "` ${symbol} `";`
!macroend
!insertmacro CONTRACT_NAME SETTINGS_TITLE settingsDialogTitle
!insertmacro CONTRACT_NAME SETTINGS_CLASS settingsDialogClass
!insertmacro CONTRACT_NAME SAVER_RUN_TITLE saverRunTitle
!insertmacro CONTRACT_NAME SAVER_RUN_CLASS saverRunClass
!insertmacro CONTRACT_NAME FRONTEND_FILE frontendFile
!insertmacro CONTRACT_NAME RENDERER_FILE rendererFile
