; The Windows setup program: a per-user install (no administrator rights)
; into %LOCALAPPDATA%\Programs\Lorvane, a Start-menu shortcut, an entry in the
; list of installed programs and an uninstaller, texts in Traditional Chinese.
; tools/package.sh builds it with Debian's makensis:
;   makensis -DVERSION=1.19 -DSTAGE=<folder of the files> -DICON=<lorvane.ico>
;            -DOUTFILE=<setup.exe> lorvane.nsi
; The uninstaller removes what the setup installed and keeps the user's
; settings under HKCU\Software\Tobrin\Ellaste\Lorvane.
; A 64-bit setup, like the programs it installs (which need a 64-bit Windows).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lorvane"

Name "Lorvane ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Lorvane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Lorvane ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1028 "ProductName" "Lorvane"
VIAddVersionKey /LANG=1028 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1028 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1028 "FileDescription" "Lorvane ${VERSION} 安裝程式"
VIAddVersionKey /LANG=1028 "CompanyName" "Tobrin Ellaste"
VIAddVersionKey /LANG=1028 "LegalCopyright" "Tobrin Ellaste"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\lorvane.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "TradChinese"

Section "Lorvane"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\lorvane.exe"
  File "${STAGE}\lorvane-cli.exe"
  File "${STAGE}\README.txt"
  SetOutPath "$INSTDIR\samples"
  File "${STAGE}\samples\demo.wtr"
  File "${STAGE}\samples\demo.gtm"
  File "${STAGE}\samples\demo.gpx"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Lorvane.lnk" "$INSTDIR\lorvane.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Lorvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tobrin Ellaste"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lorvane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Only the files the setup put there: whatever else the user keeps in the
; folders (repaired copies of the samples, say) stays, and so do the folders.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Lorvane.lnk"
  Delete "$INSTDIR\lorvane.exe"
  Delete "$INSTDIR\lorvane-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\samples\demo.wtr"
  Delete "$INSTDIR\samples\demo.gtm"
  Delete "$INSTDIR\samples\demo.gpx"
  RMDir "$INSTDIR\samples"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
