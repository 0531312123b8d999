; The Penwise installer, one per architecture. Made by scripts/installers.sh, which passes:
;   VERSION  the program's version (1.5.0)
;   ARCH     x86 or x64
;   STAGE    the folder holding the files to install (the program, the spelling library,
;            regspell, the readme, dictionaries\ with each dictionary's licence)
;   OUTFILE  the installer to write
;
; By default Penwise is installed for the current user only, without administrator rights:
; into %LOCALAPPDATA%\Programs\Penwise, with the user's Start menu, the user's file classes and
; the user's list of installed programs, and the dictionaries registered for the user. A user
; with administrator rights may install it for everyone instead (the page before the
; components, or /ALLUSERS on the command line); /CURRENTUSER chooses the default silently.
; Silent: /S, optionally /D=folder as the last argument.

Unicode true
!if ${ARCH} == x64
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
; The files carry no time of their own: the same inputs give the same installer.
SetDateSave off
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"
!include "nsDialogs.nsh"

!define PRODUCT "Penwise"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Penwise"
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\penwise.exe"
!define APPLICATION_KEY "Software\Classes\Applications\penwise.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION} (${ARCH})"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup (${ARCH})"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 the Penwise developers"

Var AllUsers          ; 1: for everyone (machine-wide); 0: for the current user
Var ModeMine
Var ModeEveryone

!define MUI_ICON "${STAGE}\penwise.ico"
!define MUI_UNICON "${STAGE}\penwise.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\penwise.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
Page custom ModePage ModePageLeave
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; ---- who it is installed for ----

!macro UseMode
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
!macroend

Function .onInit
!if ${ARCH} == x64
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP|MB_OK "This is the 64-bit Penwise; this Windows runs only 32-bit programs. Please use the x86 installer." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
!endif
  StrCpy $AllUsers 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_ICONSTOP|MB_OK "Installing Penwise for all users needs administrator rights." /SD IDOK
      SetErrorLevel 740
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
  ${EndIf}
  Call ChooseFolder
FunctionEnd

Function ChooseFolder
  ; A folder given with /D= stays as it is.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/D=" $1
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  ${If} $AllUsers == 1
!if ${ARCH} == x64
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
!else
    StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
!endif
  ${Else}
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
FunctionEnd

Function ModePage
  !insertmacro MUI_HEADER_TEXT "Who uses Penwise" "Install Penwise for yourself only, or for everyone on this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Installed for you only, Penwise needs no administrator rights and goes into your own programs folder."
  Pop $0
  ${NSD_CreateRadioButton} 10u 32u 100% 12u "&Only for me"
  Pop $ModeMine
  ${NSD_CreateRadioButton} 10u 48u 100% 12u "For &everyone on this computer (needs administrator rights)"
  Pop $ModeEveryone
  UserInfo::GetAccountType
  Pop $1
  ${If} $1 != "Admin"
    EnableWindow $ModeEveryone 0
  ${EndIf}
  ${If} $AllUsers == 1
    ${NSD_Check} $ModeEveryone
  ${Else}
    ${NSD_Check} $ModeMine
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $ModeEveryone $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call ChooseFolder
FunctionEnd

; ---- what is installed ----

Section "Penwise" SecProgram
  SectionIn RO
  !insertmacro UseMode
  SetOutPath "$INSTDIR"
  File "${STAGE}\penwise.exe"
  File "${STAGE}\PWSPELL.dll"
  File "${STAGE}\regspell.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\register-dictionaries.cmd"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\penwise.exe" "" "$INSTDIR\penwise.exe" 0 \
    SW_SHOWNORMAL "" "Write and check the spelling of rich text documents"

  ; "Open with Penwise" for rich text and text documents, and "penwise" in the Run box.
  WriteRegStr SHCTX "${APPLICATION_KEY}" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr SHCTX "${APPLICATION_KEY}\DefaultIcon" "" '"$INSTDIR\penwise.exe",0'
  WriteRegStr SHCTX "${APPLICATION_KEY}\shell\open\command" "" '"$INSTDIR\penwise.exe" "%1"'
  WriteRegStr SHCTX "${APPLICATION_KEY}\SupportedTypes" ".rtf" ""
  WriteRegStr SHCTX "${APPLICATION_KEY}\SupportedTypes" ".txt" ""
  WriteRegStr SHCTX "Software\Classes\.rtf\OpenWithList\penwise.exe" "" ""
  WriteRegStr SHCTX "Software\Classes\.txt\OpenWithList\penwise.exe" "" ""
  WriteRegStr SHCTX "${APP_PATHS_KEY}" "" "$INSTDIR\penwise.exe"

  ; The entry in the list of installed programs.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION} (${ARCH})"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "The Penwise developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\penwise.exe",0'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "AllUsers" $AllUsers
SectionEnd

SectionGroup /e "Dictionaries" SecDictionaries
  Section "English (United States)" SecEnUS
    SectionIn RO
    SetOutPath "$INSTDIR\dictionaries"
    File "${STAGE}\dictionaries\en_US.dic"
    File "${STAGE}\dictionaries\en_US.aff"
    File "${STAGE}\dictionaries\en_US.licence.txt"
  SectionEnd
  Section "English (United Kingdom)" SecEnGB
    SetOutPath "$INSTDIR\dictionaries"
    File "${STAGE}\dictionaries\en_GB.dic"
    File "${STAGE}\dictionaries\en_GB.aff"
    File "${STAGE}\dictionaries\en_GB.licence.txt"
  SectionEnd
  Section "German (Germany)" SecDeDE
    SetOutPath "$INSTDIR\dictionaries"
    File "${STAGE}\dictionaries\de_DE.dic"
    File "${STAGE}\dictionaries\de_DE.aff"
    File "${STAGE}\dictionaries\de_DE.licence.txt"
    File "${STAGE}\dictionaries\GPL-2.txt"
  SectionEnd
  Section "French (France)" SecFr
    SetOutPath "$INSTDIR\dictionaries"
    File "${STAGE}\dictionaries\fr_FR.dic"
    File "${STAGE}\dictionaries\fr_FR.aff"
    File "${STAGE}\dictionaries\fr_FR.licence.txt"
    File "${STAGE}\dictionaries\MPL-2.0.txt"
  SectionEnd
  Section "Russian (Russia)" SecRuRU
    SetOutPath "$INSTDIR\dictionaries"
    File "${STAGE}\dictionaries\ru_RU.dic"
    File "${STAGE}\dictionaries\ru_RU.aff"
    File "${STAGE}\dictionaries\ru_RU.licence.txt"
  SectionEnd
SectionGroupEnd

Section "-Register the dictionaries"
  ; The spelling library for each dictionary installed: for this user, or for the machine.
  ${If} $AllUsers == 1
    nsExec::ExecToLog '"$INSTDIR\regspell.exe" "$INSTDIR\PWSPELL.dll" "$INSTDIR\dictionaries"'
  ${Else}
    nsExec::ExecToLog '"$INSTDIR\regspell.exe" /user "$INSTDIR\PWSPELL.dll" "$INSTDIR\dictionaries"'
  ${EndIf}
  Pop $0
  ${If} $0 != 0
    DetailPrint "The dictionaries could not be registered (regspell: $0)."
    MessageBox MB_ICONEXCLAMATION|MB_OK "The dictionaries could not be registered; Penwise will not check spelling until they are (run register-dictionaries.cmd in $INSTDIR)." /SD IDOK
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

LangString DESC_Program ${LANG_ENGLISH} "The editor, its spelling library and the tool that registers dictionaries."
LangString DESC_Dictionaries ${LANG_ENGLISH} "Spelling dictionaries, each with its licence."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_Program)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDictionaries} $(DESC_Dictionaries)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; ---- removal ----

Function un.onInit
!if ${ARCH} == x64
  SetRegView 64
!endif
  ; Installed for everyone when the machine's list of programs names this folder.
  StrCpy $AllUsers 0
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "AllUsers"
    ${If} $1 == 1
      StrCpy $AllUsers 1
    ${EndIf}
  ${EndIf}
FunctionEnd

!macro RemoveDictionary Name
  Delete "$INSTDIR\dictionaries\${Name}.dic"
  Delete "$INSTDIR\dictionaries\${Name}.aff"
  Delete "$INSTDIR\dictionaries\${Name}.licence.txt"
!macroend

Section "Uninstall"
  !insertmacro UseMode
  ; The registrations first, while regspell is there; the user's custom dictionary (words
  ; added with "Add") and documents are kept.
  ${If} $AllUsers == 1
    nsExec::ExecToLog '"$INSTDIR\regspell.exe" /unregister "$INSTDIR\PWSPELL.dll"'
  ${Else}
    nsExec::ExecToLog '"$INSTDIR\regspell.exe" /user /unregister "$INSTDIR\PWSPELL.dll"'
  ${EndIf}
  Pop $0

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey SHCTX "${APPLICATION_KEY}"
  DeleteRegKey SHCTX "Software\Classes\.rtf\OpenWithList\penwise.exe"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.rtf\OpenWithList"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.rtf"
  DeleteRegKey SHCTX "Software\Classes\.txt\OpenWithList\penwise.exe"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.txt\OpenWithList"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.txt"
  DeleteRegKey SHCTX "${APP_PATHS_KEY}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"

  ; Only the files installed: a custom dictionary kept beside them stays, and so does its folder.
  !insertmacro RemoveDictionary en_US
  !insertmacro RemoveDictionary en_GB
  !insertmacro RemoveDictionary de_DE
  !insertmacro RemoveDictionary fr_FR
  !insertmacro RemoveDictionary ru_RU
  Delete "$INSTDIR\dictionaries\GPL-2.txt"
  Delete "$INSTDIR\dictionaries\MPL-2.0.txt"
  RMDir "$INSTDIR\dictionaries"
  Delete "$INSTDIR\penwise.exe"
  Delete "$INSTDIR\PWSPELL.dll"
  Delete "$INSTDIR\regspell.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\register-dictionaries.cmd"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
