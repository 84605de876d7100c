; The Windows installer of Skyfetch, for one user and without administrator rights, after
; NSIS's per-user example. cmake/WindowsPackage.cmake runs makensis with
;   -DVERSION=<x.y.z>  -DVERSION_TEXT=<as the programs show it>  -DOUTFILE=<setup.exe>
;   -DFILES=<installer-files.nsh>  -DICON=<skyfetch.ico>
; installer-files.nsh (cmake/WindowsInstallerFiles.cmake) names every file of the
; deployment folder twice from one list: once to install it and once to remove it.
;
; /S installs or removes silently; /D=<folder> (last on the command line) chooses another
; folder.

Unicode True
; The 64-bit stubs: a 64-bit program, and the x86 stub needs a 32-bit Windows layer.
Target amd64-unicode
SetCompressor /SOLID lzma

!define NAME "Skyfetch"
!define PUBLISHER "The Skyfetch developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
!define UNINSTALLER "uninstall.exe"

Name "${NAME}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
RequestExecutionLevel user
; No default: /D= or the folder of an earlier install decide first (.onInit).
InstallDir ""
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${NAME}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${NAME} setup"
VIAddVersionKey "FileVersion" "${VERSION_TEXT}"
VIAddVersionKey "ProductVersion" "${VERSION_TEXT}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2008 ${PUBLISHER}; MIT licence"

!include LogicLib.nsh
!include WinCore.nsh
!include "${FILES}"

Page Directory
Page InstFiles
UninstPage UninstConfirm
UninstPage InstFiles

Function .onInit
    SetShellVarContext current
    ${If} $INSTDIR == ""
        ; %LOCALAPPDATA%\Programs: the user's own program folder.
        GetKnownFolderPath $INSTDIR ${FOLDERID_UserProgramFiles}
        ${If} $INSTDIR == ""
            StrCpy $INSTDIR "$LOCALAPPDATA\Programs"
        ${EndIf}
        StrCpy $INSTDIR "$INSTDIR\${NAME}"
    ${EndIf}
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Section "Skyfetch"
    SectionIn RO
    !insertmacro SkyfetchInstallFiles
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION_TEXT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\skyfetch.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SKYFETCH_SIZE_KB}

    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\skyfetch.exe" "" "$INSTDIR\skyfetch.exe" 0
SectionEnd

Section "Uninstall"
    ; Only what the installer put there, by name: files the user added to the folder stay,
    ; and with them the folder.
    Delete "$SMPROGRAMS\${NAME}.lnk"
    !insertmacro SkyfetchUninstallFiles
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
