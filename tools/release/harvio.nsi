; The Harvio installer, in Simplified Chinese. It installs for the current
; user alone, without administrator rights, into a folder the user can write
; to: Harvio keeps Option.ini and Task\ beside harvio.exe.
; package.sh runs makensis with -INPUTCHARSET UTF8 and defines:
;   VERSION   the product version, four numbers
;   FILES     the folder of the files to install (the zip's contents)
;   ICON      the program's icon
;   SIZE_KB   the installed size of those files, in KiB
;   OUTFILE   the installer to write
; /S installs or uninstalls silently; /D=FOLDER (last on the command line)
; picks the folder.
Unicode true

!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Harvio"
!define PUBLISHER "Harvio 开发者"

Name "Harvio"
; "setup" in the file name makes Windows apply its installer shims; the name
; is what users look for, and the manifest already asks for no elevation.
!pragma warning disable 9000
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Harvio"
; An update goes where the last installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\harvio.exe"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Harvio"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Harvio 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "版权所有 (C) 2026 ${PUBLISHER}"

; A running Harvio holds its files open and writes its tasks when it closes,
; so it has to be closed before its files are replaced or removed. Silent
; runs give up rather than wait.
!macro WaitUntilHarvioCloses
  FindWindow $0 "HARVIOCLASSNAME" ""
  IntCmp $0 0 +3
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "Harvio 正在运行。请先退出 Harvio（任务会自动保存），然后单击“重试”。" \
    /SD IDCANCEL IDRETRY -2
  Abort
!macroend

Function .onInit
  !insertmacro WaitUntilHarvioCloses
FunctionEnd

; Only program files are written: Option.ini, Task\ and the pictures of an
; earlier installation stay as they are.
Section "Harvio" SectionProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${FILES}/harvio.exe"
  File "${FILES}/harvio-cli.exe"
  File "${FILES}/Introduction.chm"
  File "${FILES}/说明.txt"
  ; The tip pages of an older version go as a whole.
  RMDir /r "$INSTDIR\ad"
  SetOutPath "$INSTDIR\ad"
  File "${FILES}/ad/*.html"
  ; Shortcuts start in the output folder: the program's own.
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Harvio"
  CreateShortcut "$SMPROGRAMS\Harvio\Harvio.lnk" "$INSTDIR\harvio.exe"
  CreateShortcut "$SMPROGRAMS\Harvio\软件简介.lnk" "$INSTDIR\Introduction.chm"
  CreateShortcut "$SMPROGRAMS\Harvio\卸载 Harvio.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Harvio"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\harvio.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "桌面快捷方式" SectionDesktop
  CreateShortcut "$DESKTOP\Harvio.lnk" "$INSTDIR\harvio.exe"
SectionEnd

Var deleteUserData

Function un.onInit
  !insertmacro WaitUntilHarvioCloses
FunctionEnd

; Downloaded pictures are never removed: only the files named here, and the
; folders they leave empty.
Section "Uninstall"
  StrCpy $deleteUserData 0
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "是否同时删除下载任务和设置（Task 文件夹和 Option.ini）？$\r$\n$\r$\n\
选择“否”将保留它们，重新安装 Harvio 后可以继续下载。下载的图片都会保留。" \
    /SD IDNO IDNO +2
  StrCpy $deleteUserData 1

  Delete "$INSTDIR\harvio.exe"
  Delete "$INSTDIR\harvio-cli.exe"
  Delete "$INSTDIR\Introduction.chm"
  Delete "$INSTDIR\说明.txt"
  RMDir /r "$INSTDIR\ad"
  Delete "$INSTDIR\uninstall.exe"

  Delete "$SMPROGRAMS\Harvio\Harvio.lnk"
  Delete "$SMPROGRAMS\Harvio\软件简介.lnk"
  Delete "$SMPROGRAMS\Harvio\卸载 Harvio.lnk"
  RMDir "$SMPROGRAMS\Harvio"
  Delete "$DESKTOP\Harvio.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  IntCmp $deleteUserData 0 +4
  Delete "$INSTDIR\Option.ini"
  ; Files only: a save folder the user put inside Task\ keeps its pictures.
  Delete "$INSTDIR\Task\*"
  RMDir "$INSTDIR\Task"
  RMDir "$INSTDIR"
SectionEnd
