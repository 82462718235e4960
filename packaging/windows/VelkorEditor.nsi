; Windows installer for Velkor Editor; scripts/windows-package runs it as
;   makensis -DVERSION=x.y.z -DBINDIR=<dir with both exes> -DSRCDIR=<repo root> -DICON=<.ico> -DOUTFILE=<setup.exe> VelkorEditor.nsi
; Silent: setup.exe /S [/D=C:\dir] and Uninstall.exe /S.

!ifndef VERSION | BINDIR | SRCDIR | ICON | OUTFILE
  !error "Define VERSION, BINDIR, SRCDIR, ICON and OUTFILE on the makensis command line"
!endif

; The programs are 64-bit only, so the installer is too: it then sees the 64-bit registry and
; Program Files natively.
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Velkor Editor"
!define PUBLISHER "Harvane Professional"
!define PROGID "VelkorEditor.Program"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelkorEditor"
!define EDITOR_EXE "velkor-editor.exe"
!define ICON_FILE "velkor-editor.ico"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An upgrade goes where the last install went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}; GPL-3.0"

!include MUI2.nsh
!include x64.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartEditor

!insertmacro MUI_PAGE_LICENSE "${SRCDIR}/LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} needs 64-bit Windows." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  SetRegView 64
  ; The Start menu entry is for every user, like the install.
  SetShellVarContext all
FunctionEnd

; Started by Explorer rather than by this elevated installer, the editor runs as the user: files
; dragged onto it from Explorer then arrive.
Function StartEditor
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${EDITOR_EXE}"'
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  ClearErrors
  File "${BINDIR}/velkor-editor.exe"
  File "${BINDIR}/velkor-tool.exe"
  File "/oname=${ICON_FILE}" "${ICON}"
  File "/oname=README.md" "${SRCDIR}/README.md"
  File "/oname=LICENSE" "${SRCDIR}/LICENSE"
  ; The panel face's own licence (SIL Open Font Licence).
  File "/oname=LICENSE-fonts.txt" "${SRCDIR}/assets/fonts/LICENSE-OFL.txt"
  ; A file that could not be written (an old editor still running) was skipped; a silent install
  ; must not then report success with the old programs in place.
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "Some files in $INSTDIR could not be written. Close ${PRODUCT} and run the installer again." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EDITOR_EXE}" "" "$INSTDIR\${ICON_FILE}" 0

  WriteRegStr HKLM "Software\Classes\.vkr" "" "${PROGID}"
  WriteRegStr HKLM "Software\Classes\.vkr\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "Velkor program"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\${ICON_FILE},0"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\${EDITOR_EXE}" "%1"'
  ; SHCNE_ASSOCCHANGED: Explorer picks up the new icon and handler without a restart.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${ICON_FILE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
  ; Only our own files: the folder may have been chosen by hand and hold other things.
  Delete /REBOOTOK "$INSTDIR\velkor-editor.exe"
  Delete /REBOOTOK "$INSTDIR\velkor-tool.exe"
  Delete "$INSTDIR\${ICON_FILE}"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\LICENSE-fonts.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ; .vkr may have been handed to another program since; leave it to that one.
  ReadRegStr $0 HKLM "Software\Classes\.vkr" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKLM "Software\Classes\.vkr" ""
  ${EndIf}
  DeleteRegValue HKLM "Software\Classes\.vkr\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKLM "Software\Classes\.vkr\OpenWithProgids"
  DeleteRegKey /ifempty HKLM "Software\Classes\.vkr"
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ${If} ${RebootFlag}
    MessageBox MB_ICONINFORMATION "Some files were in use and will be removed when Windows restarts." /SD IDOK
  ${EndIf}
SectionEnd
