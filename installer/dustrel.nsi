; Dustrel's setup program: a per-user installation that asks for no elevation. scripts/package.sh
; builds it with
;   makensis -DVERSION=<x.y.z> -DEXE=<the 32-bit dustrel.exe> -DOUTFILE=<setup.exe> dustrel.nsi
; Dustrel writes its deletion logs beside its executable, so it is installed where the user may
; write (%LOCALAPPDATA%\Programs\Dustrel), never under Program Files.

!ifndef VERSION | EXE | OUTFILE
    !error "Build with scripts/package.sh, which defines VERSION, EXE and OUTFILE"
!endif

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma
; A file that cannot be written must stop the installation, not be skipped in silence.
AllowSkipFiles off

; The program keys its settings, its Run value and its single-instance guard by the name of its
; executable without the extension.
!define APP_NAME "dustrel"
!define PUBLISHER "Dustrel project"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dustrel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_PARENT_KEY "Software\Dustrel"
!define SHORTCUT "$SMPROGRAMS\Dustrel.lnk"
; The named mutex a running Dustrel holds (singleInstanceGuardName in src/platform/system.cpp).
; It is there from the program's first moment to its last, also while it sits hidden in the
; notification area. Its name is made from APP_NAME in capitals, so that a copy started as
; DUSTREL.EXE holds the same one as a copy started as dustrel.exe.
!define INSTANCE_MUTEX "Local\Dustrel.SingleInstance.DUSTREL"
!define SYNCHRONIZE 0x00100000
!define ERROR_ACCESS_DENIED 5

Name "Dustrel"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Dustrel"
; A new version goes where the last one went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

BrandingText "Dustrel ${VERSION}"
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Dustrel"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "Dustrel Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
; The project states no copyright or licence yet, and the installer will not make one up.
!pragma warning disable 9100

!include FileFunc.nsh
!include LogicLib.nsh
!include MUI2.nsh
!include WinVer.nsh

!define MUI_ICON "..\res\dustrel.ico"
!define MUI_UNICON "..\res\dustrel.ico"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP_NAME}.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

LangString RunningText ${LANG_ENGLISH} "Dustrel is running. Close it (if it sits in the \
notification area, right-click its icon and choose Exit), then choose Retry."
LangString ForeignFileText ${LANG_ENGLISH} "$0 belongs to another program. Setup does not \
replace a file that is not Dustrel's: choose another folder for Dustrel."
LangString OldWindowsText ${LANG_ENGLISH} "Dustrel needs Windows 7 with Service Pack 1, or a \
later Windows. It cannot run on this one."
LangString DeleteLogsText ${LANG_ENGLISH} "Also delete Dustrel's deletion logs in$\r$\n\
$INSTDIR\log files?$\r$\n$\r$\nThey list the files Dustrel deleted."

; Windows will not replace or delete a running program's file, and an installation stopped half
; way is worse than none. A copy running elevated holds the mutex where this unelevated process
; may not open it: access denied means it is there all the same. In silent mode the answer is
; Cancel, and the exit code 2.
!macro DEFINE_REFUSE_WHILE_RUNNING PREFIX
    Function ${PREFIX}RefuseWhileRunning
        ${Do}
            System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p.r0 ?e'
            Pop $1
            ${If} $0 P<> 0
                System::Call 'kernel32::CloseHandle(p r0)'
            ${ElseIf} $1 <> ${ERROR_ACCESS_DENIED}
                Return
            ${EndIf}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(RunningText)" /SD IDCANCEL IDRETRY retry
            SetErrorLevel 2
            Quit
        retry:
        ${Loop}
    FunctionEnd
!macroend
!insertmacro DEFINE_REFUSE_WHILE_RUNNING ""
!insertmacro DEFINE_REFUSE_WHILE_RUNNING "un."

; Leaves on the stack "yes" when the file named on the stack carries Dustrel's version resource
; (the product "Dustrel" of the publisher PUBLISHER), else "no". dustrel.exe carries it, and so
; does every uninstaller this script has written, which takes the installer's own. Another
; program's file, one without a version resource, a folder: none of them is Dustrel's.
!macro VERSION_STRING BLOCK PREFIX NAME OUT
    StrCpy ${OUT} ""
    System::Call 'version::VerQueryValueW(p ${BLOCK}, w "${PREFIX}${NAME}", *p .R8, *i .R9) i.R7'
    ${If} $R7 <> 0
    ${AndIf} $R9 > 0
        System::Call 'kernel32::lstrcpynW(w .R9, p R8, i ${NSIS_MAX_STRLEN}) p.R7'
        StrCpy ${OUT} $R9
    ${EndIf}
!macroend
Function IsDustrels
    Exch $R0
    Push $R1
    Push $R2
    Push $R3
    Push $R4
    Push $R7
    Push $R8
    Push $R9
    StrCpy $R4 "no"
    System::Call 'version::GetFileVersionInfoSizeW(w R0, *i) i.R1'
    ${If} $R1 > 0
        System::Alloc $R1
        Pop $R2
        System::Call 'version::GetFileVersionInfoW(w R0, i 0, i R1, p R2) i.R3'
        ; The strings of the first language the resource lists.
        ${If} $R3 <> 0
            System::Call 'version::VerQueryValueW(p R2, w "\VarFileInfo\Translation", \
                *p .R8, *i .R9) i.R7'
            ${If} $R7 <> 0
            ${AndIf} $R9 >= 4
                System::Call '*$R8(&i2 .R3, &i2 .R7)'
                IntFmt $R3 "%04X" $R3
                IntFmt $R7 "%04X" $R7
                StrCpy $R3 "\StringFileInfo\$R3$R7\"
                !insertmacro VERSION_STRING $R2 $R3 ProductName $R1
                !insertmacro VERSION_STRING $R2 $R3 CompanyName $R0
                ${If} $R1 S== "Dustrel"
                ${AndIf} $R0 S== "${PUBLISHER}"
                    StrCpy $R4 "yes"
                ${EndIf}
            ${EndIf}
        ${EndIf}
        System::Free $R2
    ${EndIf}
    StrCpy $R0 $R4
    Pop $R9
    Pop $R8
    Pop $R7
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd

; Sets $0 to the first file setup would replace in $INSTDIR that is not Dustrel's, else to "".
; The registry names only the last installation, and a folder may hold an earlier one; so the
; files themselves are asked.
!macro FIND_FOREIGN_FILE NAME
    ${If} $0 == ""
    ${AndIf} ${FileExists} "$INSTDIR\${NAME}"
        Push "$INSTDIR\${NAME}"
        Call IsDustrels
        Pop $1
        ${If} $1 != "yes"
            StrCpy $0 "$INSTDIR\${NAME}"
        ${EndIf}
    ${EndIf}
!macroend
Function FindForeignFile
    StrCpy $0 ""
    !insertmacro FIND_FOREIGN_FILE "${APP_NAME}.exe"
    !insertmacro FIND_FOREIGN_FILE "uninstall.exe"
FunctionEnd

; Setup replaces only Dustrel's own files: another program's uninstall.exe in the folder chosen
; would be lost, and that program with it. The user is told and stays on the page to choose
; another folder.
Function DirectoryLeave
    Call FindForeignFile
    ${If} $0 != ""
        MessageBox MB_OK|MB_ICONSTOP "$(ForeignFileText)"
        Abort
    ${EndIf}
FunctionEnd

; Asked first so that nobody walks through the pages only to be refused, and again before the
; first file is written, for a copy started in between.
; dustrel.exe's header asks for Windows 7 (6.1), and it lists folders with what Windows 7 SP1 has:
; on anything older it would not start at all, so nothing is installed. Exit code 3.
Function RefuseOldWindows
    StrCpy $0 ""
    ${IfNot} ${AtLeastWin7}
        StrCpy $0 "old"
    ${ElseIf} ${IsWin7}
    ${AndIfNot} ${AtLeastServicePack} 1
        StrCpy $0 "old"
    ${EndIf}
    ${If} $0 == "old"
        MessageBox MB_OK|MB_ICONSTOP "$(OldWindowsText)" /SD IDOK
        SetErrorLevel 3
        Quit
    ${EndIf}
FunctionEnd

Function .onInit
    Call RefuseOldWindows
    Call RefuseWhileRunning
FunctionEnd

Function un.onInit
    Call un.RefuseWhileRunning
FunctionEnd

Section
    Call RefuseWhileRunning
    ; Also where no page was shown: in silent mode, exit code 1.
    Call FindForeignFile
    ${If} $0 != ""
        MessageBox MB_OK|MB_ICONSTOP "$(ForeignFileText)" /SD IDOK
        SetErrorLevel 1
        Quit
    ${EndIf}
    SetOutPath "$INSTDIR"
    File "/oname=${APP_NAME}.exe" "${EXE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${APP_NAME}.exe"

    ; What the installation itself occupies, not whatever the folder holds by now.
    ${GetSize} "$INSTDIR" "/M=${APP_NAME}.exe /S=0K /G=0" $0 $1 $2
    ${GetSize} "$INSTDIR" "/M=uninstall.exe /S=0K /G=0" $1 $2 $3
    IntOp $0 $0 + $1

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Dustrel"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP_NAME}.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes, by name, what this installation and the program made, and nothing else: a file the
; user put in the folder keeps it, and the folder with it.
Section "Uninstall"
    Call un.RefuseWhileRunning
    Delete "$INSTDIR\${APP_NAME}.exe"
    Delete "$INSTDIR\uninstall.exe"

    ; Installed again elsewhere since, the shortcut and the entry in "Apps & features" are the
    ; newer installation's.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == ""
    ${OrIf} $0 == "$INSTDIR"
        Delete "${SHORTCUT}"
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}

    ; The value "Run At Start Up" writes (FrmSettings::runEntryData), when it starts this copy.
    ReadRegStr $0 HKCU "${RUN_KEY}" "${APP_NAME}"
    ${If} $0 == '"$INSTDIR\${APP_NAME}.exe" /STARTUP'
        DeleteRegValue HKCU "${RUN_KEY}" "${APP_NAME}"
    ${EndIf}
    DeleteRegKey HKCU "${SETTINGS_PARENT_KEY}\${APP_NAME}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT_KEY}"

    ; The logs are the user's record of what was deleted: asked, and kept in silent mode.
    ${If} ${FileExists} "$INSTDIR\log files\*.*"
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(DeleteLogsText)" /SD IDNO IDNO keep_logs
        Delete "$INSTDIR\log files\Dustrel-*.log"
        RMDir "$INSTDIR\log files"
    keep_logs:
    ${EndIf}
    RMDir "$INSTDIR"
SectionEnd
