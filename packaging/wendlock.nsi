; The per-user installer of Wendlock, built by scripts/package.sh:
;   makensis -DVERSION=1.0.0 -DVERSION4=1.0.0.0 -DSOURCE=<folder> -DOUTFILE=<setup.exe>
;            -DSIZE_KB=<n> packaging/wendlock.nsi
; SOURCE holds wendlock.exe and README.txt.
;
; It installs into %LOCALAPPDATA%\Programs\Wendlock without administrator
; rights, because profiles live beside the executable and that folder is the
; user's to write. Profiles (*.ini) are never installed, replaced or removed.

Unicode true
; The 64-bit stub: Windows on x64, and Wines that run no 32-bit programs.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define PRODUCT "Wendlock"
!define PUBLISHER "Z-MAK"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Wendlock"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION4}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 Z-MAK. All rights reserved."

!define MUI_ICON "../src/platform/win32/res/form.ico"
!define MUI_UNICON "../src/platform/win32/res/form.ico"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\wendlock.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Wendlock now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends the Wendlock running from the installation folder, if any, and waits
; until its program file can be replaced or removed: "/exit" asks that
; instance to end as its tray menu's Exit does and waits for it; the file
; may stay locked a moment longer while the process goes.
!macro EndRunningWendlock UN
Function ${UN}EndRunningWendlock
    IfFileExists "$INSTDIR\wendlock.exe" 0 done
    ExecWait '"$INSTDIR\wendlock.exe" /exit'
    StrCpy $0 0
    retry:
        ClearErrors
        FileOpen $1 "$INSTDIR\wendlock.exe" a
        IfErrors 0 free
        IntOp $0 $0 + 1
        IntCmp $0 50 done
        Sleep 200
        Goto retry
    free:
        FileClose $1
    done:
FunctionEnd
!macroend
!insertmacro EndRunningWendlock ""
!insertmacro EndRunningWendlock "un."

Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Section "Wendlock" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    Call EndRunningWendlock
    File "${SOURCE}\wendlock.exe"
    File "${SOURCE}\README.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\wendlock.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\wendlock.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}

    ; An upgrade that leaves out "Start with Windows" takes the earlier
    ; entry away; the component writes it again when chosen.
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
SectionEnd

Section "Start with Windows" SecAutostart
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\wendlock.exe" /tray /monitor'
SectionEnd

Section "Uninstall"
    Call un.EndRunningWendlock
    Delete "$INSTDIR\wendlock.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; Removed only when empty: the user's profiles stay, and their folder.
    RMDir "$INSTDIR"
SectionEnd
