; The per-user installer of Trackoro for Windows x86-64, made by tools/windows/package:
;   makensis -DVERSION=<x.y.z> -DSOURCE=<program folder> -DFILES=<file list .nsh> -DICON=<.ico>
;            -DOUTFILE=<setup.exe> trackoro.nsi
; SOURCE is the folder `cmake --install` lays out; FILES names its files for the
; uninstaller, one `!insertmacro TRACKORO_FILE <relative path>` or `TRACKORO_FOLDER` a line.
; Installs into %LOCALAPPDATA%\Programs\Trackoro without administrator rights. The history
; (wlnum.ini) is the user's: an install over an older one and the uninstaller leave it, and
; with it the folder. /S installs and uninstalls silently.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Trackoro"

Name "Trackoro ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Trackoro"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Trackoro ${VERSION}"

!include "MUI2.nsh"

!define MUI_ABORTWARNING
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\trackoro.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString ShortcutText ${LANG_SIMPCHINESE} "Trackoro 快递查询"
LangString StillRunning ${LANG_SIMPCHINESE} "Trackoro 正在运行。请先关闭它，再点“重试”。"
LangString HistoryKept ${LANG_SIMPCHINESE} "查询历史 wlnum.ini 已保留在 $INSTDIR，不需要时可手动删除。"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Trackoro"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Trackoro 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "Velmora"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Velmora"

Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

; A running program's files cannot be replaced: without this check an install over it would
; stop half-way, new DLLs beside the old program. Windows does not let a running program's
; file be opened for writing.
!macro TRACKORO_CLOSED un
Function ${un}TrackoroClosed
    IfFileExists "$INSTDIR\trackoro.exe" 0 done
    retry:
    ClearErrors
    FileOpen $0 "$INSTDIR\trackoro.exe" a
    IfErrors 0 closed
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    closed:
    FileClose $0
    done:
FunctionEnd
!macroend
!insertmacro TRACKORO_CLOSED ""
!insertmacro TRACKORO_CLOSED "un."

Section "Trackoro" SecProgram
    SectionIn RO
    Call TrackoroClosed
    SetOutPath "$INSTDIR"
    ; The program folder as laid out; it holds no wlnum.ini, so one there stays as it is.
    File /r "${SOURCE}/*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Trackoro.lnk" "$INSTDIR\trackoro.exe" "" \
        "$INSTDIR\trackoro.exe" 0 SW_SHOWNORMAL "" "$(ShortcutText)"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Trackoro"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Velmora"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\trackoro.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; What the installer put there, file by file; folders removed only when empty.
!macro TRACKORO_FILE path
    Delete "$INSTDIR\${path}"
!macroend
!macro TRACKORO_FOLDER path
    RMDir "$INSTDIR\${path}"
!macroend

Section "Uninstall"
    Call un.TrackoroClosed
    !include "${FILES}"
    Delete "$INSTDIR\Uninstall.exe"
    Delete "$SMPROGRAMS\Trackoro.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; Removed only when empty: the history (wlnum.ini) keeps it.
    RMDir "$INSTDIR"
    IfFileExists "$INSTDIR\wlnum.ini" 0 +2
        DetailPrint "$(HistoryKept)"
SectionEnd
