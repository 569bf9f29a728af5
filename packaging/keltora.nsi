; The installer of Keltora Professional and its uninstaller: one install for the whole machine,
; into the 64-bit Program Files, where the program also keeps its own data folders.
;
; makensis -DVERSION=3.55 -DBIN=<folder of the three programs> -DSOURCE=<repository root>
;          -DOUTFILE=<setup.exe> packaging/keltora.nsi
;
; The installer owns what it installs: the program files, the Start-menu shortcut, the Uninstall
; entry and the scheduled task. The program owns its data below the same folders (Backups,
; startbug, Undo, and "Keltora Pro" with the ignore files): the uninstaller deletes the files it
; installed by name and never a folder with what is in it, so that data stays.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "Keltora Professional"
!define PUBLISHER "Keltora Pro"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "KeltoraPro"
; The task autostart.exe asks Task Scheduler to start (src/app/win32/autostart.cpp).
!define TASK "${PRODUCT}"
!define INSTANCE_MUTEX "KeltoraProfessional"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
; Where the program keeps its data, wherever it was installed: below the 64-bit Program Files.
!define DATA "$PROGRAMFILES64\${PRODUCT}"
!define IGNORE_LISTS "$PROGRAMFILES64\Keltora Pro"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "${PRODUCT} Setup"
VIAddVersionKey LegalCopyright "Copyright (c) ${PUBLISHER}. All rights reserved."

LicenseData "${SOURCE}/LICENCE.txt"
Page license
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Tells why the installer or the uninstaller ends, and ends it with that status: in a box, or in
; a silent run, which shows none, on the standard error of the console or script that started it.
!macro Refuse text status
    ${If} ${Silent}
        System::Call 'kernel32::AttachConsole(i -1)'
        System::Call 'kernel32::GetStdHandle(i -12) p .r9'
        ${If} $9 P<> 0
        ${AndIf} $9 P<> -1
            FileWrite $9 "${text}$\r$\n"
        ${EndIf}
    ${Else}
        MessageBox MB_OK|MB_ICONSTOP "${text}"
    ${EndIf}
    SetErrorLevel ${status}
    Quit
!macroend

; Refuses while the program runs: the user closes it first.
!macro RefuseWhileRunning un
Function ${un}RefuseWhileRunning
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p .r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        !insertmacro Refuse "${PRODUCT} is running. Close it, then start this again." 5
    ${EndIf}
FunctionEnd
!macroend
!insertmacro RefuseWhileRunning ""
!insertmacro RefuseWhileRunning "un."

; The program is installed below the 64-bit Program Files only, whose permissions keep users from
; changing what is there. Elsewhere (an install folder given with /D=) a user who may write there
; could replace a program that administrators run elevated, or put a DLL beside it. The folder is
; compared as Windows resolves it ("..", "/"); a short 8.3 name is refused with the rest.
Function RefuseFolderOutsideProgramFiles
    System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r0, p 0) i .r1'
    StrLen $1 "$PROGRAMFILES64\"
    StrCpy $2 "$0" $1
    StrLen $3 "$0"
    ${If} $2 != "$PROGRAMFILES64\"
    ${OrIf} $3 <= $1
        !insertmacro Refuse "${PRODUCT} installs only into a folder below $PROGRAMFILES64, where only administrators can change its files; $INSTDIR is not one." 2
    ${EndIf}
    StrCpy $INSTDIR $0
FunctionEnd

; A 64-bit program for the whole machine: its registry view is the 64-bit one, and only an
; administrator may install or remove it.
!macro Prepare un
    ${IfNot} ${RunningX64}
        !insertmacro Refuse "${PRODUCT} needs 64-bit Windows." 1
    ${EndIf}
    SetRegView 64
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        !insertmacro Refuse "Installing and removing ${PRODUCT} needs an administrator." 740
    ${EndIf}
    Call ${un}RefuseWhileRunning
!macroend
Function .onInit
    !insertmacro Prepare ""
    Call RefuseFolderOutsideProgramFiles
FunctionEnd
Function un.onInit
    !insertmacro Prepare "un."
FunctionEnd

; One line of the task's XML; NSIS strings are short, so a whole document would be cut off.
!macro XmlLine text
    FileWriteUTF16LE $0 '${text}$\r$\n'
!macroend

; The task starts keltora.exe with the highest token of whichever member of Users asks for it,
; only when asked (no trigger). Users may read and run it; only administrators and the system
; may change it, and its program lies below Program Files (RefuseFolderOutsideProgramFiles),
; which only administrators can change.
Function RegisterTask
    ${WordReplace} "$INSTDIR" "&" "&amp;" "+" $1
    InitPluginsDir
    FileOpen $0 "$PLUGINSDIR\task.xml" w
    FileWriteUTF16LE /BOM $0 ''
    !insertmacro XmlLine '<?xml version="1.0" encoding="UTF-16"?>'
    !insertmacro XmlLine '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">'
    !insertmacro XmlLine '  <RegistrationInfo>'
    !insertmacro XmlLine '    <Author>${PUBLISHER}</Author>'
    !insertmacro XmlLine '    <Description>Starts ${PRODUCT} at logon without a consent prompt, for autostart.exe.</Description>'
    !insertmacro XmlLine '    <SecurityDescriptor>D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;FRFX;;;BU)</SecurityDescriptor>'
    !insertmacro XmlLine '  </RegistrationInfo>'
    !insertmacro XmlLine '  <Principals>'
    !insertmacro XmlLine '    <Principal id="Users">'
    !insertmacro XmlLine '      <GroupId>S-1-5-32-545</GroupId>'
    !insertmacro XmlLine '      <RunLevel>HighestAvailable</RunLevel>'
    !insertmacro XmlLine '    </Principal>'
    !insertmacro XmlLine '  </Principals>'
    !insertmacro XmlLine '  <Settings>'
    !insertmacro XmlLine '    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>'
    !insertmacro XmlLine '    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>'
    !insertmacro XmlLine '    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>'
    !insertmacro XmlLine '    <AllowStartOnDemand>true</AllowStartOnDemand>'
    !insertmacro XmlLine '    <Enabled>true</Enabled>'
    !insertmacro XmlLine '    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>'
    !insertmacro XmlLine '    <Priority>5</Priority>'
    !insertmacro XmlLine '  </Settings>'
    !insertmacro XmlLine '  <Actions Context="Users">'
    !insertmacro XmlLine '    <Exec>'
    !insertmacro XmlLine '      <Command>$1\keltora.exe</Command>'
    !insertmacro XmlLine '      <WorkingDirectory>$1</WorkingDirectory>'
    !insertmacro XmlLine '    </Exec>'
    !insertmacro XmlLine '  </Actions>'
    !insertmacro XmlLine '</Task>'
    FileClose $0
    nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Create /TN "${TASK}" /XML "$PLUGINSDIR\task.xml" /F'
    Pop $0
    ${If} $0 != 0
        DetailPrint "The scheduled task could not be registered ($0): autostart.exe will start ${PRODUCT} itself."
    ${EndIf}
FunctionEnd

Section
    SetOutPath "$INSTDIR"
    File "${BIN}/keltora.exe"
    File "${BIN}/keltora-cli.exe"
    File "${BIN}/autostart.exe"
    File /oname=README.txt "${SOURCE}/README.md"
    File "${SOURCE}/LICENCE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\keltora.exe" "" "$INSTDIR\keltora.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\keltora.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
    ; Run in place (_?=), the uninstaller is the process that does the work, so a script that
    ; waits for it knows when everything is gone. Without it, the uninstaller starts a copy of
    ; itself in the temporary folder and ends at once (see the end of the Uninstall section).
    WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    ; The installed files only: the data folders beside them are not the program's size.
    ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1

    Call RegisterTask
SectionEnd

; The Run value of the user who uninstalls, when it starts this copy's autostart.exe (quoted as
; the program writes it, or unquoted as earlier versions did); a portable copy's stays.
Function un.DeleteRunValue
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == '"$INSTDIR\autostart.exe"'
    ${OrIf} $0 == "$INSTDIR\autostart.exe"
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
FunctionEnd

Section Uninstall
    nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /TN "${TASK}" /F'
    Pop $0
    Call un.DeleteRunValue
    Delete "$INSTDIR\keltora.exe"
    Delete "$INSTDIR\keltora-cli.exe"
    Delete "$INSTDIR\autostart.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENCE.txt"
    Delete "${SHORTCUT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; Run in place (_?=), the uninstaller holds its own file open while it runs, so Windows
    ; deletes that file at the next restart, and the folder with it when nothing of the user's
    ; is left in it. Run as its own copy in the temporary folder, it deletes both now.
    Delete /REBOOTOK "$INSTDIR\uninstall.exe"
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        RMDir /REBOOTOK "$INSTDIR"
    ${Else}
        RMDir "$INSTDIR"
    ${EndIf}
    DetailPrint "Kept: your registry backups, moved startup items and undo journals in ${DATA}, your ignore lists in ${IGNORE_LISTS}."
    MessageBox MB_OK|MB_ICONINFORMATION "${PRODUCT} is removed.$\r$\n$\r$\nYour registry backups (Backups), the startup items it moved aside (startbug) and its undo journals (Undo) are kept in ${DATA}, and your ignore lists in ${IGNORE_LISTS}. Delete these folders yourself when you no longer need them." /SD IDOK
SectionEnd
