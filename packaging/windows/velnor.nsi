; Velnor's installer for Windows, built by makensis on Linux (packaging/windows/CMakeLists.txt):
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DSTAGE=<folder> -DICON=<velnor.ico> -DOUTFILE=<setup.exe> velnor.nsi
; STAGE holds what is installed: velnor.exe, velnor-cli.exe, LICENSE.txt, README-Windows.txt.
;
; Per user, without administrator rights, into %LOCALAPPDATA%\Programs\Velnor. Nothing in the
; installed folder is touched until every file has been unpacked beside the installer, and the
; shortcut and the keys that point at the programs come after them; a first install that fails
; takes back what it made. The uninstaller removes what the installer made and nothing else:
; the folder Velnor remembers (HKCU\Software\VB and VBA Program Settings\Trimora) stays.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID /FINAL lzma
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velnor"
!define CLASSES "Software\Classes"
; Explorer's menu on a folder and on a folder's background: "%V" is that folder either way.
!define VERB_TEXT "用 Velnor 压缩网页(&V)..."
!define PUBLISHER "The Velnor developers"

Name "Velnor"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velnor"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Velnor ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "Velnor"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "Velnor 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\velnor.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README-Windows.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Var Fresh      ; 1 when no Velnor was installed for this user
Var MadeFolder ; the outermost folder on the way to $INSTDIR that the first install made, or ""
Var MadeKeys   ; which of the folder menu's parent keys the first install made, one bit each
Var Size       ; of the installed files, in bytes

; The folder menu's parent keys, outermost first, with their bits in $MadeKeys.
!define KEY_1 "${CLASSES}\Directory"
!define KEY_2 "${CLASSES}\Directory\shell"
!define KEY_4 "${CLASSES}\Directory\Background"
!define KEY_8 "${CLASSES}\Directory\Background\shell"

; A running Velnor holds its programs, which could then be neither replaced nor removed:
; nothing is changed until it is closed.
!macro RefuseWhileRunning
  ${If} ${FileExists} "$INSTDIR\velnor.exe"
  ${OrIf} ${FileExists} "$INSTDIR\velnor-cli.exe"
    ClearErrors
    ${If} ${FileExists} "$INSTDIR\velnor.exe"
      FileOpen $0 "$INSTDIR\velnor.exe" a
      FileClose $0
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\velnor-cli.exe"
      FileOpen $0 "$INSTDIR\velnor-cli.exe" a
      FileClose $0
    ${EndIf}
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP "Velnor 正在运行，请先关闭它（窗口和命令行都要关闭）。" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
!macroend

; $R1 becomes the folder that holds it ("" for a drive).
!macro ParentOf
  StrLen $R2 $R1
  ${Do}
    IntOp $R2 $R2 - 1
    ${If} $R2 <= 0
      ${ExitDo}
    ${EndIf}
    StrCpy $R3 $R1 1 $R2
  ${LoopUntil} $R3 == "\"
  ${If} $R2 > 0
    StrCpy $R1 $R1 $R2
  ${Else}
    StrCpy $R1 ""
  ${EndIf}
!macroend

; What the installer made goes, and what it made around it if it is left empty. Each step
; goes on whatever the one before did, so files deleted by hand stop nothing.
!macro NoteIfMissing KEY BIT
  ClearErrors
  EnumRegKey $R2 HKCU "${KEY}" 0
  ${If} ${Errors}
    IntOp $MadeKeys $MadeKeys | ${BIT}
  ${EndIf}
!macroend

!macro RemoveIfMade KEY BIT
  IntOp $R2 $MadeKeys & ${BIT}
  ${If} $R2 <> 0
    DeleteRegKey /ifempty HKCU "${KEY}"
  ${EndIf}
!macroend

!macro RemoveInstalled
  Delete "$INSTDIR\velnor.exe"
  Delete "$INSTDIR\velnor-cli.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\README-Windows.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Velnor.lnk"
  DeleteRegKey HKCU "${KEY_2}\Velnor"
  DeleteRegKey HKCU "${KEY_8}\Velnor"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  !insertmacro RemoveIfMade "${KEY_8}" 8
  !insertmacro RemoveIfMade "${KEY_4}" 4
  !insertmacro RemoveIfMade "${KEY_2}" 2
  !insertmacro RemoveIfMade "${KEY_1}" 1
  RMDir "$INSTDIR"
  ; Up to the outermost folder the first install made, each only if empty.
  StrLen $R4 $MadeFolder
  StrCpy $R5 $INSTDIR $R4
  ${If} $MadeFolder != ""
  ${AndIf} $R5 == $MadeFolder
    StrCpy $R1 $INSTDIR
    ${DoWhile} $R1 != $MadeFolder
      !insertmacro ParentOf
      ${If} $R1 == ""
        ${ExitDo}
      ${EndIf}
      RMDir "$R1"
    ${Loop}
  ${EndIf}
!macroend

!macro AddSize FILE
  FileOpen $0 "${FILE}" r
  FileSeek $0 0 END $1
  FileClose $0
  IntOp $Size $Size + $1
!macroend

; Moves an unpacked file over the installed one in one step: each file is old or new, never half.
!macro PutInPlace NAME
  System::Call 'kernel32::MoveFileExW(w "$PLUGINSDIR\new\${NAME}", w "$INSTDIR\${NAME}", i 11) i .r0'
  ${If} $0 = 0
    Abort "$INSTDIR\${NAME} 无法写入。"
  ${EndIf}
  !insertmacro AddSize "$INSTDIR\${NAME}"
!macroend

Function .onInit
  !insertmacro RefuseWhileRunning
FunctionEnd

Function un.onInit
  !insertmacro RefuseWhileRunning
FunctionEnd

Section "Velnor"
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "UninstallString"
  ${If} $0 == ""
    StrCpy $Fresh 1
  ${EndIf}

  ; Unpacked beside the installer first: a disk that fills up fails here, before anything
  ; installed is touched.
  InitPluginsDir
  SetOutPath "$PLUGINSDIR\new"
  File "${STAGE}\velnor.exe"
  File "${STAGE}\velnor-cli.exe"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\README-Windows.txt"
  WriteUninstaller "$PLUGINSDIR\new\uninstall.exe"

  ${If} $Fresh == 1
    StrCpy $R1 $INSTDIR
    ${Do}
      ${If} ${FileExists} "$R1\*.*"
        ${ExitDo}
      ${EndIf}
      StrCpy $MadeFolder $R1
      !insertmacro ParentOf
    ${LoopUntil} $R1 == ""
    StrCpy $MadeKeys 0
    !insertmacro NoteIfMissing "${KEY_1}" 1
    !insertmacro NoteIfMissing "${KEY_2}" 2
    !insertmacro NoteIfMissing "${KEY_4}" 4
    !insertmacro NoteIfMissing "${KEY_8}" 8
  ${EndIf}
  ClearErrors
  CreateDirectory "$INSTDIR"
  ${If} ${Errors}
    Abort "$INSTDIR 无法建立。"
  ${EndIf}
  StrCpy $Size 0
  !insertmacro PutInPlace "velnor.exe"
  !insertmacro PutInPlace "velnor-cli.exe"
  !insertmacro PutInPlace "LICENSE.txt"
  !insertmacro PutInPlace "README-Windows.txt"
  !insertmacro PutInPlace "uninstall.exe"

  ; The shortcut starts Velnor in the user's folder, where the folder list opens before a
  ; folder is remembered.
  ClearErrors
  SetOutPath "$PROFILE"
  CreateShortcut "$SMPROGRAMS\Velnor.lnk" "$INSTDIR\velnor.exe" "" "$INSTDIR\velnor.exe" 0
  WriteRegStr HKCU "${KEY_2}\Velnor" "" "${VERB_TEXT}"
  WriteRegStr HKCU "${KEY_2}\Velnor" "Icon" "$INSTDIR\velnor.exe,0"
  WriteRegStr HKCU "${KEY_2}\Velnor\command" "" '"$INSTDIR\velnor.exe" "%V"'
  WriteRegStr HKCU "${KEY_8}\Velnor" "" "${VERB_TEXT}"
  WriteRegStr HKCU "${KEY_8}\Velnor" "Icon" "$INSTDIR\velnor.exe,0"
  WriteRegStr HKCU "${KEY_8}\Velnor\command" "" '"$INSTDIR\velnor.exe" "%V"'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Velnor"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velnor.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://velnor.example.org"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  IntOp $Size $Size + 1023
  IntOp $Size $Size / 1024
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $Size
  ${If} $Fresh == 1
    WriteRegStr HKCU "${UNINSTALL_KEY}" "MadeFolder" $MadeFolder
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "MadeKeys" $MadeKeys
  ${EndIf}
  ${If} ${Errors}
    Abort "开始菜单的快捷方式或注册表项无法写入。"
  ${EndIf}
SectionEnd

; A first install takes back what it made; a failed upgrade leaves the installed Velnor
; registered, each of its files whole.
Function .onInstFailed
  ${If} $Fresh == 1
    !insertmacro RemoveInstalled
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ReadRegStr $MadeFolder HKCU "${UNINSTALL_KEY}" "MadeFolder"
  ReadRegDWORD $MadeKeys HKCU "${UNINSTALL_KEY}" "MadeKeys"
  !insertmacro RemoveInstalled
SectionEnd
