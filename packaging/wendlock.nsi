; The per-user installer of Wendlock, built by scripts/package.sh:
;   makensis -DVERSION=1.0.0 -DVERSION4=1.0.0.0 -DSOURCE=<folder> -DOUTFILE=<setup.exe>
;            -DSIZE_KB=<n> [-DFINALIZE_UNINSTALLER=<command>] packaging/wendlock.nsi
; SOURCE holds wendlock.exe and README.txt. FINALIZE_UNINSTALLER is run on
; the uninstaller before it goes into the setup ("%1" is its file): it signs
; it when the release is signed.
;
; Command line, besides NSIS's own /S and /D=<folder>:
;   /PROFILE=<file>        the team's profile, copied as default_wl.ini into
;                          a folder that has none
;   /STARTWITHWINDOWS=0|1  the component "Start with Windows" off or on
; Exit codes: 0 installed, 1 cancelled, 2 a wrong /STARTWITHWINDOWS= (or
; another stop), 3 the team profile cannot be read, 4 Wendlock is installed
; in another folder.
;
; It installs into %LOCALAPPDATA%\Programs\Wendlock without administrator
; rights, because profiles live beside the executable and that folder is the
; user's to write. Profiles (*.ini) are never replaced or removed; one is
; installed only from /PROFILE=, into a folder without default_wl.ini.

Unicode true
; The 64-bit stub: Windows on x64, and Wines that run no 32-bit programs.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define PRODUCT "Wendlock"
!define PUBLISHER "Z-MAK"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Wendlock"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define EXIT_BAD_COMMAND_LINE 2
!define EXIT_PROFILE_UNREADABLE 3
!define EXIT_OTHER_FOLDER 4

!ifdef FINALIZE_UNINSTALLER
    !uninstfinalize "${FINALIZE_UNINSTALLER}"
!endif

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
!define MUI_WELCOMEPAGE_TEXT "Wendlock answers the message boxes of your CAD program for you. \
Show it a box once with its finder and choose a button: from then on, while monitoring is on, \
Wendlock presses that button whenever the box opens.$\r$\n$\r$\n\
This installs Wendlock ${VERSION} for you alone, the Windows user you are signed in as, \
without administrator rights. A running Wendlock is ended and started again afterwards; \
your profiles stay.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Wendlock now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartWendlock

Var team_profile  ; /PROFILE=, as a full path; empty without it
Var restart       ; 1 when this setup ended a running Wendlock

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends the Wendlock running from the installation folder, if any, and waits
; until its program file can be replaced or removed: "/exit" asks that
; instance to end as its tray menu's Exit does and waits for it; the file
; may stay locked a moment longer while the process goes.
; $restart tells whether one ran: its program file cannot be written while it
; runs.
!macro EndRunningWendlock UN
Function ${UN}EndRunningWendlock
    StrCpy $restart 0
    IfFileExists "$INSTDIR\wendlock.exe" 0 done
    ClearErrors
    FileOpen $1 "$INSTDIR\wendlock.exe" a
    IfErrors 0 +3
        StrCpy $restart 1
        Goto ask
    FileClose $1
    ask:
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

; Starts Wendlock as sign-in does when "Start with Windows" is chosen (the
; Run entry's command line), plainly otherwise.
Function StartWendlock
    ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
    ${If} $0 == ""
        StrCpy $0 '"$INSTDIR\wendlock.exe"'
    ${EndIf}
    Exec $0
FunctionEnd

; Sets $0 to the folder of an earlier install other than $INSTDIR, empty
; when there is none. Installing beside it would leave that copy, with its
; profiles, out of the list of installed programs; a record whose
; uninstaller is gone is no install any more.
Function OtherInstallFolder
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR  ; without regard to letter case
    ${OrIfNot} ${FileExists} "$0\uninstall.exe"
        StrCpy $0 ""
    ${EndIf}
FunctionEnd

!define OTHER_FOLDER_MESSAGE "Wendlock is installed in $0.$\r$\n$\r$\n\
To upgrade it, install into that folder. To move it, uninstall it first (its profiles stay \
in that folder) and copy your profiles into the new one."

Function DirectoryLeave
    Call OtherInstallFolder
    ${If} $0 != ""
        MessageBox MB_ICONSTOP|MB_OK "${OTHER_FOLDER_MESSAGE}"
        Abort
    ${EndIf}
FunctionEnd

Function FinishShow
    ; Already started again with its earlier command line.
    ${If} $restart == 1
        ${NSD_Uncheck} $mui.FinishPage.Run
        ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    ${EndIf}
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
    ; The team's profile, never over the user's own.
    ${If} $team_profile != ""
    ${AndIfNot} ${FileExists} "$INSTDIR\default_wl.ini"
        ClearErrors
        CopyFiles /SILENT /FILESONLY "$team_profile" "$INSTDIR\default_wl.ini"
        ${If} ${Errors}
            MessageBox MB_ICONSTOP|MB_OK "The team profile $\"$team_profile$\" could not be \
copied to $INSTDIR\default_wl.ini." /SD IDOK
            SetErrorLevel ${EXIT_PROFILE_UNREADABLE}
            Abort
        ${EndIf}
    ${EndIf}
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

; Last, once the Run entry is what this install chose: an upgrade that ended
; Wendlock leaves it running again.
Section "-Start again"
    ${If} $restart == 1
        Call StartWendlock
    ${EndIf}
SectionEnd

; After the sections: it chooses among them.
Function .onInit
    SetShellVarContext current
    StrCpy $restart 0
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/PROFILE=" $1
    ${IfNot} ${Errors}
        ; Relative to the folder setup was started from, which installing changes.
        GetFullPathName $team_profile $1
        ClearErrors
        FileOpen $2 "$team_profile" r
        ${If} ${Errors}
        ${OrIf} $1 == ""
            MessageBox MB_ICONSTOP|MB_OK "The team profile $\"$1$\" cannot be read. \
Nothing has been installed." /SD IDOK
            SetErrorLevel ${EXIT_PROFILE_UNREADABLE}
            Abort
        ${EndIf}
        FileClose $2
    ${EndIf}
    ClearErrors
    ${GetOptions} $0 "/STARTWITHWINDOWS=" $1
    ${IfNot} ${Errors}
        ${If} $1 == "0"
            !insertmacro UnselectSection ${SecAutostart}
        ${ElseIf} $1 == "1"
            !insertmacro SelectSection ${SecAutostart}
        ${Else}
            MessageBox MB_ICONSTOP|MB_OK "/STARTWITHWINDOWS= takes 0 or 1, not $\"$1$\". \
Nothing has been installed." /SD IDOK
            SetErrorLevel ${EXIT_BAD_COMMAND_LINE}
            Abort
        ${EndIf}
    ${EndIf}
    ; /D= names the folder before any page does.
    Call OtherInstallFolder
    ${If} $0 != ""
        MessageBox MB_ICONSTOP|MB_OK "${OTHER_FOLDER_MESSAGE}" /SD IDOK
        SetErrorLevel ${EXIT_OTHER_FOLDER}
        Abort
    ${EndIf}
FunctionEnd

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
