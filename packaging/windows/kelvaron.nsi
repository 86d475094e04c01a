; kelvaron-setup.exe: puts kelvaron.scr where Windows looks for screensavers, makes it the current
; screensaver only when asked (the page's box, or /ACTIVATE with /S), and registers an uninstaller
; under Add or Remove Programs, with the licence and the third-party notices beside the screensaver.
; Made by cmake/Packaging.cmake's kelvaron_setup target:
;   makensis -DVERSION=1.2.3 -DSCR=kelvaron.scr -DICON=kelvaron.ico -DSOURCE=TREE -DOUTFILE=kelvaron-setup.exe kelvaron.nsi
Unicode true
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvaron"
!define DESKTOP_KEY "Control Panel\Desktop"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

Name "Kelvaron ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Kelvaron"
RequestExecutionLevel admin
; Drawn sharp at the desktop's scale (per monitor from Windows 10 on, the system's before), and run as
; the systems Vista to 10 and 11 themselves rather than as Vista.
ManifestDPIAware true
ManifestDPIAwareness "PerMonitorV2,System"
ManifestSupportedOS all
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "Kelvaron"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Kelvaron ${VERSION} setup"
VIAddVersionKey LegalCopyright "Copyright (c) 2026 the Kelvaron authors"

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; The screensaver as a 64-bit Windows sees it. This 32-bit setup writes to $SYSDIR, which WOW64
; redirects to SysWOW64 there, but the registry value is read by 64-bit programs, so it names the
; folder the file really is in.
Var Screensaver

Section "Kelvaron screensaver" SecScreensaver
  SectionIn RO
  SetOutPath $SYSDIR
  File "/oname=kelvaron.scr" "${SCR}"
  File "/oname=kelvaron-LICENSE.txt" "${SOURCE}/LICENSE"
  File "/oname=kelvaron-THIRD-PARTY-NOTICES.txt" "${SOURCE}/THIRD-PARTY-NOTICES"
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "Kelvaron screensaver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "The Kelvaron authors"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$Screensaver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
  SectionGetSize ${SecScreensaver} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $0
SectionEnd

Section /o "Make Kelvaron the current screensaver" SecActivate
  WriteRegStr HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE "$Screensaver"
SectionEnd

Function .onInit
  ${If} ${RunningX64}
    StrCpy $Screensaver "$WINDIR\SysWOW64\kelvaron.scr"
  ${Else}
    StrCpy $Screensaver "$SYSDIR\kelvaron.scr"
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ACTIVATE" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecActivate}
  ${EndIf}
FunctionEnd

; The current screensaver is cleared only while it still names Kelvaron. The file name is a valid 8.3
; name, so Windows' own settings store it as it is, whatever the case.
Section Uninstall
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE
  ${GetFileName} $0 $0
  ${If} $0 == "kelvaron.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE
  ${EndIf}
  Delete "$SYSDIR\kelvaron.scr"
  Delete "$SYSDIR\kelvaron-LICENSE.txt"
  Delete "$SYSDIR\kelvaron-THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
