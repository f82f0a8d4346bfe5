; SPDX-License-Identifier: MIT
; The Windows installer, built by scripts/package-windows.sh:
;   makensis -DVERSION=1.0.0 -DBUILD=build-windows -DSOURCE=. -DOUTFILE=... modra.nsi
; It puts modra.exe (and modra.scr, when the build made one) under Program
; Files\Modra with the licence, LICENSE.txt (which package-windows.sh writes
; into BUILD with Windows line ends), the screensaver also in System32 where
; Screen Saver settings look, a Start-menu shortcut for everyone, and an
; uninstaller that Apps & features lists.
!ifndef VERSION | BUILD | SOURCE | OUTFILE
  !error "define VERSION, BUILD, SOURCE and OUTFILE"
!endif

Unicode true
; A 64-bit installer for a 64-bit program: it also runs where Windows has
; no 32-bit layer.
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh
!include x64.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Modra"

Name "Modra"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Modra"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ManifestDPIAware true
BrandingText "Modra ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Modra"
VIAddVersionKey /LANG=1033 "CompanyName" "Modra"
VIAddVersionKey /LANG=1033 "FileDescription" "Modra Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 The Modra developers"

!define MUI_ICON "${SOURCE}/res/icons/modra.ico"
!define MUI_UNICON "${SOURCE}/res/icons/modra.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\modra.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Modra"

!insertmacro MUI_PAGE_WELCOME
; The licence is shown, not agreed to: it asks nothing of whoever only
; installs and runs the program.
!define MUI_PAGE_HEADER_TEXT "Licence"
!define MUI_PAGE_HEADER_SUBTEXT "Modra is free software under the MIT licence."
!define MUI_LICENSEPAGE_TEXT_TOP "Press Page Down to see the rest of the licence."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "The licence does not need to be accepted to install and use Modra. Click Next to continue."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${BUILD}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A 32-bit Windows refuses to start this installer at all, so there is no
; check for one here.
Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Modra"
  SetOutPath "$INSTDIR"
  File "${BUILD}/modra.exe"
  File "${BUILD}/LICENSE.txt"
!if /FileExists "${BUILD}/modra.scr"
  File "${BUILD}/modra.scr"
  ; Screen Saver settings list only the screensavers in System32. A 64-bit
  ; installer is never redirected to SysWOW64; turning redirection off keeps
  ; it so should this script ever be built for the 32-bit stub.
  ${DisableX64FSRedirection}
  File "/oname=$SYSDIR\modra.scr" "${BUILD}/modra.scr"
  ${EnableX64FSRedirection}
!endif
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Modra.lnk" "$INSTDIR\modra.exe" "" "$INSTDIR\modra.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Modra"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Modra"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\modra.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\modra.exe"
  Delete "$INSTDIR\modra.scr"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only if empty: anything the user put there stays.
  RMDir "$INSTDIR"
  ${DisableX64FSRedirection}
  Delete "$SYSDIR\modra.scr"
  ${EnableX64FSRedirection}
  Delete "$SMPROGRAMS\Modra.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
