; Kelpmere's installer for 64-bit Windows: installs for the current user only, without
; administrator rights, into the user's local application data. Defines given by
; scripts/package-windows: VERSION, STAGE (the folder laid out as installed), OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelpmere"

Name "Kelpmere"
Caption "Kelpmere ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kelpmere"
Icon "${STAGE}\kelpmere.ico"
UninstallIcon "${STAGE}\kelpmere.ico"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Kelpmere"
VIAddVersionKey "FileDescription" "Kelpmere installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Kelpmere developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Kelpmere"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\kelpmere.exe"
  File "${STAGE}\kelpmere-cli.exe"
  SetOutPath "$INSTDIR\Skin"
  File "${STAGE}\Skin\kelpmeres.zip"
  SetOutPath "$INSTDIR\Ad\images"
  File "${STAGE}\Ad\images\*.jpg"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The program writes its advertisement page into the Ad folder of its working folder: the
  ; shortcut starts it in the program's own folder, which is the user's and writable.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Kelpmere.lnk" "$INSTDIR\kelpmere.exe" "" "$INSTDIR\kelpmere.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kelpmere"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Kelpmere"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelpmere.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Kelpmere.lnk"
  Delete "$INSTDIR\kelpmere.exe"
  Delete "$INSTDIR\kelpmere-cli.exe"
  Delete "$INSTDIR\Skin\kelpmeres.zip"
  RMDir "$INSTDIR\Skin"
  Delete "$INSTDIR\Ad\images\*.jpg"
  RMDir "$INSTDIR\Ad\images"
  ; The page the program wrote at its starts.
  Delete "$INSTDIR\Ad\ad.html"
  RMDir "$INSTDIR\Ad"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
